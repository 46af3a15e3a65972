// PNG through libpng. Palette, low-depth grey and transparency chunks are
// expanded and 16-bit samples stripped, so every accepted picture arrives
// as 8-bit grey, RGB or RGBA.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gfx2d/image_decoders.h"

namespace vlm {

namespace {

// libpng reads a chunk it handles into memory whole, as long as the chunk
// says it is; these bound what any chunk may cost.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_uint_32 kMaxCachedChunks = 32;

// libpng reports errors by calling this, which must not return.
[[noreturn]] void OnPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromSource(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<ByteSource*>(png_get_io_ptr(png));
    // A picture cut short is a library error, whatever rules the source follows.
    if (source->Remaining() < count) png_error(png, "read past the end");
    source->Read(std::span<std::uint8_t>(out, count));
}

// Owns the libpng reading context for one decode.
struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngReader() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
        if (png) info = png_create_info_struct(png);
    }
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;
};

struct PngLayout {
    png_uint_32 width = 0, height = 0;
    int channels = 0, bitDepth = 0, colourType = 0;
    std::size_t rowBytes = 0;
};

// The libpng calls, apart so that the jump on error leaves no C++ object
// half-made: everything this function touches was built by its caller.
bool RunPngRead(PngReader& reader, ByteSource& source, PngLayout& layout, std::vector<std::uint8_t>& pixels,
                std::vector<png_bytep>& rows, const std::string& name) {
    png_structp png = reader.png;
    png_infop info = reader.info;
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &source, ReadFromSource);
    // Guards the allocation below against headers that claim huge sizes.
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxCachedChunks);
    // Only the header, palette, transparency and image data are used: every
    // other chunk (text, profiles, metadata) is skipped unread, however long
    // it claims to be.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);

    const int type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_expand(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_expand(png);
    png_set_strip_16(png);
    if (depth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    layout.width = png_get_image_width(png, info);
    layout.height = png_get_image_height(png, info);
    layout.channels = png_get_channels(png, info);
    layout.bitDepth = png_get_bit_depth(png, info);
    layout.colourType = png_get_color_type(png, info);
    layout.rowBytes = png_get_rowbytes(png, info);

    if (layout.channels != 1 && layout.channels != 3 && layout.channels != 4) return false;
    if (layout.bitDepth != 8) {
        std::printf("File %s has bit depth %d.\n", name.c_str(), layout.bitDepth);
        std::printf("Only bit depth of 8 is supported.\n");
        return false;
    }
    if (layout.colourType != PNG_COLOR_TYPE_GRAY && layout.colourType != PNG_COLOR_TYPE_RGB &&
        layout.colourType != PNG_COLOR_TYPE_RGB_ALPHA) {
        std::printf("File %s has unsupported color type.\n", name.c_str());
        std::printf("Types GRAY, RGB and RGB_ALPHA are supported.\n");
        return false;
    }
    if (!ImageSizeAllowed(layout.width, layout.height)) return false;
    if (layout.rowBytes != static_cast<std::size_t>(layout.width) * layout.channels) return false;

    pixels.resize(layout.rowBytes * layout.height);
    rows.resize(layout.height);
    for (png_uint_32 y = 0; y < layout.height; ++y)
        rows[y] = pixels.data() + y * layout.rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool DecodePngPixels(ImageBuffer& image, ByteSource& source, std::uint32_t key, std::string_view name) {
    std::uint8_t signature[4] = {};
    if (!source.Read(signature)) return false;
    source.Rewind();
    if (std::memcmp(signature + 1, "PNG", 3) != 0) return false;

    PngReader reader;
    if (!reader.png || !reader.info) return false;
    PngLayout layout;
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    const std::string printable(name);
    if (!RunPngRead(reader, source, layout, pixels, rows, printable)) return false;

    if (!image.Allocate(static_cast<std::int32_t>(layout.width), static_cast<std::int32_t>(layout.height))) {
        return false;
    }
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* in = rows[y];
        std::uint8_t* out = image.Row(y).data();
        switch (layout.channels) {
        case 3:
            for (std::int32_t x = 0; x < image.width; ++x, in += 3, out += 4)
                PutKeyedPixel(out, in[0], in[1], in[2], key);
            break;
        case 1:
            for (std::int32_t x = 0; x < image.width; ++x, ++in, out += 4) {
                out[0] = out[1] = out[2] = *in;
                out[3] = 255;
            }
            break;
        default:
            std::memcpy(out, in, static_cast<std::size_t>(image.width) * 4);
            break;
        }
    }
    return true;
}

} // namespace

bool DecodePngImage(ImageBuffer& image, ByteSource& source, std::uint32_t colourKey, std::string_view name) {
    if (DecodePngPixels(image, source, colourKey, name)) return true;
    image.Clear();
    return false;
}

bool LoadPngImage(ImageBuffer& image, std::string_view name, std::uint32_t colourKey) {
    auto source = ByteSource::Open(name);
    if (!source) {
        image.Clear();
        return false;
    }
    return DecodePngImage(image, *source, colourKey, name);
}

} // namespace vlm
