#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <sys/resource.h>

#include <jpeglib.h>

#include "gfx2d/image_decoders.h"

namespace vlm {
namespace {

constexpr std::uint32_t kDefaultKey = 0x008000FF;

// Encodes pixels with libpng's own writer (format: PNG_FORMAT_*).
std::vector<std::uint8_t> EncodePng(int width, int height, std::uint32_t format, const void* pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, nullptr));
    std::vector<std::uint8_t> bytes(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels, 0, nullptr));
    bytes.resize(size);
    return bytes;
}

bool DecodePng(ImageBuffer& image, const std::vector<std::uint8_t>& file, std::string* printed = nullptr) {
    auto source = ByteSource::FromMemory(file);
    testing::internal::CaptureStdout();
    const bool ok = DecodePngImage(image, source, kDefaultKey, "picture.png");
    const std::string out = testing::internal::GetCapturedStdout();
    if (printed) *printed = out;
    return ok;
}

TEST(PngDecoder, RgbPicturesTakeTheColourKey) {
    const std::uint8_t rgb[] = {255, 0, 128, 255, 0, 127};
    ImageBuffer image;
    ASSERT_TRUE(DecodePng(image, EncodePng(2, 1, PNG_FORMAT_RGB, rgb)));
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 255, 0, 127, 255};
    EXPECT_EQ(image.pixels, expected);
}

TEST(PngDecoder, GreyWithAlphaAndCutShortFilesFailCleanlyWithoutAMessage) {
    const std::uint8_t greyAlpha[] = {7, 255}, rgb[48] = {1, 2, 3};
    const auto whole = EncodePng(4, 4, PNG_FORMAT_RGB, rgb);
    std::vector<std::vector<std::uint8_t>> refused = {EncodePng(1, 1, PNG_FORMAT_GA, greyAlpha)};
    for (std::size_t keep : {std::size_t{3}, std::size_t{8}, std::size_t{30}, whole.size() - 13})
        refused.emplace_back(whole.begin(), whole.begin() + static_cast<long>(keep));
    ImageBuffer image;
    for (const auto& file : refused) {
        ASSERT_TRUE(DecodePng(image, whole));
        std::string printed;
        EXPECT_FALSE(DecodePng(image, file, &printed)) << file.size();
        EXPECT_EQ(printed, "");
        EXPECT_EQ(image.width, 0);
    }
}

// An 8 x 8 CMYK JPEG of one colour, written by libjpeg, with or without
// the Adobe marker that says the ink is stored inverted.
std::vector<std::uint8_t> EncodeCmykJpeg(const std::uint8_t (&cmyk)[4], bool adobeMarker) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &bytes, &size);
    info.image_width = info.image_height = 8;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    info.write_Adobe_marker = adobeMarker ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    std::uint8_t row[8 * 4];
    for (int x = 0; x < 8; ++x)
        std::copy(std::begin(cmyk), std::end(cmyk), row + x * 4);
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> file(bytes, bytes + size);
    std::free(bytes);
    return file;
}

TEST(JpegDecoder, CmykInkBecomesLight) {
    struct Case {
        std::uint8_t cmyk[4];
        bool adobe;
        int red, green, blue;
    };
    // Plain CMYK counts ink; Adobe files store it inverted (255 = no ink).
    const Case cases[] = {{{200, 50, 0, 0}, false, 55, 205, 255},
                          {{200, 50, 0, 255}, true, 200, 50, 0},
                          {{0, 0, 0, 128}, false, 127, 127, 127}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.adobe ? "Adobe" : "plain");
        const auto file = EncodeCmykJpeg(c.cmyk, c.adobe);
        ImageBuffer image;
        auto source = ByteSource::FromMemory(file);
        ASSERT_TRUE(DecodeJpegImage(image, source));
        EXPECT_NEAR(image.pixels[0], c.red, 2);
        EXPECT_NEAR(image.pixels[1], c.green, 2);
        EXPECT_NEAR(image.pixels[2], c.blue, 2);
        EXPECT_EQ(image.pixels[3], 255);
    }
}

TEST(PngDecoderDeathTest, ADeclaredChunkLengthCostsNoMemory) {
    const std::uint8_t rgb[3] = {};
    const auto valid = EncodePng(1, 1, PNG_FORMAT_RGB, rgb);
    for (const char* type : {"tEXt", "zTXt", "iTXt", "pCAL", "sCAL", "sPLT", "eXIf", "iCCP"}) {
        // After the header, a chunk that says 2 GiB follow: 57 bytes in all.
        std::vector<std::uint8_t> file(valid.begin(), valid.begin() + 33);
        file.insert(file.end(), {0x7F, 0xFF, 0xFF, 0xFF});
        file.insert(file.end(), type, type + 4);
        file.resize(57, 'x');
        EXPECT_EXIT(
            {
                rusage before{};
                rusage after{};
                ::getrusage(RUSAGE_SELF, &before);
                ImageBuffer image;
                const bool decoded = DecodePng(image, file);
                ::getrusage(RUSAGE_SELF, &after);
                std::_Exit(!decoded && after.ru_maxrss - before.ru_maxrss < 64 * 1024 ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "")
            << type;
    }
}

} // namespace
} // namespace vlm
