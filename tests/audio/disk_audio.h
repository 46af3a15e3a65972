// Sound tests hear what the mixer plays: SDL's disk driver writes the mixed
// output (44.1 kHz stereo 16-bit) to a file, read back when the device closes.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "audio/music.h"
#include "audio/sound_device.h"
#include "frame/clock.h"
#include "support/temp_folder.h"

namespace vlm::test {

// A WAVE file of 44.1 kHz 16-bit stereo frames whose samples are all `value`.
inline std::string ConstantWave(std::int16_t value, std::uint32_t frames) {
    const auto le32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    std::string data;
    for (std::uint32_t i = 0; i < frames * 2; ++i)
        data += {char(value & 0xFF), char((value >> 8) & 0xFF)};
    const std::string format =
        std::string("\x01\x00\x02\x00", 4) + le32(44100) + le32(44100 * 4) + std::string("\x04\x00\x10\x00", 4);
    const std::string chunks = "WAVEfmt " + le32(16) + format + "data" + le32(std::uint32_t(data.size())) + data;
    return "RIFF" + le32(std::uint32_t(chunks.size())) + chunks;
}

// The output as it was mixed; times are milliseconds from the device's start.
struct Recording {
    std::vector<std::int16_t> samples; // interleaved left, right

    // Root mean square of one channel (0 left, 1 right) over a time span.
    double Level(int channel, double fromMs, double toMs) const {
        const auto frame = [&](double ms) {
            return std::min(samples.size() / 2, static_cast<std::size_t>(std::max(ms, 0.0) * 44.1));
        };
        double sum = 0;
        const std::size_t from = frame(fromMs), to = frame(toMs);
        for (std::size_t i = from; i < to; ++i)
            sum += double(samples[2 * i + channel]) * samples[2 * i + channel];
        return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
    }
    // The largest sample of one channel.
    std::int32_t Peak(int channel) const {
        std::int32_t peak = 0;
        for (std::size_t i = channel; i < samples.size(); i += 2)
            peak = std::max(peak, std::abs(std::int32_t{samples[i]}));
        return peak;
    }
    // Times at which the left channel rises above the threshold after at
    // least 100 ms below it.
    std::vector<double> Onsets(double threshold) const {
        std::vector<double> onsets;
        double quietSince = 0;
        for (double t = 0; t < samples.size() / 88.2; t += 5) {
            if (Level(0, t, t + 5) < threshold) continue;
            if (t - quietSince >= 100) onsets.push_back(t);
            quietSince = t + 5;
        }
        return onsets;
    }
};

class DiskAudio : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", (temp_ / "mixed.raw").c_str(), 1);
        InitTimer();
        ASSERT_TRUE(CreateTheSoundDevice().Open());
        opened_ = MillisecondsNow();
    }
    void TearDown() override {
        StopMusic();
        DestroyTheSoundDevice();
    }
    // Lets the mixer run on for a while.
    static void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    double Now() const { return MillisecondsNow() - opened_; }
    // Closes the device and reads back what it played.
    Recording Recorded() {
        DestroyTheSoundDevice();
        const std::string bytes = ReadWholeFile(temp_ / "mixed.raw");
        Recording recording;
        recording.samples.resize(bytes.size() / 2);
        std::memcpy(recording.samples.data(), bytes.data(), recording.samples.size() * 2);
        return recording;
    }
    // A clip made by the ffmpeg tool from its filter expression.
    std::string MakeClip(const std::string& name, const std::string& arguments) {
        const std::string path = (temp_ / name).string();
        const std::string command = "ffmpeg -v error -y " + arguments + " '" + path + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path;
    }

    TempFolder temp_;
    double opened_ = 0;
};

} // namespace vlm::test
