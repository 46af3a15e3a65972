// The three image decoders: BMP (our own reader), PNG (libpng), JPEG
// (libjpeg). Each recognises its format by content, never by the name, and
// turns it into RGBA pixels. A failing decoder leaves the image empty.
//
// The Load* functions open a name (disk path or "mem://" block); the
// Decode* functions read a byte source that the caller opened.
#pragma once

#include <cstdint>
#include <string_view>

#include "gfx2d/byte_source.h"
#include "gfx2d/image_buffer.h"

namespace vlm {

// Pixels whose colour equals the key (0x00BBGGRR) become transparent black.
bool LoadBmpImage(ImageBuffer& image, std::string_view name, std::uint32_t colourKey);
// The key applies only to RGB pictures; RGBA ones keep their own alpha.
bool LoadPngImage(ImageBuffer& image, std::string_view name, std::uint32_t colourKey);
bool LoadJpegImage(ImageBuffer& image, std::string_view name);
// A picture of any of the three formats, tried as BMP, PNG, then JPEG (no
// key), over one reading of the file.
bool LoadImageFile(ImageBuffer& image, std::string_view name, std::uint32_t colourKey);

bool DecodeBmpImage(ImageBuffer& image, ByteSource& source, std::uint32_t colourKey);
// The name only appears in the messages about unsupported depths and types.
bool DecodePngImage(ImageBuffer& image, ByteSource& source, std::uint32_t colourKey, std::string_view name);
bool DecodeJpegImage(ImageBuffer& image, ByteSource& source);

} // namespace vlm
