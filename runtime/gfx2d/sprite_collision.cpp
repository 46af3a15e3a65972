// Pixel-exact collision tests between sprites and between animation frames.
#include <GL/gl.h>

#include <algorithm>

#include "gfx2d/sprite_store.h"

namespace vlm {

namespace {

// Screen positions are worked out in 64 bits: sprites placed near the ends
// of the 32-bit range must not overflow.
struct MaskView {
    const std::uint8_t* mask = nullptr;
    std::int64_t rowLength = 0; // the texture's width
    std::int64_t width = 0, height = 0;
    std::int64_t x = 0, y = 0; // where the image's top-left corner lies on the screen

    // Points outside the picture (a frame cell past its edge) count as transparent.
    bool Opaque(std::int64_t sx, std::int64_t sy) const {
        const std::int64_t column = sx - x, row = height - 1 - (sy - y);
        if (column < 0 || column >= width || row < 0 || row >= height) return false;
        return mask[static_cast<std::size_t>(row * rowLength + column)] != 0;
    }
};

// Four interleaved passes with a step of 2 find overlaps of large shapes early.
std::int32_t PixelTest(const MaskView& a, const MaskView& b, std::int64_t left, std::int64_t right,
                       std::int64_t top, std::int64_t bottom) {
    if (!a.mask || !b.mask) return 0;
    for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
        for (std::int64_t y = top + dy; y < bottom; y += 2) {
            for (std::int64_t x = left + dx; x < right; x += 2) {
                if (a.Opaque(x, y) && b.Opaque(x, y)) return 1;
            }
        }
    }
    return 0;
}

struct Cell {
    std::int64_t offsetX = 0, offsetY = 0, width = 0, height = 0;
};

Cell FrameCell(const SpriteRecord& record, std::int32_t frame) {
    if (record.FrameWidth <= 0) return {0, 0, record.Width, record.Height};
    const auto [column, row] = FrameGridPosition(record, frame);
    return {std::int64_t{column} * record.FrameWidth, std::int64_t{row} * record.FrameHeight, record.FrameWidth,
            record.FrameHeight};
}

} // namespace

const std::uint8_t* SpriteStore::PixelMask(std::int32_t id) {
    auto& mask = masks_[static_cast<std::size_t>(id)];
    if (mask) return mask.get();
    const SpriteRecord& record = Record(id);
    if (!glReady_ || record.Texture == 0) return nullptr;
    glBindTexture(GL_TEXTURE_2D, record.Texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    mask =
        std::make_unique<std::uint8_t[]>(std::max<std::size_t>(static_cast<std::size_t>(width) * height, 64));
    // Texture widths are powers of two of at least 4, so rows need no packing change.
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, mask.get());
    return mask.get();
}

std::int32_t SpriteStore::SpriteCollision(std::int32_t a, std::int32_t xa, std::int32_t ya, std::int32_t b,
                                          std::int32_t xb, std::int32_t yb) {
    return FrameCollision(a, -1, xa, ya, b, -1, xb, yb);
}

std::int32_t SpriteStore::FrameCollision(std::int32_t a, std::int32_t frameA, std::int32_t xa,
                                         std::int32_t ya, std::int32_t b, std::int32_t frameB,
                                         std::int32_t xb, std::int32_t yb) {
    const SpriteRecord& ra = Record(a);
    const SpriteRecord& rb = Record(b);
    // Frame -1 stands for the whole picture (SpriteCollision).
    const Cell ca = frameA < 0 ? Cell{0, 0, ra.Width, ra.Height} : FrameCell(ra, frameA);
    const Cell cb = frameB < 0 ? Cell{0, 0, rb.Width, rb.Height} : FrameCell(rb, frameB);
    const std::int64_t left = std::max(xa, xb), right = std::min(xa + ca.width, xb + cb.width);
    if (left > right) return 0;
    const std::int64_t top = std::max(ya, yb), bottom = std::min(ya + ca.height, yb + cb.height);
    if (top > bottom) return 0;
    const MaskView va{PixelMask(a), ra.TexWidth, ra.Width, ra.Height, xa - ca.offsetX, ya - ca.offsetY};
    const MaskView vb{PixelMask(b), rb.TexWidth, rb.Width, rb.Height, xb - cb.offsetX, yb - cb.offsetY};
    return PixelTest(va, vb, left, right, top, bottom);
}

} // namespace vlm
