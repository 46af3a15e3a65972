#include "frame/screenshot.h"

#include <gtest/gtest.h>

#include <png.h>

#include "support/temp_folder.h"

namespace vlm {
namespace {

ScreenPicture TwoByTwo() {
    // Bottom row first: blue-green-red of (0,1) (1,1), then (0,0) (1,0).
    return {2, 2, {255, 0, 0, /**/ 128, 0, 255, /**/ 0, 255, 0, /**/ 0, 0, 255}};
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Top-down RGBA rows of a PNG, read with libpng's simplified reader.
std::vector<std::uint8_t> DecodePng(const std::vector<std::uint8_t>& bytes, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

TEST(ImageWriter, BmpHasTheFixedHeadersAndPaddedBottomUpRows) {
    const std::vector<std::uint8_t> bmp = EncodeBmp(TwoByTwo(), KeyColour{128, 0, 255});
    const std::size_t stride = 8; // 2 pixels x 3 bytes, padded to 4
    ASSERT_EQ(bmp.size(), 54 + stride * 2);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Le32(bmp, 2), 54 + stride * 2);
    EXPECT_EQ(Le32(bmp, 10), 54u);
    EXPECT_EQ(Le32(bmp, 14), 40u);
    EXPECT_EQ(Le32(bmp, 18), 2u);
    EXPECT_EQ(Le32(bmp, 22), 2u);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(Le32(bmp, 38), 10000u);
    const std::vector<std::uint8_t> rows(bmp.begin() + 54, bmp.end());
    EXPECT_EQ(rows,
              (std::vector<std::uint8_t>{255, 0, 0, 128, 0, 255, 0, 0, /**/ 0, 255, 0, 0, 0, 255, 0, 0}));
}

TEST(ImageWriter, BmpWritesTheKeyColourAsTheStandardKey) {
    // The framebuffer stored the key as (1, 2, 3); the file gets 128, 0, 255.
    const ScreenPicture picture{1, 1, {1, 2, 3}};
    const std::vector<std::uint8_t> bmp = EncodeBmp(picture, KeyColour{1, 2, 3});
    EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 54, bmp.begin() + 57),
              (std::vector<std::uint8_t>{128, 0, 255}));
}

TEST(ImageWriter, PngHoldsRgbaTopDownWithTheKeyTransparent) {
    int w = 0, h = 0;
    const std::vector<std::uint8_t> rgba = DecodePng(EncodePng(TwoByTwo(), KeyColour{128, 0, 255}), w, h);
    ASSERT_EQ(w, 2);
    ASSERT_EQ(h, 2);
    EXPECT_EQ(rgba, (std::vector<std::uint8_t>{0, 255, 0, 255, /**/ 255, 0, 0, 255, /**/
                                               0, 0, 255, 255, /**/ 255, 0, 128, 0}));
    const std::vector<std::uint8_t> opaque = DecodePng(EncodePng(TwoByTwo(), std::nullopt), w, h);
    EXPECT_EQ(opaque[15], 255);
}

TEST(ImageWriter, NamesAndRefusals) {
    EXPECT_TRUE(IsPngName("a.png"));
    EXPECT_TRUE(IsPngName("shot.PnG"));
    EXPECT_FALSE(IsPngName(".png"));
    EXPECT_FALSE(IsPngName("a.bmp"));
    EXPECT_FALSE(IsPngName("png"));
    test::TempFolder temp;
    EXPECT_FALSE(WriteScreenPicture("mem://00000010.00001000", TwoByTwo(), std::nullopt));
    EXPECT_FALSE(WriteScreenPicture((temp / "no/such/folder.bmp").string(), TwoByTwo(), std::nullopt));
    EXPECT_FALSE(WriteScreenPicture((temp / "empty.bmp").string(), ScreenPicture{}, std::nullopt));
    // Pictures replace files as every store does: never a device in place of a picture.
    EXPECT_FALSE(WriteScreenPicture("/dev/null", TwoByTwo(), std::nullopt));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

} // namespace
} // namespace vlm
