// Saves the picture being presented (the back buffer) as PNG or BMP.
#pragma once

#include <string_view>

#include "gfx2d/image_writer.h"

namespace vlm {

class OpenGLGlimmer;
using Display = OpenGLGlimmer;

// The back buffer as blue-green-red rows, bottom row first.
ScreenPicture ReadBackBuffer(const Display& display);
bool SaveFramePicture(const Display& display, std::string_view name);

} // namespace vlm
