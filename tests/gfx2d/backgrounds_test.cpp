#include "gfx2d/background_slots.h"

#include <gtest/gtest.h>

#include "files/error_state.h"
#include "frame/clock.h"
#include "frame/frame_loop.h"
#include "support/gl_fixture.h"

namespace vlm {
namespace {

using namespace test;

class Backgrounds : public GlDrawing {
  protected:
    void SetUp() override {
        InitTimer();
        TheErrorState().LastErrorCode = kErrorNoSuchFile; // a load must clear what came before
        OpenWindow(640, 480);
        TheFrameLoop().Unpaced = true;
    }
    void TearDown() override {
        TheFrameLoop().Unpaced = false;
        GlDrawing::TearDown();
    }

    // Something in every corner, so that a shifted or flipped copy shows.
    void DrawScene() {
        FillRect(*display_, 0, 0, 40, 30, 0x000000FF);
        FillRect(*display_, 600, 0, 40, 30, 0x0000FF00);
        FillRect(*display_, 0, 450, 40, 30, 0x00FF0000);
        FillRect(*display_, 600, 450, 40, 30, 0x00FFFFFF);
        DrawLine(*display_, 0, 0, 639, 479, 0x00808000);
    }
    const BackgroundSlot& Slot(int index) const { return display_->Backgrounds[static_cast<std::size_t>(index)]; }
};

TEST_F(Backgrounds, AGrabbedScreenDrawsBackUnchanged) {
    DrawScene();
    const std::vector<std::uint8_t> scene = Screen();
    GrabBackground(*display_, 3);
    const BackgroundSlot& slot = Slot(3);

    glClear(GL_COLOR_BUFFER_BIT);
    DrawBackground(*display_, 3);
    EXPECT_EQ(Screen(), scene);

    const std::uint32_t texture = slot.tiles[0].texture;
    GrabBackground(*display_, 3);
    EXPECT_EQ(slot.tiles[0].texture, texture); // the tile is reused

    // Slots outside 0..7 are ignored.
    GrabBackground(*display_, 8);
    DrawBackground(*display_, -1);
    DiscardBackground(*display_, 8);
    DiscardBackground(*display_, 3);
    EXPECT_EQ(Slot(3).columns, 0);
    EXPECT_EQ(Slot(3).tiles[0].texture, 0u);
    EXPECT_FALSE(glIsTexture(texture));
}

TEST_F(Backgrounds, EveryNewFrameStartsFromTheProgramsBackground) {
    DrawScene();
    const std::vector<std::uint8_t> scene = Screen();
    GrabBackground(*display_, 0);
    ShowFrame();
    EXPECT_EQ(Screen(), scene);
    FillRect(*display_, 100, 100, 10, 10, 0x00123456);
    ShowFrame();
    EXPECT_EQ(Screen(), scene);
    // A view the program narrowed does not cut into the next frame's background.
    SetViewport2D(*display_, 100, 100, 200, 100);
    ShowFrame();
    EXPECT_EQ(Screen(), scene);

    // Clearing the screen ends the background.
    ClearScreen(*display_);
    EXPECT_EQ(Slot(0).columns, 0);
    ShowFrame();
    EXPECT_EQ(At(5, 5), kBlack);
}

Rgba Gradient(int x, int y) {
    return Opaque(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                  static_cast<std::uint8_t>((x >> 8) * 60 + (y >> 8) * 100 + 7));
}

TEST_F(Backgrounds, PictureFilesLoadAsSquareTilesAndShowAtOnce) {
    struct Case {
        int width, height, columns, rows;
    };
    // Two 512 x 512 tiles side by side; a second row of tiles under the first;
    // a picture wider than eight tiles keeps its eight left tiles. Beyond the
    // picture the screen stays black, without a fringe of smeared colour.
    for (const Case c : {Case{640, 480, 2, 1}, Case{600, 560, 2, 2}, Case{9 * 512 + 10, 480, 8, 1}}) {
        SCOPED_TRACE(c.width);
        OpenWindow(640, 560);
        const auto path = temp_ / "back.png";
        WritePicture(path, MakeImage(c.width, c.height, Gradient));
        ASSERT_TRUE(LoadBackground(*display_, path.string()));
        EXPECT_EQ(TheErrorState().LastErrorCode, kErrorSuccess);
        EXPECT_EQ(Slot(0).columns, c.columns);
        EXPECT_EQ(Slot(0).rows, c.rows);
        ExpectScreen([&](int x, int y) { return x < c.width && y < c.height ? Gradient(x, y) : kBlack; });
    }
    EXPECT_EQ(Slot(0).tiles[8].texWidth, 512);

    // A name that does not load removes the background and clears the screen.
    EXPECT_FALSE(LoadBackground(*display_, (temp_ / "missing.png").string()));
    EXPECT_EQ(TheErrorState().LastErrorCode, kErrorNoSuchFile);
    EXPECT_EQ(Slot(0).columns, 0);
    EXPECT_EQ(At(600, 200), kBlack);
}

TEST_F(Backgrounds, ClosingTheWindowFreesEverySlotAndSprite) {
    DrawScene();
    GrabBackground(*display_, 0);
    GrabBackground(*display_, 7);
    PutSprite(9, MakeImage(2, 2, [](int, int) { return kWhite; }));
    DestroyDisplayWindow(*display_);
    EXPECT_FALSE(display_->GlReady);
    EXPECT_EQ(Slot(0).columns, 0);
    EXPECT_EQ(Slot(7).tiles[0].texture, 0u);
    EXPECT_EQ(display_->Sprites.Record(9).Width, 0);
    EXPECT_EQ(display_->Sprites.Record(9).Texture, 0u);
}

} // namespace
} // namespace vlm
