#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ravolin {

// Sounds a tone and returns when it has ended. Where nothing can be played it returns at once, silently:
// a machine without sound never disturbs the caller, and Beep never throws.
class TonePort {
public:
    virtual ~TonePort() = default;
    virtual void Beep(int frequencyHz, int durationMs) = 0;
};

// Peak of the generated tone: half of full scale, loud enough without clipping anything mixed with it.
inline constexpr std::int16_t kToneAmplitude = 16384;
// Each end of the tone is faded over this time (or half the tone, if shorter) so that the speaker doesn't click.
inline constexpr int kToneFadeMs = 5;

// Signed 16-bit mono samples of a sine tone starting at phase 0: sampleRate * durationMs / 1000 of them,
// never above kToneAmplitude, the first and last one 0. Empty when any argument is not positive.
std::vector<std::int16_t> generateTone(int frequencyHz, int durationMs, int sampleRate);

// Plays the tone through an ALSA PCM: S16 mono at kSampleRate, opened without blocking (a busy device fails
// at once instead of waiting) and drained before Beep returns, within a deadline of the tone's length plus
// kDrainSlackMs, so a stalled device can't hold the caller. ALSA's error messages are silenced.
class AlsaTone final : public TonePort {
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kDrainSlackMs = 1000;
    // A tone is a signal: longer requests are cut to this, which also bounds the sample buffer.
    static constexpr int kMaxDurationMs = 10000;

    // `pcmName` names the PCM to play through. A non-empty `configText` is an ALSA configuration that
    // defines it in place of the system's (used to play into a WAV file through the `file` PCM).
    explicit AlsaTone(std::string pcmName = "default", std::string configText = {});

    void Beep(int frequencyHz, int durationMs) override;

private:
    std::string m_pcmName;
    std::string m_configText;
};

}  // namespace ravolin
