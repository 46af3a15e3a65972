#include <gtest/gtest.h>

#include <cmath>

#include "gfx2d/texture_pixels.h"

namespace vlm {
namespace {

using Texel = std::array<std::uint8_t, 4>;

Texel TexelAt(const TexturePixels& t, int x, int y) {
    const std::uint8_t* p = t.At(x, y);
    return {p[0], p[1], p[2], p[3]};
}

void SetTexel(TexturePixels& t, int x, int y, Texel value) {
    std::copy(value.begin(), value.end(), t.At(x, y));
}

TexturePixels Blank(int w, int h) {
    return {w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4, 0)};
}

TEST(TexturePixels, SidesArePowersOfTwoOfAtLeastFour) {
    EXPECT_EQ(TextureSide(1), 4);
    EXPECT_EQ(TextureSide(4), 4);
    EXPECT_EQ(TextureSide(5), 8);
    EXPECT_EQ(TextureSide(8), 8);
    EXPECT_EQ(TextureSide(9), 16);
    EXPECT_EQ(TextureSide(1000), 1024);
}

TEST(TexturePixels, CopyFlipsTheRectangleIntoTheLowerLeftCorner) {
    ImageBuffer image;
    image.Allocate(3, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 3; ++x)
            image.Row(y)[static_cast<std::size_t>(x) * 4] = static_cast<std::uint8_t>(10 * y + x);
    }
    const TexturePixels whole = CopyToTexture(image, 0, 0, 3, 5, 4, 8);
    EXPECT_EQ(TexelAt(whole, 0, 0)[0], 40); // bottom-left pixel
    EXPECT_EQ(TexelAt(whole, 2, 4)[0], 2);  // top-right pixel
    EXPECT_EQ(TexelAt(whole, 3, 0)[0], 0);  // outside
    EXPECT_EQ(TexelAt(whole, 0, 5)[0], 0);

    // A 2 x 2 rectangle from (1, 2): its bottom row (image row 3) lands in row 0.
    const TexturePixels part = CopyToTexture(image, 1, 2, 2, 2, 4, 4);
    EXPECT_EQ(TexelAt(part, 0, 0)[0], 31);
    EXPECT_EQ(TexelAt(part, 1, 1)[0], 22);
    EXPECT_EQ(TexelAt(part, 2, 0)[0], 0);
}

TEST(TexturePixels, BleedingAveragesOpaqueNeighboursAndKeepsAlpha) {
    TexturePixels t = Blank(8, 8);
    SetTexel(t, 2, 3, {255, 0, 0, 255});
    SetTexel(t, 4, 3, {0, 0, 255, 255});
    BleedColours(t);
    EXPECT_EQ(TexelAt(t, 3, 3), (Texel{128, 0, 128, 0})); // mean of red and blue, rounded
    EXPECT_EQ(TexelAt(t, 1, 3), (Texel{255, 0, 0, 0}));
    EXPECT_EQ(TexelAt(t, 0, 3), (Texel{0, 0, 0, 0}));     // filled texels do not spread further
    EXPECT_EQ(TexelAt(t, 2, 3), (Texel{255, 0, 0, 255})); // opaque texels untouched
}

TEST(TexturePixels, BleedingIgnoresNeighboursOnTheTextureBorder) {
    TexturePixels t = Blank(4, 4);
    SetTexel(t, 0, 0, {200, 200, 200, 255});
    SetTexel(t, 1, 1, {100, 0, 0, 255});
    BleedColours(t);
    EXPECT_EQ(TexelAt(t, 1, 0), (Texel{100, 0, 0, 0}));
    EXPECT_EQ(TexelAt(t, 3, 3), (Texel{0, 0, 0, 0}));
}

TEST(TexturePixels, FlatHeightMapPointsStraightUp) {
    TexturePixels heights = Blank(4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            SetTexel(heights, x, y, {0, 0, 90, static_cast<std::uint8_t>(x * 60)});
    }
    const TexturePixels normals = NormalMapOf(heights);
    EXPECT_EQ(TexelAt(normals, 2, 1), (Texel{127, 127, 255, 120}));
}

TEST(TexturePixels, SlopeTiltsTheNormalAgainstTheRise) {
    // Height rises with x: the normal leans towards -x (red below the middle).
    TexturePixels heights = Blank(8, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x)
            SetTexel(heights, x, y, {0, 0, static_cast<std::uint8_t>(x * 10), 255});
    }
    const TexturePixels normals = NormalMapOf(heights);
    const Texel n = TexelAt(normals, 3, 2);
    EXPECT_LT(n[0], 127);
    EXPECT_EQ(n[1], 127);
    // gx = 4 * 20 / 255: the normal (-gx, 0, 1) normalised.
    const double gx = 80.0 / 255, length = std::sqrt(gx * gx + 1);
    EXPECT_EQ(n[0], static_cast<int>((-gx / length + 1) * 0.5 * 255));
    EXPECT_EQ(n[2], static_cast<int>((1 / length + 1) * 0.5 * 255));
}

TEST(TexturePixels, MakeSquareHalvesTheLongerSide) {
    TexturePixels wide = Blank(8, 2);
    for (int x = 0; x < 8; ++x) {
        SetTexel(wide, x, 0, {static_cast<std::uint8_t>(x * 10), 0, 0, 255});
        SetTexel(wide, x, 1, {static_cast<std::uint8_t>(x * 10 + 1), 0, 0, 255});
    }
    MakeSquare(wide);
    ASSERT_EQ(wide.width, 2);
    ASSERT_EQ(wide.height, 2);
    // Two halvings: ((0 + 10) / 2 + (20 + 30) / 2) / 2 = 15.
    EXPECT_EQ(TexelAt(wide, 0, 0)[0], 15);
    EXPECT_EQ(TexelAt(wide, 1, 1)[0], 56);

    TexturePixels tall = Blank(1, 4);
    for (int y = 0; y < 4; ++y)
        SetTexel(tall, 0, y, {static_cast<std::uint8_t>(y * 2), 0, 0, 0});
    MakeSquare(tall);
    ASSERT_EQ(tall.height, 1);
    EXPECT_EQ(TexelAt(tall, 0, 0)[0], 3); // (0 + 2) / 2 = 1 and (4 + 6) / 2 = 5, then (1 + 5) / 2
}

TEST(TexturePixels, MipLevelsUseTheWeightedBlockMeans) {
    TexturePixels level = Blank(4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            SetTexel(level, x, y, {static_cast<std::uint8_t>(x * 9 + y * 90), 0, 0, 255});
    }
    const TexturePixels next = NextMipLevel(level);
    ASSERT_EQ(next.width, 2);
    // (4a + 2b + 2c + d) / 9 with a = 0, b = 9, c = 90, d = 99.
    EXPECT_EQ(TexelAt(next, 0, 0)[0], (0 + 18 + 180 + 99) / 9);
    // Last column: (2a + c) / 3 with a = 18, c = 108; last row: (2a + b) / 3.
    EXPECT_EQ(TexelAt(next, 1, 0)[0], (36 + 108) / 3);
    EXPECT_EQ(TexelAt(next, 0, 1)[0], (360 + 189) / 3);
    EXPECT_EQ(TexelAt(next, 1, 1)[0], 198); // the corner: a alone
    EXPECT_EQ(TexelAt(next, 1, 1)[3], 255);
    const TexturePixels last = NextMipLevel(NextMipLevel(next));
    EXPECT_EQ(last.width, 1);
    EXPECT_EQ(last.height, 1);
}

TEST(TexturePixels, SidesBeyondTheLargestAreRefused) {
    EXPECT_EQ(TextureSide(10, 32), 32);
    EXPECT_EQ(TextureSide(16384), 16384);
    EXPECT_EQ(TextureSide(16385), 0);
    EXPECT_EQ(TextureSide(0x7FFFFFF0), 0); // once a doubling without end
    EXPECT_EQ(TextureSide(600, 4, 512), 0);
}

} // namespace
} // namespace vlm
