// The window as a user meets it: a real program under a private X server
// with a window manager, driven with xdotool.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "support/pictures.h"
#include "support/temp_folder.h"
#include "x_session.h"

namespace vlm {
namespace {

using namespace std::chrono_literals;

class ProbeWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(x_.Ready()) << "no private X server"; }

    // Starts the probe (later entries replace the defaults) and, unless told
    // not to wait, waits for its third frame and finds its window.
    void Start(const std::vector<std::string>& environment = {}, bool wait = true) {
        std::vector<std::string> all = {"PROBE_REPORT=" + Report().string(), "TMPDIR=" + temp_.path().string(),
                                        "VELMORA_HEADLESS=1"};
        all.insert(all.end(), environment.begin(), environment.end());
        x_.Start(PROBE_PATH, all);
        if (!wait) return;
        ASSERT_TRUE(test::WaitUntil([&] { return FrameNumber(LastFrame()) >= 3; }, 20s)) << "the probe did not run";
        window_ = x_.Xdotool("search --name '^probe'");
        window_ = window_.substr(0, window_.find('\n'));
        ASSERT_FALSE(window_.empty());
        x_.Xdotool("windowactivate --sync " + window_);
    }
    // A second probe window, which takes the focus.
    void StartAnother() {
        x_.Start(PROBE_PATH, {"PROBE_REPORT=" + (other_ / "report.txt").string(), "TMPDIR=" + other_.path().string(),
                              "VELMORA_HEADLESS=1"});
    }

    std::filesystem::path Report() const { return temp_ / "report.txt"; }
    std::vector<std::string> Lines() const { return test::ReadLogLines(Report()); }
    std::vector<std::string> Log() const { return test::ReadLogLines(temp_ / "ErrorLog.txt"); }
    std::string Geometry() const { return x_.Xdotool("getwindowgeometry " + window_); }
    int Count(const std::string& line) const { return static_cast<int>(std::ranges::count(Lines(), line)); }

    // Whether the report gets this line within a few seconds.
    bool Saw(const std::string& line) const {
        return test::WaitUntil([&] { return Count(line) > 0; });
    }
    // The last frame line, and its number.
    std::string LastFrame() const {
        const std::vector<std::string> lines = Lines();
        const auto it = std::find_if(lines.rbegin(), lines.rend(), [](auto& l) { return l.starts_with("frame "); });
        return it == lines.rend() ? std::string() : *it;
    }
    static int FrameNumber(const std::string& line) { return std::atoi(line.c_str() + 6); }
    // Waits for a frame line showing `what` (after the frame number and size).
    bool Shows(const std::string& what) const {
        return test::WaitUntil([&] { return LastFrame().find(what) != std::string::npos; });
    }
    // Waits until `frames` more frames have been shown.
    bool FramesPass(int frames) const {
        const int now = FrameNumber(LastFrame());
        return test::WaitUntil([&] { return FrameNumber(LastFrame()) > now + frames; });
    }

    test::TempFolder temp_, other_;
    test::XSession x_;
    std::string window_;
};

TEST_F(ProbeWindow, RealInputAndTypingByLayoutReachTheProgramAndEscapeEndsIt) {
    Start({"PROBE_TYPE=1"});
    EXPECT_NE(Geometry().find("Geometry: 320x240"), std::string::npos) << Geometry();
    // Position, held buttons and plain keys read back in the replay test.
    x_.Xdotool("mousemove --window " + window_ + " 100 80 click 1 click 3");
    // Outside the window the position is clamped to the drawing surface.
    x_.Xdotool("mousemove --window " + window_ + " -- -30 500");
    EXPECT_TRUE(Shows("mouse 0 239 0 0")) << LastFrame();
    x_.Xdotool("mousemove --window " + window_ + " 400 -10");
    EXPECT_TRUE(Shows("mouse 319 0 0 0")) << LastFrame();
    x_.Xdotool("keydown Up");
    EXPECT_TRUE(Shows("keys 200")) << LastFrame();
    x_.Xdotool("keyup Up");
    EXPECT_TRUE(test::WaitUntil([&] { return LastFrame().ends_with("keys"); })) << LastFrame();
    // The hook saw the messages of all that.
    for (const char* message : {"0x0200", "0x0201", "0x0202", "0x0100", "0x0101", "0x0204", "0x0205"}) {
        EXPECT_TRUE(Saw(std::string("msg ") + message)) << message;
    }

    // Alt+Enter without a full-screen mode stays windowed and runs on.
    x_.Xdotool("key alt+Return");
    EXPECT_TRUE(test::WaitUntil([&] { return std::ranges::count(Log(), "No Fullscreen Mode available") == 1; }));
    EXPECT_NE(Geometry().find("Geometry: 320x240"), std::string::npos) << Geometry();
    EXPECT_TRUE(FramesPass(1));

    // Layout, keys and the byte they type (Windows-1252: 128 is the euro sign).
    for (const auto& [layout, keys, typed] :
         std::vector<std::tuple<std::string, std::string, int>>{{"us", "shift+2", '@'},
                                                                {"de", "shift+2", '"'},
                                                                {"de", "ISO_Level3_Shift+7", '{'},
                                                                {"de", "ISO_Level3_Shift+e", 128},
                                                                {"de", "dead_acute e", 233}}) {
        ASSERT_EQ(std::system(("DISPLAY=" + x_.DisplayName() + " setxkbmap " + layout).c_str()), 0);
        x_.Xdotool("key " + keys);
        EXPECT_TRUE(Saw("typed " + std::to_string(typed))) << layout << " " << keys;
    }

    x_.Xdotool("key Escape");
    EXPECT_EQ(x_.WaitForExit(10s), 0) << LastFrame();
    EXPECT_EQ(Count("quit"), 1);
}

TEST_F(ProbeWindow, AltF4IsTheWindowManagersCloseRequestAndEndsInOrder) {
    Start();
    // The window manager closes the focused window: let the probe run two frames with the focus first.
    ASSERT_TRUE(FramesPass(2)) << LastFrame();
    x_.Xdotool("key alt+F4");
    EXPECT_EQ(x_.WaitForExit(10s), 0);
    EXPECT_EQ(Count("msg 0x0010"), 1) << "the window manager asks the window to close";
    EXPECT_EQ(Count("quit"), 1); // the end's log lines are the lifecycle tests' to check
}

TEST_F(ProbeWindow, AHiddenPointerMovesByTheMouseMovement) {
    Start({"PROBE_HIDDEN=1"});
    test::XSession::Sleep(200);
    const std::string before = LastFrame();
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(before.c_str() + before.find("mouse "), "mouse %d %d", &x, &y), 2) << before;
    x_.Xdotool("mousemove_relative -- 30 -20");
    const std::string expected =
        "mouse " + std::to_string(std::clamp(x + 30, 0, 319)) + " " + std::to_string(std::clamp(y - 20, 0, 239)) + " ";
    EXPECT_TRUE(Shows(expected)) << before << " / " << LastFrame();
}

TEST_F(ProbeWindow, FocusLossPausesAndFocusReturnResumes) {
    Start({"VELMORA_HEADLESS=0"}); // a headless run never pauses
    StartAnother();
    EXPECT_TRUE(test::WaitUntil([&] { return x_.Xdotool("getwindowname " + window_) == "probe <pause>"; }));
    const int pausedAt = FrameNumber(LastFrame());
    test::XSession::Sleep(500);
    EXPECT_LE(FrameNumber(LastFrame()), pausedAt + 1); // held inside ShowFrame

    x_.Xdotool("windowactivate --sync " + window_);
    EXPECT_TRUE(test::WaitUntil([&] { return x_.Xdotool("getwindowname " + window_) == "probe"; }));
    EXPECT_TRUE(FramesPass(5));
}

TEST_F(ProbeWindow, DebugModeDoesNotPause) {
    Start({"PROBE_DEBUG=1", "VELMORA_HEADLESS=0"});
    StartAnother();
    test::XSession::Sleep(1000);
    EXPECT_TRUE(FramesPass(5));
    EXPECT_EQ(x_.Xdotool("getwindowname " + window_), "probe");
}

TEST_F(ProbeWindow, SetScreenSizeResizesTheWindow) {
    Start({"PROBE_RESIZE=1"});
    EXPECT_TRUE(Shows("size 400x300")) << LastFrame();
    EXPECT_TRUE(test::WaitUntil([&] { return Geometry().find("Geometry: 400x300") != std::string::npos; }))
        << Geometry();
    x_.Xdotool("mousemove --window " + window_ + " 390 290");
    EXPECT_TRUE(Shows("mouse 390 290")) << LastFrame(); // inside the larger surface
}

TEST_F(ProbeWindow, FullScreenAtTheScreenSizeAndBackWithAltEnter) {
    Start({"PROBE_FULL=1"});
    const std::string xprop = "env DISPLAY=" + x_.DisplayName() + " xprop -id " + window_ + " _NET_WM_STATE";
    const auto fullScreen = [&] { return std::system((xprop + " | grep -q _NET_WM_STATE_FULLSCREEN").c_str()) == 0; };
    EXPECT_TRUE(Shows("size 1024x768")) << LastFrame();
    EXPECT_TRUE(test::WaitUntil(fullScreen));

    x_.Xdotool("windowactivate --sync " + window_);
    x_.Xdotool("key alt+Return");
    EXPECT_TRUE(test::WaitUntil([&] { return !fullScreen(); }));
    EXPECT_TRUE(Shows("size 1024x768")) << LastFrame();
}

TEST_F(ProbeWindow, SlowSoftwareRendererWarnsOnceWithoutADialog) {
    Start({"LIBGL_ALWAYS_SOFTWARE=1", "GALLIUM_DRIVER=softpipe"});
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(std::ranges::count(log, "OpenGL Software Emulation"), 1);
    EXPECT_EQ(log[1].rfind("!!OpenGL Software Emulation!!: Please update", 0), 0u) << log[1];
}

TEST_F(ProbeWindow, QuitKeysEndAtTheFrameTheyAreDown) {
    // Scripted, so the keys reach the program and not the window manager.
    test::WriteWholeFile(temp_ / "altf4.txt", "7 keydown 56\n9 keydown 62\n");
    Start({"VELMORA_UNPACED=1", "VELMORA_INPUT_SCRIPT=" + (temp_ / "altf4.txt").string()}, false);
    ASSERT_EQ(x_.WaitForExit(20s), 0);
    EXPECT_EQ(FrameNumber(LastFrame()), 9); // left Alt alone does nothing
    EXPECT_EQ(Count("quit"), 1);
}

TEST_F(ProbeWindow, AScriptedRunReplaysARecordedOneFrameForFrame) {
    const std::string recording = (temp_ / "session.txt").string();
    Start({"VELMORA_RECORD=" + recording});
    x_.Xdotool("mousemove --window " + window_ + " 40 50");
    ASSERT_TRUE(Shows("mouse 40 50"));
    x_.Xdotool("mousedown 1");
    ASSERT_TRUE(Shows("mouse 40 50 1 0"));
    x_.Xdotool("mousemove --window " + window_ + " 300 200");
    ASSERT_TRUE(Shows("mouse 300 200 1 0"));
    x_.Xdotool("mouseup 1");
    x_.Xdotool("keydown shift");
    x_.Xdotool("keydown x");
    ASSERT_TRUE(Shows("keys 42 45"));
    x_.Xdotool("keyup x shift");
    ASSERT_TRUE(test::WaitUntil([&] { return LastFrame().ends_with("keys"); }));
    x_.Xdotool("key Escape");
    ASSERT_EQ(x_.WaitForExit(10s), 0);
    std::vector<std::string> recorded;
    std::ranges::copy_if(Lines(), std::back_inserter(recorded), [](auto& l) { return l.starts_with("frame "); });

    // The replay, unpaced, with a picture of the frame where the button went down.
    const auto pressed =
        std::ranges::find_if(recorded, [](auto& l) { return l.find("mouse 40 50 1 0") != std::string::npos; });
    ASSERT_NE(pressed, recorded.end());
    test::WriteWholeFile(temp_ / "replay.txt",
                         std::to_string(FrameNumber(*pressed)) + " shot shot.bmp\n" + test::ReadWholeFile(recording));
    std::filesystem::remove(Report());
    Start({"VELMORA_UNPACED=1", "VELMORA_INPUT_SCRIPT=" + (temp_ / "replay.txt").string()}, false);
    ASSERT_EQ(x_.WaitForExit(30s), 0);
    std::vector<std::string> replayed;
    std::ranges::copy_if(Lines(), std::back_inserter(replayed), [](auto& l) { return l.starts_with("frame "); });
    EXPECT_GT(recorded.size(), 10u);
    EXPECT_EQ(replayed, recorded);
    EXPECT_EQ(Count("quit"), 1);

    // The shot shows that frame's picture: a green square at the pointer.
    EXPECT_EQ(test::SavedPixel(temp_ / "shot.bmp", 40, 50), test::kGreen);
    EXPECT_EQ(test::SavedPixel(temp_ / "shot.bmp", 10, 10), test::kBlack);
}

} // namespace
} // namespace vlm
