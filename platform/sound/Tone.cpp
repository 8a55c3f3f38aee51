#include "platform/sound/Tone.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <numbers>
#include <thread>

namespace ravolin {
namespace {

using Clock = std::chrono::steady_clock;

// ALSA reports a missing card or configuration on stderr; a machine without sound is normal for us.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsaErrors() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(ignoreAlsaError); });
}

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};
using PcmHandle = std::unique_ptr<snd_pcm_t, PcmCloser>;

struct ConfigDeleter {
    void operator()(snd_config_t* config) const { snd_config_delete(config); }
};
using ConfigHandle = std::unique_ptr<snd_config_t, ConfigDeleter>;

ConfigHandle loadConfig(const std::string& text) {
    snd_config_t* top = nullptr;
    if (snd_config_top(&top) < 0) return nullptr;
    ConfigHandle config(top);
    snd_input_t* input = nullptr;
    if (snd_input_buffer_open(&input, text.data(), static_cast<ssize_t>(text.size())) < 0) return nullptr;
    const int loaded = snd_config_load(config.get(), input);
    snd_input_close(input);
    return loaded < 0 ? nullptr : std::move(config);
}

// The PCM and, when it comes from a configuration of our own, that configuration; the PCM is closed first.
struct OpenPcm {
    ConfigHandle config;
    PcmHandle pcm;
};

OpenPcm openPcm(const std::string& name, const std::string& configText) {
    OpenPcm opened;
    snd_pcm_t* pcm = nullptr;
    int status = 0;
    if (configText.empty()) {
        status = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    } else {
        opened.config = loadConfig(configText);
        if (!opened.config) return opened;
        status = snd_pcm_open_lconf(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK, opened.config.get());
    }
    if (status >= 0) opened.pcm.reset(pcm);
    return opened;
}

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

bool writeSamples(snd_pcm_t* pcm, const std::vector<std::int16_t>& samples, Clock::time_point deadline) {
    std::size_t done = 0;
    while (done < samples.size()) {
        if (millisecondsLeft(deadline) == 0) return false;
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples.data() + done, samples.size() - done);
        if (written >= 0) {
            done += static_cast<std::size_t>(written);
        } else if (written == -EAGAIN) {
            snd_pcm_wait(pcm, millisecondsLeft(deadline));
        } else if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) {
            return false;
        }
    }
    return true;
}

// A non-blocking drain answers -EAGAIN until the last frame has played; some devices answer it forever, hence
// the deadline.
void drainWithin(snd_pcm_t* pcm, Clock::time_point deadline) {
    while (snd_pcm_drain(pcm) == -EAGAIN) {
        if (millisecondsLeft(deadline) == 0) {
            snd_pcm_drop(pcm);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// A raised-cosine ramp from 0 at the tone's edge to 1 after `fadeLength` samples.
double fadeGain(std::size_t fromEdge, std::size_t fadeLength) {
    if (fromEdge >= fadeLength) return 1.0;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(fromEdge) / static_cast<double>(fadeLength));
}

}  // namespace

std::vector<std::int16_t> generateTone(int frequencyHz, int durationMs, int sampleRate) {
    if (frequencyHz <= 0 || durationMs <= 0 || sampleRate <= 0) return {};
    const auto count = static_cast<std::size_t>(std::int64_t{sampleRate} * durationMs / 1000);
    const auto fadeLength = std::min(static_cast<std::size_t>(sampleRate / 1000 * kToneFadeMs), count / 2);
    const double step = 2.0 * std::numbers::pi * frequencyHz / sampleRate;
    std::vector<std::int16_t> samples(count);
    for (std::size_t n = 0; n < count; ++n) {
        const double level = kToneAmplitude * fadeGain(std::min(n, count - 1 - n), fadeLength);
        samples[n] = static_cast<std::int16_t>(std::lround(level * std::sin(step * static_cast<double>(n))));
    }
    return samples;
}

AlsaTone::AlsaTone(std::string pcmName, std::string configText)
    : m_pcmName(std::move(pcmName)), m_configText(std::move(configText)) {}

void AlsaTone::Beep(int frequencyHz, int durationMs) {
    silenceAlsaErrors();
    const int playedMs = std::min(durationMs, kMaxDurationMs);
    const std::vector<std::int16_t> samples = generateTone(frequencyHz, playedMs, kSampleRate);
    if (samples.empty()) return;
    const OpenPcm device = openPcm(m_pcmName, m_configText);
    snd_pcm_t* pcm = device.pcm.get();
    if (!pcm) return;
    constexpr unsigned kLatencyUs = 100000;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1, kSampleRate, 1, kLatencyUs) < 0)
        return;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(playedMs + kDrainSlackMs);
    if (writeSamples(pcm, samples, deadline)) {
        drainWithin(pcm, deadline);
    } else {
        snd_pcm_drop(pcm);
    }
}

}  // namespace ravolin
