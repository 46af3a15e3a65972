#include <array>
#include <functional>

#include "gfx2d/sprites.h"
#include "support/gl_fixture.h"

namespace vlm {
namespace {

using namespace test;

// Quadrants: top-left red, top-right green, bottom-left blue, bottom-right yellow.
ImageBuffer Quadrants(int side) {
    return MakeImage(side, side, [side](int x, int y) {
        const bool right = x >= side / 2, bottom = y >= side / 2;
        return bottom ? (right ? kYellow : kBlue) : (right ? kGreen : kRed);
    });
}

// The colour of frame k of a sheet.
Rgba FrameColour(int k) {
    return Opaque(static_cast<std::uint8_t>(k * 30), static_cast<std::uint8_t>(255 - k * 30), 7);
}

class Drawing : public GlDrawing {
protected:
    // After draw() on a cleared screen exactly the box (left, top, right, bottom) is covered, its
    // quarters in the colours given: top-left, top-right, bottom-left, bottom-right.
    void ExpectPlaced(const char* what, std::array<int, 4> box, std::array<Rgba, 4> quarters,
                      const std::function<void()>& draw) {
        SCOPED_TRACE(what);
        ClearScreen(*display_);
        draw();
        const auto [left, top, right, bottom] = box;
        ExpectScreen([&](int x, int y) {
            if (!Inside(x, y, left, top, right, bottom)) return kBlack;
            return quarters[(2 * y > top + bottom) * 2 + (2 * x > left + right)];
        });
    }
};

TEST_F(Drawing, PrimitivesCoverExactlyTheirPixels) {
    DrawLine(*display_, 0, 0, 3, 0, 0xFFFFFF); // both end points
    DrawLine(*display_, 20, 10, 20, 15, 0x0000FF);
    PlotPixel(*display_, 7, 9, 0x00FF00);
    FillRect(*display_, 40, 40, -5, -5, 0xFF0000); // negative sizes: x and y 36..40
    ExpectScreen([](int x, int y) {
        if (Inside(x, y, 0, 0, 3, 0)) return kWhite;
        if (Inside(x, y, 20, 10, 20, 15)) return kRed;
        if (Inside(x, y, 36, 36, 40, 40)) return kBlue;
        return x == 7 && y == 9 ? kGreen : kBlack;
    });
}

TEST_F(Drawing, SpritesAndFramesLandWhereTheCallPutsThem) {
    PutSprite(1, Quadrants(32));
    // A 64 x 32 sheet of 16 x 16 frames, each frame its own colour.
    PutSprite(2, MakeImage(64, 32, [](int x, int y) { return FrameColour((y / 16) * 4 + x / 16); }));
    display_->Sprites.Record(2).FrameWidth = 16;
    display_->Sprites.Record(2).FrameHeight = 16;
    SetSmoothing(*display_, false);
    Display& d = *display_;
    const std::array<Rgba, 4> upright{kRed, kGreen, kBlue, kYellow}, turned{kYellow, kBlue, kGreen, kRed};
    const auto frame = [](int k) {
        return std::array<Rgba, 4>{FrameColour(k), FrameColour(k), FrameColour(k), FrameColour(k)};
    };
    ExpectPlaced("natural size", {10, 20, 41, 51}, upright, [&] { DrawSprite(d, 1, 10, 20); });
    ExpectPlaced("frame 5: column 1, row 1", {40, 40, 55, 55}, frame(5), [&] { DrawSpriteFrame(d, 2, 5, 40, 40); });
    ExpectPlaced("mirrored", {8, 10, 39, 41}, {kGreen, kRed, kYellow, kBlue},
                 [&] { DrawSpriteStretched(d, 1, 40, 10, -32, 32); });
    ExpectPlaced("turned", {56, 32, 87, 63}, turned, [&] { DrawSpriteStretched(d, 1, 88, 64, -32, -32); });
    ExpectPlaced("zoomed about the natural copy's centre", {4, 4, 67, 67}, upright,
                 [&] { DrawSpriteZoomed(d, 1, 20, 20, 2, 2); });
    ExpectPlaced("rotated counter-clockwise", {40, 30, 71, 61}, {kGreen, kYellow, kRed, kBlue},
                 [&] { DrawSpriteRotated(d, 1, 40, 30, 90); });
    ExpectPlaced("roto-zoomed", {48, 38, 63, 53}, turned, [&] { DrawSpriteRotoZoomed(d, 1, 40, 30, 180, 0.5); });
    ExpectPlaced("frame 1 roto-zoomed about (18, 18)", {2, 2, 33, 33}, frame(1),
                 [&] { DrawFrameRotoZoomed(d, 2, 1, 10, 10, 0, 2); });
    ExpectPlaced("frame stretched", {60, 10, 79, 17}, frame(0), [&] { DrawFrameStretched(d, 2, 0, 60, 10, 20, 8); });
    ExpectPlaced("frame mirrored", {100, 40, 119, 47}, frame(0), [&] { DrawFrameStretched(d, 2, 0, 120, 40, -20, 8); });
    // With smoothing the edges between the quarters blend.
    SetSmoothing(d, true);
    DrawSpriteZoomed(d, 1, 20, 20, 2, 2);
    EXPECT_NE(At(35, 10), kRed);
    EXPECT_NE(At(35, 10), kGreen);
}

TEST_F(Drawing, TranslucentAndAdditiveBlending) {
    PutSprite(1, MakeImage(8, 8, [](int, int) { return kWhite; }));
    FillRect(*display_, 0, 0, kWidth, kHeight, 0x00646464); // grey 100
    SetBlendAlpha(*display_, -0.5);
    DrawSprite(*display_, 1, 0, 0);
    EXPECT_NEAR(At(4, 4)[0], (100 + 255) / 2, 2);
    SetBlendAlpha(*display_, 0.5);
    DrawSprite(*display_, 1, 20, 0);
    EXPECT_NEAR(At(24, 4)[0], 100 + 127, 2);
    SetBlendAlpha(*display_, -2); // behaves as -1: fully opaque translucency
    DrawSprite(*display_, 1, 40, 0);
    EXPECT_EQ(At(44, 4), kWhite);
}

TEST_F(Drawing, PrimitivesInTheKeyColourAreInvisibleWhenBlended) {
    // They draw with alpha 0.
    FillRect(*display_, 0, 0, 16, 16, 0x0000FF);
    SetBlendAlpha(*display_, -1);
    FillRect(*display_, 4, 4, 4, 4, 0x008000FF);
    EXPECT_EQ(At(5, 5), kRed);
    DrawLine(*display_, 0, 10, 15, 10, 0x008000FF);
    EXPECT_EQ(At(8, 10), kRed);
}

// One polygon batch of corners: position, position in the sprite image, colour.
struct Corner {
    double x, y, tx, ty;
    std::uint32_t colour;
};
void Polygon(Display& display, std::int32_t id, std::int32_t mode, std::initializer_list<Corner> corners) {
    BeginPolygon(display, id, mode);
    for (const Corner& c : corners)
        PolygonVertex(display, c.x, c.y, c.tx, c.ty, c.colour);
    EndPolygon(display);
}

TEST_F(Drawing, PolygonBatchWithVertexColours) {
    // Independent triangles: one in one colour, one with a colour at each corner.
    Polygon(*display_, -1, 1,
            {{0, 0, 0, 0, 0x0000FF},
             {0, 40, 0, 0, 0x0000FF},
             {40, 0, 0, 0, 0x0000FF},
             {60, 60, 0, 0, 0xFF0000},
             {100, 60, 0, 0, 0x00FF00},
             {60, 20, 0, 0, 0xFF0000}});
    EXPECT_EQ(At(5, 5), kRed);
    const Rgba mixed = At(70, 50);
    EXPECT_GT(mixed[1], 20); // green and blue blend smoothly
    EXPECT_GT(mixed[2], 20);
    EXPECT_EQ(At(90, 30), kBlack); // outside the triangle
    // The first triangle wound the other way round is a back face: culled.
    Polygon(*display_, -1, 1, {{80, 0, 0, 0, 0x0000FF}, {120, 0, 0, 0, 0x0000FF}, {80, 40, 0, 0, 0x0000FF}});
    EXPECT_EQ(At(85, 5), kBlack);

    // Textured: pixel positions in the sprite image, from its top-left; a fan
    // in the key colour is fully transparent.
    PutSprite(1, Quadrants(8));
    SetSmoothing(*display_, false);
    const std::uint32_t key = 0x008000FF;
    ExpectPlaced("textured", {80, 0, 95, 15}, {kRed, kGreen, kBlue, kYellow}, [&] {
        SetBlendAlpha(*display_, -1);
        Polygon(*display_, -1, 0, {{0, 0, 0, 0, key}, {0, 60, 0, 0, key}, {60, 60, 0, 0, key}, {60, 0, 0, 0, key}});
        SetBlendAlpha(*display_, 0);
        Polygon(*display_, 1, 0,
                {{80, 0, 0, 0, 0xFFFFFF}, {80, 16, 0, 8, 0xFFFFFF}, {96, 16, 8, 8, 0xFFFFFF}, {96, 0, 8, 0, 0xFFFFFF}});
    });
}

TEST_F(Drawing, ViewResetRestoresOpaqueSmoothDrawing) {
    SetBlendAlpha(*display_, -0.3);
    SetSmoothing(*display_, false);
    SetViewport2D(*display_, 0, 0, 0, 0);
    EXPECT_EQ(display_->Drawing.Alpha, 1.0f);
    EXPECT_TRUE(display_->Drawing.Smoothing);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(Drawing, ProgramFacingCallsActOnTheProcessDisplay) {
    const auto path = temp_ / "two.bmp";
    WritePicture(path, MakeImage(2, 1, [](int x, int) { return x == 0 ? kRed : kGreen; }));
    LoadSprite(DynString(path.string().c_str()), 12);
    std::int32_t w = 0, h = 0;
    SpriteSize(12, w, h);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_NE(SpriteTextureName(12), 0u);
    SetSmoothing(0);
    DrawSprite(12, 5, 5);
    EXPECT_EQ(ReadPixel(5, 5), 0x0000FFu);
    EXPECT_EQ(ReadPixel(6, 5), 0x00FF00u);
    FillRect(0, 0, 2, 2, 0x00ABCDEF);
    EXPECT_EQ(ReadPixel(1, 1), 0x00ABCDEFu);
    // Ids outside the table are ignored rather than reaching past it.
    LoadSprite(DynString(path.string().c_str()), 70000);
    SpriteSize(-4, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(FindFreeSprite(), 0);
    LoadSprite(DynString(""), 12);
    EXPECT_EQ(SpriteTextureName(12), 0u);
}

// One scene of everything: with batching the pixels must be exactly those
// of drawing each call on its own.
void DrawScene(Display& display) {
    SetBlendAlpha(display, 0);
    ClearScreen(display);
    for (int i = 0; i < 40; ++i)
        DrawSprite(display, 1 + i % 2, (i * 37) % 120, (i * 23) % 90);
    for (int i = 0; i < 12; ++i)
        DrawSpriteFrame(display, 3, i, (i * 11) % 110, (i * 29) % 80);
    DrawSpriteStretched(display, 1, 60, 10, -30, 20);
    SetSmoothing(display, false);
    DrawSpriteZoomed(display, 2, 50, 40, 1.5, 2.5);
    DrawSpriteRotoZoomed(display, 1, 20, 30, 33, 1.3);
    SetSmoothing(display, true);
    DrawSpriteRotoZoomed(display, 1, 80, 30, 33, 1.3); // the same texture, now smoothed
    DrawFrameRotoZoomed(display, 3, 2, 70, 50, -71, 0.8);
    DrawLine(display, 3, 90, 120, 5, 0x00FFFF);
    DrawLine(display, 5, 5, 100, 80, 0xFF00FF);
    FillRect(display, 30, 30, 20, -10, 0x336699);
    PlotPixel(display, 64, 64, 0xFFFFFF);
    SetBlendAlpha(display, -0.6);
    for (int i = 0; i < 20; ++i)
        DrawSprite(display, 2, (i * 53) % 110, (i * 31) % 80);
    FillRect(display, 0, 0, 60, 60, 0x202020);
    SetBlendAlpha(display, 0.4);
    for (int i = 0; i < 20; ++i)
        DrawFrameStretched(display, 3, i % 8, (i * 17) % 100, (i * 13) % 70, 24, 12);
    DrawSprite(display, 1, 90, 60);
}

TEST_F(Drawing, BatchingIsInvisible) {
    PutSprite(1, Quadrants(16));
    PutSprite(2, MakeImage(10, 6, [](int x, int y) {
                  return x == y ? Rgba{0, 0, 0, 0}
                                : Opaque(static_cast<std::uint8_t>(x * 25), 80, static_cast<std::uint8_t>(y * 40));
              }));
    PutSprite(3, MakeImage(32, 16, [](int x, int y) {
                  return Opaque(static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 16), 200);
              }));
    display_->Sprites.Record(3).FrameWidth = 8;
    display_->Sprites.Record(3).FrameHeight = 8;
    display_->Drawing.Batching = true;
    DrawScene(*display_);
    const auto batched = Screen();
    display_->Drawing.Batching = false;
    DrawScene(*display_);
    const auto single = Screen();
    EXPECT_TRUE(batched == single) << "batching changed the pixels";
    EXPECT_GT(std::count_if(single.begin(), single.end(), [](auto b) { return b != 0; }), 10000);
}

TEST_F(Drawing, GlDrawingOfTheProgramLandsOverEarlierSprites) {
    PutSprite(1, MakeImage(4, 4, [](int, int) { return kRed; }));
    for (const bool byTextureName : {false, true}) {
        DrawSprite(*display_, 1, 0, 0);
        if (byTextureName)
            SpriteTextureName(1);
        else
            FlushDrawing();
        glDisable(GL_TEXTURE_2D);
        glColor4f(0, 1, 0, 1);
        glRecti(0, 4, 4, 0); // counter-clockwise on the screen: not culled
        EXPECT_EQ(At(1, 1), kGreen) << byTextureName;
    }
}

TEST_F(Drawing, PolygonsSwitchTextureUnitOneOff) {
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
    BeginPolygon(*display_, -1, 0);
    EndPolygon(*display_); // with no sprite draw waiting either
    glActiveTexture(GL_TEXTURE1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTexture(GL_TEXTURE0);
}

} // namespace
} // namespace vlm
