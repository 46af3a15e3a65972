#include "input/input_line.h"

#include <gtest/gtest.h>

#include "frame/clock.h"
#include "frame/frame_loop.h"
#include "gfx2d/bitmap_fonts.h"
#include "input/input_devices.h"
#include "input/input_script.h"
#include "input/input_source.h"
#include "support/gl_fixture.h"

namespace vlm {
namespace {

using test::kBlue;
using test::kWhite;

// A window with the compiled-in font, a blue picture and scripted keys.
class LineInput : public test::GlWindow {
  protected:
    void SetUp() override {
        InitTimer();
        OpenWindow(160, 120);
        TheFrameLoop().Unpaced = true;
        LoadFont(*display_, "", 0);
        FillRect(*display_, 0, 0, 160, 120, 0x00FF0000);
    }
    void TearDown() override {
        TheFrameLoop().Unpaced = false;
        DestroyTheInput();
        GlWindow::TearDown();
    }
    void Script(const std::string& text) {
        ScriptParseResult parsed = ParseInputScript(text);
        ASSERT_EQ(parsed.Error, "");
        CreateTheInput().UseSource(MakeScriptedInput(std::move(parsed.Events)));
    }
    test::Rgba ShotPixel(const std::string& name, int x, int y) { return test::SavedPixel(temp_ / name, x, y); }
    std::string Shot(int frame, const std::string& name) {
        return std::to_string(frame) + " shot " + (temp_ / name).string() + "\n";
    }
};

TEST_F(LineInput, TypedCharactersWithBackspaceEndAtReturn) {
    // a, b, Backspace, shift+c, then Return.
    Script("2 keydown 30\n3 keyup 30\n4 keydown 48\n5 keyup 48\n6 keydown 14\n7 keyup 14\n"
           "8 keydown 42\n8 keydown 46\n9 keyup 46\n9 keyup 42\n" +
           Shot(10, "typed.png") + "12 keydown 28\n13 keyup 28\n");
    EXPECT_EQ(InputLine(10, 20), "aC");
    // The line is drawn over the picture that was there: "aC_" in cells of 8.
    EXPECT_EQ(ShotPixel("typed.png", 0, 0), kBlue);
    EXPECT_EQ(ShotPixel("typed.png", 10 + 3, 20 + 3), kWhite); // top of the 'a'
    EXPECT_EQ(ShotPixel("typed.png", 26 + 2, 20 + 5), kWhite); // the '_' mark
    EXPECT_EQ(ShotPixel("typed.png", 34 + 2, 20 + 5), kBlue);  // nothing after it
    // The kept picture is let go afterwards.
    EXPECT_EQ(display_->Backgrounds[3].columns, 0);
}

TEST_F(LineInput, TheMarkBlinksWhileNothingIsTypedAndNumbersAreReadFromTheLine) {
    // Nothing for 60 frames, then -, 2, ., 5 and Return.
    Script(Shot(10, "on.png") + Shot(30, "off.png") + Shot(50, "again.png") +
           "60 keydown 12\n61 keyup 12\n62 keydown 3\n63 keyup 3\n64 keydown 52\n65 keyup 52\n"
           "66 keydown 6\n67 keyup 6\n68 keydown 28\n");
    EXPECT_DOUBLE_EQ(InputLineNumber(0, 0), -2.5);
    EXPECT_EQ(ShotPixel("on.png", 2, 5), kWhite);
    EXPECT_EQ(ShotPixel("off.png", 2, 5), kBlue);
    EXPECT_EQ(ShotPixel("again.png", 2, 5), kWhite);
}

} // namespace
} // namespace vlm
