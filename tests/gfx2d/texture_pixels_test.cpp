// The sprite store as a table and its texture pixels, without a GL context.
#include <gtest/gtest.h>

#include "files/error_state.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_pixels.h"

namespace vlm {
namespace {

using Texel = std::array<std::uint8_t, 4>;

Texel TexelAt(const TexturePixels& t, int x, int y) {
    const std::uint8_t* p = t.At(x, y);
    return {p[0], p[1], p[2], p[3]};
}

void SetTexel(TexturePixels& t, int x, int y, Texel value) { std::copy(value.begin(), value.end(), t.At(x, y)); }

TexturePixels Blank(int w, int h) { return {w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4, 0)}; }

TEST(TexturePixels, SidesArePowersOfTwoWithinTheirBounds) {
    struct Case {
        std::int32_t n, smallest, side;
    };
    // Up to the 16384 cap; the last once a doubling without end.
    const Case cases[] = {{1, 4, 4},    {4, 4, 4},         {5, 4, 8},     {9, 4, 16},        {1000, 4, 1024},
                          {10, 32, 32}, {16384, 4, 16384}, {16385, 4, 0}, {0x7FFFFFF0, 4, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(TextureSide(c.n, c.smallest), c.side) << c.n;
    EXPECT_EQ(TextureSide(600, 4, 512), 0);
}

TEST(TexturePixels, BleedingAveragesOpaqueNeighboursInsideTheBorderAndKeepsAlpha) {
    TexturePixels t = Blank(8, 8);
    SetTexel(t, 2, 3, {255, 0, 0, 255});
    SetTexel(t, 4, 3, {0, 0, 255, 255});
    SetTexel(t, 0, 6, {200, 200, 200, 255}); // on the border: spreads nowhere
    SetTexel(t, 1, 6, {100, 0, 0, 255});
    BleedColours(t);
    EXPECT_EQ(TexelAt(t, 3, 3), (Texel{128, 0, 128, 0})); // mean of red and blue, rounded
    EXPECT_EQ(TexelAt(t, 1, 3), (Texel{255, 0, 0, 0}));
    EXPECT_EQ(TexelAt(t, 0, 3), (Texel{0, 0, 0, 0}));     // filled texels do not spread further
    EXPECT_EQ(TexelAt(t, 2, 3), (Texel{255, 0, 0, 255})); // opaque texels untouched
    EXPECT_EQ(TexelAt(t, 0, 7), (Texel{100, 0, 0, 0}));
}

TEST(TexturePixels, NormalsLeanAgainstTheRiseAndKeepAlpha) {
    // Height (blue) rises with x by 10 a texel: the normal (-gx, 0, 1) normalised,
    // gx = 4 * 20 / 255, gives red 89 and blue 249.
    TexturePixels heights = Blank(8, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x)
            SetTexel(heights, x, y, {0, 0, static_cast<std::uint8_t>(x * 10), static_cast<std::uint8_t>(x * 30)});
    }
    EXPECT_EQ(TexelAt(NormalMapOf(heights), 3, 2), (Texel{89, 127, 249, 90}));
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

TEST(SpriteStore, SettingTheColourKeySetsTheFontKeyToo) {
    const bool glReady = false;
    SpriteStore store(glReady);
    EXPECT_EQ(store.ColourKey, 0x008000FFu);
    EXPECT_EQ(store.FontColourKey, 0u);
    store.SetColourKey(0x00123456);
    EXPECT_EQ(store.ColourKey, 0x00123456u);
    EXPECT_EQ(store.FontColourKey, 0x00123456u);
}

TEST(SpriteStore, WithoutAContextNoPictureLoadsAndDeletingMakesNoGlCalls) {
    const bool glReady = false;
    SpriteStore store(glReady);
    EXPECT_FALSE(store.LoadSprite(VELMORA_TESTDATA "/bmp-made-here/ok_24bpp_1x1.bmp", 2));
    EXPECT_EQ(store.Record(2).Width, 0);
    EXPECT_EQ(TheErrorState().LastErrorCode, kErrorNoSuchFile);
    SpriteRecord& record = store.Record(9);
    record = {7, 8, 0.5f, 0.5f, 16, 16, 8, 8, 4, 4};
    store.DeleteSprite(9); // a GL call here would crash: there is no context
    EXPECT_EQ(record.Texture, 0u);
    EXPECT_EQ(record.Width, 0);
    EXPECT_EQ(record.FrameWidth, 4);
    EXPECT_EQ(store.PixelMask(9), nullptr);
    EXPECT_EQ(store.SpriteCollision(9, 0, 0, 9, 0, 0), 0);
}

TEST(SpriteStore, TheFrameGridNeverDividesByANegativeCount) {
    SpriteRecord record;
    record.Width = 16;
    record.FrameWidth = -16;
    EXPECT_EQ(FrameGridPosition(record, INT32_MIN).column, INT32_MIN);
}

} // namespace
} // namespace vlm
