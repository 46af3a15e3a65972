#include "platform/music.h"

#include <SDL_mixer.h>
#include <algorithm>

#include "platform/audio.h"

namespace vlm::platform {

namespace {

Mix_Music* AsMusic(void* music) { return static_cast<Mix_Music*>(music); }

} // namespace

std::unique_ptr<MusicTrack> MusicTrack::Open(const std::string& path) {
    if (!AudioOpen()) return nullptr;
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    if (!music) return nullptr;
    return std::unique_ptr<MusicTrack>(new MusicTrack(music, {}));
}

std::unique_ptr<MusicTrack> MusicTrack::Open(std::span<const std::uint8_t> bytes) {
    if (!AudioOpen() || bytes.empty()) return nullptr;
    // The mixer reads the track while it plays; a copy outlives the
    // program's block.
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    SDL_RWops* stream = SDL_RWFromConstMem(copy.data(), static_cast<int>(copy.size()));
    if (!stream) return nullptr;
    Mix_Music* music = Mix_LoadMUS_RW(stream, 1);
    if (!music) return nullptr;
    return std::unique_ptr<MusicTrack>(new MusicTrack(music, std::move(copy)));
}

MusicTrack::~MusicTrack() {
    Mix_FreeMusic(AsMusic(music_)); // halts it first when it plays
}

double MusicTrack::LengthMilliseconds() const {
    const double seconds = Mix_MusicDuration(AsMusic(music_));
    return seconds > 0 ? seconds * 1000.0 : 0.0;
}

void MusicTrack::PlayFromStart() { Mix_PlayMusic(AsMusic(music_), 0); }

void MusicTrack::Rewind() { Mix_RewindMusic(); }

void SetMusicStreamVolume(std::int32_t volume) {
    const std::int32_t clamped = std::clamp(volume, 0, 1000);
    Mix_VolumeMusic((clamped * MIX_MAX_VOLUME + 500) / 1000);
}

} // namespace vlm::platform
