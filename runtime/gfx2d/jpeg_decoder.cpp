// JPEG through libjpeg (the 6b interface). The library's errors come back
// here instead of ending the process: the load fails and the program goes on.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "gfx2d/image_decoders.h"

namespace vlm {

namespace {

struct RecoveringErrorManager {
    jpeg_error_mgr base; // first, so the library's pointer is ours too
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<RecoveringErrorManager*>(info->err)->jump, 1);
}
void OnJpegMessage(j_common_ptr) {}

// Source manager over one buffer that holds the whole file.
void InitSource(j_decompress_ptr) {}
boolean FillInputBuffer(j_decompress_ptr info) {
    // All data was handed over at the start; asking for more means the file is cut short.
    ERREXIT(info, JERR_INPUT_EOF);
    return FALSE; // not reached: the error handler jumps
}
void SkipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = info->src;
    if (static_cast<std::size_t>(count) > src->bytes_in_buffer) ERREXIT(info, JERR_INPUT_EOF);
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<std::size_t>(count);
}
void TermSource(j_decompress_ptr) {}

struct JpegLayout {
    std::int32_t width = 0, height = 0, components = 0;
    bool invertedInk = false; // Adobe files store CMYK inverted
};

// One channel's light from the light its own ink and the black ink let
// through (255 = no ink).
std::uint8_t InkToLight(std::uint32_t colour, std::uint32_t black) {
    return static_cast<std::uint8_t>((colour * black + 127) / 255);
}

// The libjpeg calls, apart so that a jump on error leaves no C++ object
// half-made: everything this function touches was built by its caller.
bool RunJpegRead(jpeg_decompress_struct& info, std::span<const std::uint8_t> file, JpegLayout& layout,
                 std::vector<std::uint8_t>& decoded) {
    jpeg_source_mgr sourceManager{};
    sourceManager.next_input_byte = file.data();
    sourceManager.bytes_in_buffer = file.size();
    sourceManager.init_source = InitSource;
    sourceManager.fill_input_buffer = FillInputBuffer;
    sourceManager.skip_input_data = SkipInputData;
    sourceManager.resync_to_restart = jpeg_resync_to_restart;
    sourceManager.term_source = TermSource;

    auto* errors = reinterpret_cast<RecoveringErrorManager*>(info.err);
    if (setjmp(errors->jump)) return false;
    jpeg_create_decompress(&info);
    info.src = &sourceManager;
    jpeg_read_header(&info, TRUE);
    info.do_fancy_upsampling = FALSE;
    // Refuse huge pictures before the library allocates for them.
    if (!ImageSizeAllowed(info.image_width, info.image_height)) return false;
    jpeg_start_decompress(&info);

    layout.width = static_cast<std::int32_t>(info.output_width);
    layout.height = static_cast<std::int32_t>(info.output_height);
    layout.components = info.output_components;
    layout.invertedInk = info.saw_Adobe_marker;
    if (!ImageSizeAllowed(layout.width, layout.height)) return false;
    if (layout.components != 1 && layout.components != 3 && layout.components != 4) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(layout.width) * layout.components;
    decoded.resize(rowBytes * layout.height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = decoded.data() + info.output_scanline * rowBytes;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool DecodeJpegPixels(ImageBuffer& image, ByteSource& source) {
    source.Rewind();
    const auto file = source.Take(source.Size());
    if (!file || file->empty()) return false;

    jpeg_decompress_struct info{};
    RecoveringErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnJpegError;
    errors.base.output_message = OnJpegMessage;
    JpegLayout layout;
    std::vector<std::uint8_t> decoded;
    const bool read = RunJpegRead(info, *file, layout, decoded);
    jpeg_destroy_decompress(&info);
    if (!read || !image.Allocate(layout.width, layout.height)) return false;

    const std::uint8_t* in = decoded.data();
    std::uint8_t* out = image.pixels.data();
    const std::size_t count = static_cast<std::size_t>(layout.width) * layout.height;
    switch (layout.components) {
    case 3:
        for (std::size_t i = 0; i < count; ++i, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = 255;
        }
        break;
    case 1:
        for (std::size_t i = 0; i < count; ++i, ++in, out += 4) {
            out[0] = out[1] = out[2] = *in;
            out[3] = 255;
        }
        break;
    default:
        // Four components are CMYK (libjpeg turns YCCK into CMYK).
        const auto light = [&](std::uint8_t ink) -> std::uint32_t { return layout.invertedInk ? ink : 255 - ink; };
        for (std::size_t i = 0; i < count; ++i, in += 4, out += 4) {
            const std::uint32_t black = light(in[3]);
            out[0] = InkToLight(light(in[0]), black);
            out[1] = InkToLight(light(in[1]), black);
            out[2] = InkToLight(light(in[2]), black);
            out[3] = 255;
        }
        break;
    }
    return true;
}

} // namespace

bool DecodeJpegImage(ImageBuffer& image, ByteSource& source) {
    if (DecodeJpegPixels(image, source)) return true;
    image.Clear();
    return false;
}

bool LoadJpegImage(ImageBuffer& image, std::string_view name) {
    auto source = ByteSource::Open(name);
    if (!source) {
        image.Clear();
        return false;
    }
    return DecodeJpegImage(image, *source);
}

} // namespace vlm
