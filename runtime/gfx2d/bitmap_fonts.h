// Bitmap fonts: 32 slots, each a picture of 16 character cells a row kept in
// the sprite store's font ids, one of them current. Text is printed
// monospaced, one quad per byte, with the current colour and alpha.
#pragma once

#include <cstdint>
#include <string_view>

namespace vlm {

class OpenGLGlimmer;
using Display = OpenGLGlimmer;

inline constexpr std::int32_t kFontCount = 32;

struct FontCellSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Makes the font current (clamped to 0..31).
void SetFont(Display& display, std::int32_t font);
// Loads a font picture into the slot (clamped) and makes it current. When
// the file cannot be found or read, LastErrorCode is 3 and the slot gets the
// compiled-in font, so a slot is never left empty.
void LoadFont(Display& display, std::string_view name, std::int32_t font);
// Start-up: the compiled-in font in slot 0, replaced by "smalfont.png" or
// else "smalfont.bmp" when there is one; font 0 current.
void InstallDefaultFont(Display& display);
// The current font's cell size (0 x 0 for an empty slot).
FontCellSize FontCharSize(const Display& display);
// Prints the text with its top-left at (x, y), rounded up to whole pixels.
// Control bytes are not interpreted: each prints its cell.
void PrintText(Display& display, std::string_view text, double x, double y);
// Prints the value as number text.
void PrintNumber(Display& display, double value, double x, double y);

} // namespace vlm
