#include <gtest/gtest.h>

#include <array>

#include "bmp_builder.h"
#include "gfx2d/image_decoders.h"

namespace vlm {
namespace {

using test::BmpLayout;
using test::BuildBmp;

constexpr std::uint32_t kDefaultKey = 0x008000FF;

bool Decode(ImageBuffer& image, const std::vector<std::uint8_t>& file, std::uint32_t key = kDefaultKey) {
    auto source = ByteSource::FromFileBytes(file);
    return DecodeBmpImage(image, source, key);
}

std::array<std::uint8_t, 4> PixelAt(const ImageBuffer& image, int x, int y) {
    const auto row = image.Row(y);
    return {row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]};
}

using Rgba = std::array<std::uint8_t, 4>;

TEST(BmpDecoder, TwentyFourBitRowsArePaddedToWholeWords) {
    // Width 3: 9 bytes of pixels and 3 of padding per row; bottom row first.
    BmpLayout layout(3, 2, 24);
    layout.pixelData = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                      10, 11, 12, 13, 14, 15, 16, 17, 18, 0,    0,    0};
    ImageBuffer image;
    ASSERT_TRUE(Decode(image, BuildBmp(layout)));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{12, 11, 10, 255})); // top row is the file's second row
    EXPECT_EQ(PixelAt(image, 2, 1), (Rgba{9, 8, 7, 255}));
}

TEST(BmpDecoder, NegativeHeightGivesTheSamePictureAsBottomUp) {
    BmpLayout bottomUp(2, 2, 24);
    bottomUp.pixelData = {1, 1, 1, 2, 2, 2, 0, 0, 3, 3, 3, 4, 4, 4, 0, 0};
    BmpLayout topDown = bottomUp;
    topDown.height = -2;
    topDown.pixelData = {3, 3, 3, 4, 4, 4, 0, 0, 1, 1, 1, 2, 2, 2, 0, 0};
    ImageBuffer a, b;
    ASSERT_TRUE(Decode(a, BuildBmp(bottomUp)));
    ASSERT_TRUE(Decode(b, BuildBmp(topDown)));
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(PixelAt(a, 0, 0), (Rgba{3, 3, 3, 255}));
}

TEST(BmpDecoder, OneBitPixelsAreMostSignificantFirst) {
    // Width 12: rows of 4 bytes.
    BmpLayout layout(12, 1, 1, {0x000000, 0xFFFFFF});
    layout.pixelData = {0b10100000, 0b00010000, 0, 0};
    ImageBuffer image;
    ASSERT_TRUE(Decode(image, BuildBmp(layout)));
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(image, 2, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(PixelAt(image, 11, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(PixelAt(image, 10, 0), (Rgba{0, 0, 0, 255}));
}

TEST(BmpDecoder, FourBitPixelsTakeHighNibbleFirstAndCoreHeadersWork) {
    BmpLayout layout(3, 1, 4);
    layout.coreHeader = true;
    layout.palette.assign(16, 0);
    layout.palette[1] = 0x102030;
    layout.palette[2] = 0x405060;
    layout.pixelData = {0x12, 0x10, 0, 0};
    ImageBuffer image;
    ASSERT_TRUE(Decode(image, BuildBmp(layout)));
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{0x10, 0x20, 0x30, 255}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{0x40, 0x50, 0x60, 255}));
    EXPECT_EQ(PixelAt(image, 2, 0), (Rgba{0x10, 0x20, 0x30, 255}));
}

TEST(BmpDecoder, ColourKeyMakesOnlyTheExactColourTransparent) {
    // Red 255, green 0, blue 128 is the default key; blue 127 is not.
    BmpLayout layout(2, 1, 24);
    layout.pixelData = {128, 0, 255, 127, 0, 255, 0, 0};
    ImageBuffer image;
    ASSERT_TRUE(Decode(image, BuildBmp(layout)));
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{255, 0, 127, 255}));
    ASSERT_TRUE(Decode(image, BuildBmp(layout), kNoColourKey));
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{255, 0, 128, 255}));
}

TEST(BmpDecoder, ThirtyTwoBitFourthByteIsIgnored) {
    BmpLayout layout(2, 1, 32);
    layout.pixelData = {10, 20, 30, 0, 128, 0, 255, 7};
    ImageBuffer image;
    ASSERT_TRUE(Decode(image, BuildBmp(layout)));
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{30, 20, 10, 255}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{0, 0, 0, 0}));
}

TEST(BmpDecoder, UnsupportedDepthsAndHeadersFail) {
    for (std::uint16_t bits : {0, 2, 3, 16, 64}) {
        BmpLayout layout(1, 1, bits);
        layout.pixelData.assign(8, 0);
        ImageBuffer image;
        EXPECT_FALSE(Decode(image, BuildBmp(layout))) << bits;
        EXPECT_EQ(image.width, 0);
    }
    BmpLayout layout(1, 1, 24);
    layout.pixelData.assign(4, 0);
    auto file = BuildBmp(layout);
    file[14] = 108; // a V4 header size
    ImageBuffer image;
    EXPECT_FALSE(Decode(image, file));
}

TEST(BmpDecoder, MalformedFieldsFailCleanly) {
    BmpLayout layout(2, 2, 8, {0x112233});
    layout.pixelData = {0, 0, 0, 0, 0, 1, 0, 0}; // index 1 is past the one-entry palette
    ImageBuffer image;
    EXPECT_FALSE(Decode(image, BuildBmp(layout)));

    BmpLayout good(2, 2, 24);
    good.pixelData.assign(16, 9);
    const auto valid = BuildBmp(good);
    ASSERT_TRUE(Decode(image, valid));

    auto offsetInHeader = valid;
    offsetInHeader[10] = 20;
    EXPECT_FALSE(Decode(image, offsetInHeader));
    EXPECT_EQ(image.width, 0);

    auto shortFile = valid;
    shortFile.resize(valid.size() - 1);
    EXPECT_FALSE(Decode(image, shortFile));

    auto headerCut = valid;
    headerCut.resize(30);
    EXPECT_FALSE(Decode(image, headerCut));

    auto hugeWidth = valid;
    hugeWidth[18] = 0, hugeWidth[19] = 0, hugeWidth[20] = 0, hugeWidth[21] = 0x40;
    EXPECT_FALSE(Decode(image, hugeWidth));

    auto minHeight = valid;
    minHeight[22] = 0, minHeight[23] = 0, minHeight[24] = 0, minHeight[25] = 0x80;
    EXPECT_FALSE(Decode(image, minHeight));
}

TEST(BmpDecoder, SidesBeyondSixteenBitsAreRefused) {
    // 32768 x 1 at 8 bits with every byte present: refused for its width alone.
    BmpLayout layout(32768, 1, 8, {0});
    layout.pixelData.assign(32768, 0);
    ImageBuffer image;
    EXPECT_FALSE(Decode(image, BuildBmp(layout)));
    layout.width = 32767;
    EXPECT_TRUE(Decode(image, BuildBmp(layout)));
}

TEST(BmpDecoder, RleDataIsReadAsIfUncompressed) {
    BmpLayout layout(4, 1, 8, {0x000000, 0x0000FF});
    layout.pixelData = {1, 0, 1, 0};
    auto file = BuildBmp(layout);
    file[30] = 1; // compression: RLE8
    ImageBuffer image;
    ASSERT_TRUE(Decode(image, file));
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{0, 0, 0, 255}));
}

TEST(BmpDecoder, TruncatedMemoryImageEndsInTransparentBlackNotStaleMemory) {
    BmpLayout layout(3, 2, 24);
    layout.pixelData = {50, 60, 70, 80, 90, 100, 1, 1, 1, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
    auto file = BuildBmp(layout);
    file.resize(file.size() - 16); // the bottom row keeps two whole pixels and two bytes of the third
    ImageBuffer image;
    image.Allocate(4, 4);
    std::fill(image.pixels.begin(), image.pixels.end(), 0xAB);
    auto memory = ByteSource::FromMemory(file);
    ASSERT_TRUE(DecodeBmpImage(image, memory, kNoColourKey));
    EXPECT_EQ(PixelAt(image, 0, 1), (Rgba{70, 60, 50, 255}));
    EXPECT_EQ(PixelAt(image, 1, 1), (Rgba{100, 90, 80, 255}));
    EXPECT_EQ(PixelAt(image, 2, 1), (Rgba{0, 0, 0, 0})); // cut inside the pixel
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(PixelAt(image, x, 0), (Rgba{0, 0, 0, 0})) << x;
    // The same bytes from a disk file are refused.
    auto disk = ByteSource::FromFileBytes(file);
    EXPECT_FALSE(DecodeBmpImage(image, disk, kNoColourKey));
}

TEST(BmpDecoder, TruncatedMemoryPaletteImageStopsAtTheLastWholePixel) {
    BmpLayout layout(4, 1, 4, {0x0000FF, 0x00FF00});
    layout.pixelData = {0x01, 0x10, 0, 0};
    auto file = BuildBmp(layout);
    file.resize(file.size() - 3); // only the byte of pixels 0 and 1
    ImageBuffer image;
    auto memory = ByteSource::FromMemory(file);
    ASSERT_TRUE(DecodeBmpImage(image, memory, kNoColourKey));
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelAt(image, 2, 0), (Rgba{0, 0, 0, 0}));
}

} // namespace
} // namespace vlm
