#include <algorithm>
#include <cstdint>

#include "files/error_state.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/sprites.h"
#include "support/gl_fixture.h"

namespace vlm {
namespace {

using namespace test;

class SpriteStoreGl : public GlDrawing {
protected:
    SpriteStore& Store() { return display_->Sprites; }

    // Writes a BMP of the given size, all one colour, and returns its name.
    std::string WriteBmp(const std::string& name, int w, int h, std::uint8_t r = 10, std::uint8_t g = 20,
                         std::uint8_t b = 30) {
        WritePicture(temp_ / name, MakeImage(w, h, [=](int, int) { return Opaque(r, g, b); }));
        return (temp_ / name).string();
    }

    std::vector<std::uint8_t> TextureTexels(std::uint32_t texture, int level = 0) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        std::vector<std::uint8_t> texels(static_cast<std::size_t>(w) * h * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }
};

TEST_F(SpriteStoreGl, TextureSizesArePowersOfTwoOfAtLeastFour) {
    Store().LoadSprite(WriteBmp("a.bmp", 3, 5), 0);
    const SpriteRecord& r = Store().Record(0);
    EXPECT_EQ(r.Width, 3);
    EXPECT_EQ(r.Height, 5);
    EXPECT_FLOAT_EQ(r.UMax, 0.75f);
    EXPECT_FLOAT_EQ(r.VMax, 0.625f);
    // Texels outside the picture are transparent, coloured only by bleeding.
    EXPECT_EQ(TextureTexels(r.Texture)[3 * 4 + 3], 0);
}

TEST_F(SpriteStoreGl, SpritesGetASquareMipChainAndFontsNearestFilteringWithoutOne) {
    PutSprite(5, MakeImage(8, 2, [](int, int) { return Opaque(200, 100, 50); }));
    glBindTexture(GL_TEXTURE_2D, Store().Record(5).MipTexture);
    GLint w = 0, h = 0, last = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &last);
    EXPECT_EQ(w, 4); // 8 x 4 texture made square
    EXPECT_EQ(h, 4);
    EXPECT_EQ(last, 1);

    PutSprite(kFirstFontSprite + 3, MakeImage(5, 5, [](int, int) { return Opaque(1, 2, 3); }));
    const SpriteRecord& font = Store().Record(kFirstFontSprite + 3);
    EXPECT_EQ(font.MipTexture, 0u);
    glBindTexture(GL_TEXTURE_2D, font.Texture);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
}

TEST_F(SpriteStoreGl, NormalMapSpritesHoldNormalsOfTheirHeights) {
    // A flat height map (blue 77 everywhere) points straight up: (127, 127, 255).
    ASSERT_TRUE(Store().LoadSprite(WriteBmp("flat.bmp", 4, 4, 5, 6, 77), 6, true));
    const auto texels = TextureTexels(Store().Record(6).Texture);
    EXPECT_EQ(std::vector(texels.begin(), texels.begin() + 4), (std::vector<std::uint8_t>{127, 127, 255, 255}));
    ASSERT_TRUE(Store().LoadSprite(WriteBmp("flat2.bmp", 4, 4, 5, 6, 77), 6));
    EXPECT_EQ(TextureTexels(Store().Record(6).Texture)[0], 5);
}

TEST_F(SpriteStoreGl, FailedLoadsFreeTheIdWithCodeThree) {
    Store().LoadSprite(WriteBmp("c.bmp", 4, 4), 5);
    ASSERT_EQ(Store().Record(5).Width, 4);
    const std::uint32_t old = Store().Record(5).Texture;
    EXPECT_FALSE(Store().LoadSprite("", 5));
    EXPECT_EQ(TheErrorState().LastErrorCode, 3);
    EXPECT_EQ(Store().Record(5).Width, 0);
    EXPECT_EQ(Store().Record(5).Texture, 0u);
    EXPECT_FALSE(glIsTexture(old));
    EXPECT_FALSE(Store().LoadSprite((temp_ / "missing.bmp").string(), 5));
    const std::string junk = (temp_ / "junk.png").string();
    WriteWholeFile(junk, "not a picture at all");
    EXPECT_FALSE(Store().LoadSprite(junk, 5));
    LoadSprite(DynString(WriteBmp("p.bmp", 2, 2) + std::string("\0/x", 3)), 5); // a name holding a NUL
    EXPECT_EQ(Store().Record(5).Width, 0);
    EXPECT_TRUE(Store().LoadSprite(WriteBmp("d.bmp", 2, 2), 5));
    EXPECT_EQ(TheErrorState().LastErrorCode, 0);
}

TEST_F(SpriteStoreGl, LoadsEveryFormatInOrderAndRefusesOversizedPictures) {
    EXPECT_TRUE(Store().LoadSprite(VELMORA_TESTDATA "/pngsuite/basn6a08.png", 1));
    EXPECT_EQ(Store().Record(1).Width, 32);
    EXPECT_TRUE(Store().LoadSprite(VELMORA_TESTDATA "/jpeg/libjpeg-turbo/testorig.jpg", 2));
    EXPECT_EQ(Store().Record(2).Width, 227);
    ImageBuffer wide;
    wide.width = 40000; // as a decoder without limits would have left it
    wide.height = 1;
    EXPECT_FALSE(Store().SetSpriteImage(3, wide));
    EXPECT_EQ(Store().Record(3).Width, 0);
}

TEST_F(SpriteStoreGl, FrameSizeOnlyChangesThroughAnimatedLoads) {
    const std::string sheet = WriteBmp("sheet.bmp", 64, 32);
    Store().LoadAnimSprite(sheet, 7, 16, 16);
    EXPECT_EQ(Store().Record(7).FrameWidth, 16);
    Store().LoadSprite(sheet, 7);
    EXPECT_EQ(Store().Record(7).FrameWidth, 16); // kept
    Store().LoadAnimSprite("", 7, 8, 8);
    EXPECT_EQ(Store().Record(7).FrameWidth, 16); // failed load: unchanged
    Store().LoadAnimSprite(sheet, 7, 32, 8);
    EXPECT_EQ(Store().Record(7).FrameWidth, 32);
    EXPECT_EQ(Store().Record(7).FrameHeight, 8);
    // A negative size means no frames; the grid once divided INT32_MIN by -1.
    Store().LoadAnimSprite(WriteBmp("square.bmp", 16, 16), 7, -16, 16);
    EXPECT_EQ(Store().Record(7).FrameWidth, 0);
    DrawSpriteFrame(*display_, 7, INT32_MIN, 0, 0);
    EXPECT_EQ(At(5, 5), kBlack);
}

TEST_F(SpriteStoreGl, FindFreeSpriteSkipsLoadedIdsAndNeverGivesAFontId) {
    const std::string name = WriteBmp("e.bmp", 1, 1);
    for (int id : {0, 1, 3})
        Store().LoadSprite(name, id);
    EXPECT_EQ(Store().FindFreeSprite(), 2);
    for (int id = 0; id < kFirstFontSprite; ++id)
        Store().Record(id).Width = 1;
    EXPECT_EQ(Store().FindFreeSprite(), -1);
    Store().Record(kFirstFontSprite - 1).Width = 0;
    EXPECT_EQ(Store().FindFreeSprite(), kFirstFontSprite - 1);
    for (int id = 0; id < kFirstFontSprite; ++id)
        Store().Record(id).Width = 0;
}

TEST_F(SpriteStoreGl, CollisionsLookAtOpaquePixels) {
    // A 8 x 8 picture, opaque only in its left half.
    const auto halfOpaque = MakeImage(8, 8, [](int x, int) { return x < 4 ? Opaque(9, 9, 9) : Rgba{0, 0, 0, 0}; });
    PutSprite(1, halfOpaque);
    PutSprite(2, halfOpaque);
    EXPECT_EQ(Store().SpriteCollision(1, 0, 0, 2, 3, 0), 1); // opaque columns 3 overlap
    EXPECT_EQ(Store().SpriteCollision(1, 0, 0, 2, 4, 0), 0); // B's opaque half meets A's clear half
    EXPECT_EQ(Store().SpriteCollision(1, 0, 0, 2, 8, 0), 0); // boxes touch along an edge
    EXPECT_EQ(Store().SpriteCollision(1, 0, 0, 2, 2, 7), 1); // one row of overlap
    EXPECT_EQ(Store().SpriteCollision(1, 0, 0, 2, 2, 8), 0);
    EXPECT_EQ(Store().SpriteCollision(1, 0, 0, 5, 0, 0), 0); // a free id has no pixels

    // Frames: a 16 x 8 sheet, frame 0 opaque, frame 1 clear.
    PutSprite(3, MakeImage(16, 8, [](int x, int) { return x < 8 ? Opaque(1, 1, 1) : Rgba{0, 0, 0, 0}; }));
    Store().Record(3).FrameWidth = 8;
    Store().Record(3).FrameHeight = 8;
    EXPECT_EQ(Store().FrameCollision(3, 0, 10, 10, 3, 0, 12, 12), 1);
    EXPECT_EQ(Store().FrameCollision(3, 1, 10, 10, 3, 0, 12, 12), 0);
    // Frames past the picture's end are clear, never read outside the mask.
    EXPECT_EQ(Store().FrameCollision(3, 9, 10, 10, 3, 0, 12, 12), 0);
}

TEST_F(SpriteStoreGl, APictureLargerThanATextureKeepsTheUploadedPart) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const int side = std::min<int>(maxSize, kMaxTextureSide);
    PutSprite(1, MakeImage(side + 2000, 4, [](int, int) { return Opaque(1, 2, 3); }));
    EXPECT_EQ(Store().Record(1).Width, side);
    EXPECT_EQ(Store().Record(1).TexWidth, side);
    PutSprite(2, MakeImage(4, 4, [](int, int) { return Opaque(1, 2, 3); }));
    // Only the kept part collides, and the test stays inside the mask.
    EXPECT_EQ(Store().SpriteCollision(1, 0, 0, 2, side - 2, 0), 1);
    EXPECT_EQ(Store().SpriteCollision(1, 0, 0, 2, side + 1000, 0), 0);
}

TEST_F(SpriteStoreGl, FreeIdsAndPlacesAtTheEndsOfTheIntegerRangeDrawNothing) {
    DrawSprite(*display_, 3, 0, 0);
    DrawSpriteStretched(*display_, 3, 0, 0, 20, 20);
    DrawSpriteRotoZoomed(*display_, 3, 0, 0, 45, 2);
    DrawSprite(*display_, -1, 0, 0);
    DrawSprite(*display_, 70000, 0, 0);
    // Run under UBSan in CI, where an overflow ends the test.
    PutSprite(1, MakeImage(8, 8, [](int, int) { return Opaque(255, 0, 0); }));
    Store().Record(1).FrameWidth = 8;
    Store().Record(1).FrameHeight = 8;
    EXPECT_EQ(Store().SpriteCollision(1, INT32_MAX - 1, INT32_MAX - 1, 1, INT32_MAX - 3, INT32_MAX - 3), 1);
    EXPECT_EQ(Store().FrameCollision(1, INT32_MAX, 0, 0, 1, 0, 0, 0), 0); // a frame far past the picture
    DrawSprite(*display_, 1, INT32_MAX - 1, INT32_MIN);
    DrawSpriteFrame(*display_, 1, INT32_MAX, 100, 60); // far past the picture: texture wraps, drawn there
    DrawSpriteStretched(*display_, 1, INT32_MAX, 0, INT32_MAX, INT32_MIN);
    DrawSpriteZoomed(*display_, 1, 0, 0, 1e300, -1e300);
    DrawFrameStretched(*display_, 1, 0, INT32_MAX, INT32_MAX, INT32_MAX, 1);
    DrawSpriteRotoZoomed(*display_, 1, INT32_MAX, INT32_MAX, 45, 2);
    FillRect(*display_, 0, 0, INT32_MIN, 4, 0x0000FF);
    FillRect(*display_, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, 0x0000FF);
    EXPECT_EQ(At(5, 5), kBlack); // nothing of it lands on the screen
}

} // namespace
} // namespace vlm
