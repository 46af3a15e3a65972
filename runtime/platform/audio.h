// The sound device and its mixer. Everything is mixed at 44.1 kHz into
// stereo signed 16-bit samples. Sound effects play on numbered voice
// channels from sample buffers in that format; music has the mixer's one
// music stream (platform/music.h); a movie's sound is fed in as it is
// decoded (SoundStream).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vlm::platform {

inline constexpr int kMixRate = 44100;
// Frames per device buffer: about 11.6 ms at the mixing rate.
inline constexpr int kMixBufferFrames = 512;

// Opens the default sound device with this many voice channels. In a
// headless run (`headless`) without SDL_AUDIODRIVER the silent driver is
// used. False when there is no device: every later sound call then fails.
bool OpenAudio(int voiceChannels, bool headless);
void CloseAudio();
bool AudioOpen();

// Samples in the mixer's format (interleaved stereo at the mixing rate),
// which any number of voices play at once.
class SampleBuffer {
public:
    // Resamples stereo frames of the given rate to the mixing rate. Null
    // when the device is closed or the result would be too large.
    static std::unique_ptr<SampleBuffer> Make(std::vector<std::int16_t> stereo, std::uint32_t rate);
    ~SampleBuffer(); // stops the voices that play it
    SampleBuffer(const SampleBuffer&) = delete;
    SampleBuffer& operator=(const SampleBuffer&) = delete;

    std::size_t Frames() const { return samples_.size() / 2; }

private:
    friend bool PlayVoice(int channel, const SampleBuffer& samples, float leftGain, float rightGain);
    explicit SampleBuffer(std::vector<std::int16_t> samples);
    std::vector<std::int16_t> samples_;
    void* chunk_ = nullptr; // the mixer's view of samples_
};

// Plays the samples once on a voice channel (0 .. voiceChannels - 1) with
// these linear gains, stopping what it played before. False when the
// mixer refuses.
bool PlayVoice(int channel, const SampleBuffer& samples, float leftGain, float rightGain);
bool VoicePlaying(int channel);
// Stops the voice; its next play starts at the beginning.
void StopVoice(int channel);

// Sound produced while it plays (a movie's), mixed in with everything
// else. One stream at a time.
class SoundStream {
public:
    // Null when the device is closed or another stream is open.
    static std::unique_ptr<SoundStream> Open();
    ~SoundStream();
    SoundStream(const SoundStream&) = delete;
    SoundStream& operator=(const SoundStream&) = delete;

    // Queues stereo frames at the mixing rate.
    void Push(std::span<const std::int16_t> stereo);
    // Frames queued and not yet mixed.
    std::size_t Queued() const;
    // Forgets what is queued.
    void Clear();

private:
    SoundStream() = default;
};

// Called on the mixer's thread with every block of mixed output (stereo
// frames) as the device takes it; null to stop. For measurements.
using OutputWatcher = void (*)(std::span<const std::int16_t> stereo, void* context);
void WatchOutput(OutputWatcher watcher, void* context);

} // namespace vlm::platform
