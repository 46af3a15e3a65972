// Turning the picture back into sprites and files: a screen rectangle into a
// sprite, and the whole back buffer into a PNG or BMP file.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vlm {

class OpenGLGlimmer;
using Display = OpenGLGlimmer;

// Copies the w x h rectangle with top-left (x, y) of the current target into
// sprite id. Pixels drawn in the colour key come out transparent. A surface
// cannot be grabbed into its own sprite while it is being drawn into.
bool GrabScreen(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w,
                std::int32_t h);
// GrabScreen's way for colour buffers without alpha: read back, key by hand.
bool GrabScreenByReadBack(Display& display, std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w,
                          std::int32_t h);
// How the current target stores the colour key (0x00BBGGRR); 0 when the
// key is 0, nothing when no key is set.
std::optional<std::uint32_t> ProbeKeyColour(Display& display);
// Writes the back buffer as PNG (a name ending in ".png") or 24-bit BMP;
// key-coloured pixels become transparent (PNG) or the standard key colour (BMP).
bool SaveScreen(Display& display, std::string_view name);

} // namespace vlm
