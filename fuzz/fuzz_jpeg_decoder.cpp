// Feeds arbitrary bytes to the JPEG decoder as an in-memory image.
#include <cstddef>
#include <cstdint>

#include "gfx2d/image_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vlm::ImageBuffer image;
    auto source = vlm::ByteSource::FromMemory({data, size});
    if (vlm::DecodeJpegImage(image, source)) {
        // A decoded picture always has the promised size.
        if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4) __builtin_trap();
    } else if (image.width != 0 || image.height != 0) {
        __builtin_trap();
    }
    return 0;
}
