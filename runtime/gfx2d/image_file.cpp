#include "gfx2d/image_decoders.h"

namespace vlm {

bool LoadImageFile(ImageBuffer& image, std::string_view name, std::uint32_t colourKey) {
    auto source = ByteSource::Open(name);
    if (!source) {
        image.Clear();
        return false;
    }
    // Each decoder reads from the start of the same bytes.
    if (DecodeBmpImage(image, *source, colourKey)) return true;
    source->Rewind();
    if (DecodePngImage(image, *source, colourKey, name)) return true;
    source->Rewind();
    return DecodeJpegImage(image, *source);
}

} // namespace vlm
