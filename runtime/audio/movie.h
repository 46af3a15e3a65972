// Movies: a video file played inside the game window, scaled to fit and
// centred with its aspect kept, with its sound, until it ends or a key or
// mouse button is newly pressed. Music and the window's messages go on
// meanwhile.
#pragma once

#include <cstdint>

#include "values/dyn_string.h"

namespace vlm {

// Plays the movie once, or over and over when `loop` is non-zero, until a
// key or button is pressed. → 0; or 3 ("no such file", also set as
// LastErrorCode) at once when the file is missing or holds no video that
// can be decoded.
std::int32_t PlayMovie(const DynString& file, std::int32_t loop);

} // namespace vlm
