#include "audio/music.h"

#include <algorithm>

#include "files/media_name_resolver.h"
#include "files/memory_files.h"
#include "frame/clock.h"
#include "frame/frame_loop.h"
#include "platform/music.h"

namespace vlm {

namespace {

// A shorter or unknown length counts as this, so a loop restarts at most
// twice a second.
constexpr double kShortestLoopMs = 500.0;
constexpr std::int32_t kFullVolume = 1000;

MusicState theMusic;

std::unique_ptr<platform::MusicTrack> OpenTrack(const DynString& name) {
    if (IsMemoryFileName(name.view())) {
        const auto block = FindMemoryBlock(name.view());
        return block ? platform::MusicTrack::Open(*block) : nullptr;
    }
    return platform::MusicTrack::Open(PlatformPath(name.view()));
}

double LoopLength(const platform::MusicTrack* track) {
    return std::max(track ? track->LengthMilliseconds() : 0.0, kShortestLoopMs);
}

} // namespace

MusicState& TheMusic() { return theMusic; }

void PlayMusic(const DynString& file, std::int32_t loop) {
    StopMusic();
    theMusic.MusicFileName = file;
    const ResolvedName resolved = MediaNameResolver(file.view());
    if (!resolved.found) return;
    theMusic.MusicWindow = OpenTrack(resolved.name);
    if (!theMusic.MusicWindow) return;
    const double length = LoopLength(theMusic.MusicWindow.get());
    theMusic.MusicRestartTime = loop != 0 ? MillisecondsNow() + length : 0.0;
    theMusic.MusicWindow->PlayFromStart();
    // Playing starts at full volume whatever was set before.
    theMusic.MusicVolumeCache = 1.0;
    platform::SetMusicStreamVolume(kFullVolume);
    TheFrameLoop().Paused = false;
}

void StopMusic() {
    theMusic.MusicVolumeCache = -1.0;
    theMusic.MusicRestartTime = 0.0;
    theMusic.MusicWindow.reset();
}

void RewindMusic() {
    if (theMusic.MusicWindow) theMusic.MusicWindow->Rewind();
}

void SetMusicVolume(double volume) {
    if (volume == theMusic.MusicVolumeCache) return;
    theMusic.MusicVolumeCache = volume;
    if (!theMusic.MusicWindow) return;
    // Truncated towards zero; out of range (or not a number) is held to 0..1000.
    const double scaled = volume * kFullVolume;
    platform::SetMusicStreamVolume(scaled >= kFullVolume ? kFullVolume
                                   : scaled > 0          ? static_cast<std::int32_t>(scaled)
                                                         : 0);
}

void MusicTick() {
    if (theMusic.MusicRestartTime <= 0 || MillisecondsNow() < theMusic.MusicRestartTime) return;
    theMusic.MusicRestartTime = MillisecondsNow() + LoopLength(theMusic.MusicWindow.get());
    if (theMusic.MusicWindow) theMusic.MusicWindow->PlayFromStart();
}

} // namespace vlm
