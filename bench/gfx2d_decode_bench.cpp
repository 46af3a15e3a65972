// Decode time of one 4096 x 4096 picture in three formats, ours against
// stb_image on the same bytes in the same run, printed as ratios.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>

#include "gfx2d/image_decoders.h"

namespace {

constexpr int kSide = 4096;
constexpr int kRuns = 5;

// A photo-like picture: smooth gradients with some fine detail.
std::vector<std::uint8_t> MakeRgb() {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kSide) * kSide * 3);
    std::uint32_t noise = 12345;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            noise = noise * 1664525u + 1013904223u;
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kSide + x) * 3];
            const int grain = static_cast<int>(noise >> 28);
            p[0] = static_cast<std::uint8_t>((x / 16 + grain) & 255);
            p[1] = static_cast<std::uint8_t>((y / 16 + grain) & 255);
            p[2] = static_cast<std::uint8_t>(128 + 100 * std::sin((x + y) * 0.01));
        }
    }
    return rgb;
}

std::vector<std::uint8_t> EncodeBmp(const std::vector<std::uint8_t>& rgb) {
    const std::uint32_t stride = kSide * 3, size = 54 + stride * kSide;
    std::vector<std::uint8_t> out(54, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[0] = 'B', out[1] = 'M';
    put(2, size, 4), put(10, 54, 4), put(14, 40, 4), put(18, kSide, 4), put(22, kSide, 4), put(26, 1, 2),
        put(28, 24, 2);
    for (int y = kSide - 1; y >= 0; --y) {
        for (int x = 0; x < kSide; ++x) {
            const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kSide + x) * 3];
            out.insert(out.end(), {p[2], p[1], p[0]});
        }
    }
    return out;
}

std::vector<std::uint8_t> EncodePng(const std::vector<std::uint8_t>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = image.height = kSide;
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    std::vector<std::uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr);
    out.resize(size);
    return out;
}

std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t>& rgb) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = info.image_height = kSide;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<std::uint8_t*>(&rgb[static_cast<std::size_t>(info.next_scanline) * kSide * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

double BestMs(const std::function<bool()>& decode) {
    double best = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!decode()) {
            std::printf("decode failed\n");
            return 0;
        }
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

void Compare(const char* label, const std::vector<std::uint8_t>& file,
             const std::function<bool(vlm::ImageBuffer&, vlm::ByteSource&)>& ours, double goal) {
    vlm::ImageBuffer image;
    const double oursMs = BestMs([&] {
        auto source = vlm::ByteSource::FromMemory(file);
        return ours(image, source);
    });
    const double stbMs = BestMs([&] {
        int w, h, n;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &n, 4);
        stbi_image_free(pixels);
        return pixels != nullptr;
    });
    std::printf("%-7s %6.1f MB: ours %7.1f ms, stb_image %7.1f ms, ratio %.2f (goal <= %.1f)\n", label,
                file.size() / 1e6, oursMs, stbMs, oursMs / stbMs, goal);
}

} // namespace

int main() {
    const auto rgb = MakeRgb();
    std::printf("decode of a %d x %d picture to RGBA, best of %d\n", kSide, kSide, kRuns);
    Compare(
        "BMP 24", EncodeBmp(rgb),
        [](auto& image, auto& source) { return vlm::DecodeBmpImage(image, source, 0x008000FF); }, 1.0);
    Compare(
        "PNG", EncodePng(rgb),
        [](auto& image, auto& source) { return vlm::DecodePngImage(image, source, 0x008000FF, "bench.png"); },
        1.2);
    Compare(
        "JPEG", EncodeJpeg(rgb),
        [](auto& image, auto& source) { return vlm::DecodeJpegImage(image, source); }, 1.2);
}
