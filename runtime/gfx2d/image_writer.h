// Writes a screen picture to a file: an 8-bit RGBA PNG or a 24-bit BMP.
// The picture comes as the screen is read back: blue-green-red bytes, rows
// bottom-up, three bytes per pixel with no row padding.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vlm {

struct ScreenPicture {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<std::uint8_t> Bgr; // Width * Height * 3 bytes, bottom row first
};

// The colour, as the framebuffer stores it, of transparent pixels.
struct KeyColour {
    std::uint8_t Blue = 0, Green = 0, Red = 0;
};

// True for names longer than ".png" ending in ".png" in either case.
bool IsPngName(std::string_view name);
// PNG: key-coloured pixels get alpha 0, all others 255. Empty on failure.
std::vector<std::uint8_t> EncodePng(const ScreenPicture& picture, std::optional<KeyColour> key);
// BMP: key-coloured pixels are written as red 255, green 0, blue 128.
std::vector<std::uint8_t> EncodeBmp(const ScreenPicture& picture, std::optional<KeyColour> key);
// PNG or BMP by the name; refuses "mem://" names; replaces an existing file.
bool WriteScreenPicture(std::string_view name, const ScreenPicture& picture, std::optional<KeyColour> key);

} // namespace vlm
