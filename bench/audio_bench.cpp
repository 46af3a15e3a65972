// Sound: prints
//  - the latency from PlaySound to the first block of mixed output that
//    holds the sound (50 plays at random moments), with one device buffer
//    added for what a real device then takes to play the block out;
//  - the CPU share of one core (user + system time of the whole process
//    over wall time) while 32 voices and an Ogg Vorbis track play;
//  - the load time of a 10 s 44.1 kHz stereo WAV (made here).
// Runs on SDL's disk driver writing to /dev/null unless SDL_AUDIODRIVER
// names another; the disk driver takes blocks at the pace of a real device.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "audio/music.h"
#include "audio/sound_device.h"
#include "audio/sound_table.h"
#include "frame/clock.h"
#include "platform/audio.h"

namespace {

namespace fs = std::filesystem;

double CpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void Sleep(double ms) { std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms)); }

// A 16-bit stereo WAV at 44.1 kHz of a 440 Hz tone.
void WriteTone(const fs::path& path, double seconds) {
    const auto frames = static_cast<std::uint32_t>(seconds * 44100);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * 2);
    for (std::uint32_t i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] =
            static_cast<std::int16_t>(8000 * std::sin(i * 2 * 3.14159265 * 440 / 44100));
    const auto le32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    const std::uint32_t bytes = frames * 4;
    std::ofstream out(path, std::ios::binary);
    out << "RIFF" << le32(36 + bytes) << "WAVEfmt " << le32(16) << std::string("\x01\x00\x02\x00", 4) << le32(44100)
        << le32(44100 * 4) << std::string("\x04\x00\x10\x00", 4) << "data" << le32(bytes);
    out.write(reinterpret_cast<const char*>(samples.data()), bytes);
}

std::atomic<bool> armed{false};
std::atomic<double> heardAt{0};

void WatchForSound(std::span<const std::int16_t> block, void*) {
    if (!armed.load()) return;
    if (std::any_of(block.begin(), block.end(), [](std::int16_t s) { return s != 0; })) {
        heardAt.store(vlm::MillisecondsNow());
        armed.store(false);
    }
}

void MeasureLatency() {
    vlm::platform::WatchOutput(WatchForSound, nullptr);
    std::mt19937 random(7);
    std::vector<double> latencies;
    for (int i = 0; i < 50; ++i) {
        vlm::StopAllSounds();
        Sleep(20 + random() % 20);
        heardAt.store(0);
        armed.store(true);
        const double start = vlm::MillisecondsNow();
        vlm::PlaySound(1, 0, 1);
        while (armed.load())
            Sleep(0.2);
        latencies.push_back(heardAt.load() - start);
    }
    vlm::platform::WatchOutput(nullptr, nullptr);
    std::sort(latencies.begin(), latencies.end());
    double mean = 0;
    for (const double l : latencies)
        mean += l;
    mean /= static_cast<double>(latencies.size());
    const double buffer = 1000.0 * vlm::platform::kMixBufferFrames / vlm::platform::kMixRate;
    std::printf("PlaySound to mixed output  mean %.2f ms  median %.2f ms  max %.2f ms  (buffer %d frames, %.1f ms)\n",
                mean, latencies[latencies.size() / 2], latencies.back(), vlm::platform::kMixBufferFrames, buffer);
    std::printf("  with one device buffer   mean %.2f ms  max %.2f ms  (goal < 25 ms)\n", mean + buffer,
                latencies.back() + buffer);
}

void MeasureCpuShare(const fs::path& folder) {
    const fs::path ogg = folder / "music.ogg";
    const std::string make = "ffmpeg -v error -y -f lavfi -i sine=frequency=220:duration=20 -ac 2 -ar 44100 '" +
                             ogg.string() + "' 2>/dev/null";
    const bool haveOgg = std::system(make.c_str()) == 0;
    vlm::PlayMusic(vlm::DynString(haveOgg ? ogg.string() : (folder / "ten.wav").string()), 1);
    for (std::int32_t slot = 10; slot < 18; ++slot) {
        vlm::LoadSound(vlm::DynString((folder / "ten.wav").string()), slot, 4);
        for (int v = 0; v < 4; ++v)
            vlm::PlaySound(slot, (v - 1.5) / 2, 0.9);
    }
    Sleep(200);
    const double wall0 = vlm::MillisecondsNow(), cpu0 = CpuMilliseconds();
    for (int i = 0; i < 300; ++i) {
        vlm::MusicTick();
        Sleep(10);
    }
    const double wall = vlm::MillisecondsNow() - wall0, cpu = CpuMilliseconds() - cpu0;
    int playing = 0;
    for (std::int32_t slot = 10; slot < 18; ++slot) {
        for (int v = 0; v < 4; ++v)
            playing += vlm::SoundPlaying(slot * 256 + v);
    }
    std::printf("32 voices + %s music   cpu %.2f %% of a core over %.1f s (%d voices still playing; goal < 5 %%)\n",
                haveOgg ? "Ogg Vorbis" : "WAV", 100.0 * cpu / wall, wall / 1000, playing);
    vlm::StopMusic();
    vlm::StopAllSounds();
}

void MeasureLoad(const fs::path& folder) {
    const vlm::DynString name((folder / "ten.wav").string());
    std::vector<double> times;
    for (int i = 0; i < 20; ++i) {
        const double start = vlm::MillisecondsNow();
        vlm::LoadSound(name, 2, 1);
        times.push_back(vlm::MillisecondsNow() - start);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "LoadSound 10 s 44.1 kHz stereo WAV (1.7 MiB)  median %.2f ms  min %.2f ms  max %.2f ms (goal < 5 ms)\n",
        times[times.size() / 2], times.front(), times.back());
}

} // namespace

int main() {
    if (!std::getenv("SDL_AUDIODRIVER")) {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    }
    vlm::InitTimer();
    if (!vlm::CreateTheSoundDevice().Open()) {
        std::fprintf(stderr, "bench_audio: no sound device\n");
        return 1;
    }
    vlm::CreateTheSoundTable();
    const fs::path folder = fs::temp_directory_path() / ("bench_audio." + std::to_string(::getpid()));
    fs::create_directories(folder);
    WriteTone(folder / "short.wav", 0.2);
    WriteTone(folder / "ten.wav", 10);
    vlm::LoadSound(vlm::DynString((folder / "short.wav").string()), 1, 1);

    MeasureLatency();
    MeasureCpuShare(folder);
    MeasureLoad(folder);

    vlm::DestroyTheSoundTable();
    vlm::DestroyTheSoundDevice();
    fs::remove_all(folder);
}
