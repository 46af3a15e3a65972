#include "gfx2d/image_buffer.h"

namespace vlm {

bool ImageSizeAllowed(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

bool ImageBuffer::Allocate(std::int32_t w, std::int32_t h) {
    if (!ImageSizeAllowed(w, h)) {
        Clear();
        return false;
    }
    const std::size_t needed = static_cast<std::size_t>(w) * h * 4;
    if (pixels.capacity() < needed) {
        // Free first so that the old and the new buffer never coexist.
        std::vector<std::uint8_t>().swap(pixels);
        pixels.reserve(needed);
    }
    pixels.assign(needed, 0);
    width = w;
    height = h;
    return true;
}

} // namespace vlm
