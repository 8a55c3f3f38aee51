#include "platform/sound/Tone.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QTemporaryDir>

namespace ravolin {
namespace {

struct ToneCase {
    int frequencyHz, durationMs, sampleRate;
};

// Positions where the wave goes from below zero to zero or above.
std::vector<std::size_t> upwardCrossings(const std::vector<std::int16_t>& samples) {
    std::vector<std::size_t> positions;
    for (std::size_t n = 1; n < samples.size(); ++n) {
        if (samples[n - 1] < 0 && samples[n] >= 0) positions.push_back(n);
    }
    return positions;
}

int peak(std::vector<std::int16_t>::const_iterator first, std::vector<std::int16_t>::const_iterator last) {
    int highest = 0;
    for (auto it = first; it != last; ++it) highest = std::max(highest, std::abs(int{*it}));
    return highest;
}

TEST(GenerateTone, givesRateTimesDurationSamples) {
    struct Case {
        ToneCase tone;
        std::size_t expected;
    };
    const Case cases[] = {
        {{1000, 50, 48000}, 2400},      {{1000, 50, 44100}, 2205},
        {{440, 7, 8000}, 56},           {{1000, 1, 44100}, 44},  // 44.1 rounds down: never a sample past the duration
        {{1000, 10000, 48000}, 480000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(generateTone(c.tone.frequencyHz, c.tone.durationMs, c.tone.sampleRate).size(), c.expected)
            << c.tone.frequencyHz << " Hz " << c.tone.durationMs << " ms @" << c.tone.sampleRate;
    }
}

TEST(GenerateTone, oscillatesAtTheRequestedFrequency) {
    const ToneCase cases[] = {{1000, 50, 48000}, {1000, 50, 44100}, {440, 200, 44100}, {2500, 40, 48000}};
    for (const ToneCase& c : cases) {
        const std::vector<std::size_t> crossings =
            upwardCrossings(generateTone(c.frequencyHz, c.durationMs, c.sampleRate));
        const double expectedPeriods = c.frequencyHz * c.durationMs / 1000.0;
        // Starting at phase 0, the first period's start isn't preceded by a sample, so one crossing is missing.
        EXPECT_NEAR(static_cast<double>(crossings.size()), expectedPeriods - 1, 1.0) << c.frequencyHz << " Hz";
        ASSERT_GE(crossings.size(), 2u);
        const double period =
            static_cast<double>(crossings.back() - crossings.front()) / static_cast<double>(crossings.size() - 1);
        EXPECT_NEAR(period, static_cast<double>(c.sampleRate) / c.frequencyHz, 0.1) << c.frequencyHz << " Hz";
    }
}

TEST(GenerateTone, reachesButNeverExceedsTheAmplitude) {
    const std::vector<std::int16_t> samples = generateTone(1000, 50, 48000);
    ASSERT_EQ(samples.size(), 2400u);
    EXPECT_LE(peak(samples.begin(), samples.end()), kToneAmplitude);
    EXPECT_GE(peak(samples.begin() + 1000, samples.begin() + 1400), kToneAmplitude - 2);  // full level mid-tone
}

TEST(GenerateTone, fadesInAndOutSoTheSpeakerDoesNotClick) {
    const std::vector<std::int16_t> samples = generateTone(1000, 50, 48000);
    ASSERT_EQ(samples.size(), 2400u);
    EXPECT_EQ(samples.front(), 0);
    EXPECT_EQ(samples.back(), 0);
    constexpr std::ptrdiff_t kOneMs = 48;
    EXPECT_LT(peak(samples.begin(), samples.begin() + kOneMs), kToneAmplitude / 5);
    EXPECT_LT(peak(samples.end() - kOneMs, samples.end()), kToneAmplitude / 5);
    // The ramp rises steadily: each millisecond of the fade is louder than the one before.
    for (std::ptrdiff_t ms = 1; ms < kToneFadeMs; ++ms) {
        EXPECT_GT(peak(samples.begin() + ms * kOneMs, samples.begin() + (ms + 1) * kOneMs),
                  peak(samples.begin() + (ms - 1) * kOneMs, samples.begin() + ms * kOneMs))
            << ms << " ms";
    }
}

TEST(GenerateTone, fadesAShortToneOverItsHalves) {
    const std::vector<std::int16_t> samples = generateTone(1000, 4, 48000);
    ASSERT_EQ(samples.size(), 192u);
    EXPECT_EQ(samples.front(), 0);
    EXPECT_EQ(samples.back(), 0);
    EXPECT_GT(peak(samples.begin() + 72, samples.begin() + 120), kToneAmplitude / 2);
}

TEST(GenerateTone, isEmptyForNonPositiveArguments) {
    const ToneCase cases[] = {{0, 50, 48000},     {-1000, 50, 48000}, {1000, 0, 48000},
                              {1000, -50, 48000}, {1000, 50, 0},      {1000, 50, -48000}};
    for (const ToneCase& c : cases) {
        EXPECT_TRUE(generateTone(c.frequencyHz, c.durationMs, c.sampleRate).empty())
            << c.frequencyHz << " Hz " << c.durationMs << " ms @" << c.sampleRate;
    }
}

TEST(AlsaTone, returnsSilentlyWhereNoDeviceOpens) {
    struct Case {
        const char* pcm;
        const char* config;
    };
    const Case cases[] = {
        {"ravolin_no_such_pcm", ""},                               // unknown to the system's configuration
        {"ravolin_tone", "pcm.ravolin_tone { type hw card 97 }"},  // a card that doesn't exist
        {"ravolin_tone", "pcm.ravolin_tone { type"},               // a configuration that doesn't parse
    };
    for (const Case& c : cases) {
        AlsaTone tone(c.pcm, c.config);
        testing::internal::CaptureStderr();
        tone.Beep(1000, 50);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.pcm << " / " << c.config;
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
    return value;
}

struct Wav {
    std::uint32_t format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> samples;
};

// Reads the "fmt " and "data" chunks of a RIFF WAVE file; a chunk the file doesn't hold stays empty.
Wav parseWav(const std::string& bytes) {
    Wav wav;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return wav;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::size_t size = std::min<std::size_t>(littleEndian(bytes, at + 4, 4), bytes.size() - at - 8);
        const std::size_t body = at + 8;
        if (id == "fmt " && size >= 16) {
            wav.format = littleEndian(bytes, body, 2);
            wav.channels = littleEndian(bytes, body + 2, 2);
            wav.rate = littleEndian(bytes, body + 4, 4);
            wav.bits = littleEndian(bytes, body + 14, 2);
        } else if (id == "data") {
            wav.samples.resize(size / 2);
            std::memcpy(wav.samples.data(), bytes.data() + body, wav.samples.size() * 2);
        }
        at = body + size + size % 2;
    }
    return wav;
}

bool canOpen(const std::string& pcmName, const std::string& configText) {
    snd_config_t* config = nullptr;
    snd_input_t* input = nullptr;
    if (snd_config_top(&config) < 0) return false;
    bool opened = false;
    if (snd_input_buffer_open(&input, configText.data(), static_cast<ssize_t>(configText.size())) >= 0) {
        snd_pcm_t* pcm = nullptr;
        opened = snd_config_load(config, input) >= 0 &&
                 snd_pcm_open_lconf(&pcm, pcmName.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK, config) >= 0;
        if (opened) snd_pcm_close(pcm);
        snd_input_close(input);
    }
    snd_config_delete(config);
    return opened;
}

TEST(AlsaTone, playsTheGeneratedToneThroughTheDevice) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string probePath = dir.filePath("probe.wav").toStdString();
    const std::string wavPath = dir.filePath("tone.wav").toStdString();
    const auto fileDevice = [](const std::string& path) {
        return "pcm.ravolin_tone { type file slave.pcm { type null } format \"wav\" file \"" + path + "\" }";
    };
    if (!canOpen("ravolin_tone", fileDevice(probePath))) GTEST_SKIP() << "ALSA's file PCM isn't available";

    AlsaTone(std::string("ravolin_tone"), fileDevice(wavPath)).Beep(1000, 50);

    const Wav wav = parseWav(readFile(wavPath));
    EXPECT_EQ(wav.format, 1u);  // PCM
    EXPECT_EQ(wav.channels, 1u);
    EXPECT_EQ(wav.rate, static_cast<std::uint32_t>(AlsaTone::kSampleRate));
    EXPECT_EQ(wav.bits, 16u);
    EXPECT_EQ(wav.samples, generateTone(1000, 50, AlsaTone::kSampleRate));
}

}  // namespace
}  // namespace ravolin
