// Background slots: whole-screen pictures kept as up to 8 x 8 square
// textures, drawn back in place of clearing. Slot 0 is the program's
// background, redrawn under every new frame; slot 3 holds the screen behind
// the line-input routine.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vlm {

class OpenGLGlimmer;
using Display = OpenGLGlimmer;

inline constexpr std::int32_t kBackgroundSlotCount = 8;
inline constexpr std::int32_t kBackgroundTilesPerSide = 8;
inline constexpr std::int32_t kLineInputBackground = 3;

struct BackgroundTile {
    std::uint32_t texture = 0; // GL texture name, 0 = none
    std::int32_t texWidth = 0, texHeight = 0;
    std::int32_t copiedWidth = 0, copiedHeight = 0; // the part of the texture that holds picture
};

struct BackgroundSlot {
    std::array<BackgroundTile, kBackgroundTilesPerSide * kBackgroundTilesPerSide> tiles{}; // column * 8 + row
    std::int32_t columns = 0;
    std::int32_t rows = 0;
};

// Copies the whole screen into the slot's tiles (reusing tiles of the right size).
void GrabBackground(Display& display, std::int32_t slot);
// Loads a picture file as the program's background (slot 0) and draws it.
// On failure LastErrorCode is 3, the background is gone and the screen cleared.
bool LoadBackground(Display& display, std::string_view name);
// Draws the slot's tiles from the top-left corner; nothing for an empty slot.
void DrawBackground(Display& display, std::int32_t slot);
// Frees the slot's textures and empties it.
void DiscardBackground(Display& display, std::int32_t slot);
void DiscardAllBackgrounds(Display& display);

} // namespace vlm
