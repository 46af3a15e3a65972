// Sound tests hear what the mixer plays: SDL's disk driver writes the mixed
// output (44.1 kHz stereo 16-bit) to a file, read back when the device closes.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "audio/music.h"
#include "audio/sound_device.h"
#include "audio/sound_table.h"
#include "frame/clock.h"
#include "platform/audio.h"
#include "support/temp_folder.h"

namespace vlm::test {

// The output as it was mixed; times are milliseconds from the device's start.
struct Recording {
    std::vector<std::int16_t> samples; // interleaved left, right

    // Root mean square of one channel (0 left, 1 right) over a time span.
    double Level(int channel, double fromMs, double toMs) const {
        const std::size_t from = std::min(samples.size() / 2, std::size_t(std::max(fromMs, 0.0) * 44.1));
        const std::size_t to = std::min(samples.size() / 2, std::size_t(std::max(toMs, 0.0) * 44.1));
        double sum = 0;
        for (std::size_t i = from; i < to; ++i)
            sum += double(samples[2 * i + channel]) * samples[2 * i + channel];
        return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
    }
    std::int32_t Peak(int channel) const {
        std::int32_t peak = 0;
        for (std::size_t i = channel; i < samples.size(); i += 2)
            peak = std::max(peak, std::abs(std::int32_t{samples[i]}));
        return peak;
    }
};

class DiskAudio : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", (temp_ / "mixed.raw").c_str(), 1);
        InitTimer();
        CreateTheSoundTable();
        Reopen();
    }
    void TearDown() override {
        StopMusic();
        DestroyTheSoundTable();
        DestroyTheSoundDevice();
    }
    // A new device, whose output starts a new recording.
    void Reopen() {
        ASSERT_TRUE(CreateTheSoundDevice().Open());
        mixed_ = 0;
        platform::WatchOutput([](std::span<const std::int16_t> block,
                                 void* mixed) { *static_cast<std::atomic<std::size_t>*>(mixed) += block.size(); },
                              &mixed_);
    }
    // The place in the recording that is being mixed now, in milliseconds.
    double Now() const { return double(mixed_) / 88.2; }
    // Lets the mixer mix `ms` more (a loaded machine may take longer to).
    void Wait(double ms) const {
        for (const double until = Now() + ms; Now() < until;)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Closes the device and reads back what it played.
    Recording Recorded() {
        DestroyTheSoundDevice();
        const std::string bytes = ReadWholeFile(temp_ / "mixed.raw");
        Recording recording{std::vector<std::int16_t>(bytes.size() / 2)};
        std::memcpy(recording.samples.data(), bytes.data(), recording.samples.size() * 2);
        return recording;
    }
    // A clip the ffmpeg tool makes with these arguments.
    std::string MakeClip(const std::string& name, const std::string& arguments) {
        const std::string path = (temp_ / name).string();
        const std::string command = "ffmpeg -v error -y " + arguments + " '" + path + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path;
    }
    // A WAVE file of 44.1 kHz 16-bit stereo samples that are all `value`.
    DynString ConstantWave(const std::string& name, std::int16_t value, int ms) {
        return DynString(MakeClip(name, "-f lavfi -i aevalsrc=" + std::to_string(value / 32768.0) +
                                            ":c=stereo:s=44100:d=" + std::to_string(ms / 1000.0) + " -c:a pcm_s16le"));
    }

    TempFolder temp_;
    std::atomic<std::size_t> mixed_ = 0; // samples mixed since the device opened
};

} // namespace vlm::test
