#include <gtest/gtest.h>

#include "bmp_builder.h"
#include "gfx2d/image_decoders.h"
#include "support/pictures.h"

namespace vlm {
namespace {

using test::BmpLayout;
using test::BuildBmp;

constexpr std::uint32_t kDefaultKey = 0x008000FF;

bool Decode(ImageBuffer& image, const std::vector<std::uint8_t>& file, std::uint32_t key = kDefaultKey) {
    auto source = ByteSource::FromFileBytes(file);
    return DecodeBmpImage(image, source, key);
}

using test::PixelOf;
using test::Rgba;

TEST(BmpDecoder, ColourKeyMakesOnlyTheExactColourTransparent) {
    // Red 255, green 0, blue 128 is the default key; blue 127 is not.
    BmpLayout layout(2, 1, 24);
    layout.pixelData = {128, 0, 255, 127, 0, 255, 0, 0};
    ImageBuffer image;
    ASSERT_TRUE(Decode(image, BuildBmp(layout)));
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelOf(image, 1, 0), (Rgba{255, 0, 127, 255}));
    ASSERT_TRUE(Decode(image, BuildBmp(layout), kNoColourKey));
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{255, 0, 128, 255}));
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
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelOf(image, 1, 0), (Rgba{0, 0, 0, 255}));
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
    EXPECT_EQ(PixelOf(image, 0, 1), (Rgba{70, 60, 50, 255}));
    EXPECT_EQ(PixelOf(image, 1, 1), (Rgba{100, 90, 80, 255}));
    EXPECT_EQ(PixelOf(image, 2, 1), (Rgba{0, 0, 0, 0})); // cut inside the pixel
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(PixelOf(image, x, 0), (Rgba{0, 0, 0, 0})) << x;
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
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelOf(image, 1, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelOf(image, 2, 0), (Rgba{0, 0, 0, 0}));
}

} // namespace
} // namespace vlm
