#include "gfx2d/image_writer.h"

#include <cstdio>
#include <png.h>
#include <string>

#include "files/file_services.h"
#include "files/memory_files.h"

namespace vlm {

namespace {

bool IsKey(const std::uint8_t* bgr, std::optional<KeyColour> key) {
    return key && bgr[0] == key->Blue && bgr[1] == key->Green && bgr[2] == key->Red;
}

bool Valid(const ScreenPicture& p) {
    return p.Width > 0 && p.Height > 0 &&
           p.Bgr.size() == static_cast<std::size_t>(p.Width) * static_cast<std::size_t>(p.Height) * 3;
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// The PNG is built while libpng may jump out on an error, so everything it
// touches is prepared before and owned outside.
bool WritePng(const ScreenPicture& picture, const std::vector<png_bytep>& rows,
              std::vector<std::uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendToVector, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.Width), static_cast<png_uint_32>(picture.Height),
                 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png); // the rows hold blue, green, red, alpha
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool IsPngName(std::string_view name) {
    if (name.size() <= 4) return false;
    std::string tail(name.substr(name.size() - 4));
    for (char& c : tail)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ".png";
}

std::vector<std::uint8_t> EncodePng(const ScreenPicture& picture, std::optional<KeyColour> key) {
    if (!Valid(picture)) return {};
    const auto w = static_cast<std::size_t>(picture.Width);
    const auto h = static_cast<std::size_t>(picture.Height);
    // Top-down rows of blue, green, red, alpha.
    std::vector<std::uint8_t> bgra(w * h * 4);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* src = picture.Bgr.data() + (h - 1 - y) * w * 3;
        std::uint8_t* dst = bgra.data() + y * w * 4;
        for (std::size_t x = 0; x < w; ++x, src += 3, dst += 4) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            dst[3] = IsKey(src, key) ? 0 : 255;
        }
    }
    std::vector<png_bytep> rows(h);
    for (std::size_t y = 0; y < h; ++y)
        rows[y] = bgra.data() + y * w * 4;
    std::vector<std::uint8_t> out;
    if (!WritePng(picture, rows, out)) return {};
    return out;
}

std::vector<std::uint8_t> EncodeBmp(const ScreenPicture& picture, std::optional<KeyColour> key) {
    if (!Valid(picture)) return {};
    const auto w = static_cast<std::size_t>(picture.Width);
    const auto h = static_cast<std::size_t>(picture.Height);
    const std::size_t stride = (w * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> out;
    out.reserve(54 + stride * h);
    out.push_back('B');
    out.push_back('M');
    PutLe(out, static_cast<std::uint32_t>(54 + stride * h), 4);
    PutLe(out, 0, 4); // two reserved fields
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint32_t>(w), 4);
    PutLe(out, static_cast<std::uint32_t>(h), 4); // positive: rows bottom-up
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4); // no compression
    PutLe(out, 0, 4); // image size
    PutLe(out, 10000, 4);
    PutLe(out, 10000, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* src = picture.Bgr.data() + y * w * 3;
        for (std::size_t x = 0; x < w; ++x, src += 3) {
            if (IsKey(src, key)) {
                out.insert(out.end(), {128, 0, 255});
            } else {
                out.insert(out.end(), src, src + 3);
            }
        }
        out.resize(out.size() + (stride - w * 3), 0);
    }
    return out;
}

bool WriteScreenPicture(std::string_view name, const ScreenPicture& picture, std::optional<KeyColour> key) {
    if (IsMemoryFileName(name)) return false;
    const std::vector<std::uint8_t> bytes =
        IsPngName(name) ? EncodePng(picture, key) : EncodeBmp(picture, key);
    // Replaced only once the new picture is written whole.
    return !bytes.empty() && ReplaceFile(name, bytes);
}

} // namespace vlm
