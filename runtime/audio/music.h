// Music: one track at a time on the mixer's music stream. A looping track
// is started again by the clock (MusicTick), not when the mixer reports
// its end, so the frame loop and every wait call MusicTick.
#pragma once

#include <cstdint>
#include <memory>

#include "values/dyn_string.h"

namespace vlm {

namespace platform {
class MusicTrack;
}

struct MusicState {
    std::unique_ptr<platform::MusicTrack> MusicWindow; // the playing track, or none
    DynString MusicFileName;                           // the name last asked for
    double MusicVolumeCache = -1.0;                    // the last volume sent; -1 none yet
    double MusicRestartTime = 0.0;                     // MillisecondsNow of the next loop start; 0 none
};

MusicState& TheMusic();

// ---- Program-facing ---------------------------------------------------------

// Stops the old track, then plays the file from the start, looping when
// `loop` is non-zero, at full volume. A name that is not found plays
// nothing and raises no error.
void PlayMusic(const DynString& file, std::int32_t loop);
void StopMusic();
void RewindMusic();
// 0..1; sent only when it differs from the last volume sent.
void SetMusicVolume(double volume);
// Starts a looping track again once its length has passed.
void MusicTick();

} // namespace vlm
