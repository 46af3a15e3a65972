#include "frame/frame_loop.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <thread>

#include "frame/clock.h"
#include "frame/display.h"
#include "frame/file_requester.h"
#include "frame/gl_extensions.h"
#include "frame/software_renderer.h"
#include "support/gl_fixture.h"

namespace vlm {
namespace {

class FrameLoop : public test::GlDrawing {
protected:
    void SetUp() override {
        InitTimer();
        GlDrawing::SetUp();
        TheFrameLoop().Unpaced = false;
    }
    static std::array<GLint, 4> Viewport() {
        std::array<GLint, 4> v{};
        glGetIntegerv(GL_VIEWPORT, v.data());
        return v;
    }
};

TEST_F(FrameLoop, SizesBelowOneAreNoSizesAndNoCapMeansTwoMilliseconds) {
    ApplyScreenMode(*display_, -5, -5, -1, false);
    EXPECT_EQ(display_->ScreenWidth, kWidth);
    EXPECT_EQ(display_->ScreenHeight, kHeight);

    for (const int cap : {0, -3}) {
        ASSERT_TRUE(CreateDisplayWindow(*display_, 64, 64, 0, cap, 0, false));
        EXPECT_EQ(display_->FrameInterval, 2.0);
    }
}

TEST_F(FrameLoop, PartialViewCountsFromTheTop) {
    SetViewport2D(*display_, 10, 20, 100, 50);
    // GL counts viewport rows from the bottom: 96 - 20 - 50.
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{10, 26, 100, 50}));
    SetViewport2D(*display_, 10, 20, 0, 50);
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{10, -20, kWidth, kHeight}));
}

TEST_F(FrameLoop, ExtensionNamesAreWholeWords) {
    EXPECT_TRUE(ExtensionListHas("GL_ARB_multitexture GL_EXT_fog", "GL_EXT_fog"));
    EXPECT_TRUE(ExtensionListHas("GL_ARB_multitexture GL_EXT_fog", "GL_ARB_multitexture"));
    EXPECT_FALSE(ExtensionListHas("GL_ARB_multitexture_plus GL_EXT_fog", "GL_ARB_multitexture"));
    EXPECT_FALSE(ExtensionListHas("XGL_ARB_multitexture", "GL_ARB_multitexture"));
    EXPECT_TRUE(ExtensionListHas("XGL_A GL_A", "GL_A"));
    EXPECT_FALSE(ExtensionListHas("GL_A", ""));
    EXPECT_FALSE(HasGlExtension("GL_VELMORA_no_such_extension"));
}

// The X run under softpipe warns; every log test runs on llvmpipe, which must not.
TEST(SoftwareRenderer, TheOldMesaRasterizerIsSlowToo) { EXPECT_TRUE(IsSlowSoftwareRenderer("Software Rasterizer")); }

TEST(FrameCap, ModeSwitchKeepsAWholeCap) {
    EXPECT_EQ(FrameCapForInterval(1000.0 / 60), 60);
    EXPECT_EQ(FrameCapForInterval(0.0), 5);
    EXPECT_EQ(FrameCapForInterval(-1.0), 5);
    EXPECT_EQ(FrameCapForInterval(1e-12), INT32_MAX);
}

// The GLEXT: query checks the live context's answers; no context here is older than 1.3.
TEST(GlFunctions, ACoreFunctionNeedsItsVersion) {
    EXPECT_FALSE(ContextOffers("glActiveTexture", 12, "GL_ARB_multitexture"));
    EXPECT_TRUE(ContextOffers("glActiveTexture", 13, ""));
}

TEST_F(FrameLoop, FramesComeNoFasterThanTheCap) {
    ShowFrame();
    const double start = MillisecondsNow();
    for (int i = 0; i < 6; ++i)
        ShowFrame();
    // The deadlines are an interval apart; the first may come at once.
    EXPECT_GE(MillisecondsNow() - start, 5 * 1000.0 / 60);
}

TEST_F(FrameLoop, UnpacedFramesDoNotWait) {
    TheFrameLoop().Unpaced = true;
    for (int i = 0; i < 5; ++i) {
        ShowFrame();
        // No slot lies ahead: the next frame may come at once.
        EXPECT_LE(display_->NextFrameTime, MillisecondsNow());
    }
}

TEST_F(FrameLoop, FrameRateLimit) {
    const double next = display_->NextFrameTime;
    // Whole frames a second; none, or more than a 32-bit count, is no cap (2 ms).
    for (const auto& [fps, interval] :
         {std::pair{60.9, 1000.0 / 60}, {0.0, 2.0}, {-5.0, 2.0}, {100.0, 10.0}, {1e10, 2.0}, {std::nan(""), 2.0}}) {
        SetFrameRateLimit(fps);
        EXPECT_DOUBLE_EQ(display_->FrameInterval, interval) << fps;
    }
    EXPECT_EQ(display_->NextFrameTime, next) << "the schedule stays";
}

TEST_F(FrameLoop, FrameDurationCountsBetweenFrames) {
    ClockState& clock = TheClock();
    clock.LastFrameStart = clock.PreviousFrameStart = MillisecondsNow() - 1000;
    EXPECT_EQ(FrameDuration(), 1.0); // no time between them: 1, never 0
    const double before = MillisecondsNow();
    ShowFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ShowFrame();
    // Each frame is stamped as it starts, so the last two stamps lie 30 ms
    // or more apart, and no further apart than the two calls took.
    EXPECT_GE(FrameDuration(), 30.0);
    EXPECT_LE(FrameDuration(), MillisecondsNow() - before);
}

TEST_F(FrameLoop, ShowFrameClearsTheNextPicture) {
    FillRect(*display_, 0, 0, 10, 10, 0xFFFFFF);
    ShowFrame();
    EXPECT_EQ(At(5, 5), test::kBlack);
}

TEST_F(FrameLoop, HiddenForTheBackgroundAndShownAgain) {
    HideWindowForBackground(*display_);
    EXPECT_FALSE(display_->WindowHandle->IsShown());
    EnterWindowed(*display_);
    EXPECT_TRUE(display_->WindowHandle->IsShown());
    EXPECT_FALSE(display_->FullScreenActive);
}

TEST_F(FrameLoop, FileRequesterAnswersNoFileWhenHeadless) {
    ::setenv("VELMORA_HEADLESS", "1", 1);
    EXPECT_EQ(FileRequester(1, DynString("Pictures|*.png")), "NO_FILE");
    EXPECT_TRUE(display_->WindowHandle->IsShown());
}

TEST_F(FrameLoop, DeactivationPausesAndAppendsTheMarkerToTheGivenTitle) {
    FrameLoopState& loop = TheFrameLoop();
    loop.AutoPause = true;
    // Titles are single-byte texts; the window system is given UTF-8.
    SetWindowTitle(DynString("f\xFCr"));
    display_->WindowHandle->SetTitle("something else"); // the marker goes on the given title
    WindowMessage activate;
    activate.Message = kMsgActivate;
    activate.FirstParameter = 0;
    EXPECT_EQ(WindowProcedure(activate), 0);
    EXPECT_EQ(display_->WindowHandle->Title(), "f\xC3\xBCr <pause>");
    activate.FirstParameter = 3; // neither active nor inactive: nothing
    WindowProcedure(activate);
    EXPECT_TRUE(loop.Paused);
    activate.FirstParameter = 2; // activated by a click
    WindowProcedure(activate);
    EXPECT_FALSE(loop.Paused);

    SetAutoPause(0);
    activate.FirstParameter = 0;
    WindowProcedure(activate);
    EXPECT_FALSE(loop.Paused);
}

TEST(FileRequesterFilter, PairsBecomeDialogFilters) {
    EXPECT_EQ(FileDialogArguments(true, "Pictures|*.png;*.bmp|All|*.*"),
              (std::vector<std::string>{"zenity", "--file-selection", "--file-filter=Pictures | *.png *.bmp",
                                        "--file-filter=All | *.*"}));
    EXPECT_EQ(FileDialogArguments(false, ""), (std::vector<std::string>{"zenity", "--file-selection", "--save"}));
    EXPECT_EQ(FileDialogArguments(true, "Lonely description"),
              (std::vector<std::string>{"zenity", "--file-selection"}));
}

} // namespace
} // namespace vlm
