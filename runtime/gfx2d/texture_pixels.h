// The CPU side of texture upload: the power-of-two buffer with the picture
// upside down in its lower-left corner, colour bleeding into transparent
// texels, the normal map of a height map and the reductions of the
// mipmapped square copy. Buffers are RGBA, row 0 first (the texture's bottom).
#pragma once

#include <cstdint>
#include <vector>

#include "gfx2d/image_buffer.h"

namespace vlm {

struct TexturePixels {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgba;

    std::uint8_t* At(std::int32_t x, std::int32_t y) {
        return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    }
    const std::uint8_t* At(std::int32_t x, std::int32_t y) const {
        return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    }
};

// Texture sides stop here whatever GL allows: sprite records keep them in 16 bits.
inline constexpr std::int32_t kMaxTextureSide = 16384;

// The side of a texture for n pixels: the smallest power of two that is at
// least n and at least `smallest`, or 0 when that would exceed `largest`.
std::int32_t TextureSide(std::int32_t n, std::int32_t smallest = 4, std::int32_t largest = kMaxTextureSide);

// A tw x th zero buffer holding the w x h rectangle at (sx, sy) of the image,
// flipped so that the rectangle's bottom row is texture row 0.
TexturePixels CopyToTexture(const ImageBuffer& image, std::int32_t sx, std::int32_t sy, std::int32_t w,
                            std::int32_t h, std::int32_t tw, std::int32_t th);

// Gives each transparent texel the rounded mean colour of its opaque
// neighbours (those strictly inside the texture), or black without any, so
// that filtering at the picture's edges does not pull in black.
void BleedColours(TexturePixels& texture);

// Reads the blue channel as a height map and returns its normal map
// (alpha kept), neighbours taken with wrap-around.
TexturePixels NormalMapOf(const TexturePixels& heights);

// Halves the longer side (pairwise means) until the buffer is square.
void MakeSquare(TexturePixels& texture);
// The next smaller level of a mip chain (each side halved, at least 1).
TexturePixels NextMipLevel(const TexturePixels& level);

} // namespace vlm
