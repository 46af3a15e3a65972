#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>

namespace vlm::platform {

namespace {

// No sound effect needs more than twenty minutes at the mixing rate (about
// 200 MiB); a longer result is refused before it is allocated.
constexpr std::uint64_t kMaxSampleFrames = std::uint64_t{kMixRate} * 60 * 20;

struct VoiceGains {
    float left = 1.0f;
    float right = 1.0f;
};

struct StreamQueue {
    std::mutex lock;
    std::vector<std::int16_t> samples;
    std::size_t start = 0; // samples before this were mixed already
};

struct AudioState {
    bool open = false;
    int voiceChannels = 0;
    std::vector<VoiceGains> gains; // one per voice channel, read by the mixer while it plays
    // The stream channel (after the voices) loops a silent chunk whose
    // copy the stream's samples replace.
    std::vector<std::int16_t> silence;
    Mix_Chunk* silentChunk = nullptr;
    bool streamOpen = false;
    StreamQueue stream;
    std::atomic<OutputWatcher> watcher{nullptr};
    std::atomic<void*> watcherContext{nullptr};
};

AudioState theAudio;

std::int16_t Scaled(std::int16_t sample, float gain) {
    return static_cast<std::int16_t>(std::lrintf(static_cast<float>(sample) * gain));
}

// Runs on the mixer's thread over the voice's copy of its samples.
void ApplyGains(int, void* stream, int length, void* context) {
    const auto* gains = static_cast<const VoiceGains*>(context);
    auto* samples = static_cast<std::int16_t*>(stream);
    const std::size_t count = static_cast<std::size_t>(length) / sizeof(std::int16_t);
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        samples[i] = Scaled(samples[i], gains->left);
        samples[i + 1] = Scaled(samples[i + 1], gains->right);
    }
}

void FeedStream(int, void* stream, int length, void*) {
    auto* out = static_cast<std::int16_t*>(stream);
    const std::size_t wanted = static_cast<std::size_t>(length) / sizeof(std::int16_t);
    StreamQueue& queue = theAudio.stream;
    const std::lock_guard guard(queue.lock);
    const std::size_t taken = std::min(wanted, queue.samples.size() - queue.start);
    std::copy_n(queue.samples.begin() + static_cast<std::ptrdiff_t>(queue.start), taken, out);
    std::fill(out + taken, out + wanted, std::int16_t{0});
    queue.start += taken;
}

void WatchMix(void*, Uint8* stream, int length) {
    const OutputWatcher watcher = theAudio.watcher.load();
    if (!watcher) return;
    const std::span<const std::int16_t> samples(reinterpret_cast<const std::int16_t*>(stream),
                                                static_cast<std::size_t>(length) / sizeof(std::int16_t));
    watcher(samples, theAudio.watcherContext.load());
}

int StreamChannel() { return theAudio.voiceChannels; }

void CloseStream() {
    if (!theAudio.streamOpen) return;
    Mix_HaltChannel(StreamChannel()); // also drops its effect
    Mix_FreeChunk(theAudio.silentChunk);
    theAudio.silentChunk = nullptr;
    theAudio.streamOpen = false;
    const std::lock_guard guard(theAudio.stream.lock);
    theAudio.stream.samples.clear();
    theAudio.stream.start = 0;
}

// Resamples interleaved stereo frames to the mixing rate.
std::vector<std::int16_t> Resampled(std::vector<std::int16_t> stereo, std::uint32_t rate) {
    if (rate == kMixRate || stereo.empty()) return stereo;
    SDL_AudioStream* converter = SDL_NewAudioStream(AUDIO_S16SYS, 2, static_cast<int>(rate), AUDIO_S16SYS, 2, kMixRate);
    if (!converter) return {};
    std::vector<std::int16_t> out;
    const int inBytes = static_cast<int>(stereo.size() * sizeof(std::int16_t));
    if (SDL_AudioStreamPut(converter, stereo.data(), inBytes) == 0 && SDL_AudioStreamFlush(converter) == 0) {
        out.resize(static_cast<std::size_t>(SDL_AudioStreamAvailable(converter)) / sizeof(std::int16_t));
        const int got = SDL_AudioStreamGet(converter, out.data(), static_cast<int>(out.size() * sizeof(std::int16_t)));
        out.resize(got > 0 ? static_cast<std::size_t>(got) / sizeof(std::int16_t) / 2 * 2 : 0);
    }
    SDL_FreeAudioStream(converter);
    return out;
}

} // namespace

bool OpenAudio(int voiceChannels, bool headless) {
    if (theAudio.open) return true;
    if (headless && !std::getenv("SDL_AUDIODRIVER")) SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_FLAC);
    // No changes allowed: the device's own format is converted to, so every
    // buffer the runtime makes is in the one mixing format.
    if (Mix_OpenAudioDevice(kMixRate, AUDIO_S16SYS, 2, kMixBufferFrames, nullptr, 0) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    theAudio.voiceChannels = voiceChannels;
    Mix_AllocateChannels(voiceChannels + 1);
    theAudio.gains.assign(static_cast<std::size_t>(voiceChannels), VoiceGains{});
    theAudio.silence.assign(static_cast<std::size_t>(kMixBufferFrames) * 2, 0);
    Mix_SetPostMix(WatchMix, nullptr);
    theAudio.open = true;
    return true;
}

void CloseAudio() {
    if (!theAudio.open) return;
    CloseStream();
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    theAudio.open = false;
    theAudio.voiceChannels = 0;
    theAudio.gains.clear();
}

bool AudioOpen() { return theAudio.open; }

SampleBuffer::SampleBuffer(std::vector<std::int16_t> samples) : samples_(std::move(samples)) {
    chunk_ = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(samples_.data()),
                               static_cast<Uint32>(samples_.size() * sizeof(std::int16_t)));
}

std::unique_ptr<SampleBuffer> SampleBuffer::Make(std::vector<std::int16_t> stereo, std::uint32_t rate) {
    if (!theAudio.open || rate == 0 || stereo.empty()) return nullptr;
    const std::uint64_t frames = stereo.size() / 2;
    if ((frames * kMixRate + rate - 1) / rate > kMaxSampleFrames) return nullptr;
    std::vector<std::int16_t> mixed = Resampled(std::move(stereo), rate);
    if (mixed.empty()) return nullptr;
    std::unique_ptr<SampleBuffer> buffer(new SampleBuffer(std::move(mixed)));
    if (!buffer->chunk_) return nullptr;
    return buffer;
}

SampleBuffer::~SampleBuffer() {
    // Voices playing the chunk are halted first; the samples are ours.
    Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk_));
}

bool PlayVoice(int channel, const SampleBuffer& samples, float leftGain, float rightGain) {
    if (!theAudio.open || channel < 0 || channel >= theAudio.voiceChannels || !samples.chunk_) return false;
    Mix_HaltChannel(channel);
    Mix_UnregisterAllEffects(channel);
    VoiceGains& gains = theAudio.gains[static_cast<std::size_t>(channel)];
    gains = {leftGain, rightGain};
    if (Mix_RegisterEffect(channel, ApplyGains, nullptr, &gains) == 0) return false;
    return Mix_PlayChannel(channel, static_cast<Mix_Chunk*>(samples.chunk_), 0) == channel;
}

bool VoicePlaying(int channel) {
    if (!theAudio.open || channel < 0 || channel >= theAudio.voiceChannels) return false;
    return Mix_Playing(channel) != 0;
}

void StopVoice(int channel) {
    if (!theAudio.open || channel < 0 || channel >= theAudio.voiceChannels) return;
    Mix_HaltChannel(channel);
}

std::unique_ptr<SoundStream> SoundStream::Open() {
    if (!theAudio.open || theAudio.streamOpen) return nullptr;
    theAudio.silentChunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(theAudio.silence.data()),
                                             static_cast<Uint32>(theAudio.silence.size() * sizeof(std::int16_t)));
    if (!theAudio.silentChunk) return nullptr;
    theAudio.streamOpen = true;
    if (Mix_RegisterEffect(StreamChannel(), FeedStream, nullptr, nullptr) == 0 ||
        Mix_PlayChannel(StreamChannel(), theAudio.silentChunk, -1) != StreamChannel()) {
        CloseStream();
        return nullptr;
    }
    return std::unique_ptr<SoundStream>(new SoundStream());
}

SoundStream::~SoundStream() { CloseStream(); }

void SoundStream::Push(std::span<const std::int16_t> stereo) {
    StreamQueue& queue = theAudio.stream;
    const std::lock_guard guard(queue.lock);
    // What was mixed already is dropped before the queue grows.
    if (queue.start > 0 && queue.start * 2 >= queue.samples.size()) {
        queue.samples.erase(queue.samples.begin(), queue.samples.begin() + static_cast<std::ptrdiff_t>(queue.start));
        queue.start = 0;
    }
    queue.samples.insert(queue.samples.end(), stereo.begin(), stereo.end());
}

std::size_t SoundStream::Queued() const {
    StreamQueue& queue = theAudio.stream;
    const std::lock_guard guard(queue.lock);
    return (queue.samples.size() - queue.start) / 2;
}

void SoundStream::Clear() {
    StreamQueue& queue = theAudio.stream;
    const std::lock_guard guard(queue.lock);
    queue.samples.clear();
    queue.start = 0;
}

void WatchOutput(OutputWatcher watcher, void* context) {
    theAudio.watcherContext.store(context);
    theAudio.watcher.store(watcher);
}

} // namespace vlm::platform
