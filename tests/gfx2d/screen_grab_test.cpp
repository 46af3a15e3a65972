#include "gfx2d/screen_grab.h"

#include <gtest/gtest.h>

#include "frame/clock.h"
#include "frame/frame_loop.h"
#include "frame/screenshot.h"
#include "support/gl_fixture.h"

namespace vlm {
namespace {

using namespace test;

const Rgba kGrey = Opaque(64, 64, 64);
constexpr std::uint32_t kRedColour = 0x0000FF, kGreenColour = 0x00FF00, kBlueColour = 0xFF0000;
constexpr std::uint32_t kYellowColour = 0x00FFFF;

class ScreenGrab : public GlDrawing {
protected:
    void SetUp() override {
        InitTimer();
        OpenWindow(320, 240);
        SetSmoothing(*display_, false);
    }
    // A 10 x 10 square of four colours with its top-left at (x, y).
    void DrawQuadrants(int x, int y) {
        FillRect(*display_, x, y, 5, 5, kRedColour);
        FillRect(*display_, x + 5, y, 5, 5, kGreenColour);
        FillRect(*display_, x, y + 5, 5, 5, kBlueColour);
        FillRect(*display_, x + 5, y + 5, 5, 5, kYellowColour);
    }
    // The square at (x, y), and `beyond` just past its bottom-right corner.
    void ExpectQuadrantsAt(int x, int y, const Rgba& beyond) {
        EXPECT_EQ(At(x, y), kRed);
        EXPECT_EQ(At(x + 9, y), kGreen);
        EXPECT_EQ(At(x, y + 9), kBlue);
        EXPECT_EQ(At(x + 9, y + 9), kYellow);
        EXPECT_EQ(At(x + 10, y + 10), beyond);
    }
    const SpriteRecord& Sprite(int id) { return display_->Sprites.Record(id); }
};

TEST_F(ScreenGrab, TexturesArePowersOfTwoOfAtLeast32AndAreReused) {
    ASSERT_TRUE(GrabScreen(*display_, 999, 0, 0, 320, 240));
    EXPECT_EQ(Sprite(999).TexWidth, 512);
    EXPECT_EQ(Sprite(999).TexHeight, 256);
    const std::uint32_t texture = Sprite(999).Texture;
    ASSERT_TRUE(GrabScreen(*display_, 999, 0, 0, 320, 240));
    EXPECT_EQ(Sprite(999).Texture, texture);

    ASSERT_TRUE(GrabScreen(*display_, 7, 3, 3, 10, 10));
    EXPECT_EQ(Sprite(7).TexWidth, 32);
    EXPECT_EQ(Sprite(7).TexHeight, 32);
    EXPECT_FALSE(GrabScreen(*display_, 7, 0, 0, 0, 10));
    EXPECT_FALSE(GrabScreen(*display_, 70000, 0, 0, 10, 10));
}

TEST_F(ScreenGrab, AGrabDrawsBackUprightWithTheKeyColourTransparentEveryWay) {
    // Inside a surface first: the screen's grabs after it must still find the key.
    for (const char* way : {"inside a surface", "copied", "read back"}) {
        SCOPED_TRACE(way);
        const bool inSurface = way[0] == 'i', readBack = way[0] == 'r';
        if (inSurface) {
            CreateSurface(*display_, 0, 50, 64, 64);
            UseSurface(*display_, 0);
        }
        ClearScreen(*display_);
        DrawQuadrants(20, 30);
        FillRect(*display_, 22, 32, 6, 6, display_->Sprites.ColourKey); // a hole in the key colour
        ASSERT_TRUE(readBack ? GrabScreenByReadBack(*display_, 5, 20, 30, 10, 10)
                             : GrabScreen(*display_, 5, 20, 30, 10, 10));
        if (inSurface) {
            EXPECT_FALSE(GrabScreen(*display_, 50, 0, 0, 10, 10)) << "not into the picture being drawn";
            UseSurface(*display_, -1);
        }
        FillRect(*display_, 0, 0, 320, 240, 0x00404040);
        DrawSprite(*display_, 5, 100, 50);
        ExpectQuadrantsAt(100, 50, kGrey);
        EXPECT_EQ(At(104, 54), kGrey); // through the hole
    }
}

TEST_F(ScreenGrab, TheKeyProbePutsThePixelBack) {
    FillRect(*display_, 0, 0, 10, 10, kGreenColour);
    EXPECT_EQ(ProbeKeyColour(*display_), display_->Sprites.ColourKey);
    EXPECT_EQ(At(4, 4), kGreen);
    // Blending does not mix the probe's plots into the picture.
    SetBlendAlpha(*display_, 0.5);
    EXPECT_EQ(ProbeKeyColour(*display_), display_->Sprites.ColourKey);
    EXPECT_EQ(At(4, 4), kGreen);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    SetBlendAlpha(*display_, 0);
    // Another key is probed anew, not answered from the last probe.
    display_->Sprites.SetColourKey(0x00123456);
    EXPECT_EQ(ProbeKeyColour(*display_), 0x00123456u);
    display_->Sprites.SetColourKey(0);
    EXPECT_EQ(ProbeKeyColour(*display_), 0u);
    display_->Sprites.SetColourKey(kNoColourKey);
    EXPECT_FALSE(ProbeKeyColour(*display_).has_value());
}

class Surfaces : public ScreenGrab {};

TEST_F(Surfaces, DrawingGoesIntoTheSurfaceSpriteAndNotOnTheScreen) {
    FillRect(*display_, 0, 0, 320, 240, kBlueColour);
    CreateSurface(*display_, 0, 50, 100, 60);
    EXPECT_EQ(Sprite(50).Width, 100);
    EXPECT_EQ(Sprite(50).TexWidth, 128);
    const bool framebuffer = display_->Offscreen.surfaces[0].width != 0;
    EXPECT_TRUE(framebuffer) << "Mesa offers framebuffer objects";
    for (const bool fallback : {false, true}) {
        SCOPED_TRACE(fallback ? "fallback" : (framebuffer ? "framebuffer object" : "fallback only"));
        if (fallback) {
            CreateSurface(*display_, 1, 50, 100, 60);
            display_->Offscreen.surfaces[1].width = 0; // as where the context has no framebuffer objects
        }
        const int surface = fallback ? 1 : 0;
        UseSurface(*display_, surface);
        EXPECT_EQ(display_->Offscreen.current, surface);
        DrawQuadrants(0, 0);
        FillRect(*display_, 90, 50, 10, 10, kGreenColour); // the surface's bottom-right corner
        EXPECT_EQ(ReadPixel(*display_, 0, 0), kRedColour);
        EXPECT_EQ(ReadPixel(*display_, 99, 59), kGreenColour);
        UseSurface(*display_, -1);
        EXPECT_EQ(display_->Offscreen.current, -1);
        EXPECT_EQ(At(0, 0), kBlue) << "the screen is untouched";
        EXPECT_EQ(At(95, 55), kBlue);

        DrawSprite(*display_, 50, 200, 100);
        ExpectQuadrantsAt(200, 100, kBlue); // the rest of the surface is transparent
        EXPECT_EQ(At(299, 159), kGreen);
        FillRect(*display_, 200, 100, 100, 60, kBlueColour);
    }
}

TEST_F(Surfaces, ShowingAFrameEndsOffScreenDrawing) {
    TheFrameLoop().Unpaced = true;
    CreateSurface(*display_, 3, 60, 16, 16);
    UseSurface(*display_, 3);
    FillRect(*display_, 0, 0, 16, 16, kYellowColour);
    ShowFrame();
    TheFrameLoop().Unpaced = false;
    EXPECT_EQ(display_->Offscreen.current, -1);
    EXPECT_EQ(display_->ViewWidth, 320);
    DrawSprite(*display_, 60, 10, 10);
    EXPECT_EQ(At(25, 25), kYellow);

    // Leaving when nothing is current only resets the view.
    SetViewport2D(*display_, 10, 10, 50, 50);
    UseSurface(*display_, -1);
    EXPECT_EQ(display_->ViewWidth, 320);
}

TEST_F(ScreenGrab, SavedScreensKeepTheKeyColourApart) {
    display_->Sprites.SetColourKey(kGreenColour);
    DrawQuadrants(20, 30);
    const auto png = temp_ / "shot.PNG", bmp = temp_ / "shot.bmp", plain = temp_ / "shot";
    ASSERT_TRUE(SaveScreen(*display_, png.string()));
    ASSERT_TRUE(SaveScreen(*display_, bmp.string()));
    ASSERT_TRUE(SaveScreen(*display_, plain.string()));
    EXPECT_EQ(ReadWholeFile(plain).substr(0, 2), "BM");
    EXPECT_EQ(SavedPixel(png, 20, 30), kRed);
    EXPECT_EQ(SavedPixel(png, 29, 30), (Rgba{0, 255, 0, 0})); // the key: transparent
    EXPECT_EQ(SavedPixel(bmp, 29, 30), Opaque(255, 0, 128)); // the key: the standard key colour

    display_->Sprites.SetColourKey(0);
    ASSERT_TRUE(SaveScreen(*display_, png.string()));
    EXPECT_EQ(SavedPixel(png, 0, 0), kBlack); // black stays opaque in a PNG

    display_->Sprites.SetColourKey(kNoColourKey); // no key: nothing becomes transparent
    FillRect(*display_, 0, 0, 10, 10, 0xFFFFFF);
    ASSERT_TRUE(SaveScreen(*display_, png.string()));
    ASSERT_TRUE(SaveScreen(*display_, bmp.string()));
    EXPECT_EQ(SavedPixel(png, 5, 5), kWhite);
    EXPECT_EQ(SavedPixel(bmp, 5, 5), kWhite);

    EXPECT_FALSE(SaveScreen(*display_, "mem://00000010.0000000000001000"));
    EXPECT_FALSE(SaveScreen(*display_, (temp_ / "missing" / "shot.bmp").string()));
}

TEST_F(ScreenGrab, SavedPicturesShowTheScreenWhileASurfaceIsDrawn) {
    for (const bool frameShot : {false, true}) {
        SCOPED_TRACE(frameShot ? "scripted frame shot" : "SaveScreen");
        FillRect(*display_, 0, 0, 320, 240, 0x00404040);
        DrawQuadrants(20, 30);
        CreateSurface(*display_, 0, 50, 16, 16);
        UseSurface(*display_, 0);
        FillRect(*display_, 0, 0, 16, 16, kRedColour);
        const auto file = temp_ / (frameShot ? "frame.png" : "screen.bmp");
        ASSERT_TRUE(frameShot ? SaveFramePicture(*display_, file.string()) : SaveScreen(*display_, file.string()));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(ReadPixel(*display_, 0, 0), kRedColour) << "still drawing into the surface";
        UseSurface(*display_, -1);
        EXPECT_EQ(SavedPixel(file, 0, 0), kGrey);
        EXPECT_EQ(SavedPixel(file, 20, 30), kRed);
        EXPECT_EQ(SavedPixel(file, 29, 39), kYellow);
        EXPECT_EQ(SavedPixel(file, 319, 239), kGrey);
    }
}

TEST_F(Surfaces, GoingStraightFromSurfaceToSurfaceGivesTheScreenBack) {
    for (const bool fallbackFirst : {true, false}) {
        SCOPED_TRACE(fallbackFirst ? "borrowed area first" : "framebuffer object first");
        FillRect(*display_, 0, 0, 320, 240, kBlueColour);
        CreateSurface(*display_, 0, 50, 32, 32);
        CreateSurface(*display_, 1, 51, 32, 32);
        display_->Offscreen.surfaces[0].width = 0; // surface 0 borrows the screen
        UseSurface(*display_, fallbackFirst ? 0 : 1);
        FillRect(*display_, 0, 0, 32, 32, kRedColour);
        UseSurface(*display_, fallbackFirst ? 1 : 0);
        FillRect(*display_, 0, 0, 32, 32, kGreenColour);
        UseSurface(*display_, -1);
        EXPECT_EQ(At(10, 10), kBlue);
        DrawSprite(*display_, fallbackFirst ? 50 : 51, 100, 100);
        DrawSprite(*display_, fallbackFirst ? 51 : 50, 200, 100);
        EXPECT_EQ(At(110, 110), kRed);
        EXPECT_EQ(At(210, 110), kGreen);
    }
}

TEST_F(Surfaces, RemakingWhatIsDrawnIntoEndsOffScreenDrawing) {
    // A surface never made stays off, even when sprite 0 exists.
    PutSprite(0, MakeImage(8, 8, [](int, int) { return kRed; }));
    UseSurface(*display_, 7);
    EXPECT_EQ(display_->Offscreen.current, -1);
    FillRect(*display_, 0, 0, 4, 4, kGreenColour);
    EXPECT_EQ(At(1, 1), kGreen);
    EXPECT_EQ(Sprite(0).Width, 8);

    CreateSurface(*display_, 2, 52, 16, 16);
    UseSurface(*display_, 2);
    CreateSurface(*display_, 2, 52, 24, 24); // the current surface itself
    EXPECT_EQ(display_->Offscreen.current, -1);
    EXPECT_EQ(display_->ViewWidth, 320);
    EXPECT_EQ(Sprite(52).Width, 24);

    UseSurface(*display_, 2);
    CreateSurface(*display_, 4, 52, 16, 16); // another surface onto the current one's sprite
    EXPECT_EQ(display_->Offscreen.current, -1);
}

TEST_F(Surfaces, SidesBeyondTheLargestTextureAreRefused) {
    EXPECT_FALSE(GrabScreen(*display_, 10, 0, 0, 0x7FFFFFF0, 10));
    EXPECT_FALSE(GrabScreenByReadBack(*display_, 10, 0, 0, 10, 0x7FFFFFF0));
    CreateSurface(*display_, 0, 11, 0x7FFFFFF0, 10);
    EXPECT_EQ(Sprite(10).Width, 0);
    EXPECT_EQ(Sprite(11).Width, 0);
}

} // namespace
} // namespace vlm
