// Decoded pictures: top-down rows of 8-bit RGBA pixels, handed from the
// image decoders to texture upload. The buffer is reused between loads.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vlm {

// Sprite records keep sizes in signed 16-bit fields.
inline constexpr std::int32_t kMaxImageSide = 32767;
// Bounds the memory one picture may take (256 MB of RGBA).
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{8192} * 8192;

// A colour key that matches no pixel.
inline constexpr std::uint32_t kNoColourKey = 0xFFFFFFFF;

struct ImageBuffer {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels; // width x height x 4 bytes are in use

    // Makes room for w x h zero pixels, keeping the old allocation when it is
    // big enough. Refuses (and empties the image) sizes outside the limits.
    bool Allocate(std::int32_t w, std::int32_t h);
    // Width and height 0; the allocation stays for the next load.
    void Clear() { width = height = 0; }
    std::int64_t Capacity() const { return static_cast<std::int64_t>(pixels.capacity()); }

    std::span<std::uint8_t> Row(std::int32_t y) {
        return std::span(pixels).subspan(static_cast<std::size_t>(y) * width * 4,
                                         static_cast<std::size_t>(width) * 4);
    }
    std::span<const std::uint8_t> Row(std::int32_t y) const {
        return std::span(pixels).subspan(static_cast<std::size_t>(y) * width * 4,
                                         static_cast<std::size_t>(width) * 4);
    }
};

// True when the sizes fit a sprite record and the memory bound.
bool ImageSizeAllowed(std::int64_t width, std::int64_t height);

// Colours pack red in the low byte, then green, then blue (0x00BBGGRR).
constexpr std::uint32_t PackColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return red | (green << 8) | (static_cast<std::uint32_t>(blue) << 16);
}

// Writes one opaque pixel, or transparent black when its colour is the key.
inline void PutKeyedPixel(std::uint8_t* out, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                          std::uint32_t key) {
    if (PackColour(red, green, blue) == key) {
        out[0] = out[1] = out[2] = out[3] = 0;
    } else {
        out[0] = red, out[1] = green, out[2] = blue, out[3] = 255;
    }
}

} // namespace vlm
