// The window as a user meets it: a real program under a private X server
// with a window manager, driven with xdotool.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "platform/process.h"
#include "support/pictures.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"
#include "x_session.h"

namespace vlm {
namespace {

using namespace std::chrono_literals;

class ProbeWindow : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(x_.Ready()) << "no private X server"; }

    void Start(std::vector<std::string> environment = {}) {
        environment.push_back("PROBE_REPORT=" + Report().string());
        environment.push_back("TMPDIR=" + temp_.path().string());
        if (std::none_of(environment.begin(), environment.end(),
                         [](const std::string& e) { return e.starts_with("VELMORA_HEADLESS="); })) {
            environment.push_back("VELMORA_HEADLESS=1");
        }
        x_.Start(PROBE_PATH, environment);
        ASSERT_TRUE(WaitForLine("frame 3 ", 20s)) << "the probe did not run";
        window_ = x_.XdotoolOutput("search --name '^probe'");
        window_ = window_.substr(0, window_.find('\n'));
        ASSERT_FALSE(window_.empty());
    }

    std::filesystem::path Report() const { return temp_ / "report.txt"; }
    std::vector<std::string> Lines() const { return test::ReportLines(Report()); }

    bool WaitForLine(const std::string& start, std::chrono::milliseconds timeout) const {
        return test::WaitUntil(
            [&] {
                const std::vector<std::string> lines = Lines();
                return std::any_of(lines.begin(), lines.end(), [&](const auto& line) { return line.starts_with(start); });
            },
            timeout);
    }

    // The last frame line, and its number.
    std::string LastFrame() const {
        const std::vector<std::string> lines = Lines();
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
            if (it->starts_with("frame ")) return *it;
        }
        return {};
    }
    static int FrameNumber(const std::string& line) { return std::atoi(line.c_str() + 6); }

    // Waits for a frame line showing `what` (after the frame number and size).
    bool WaitForFrameShowing(const std::string& what, std::chrono::milliseconds timeout) const {
        return test::WaitUntil([&] { return LastFrame().find(what) != std::string::npos; }, timeout);
    }
    bool WaitForFrameAfter(int frame, std::chrono::milliseconds timeout) const {
        return test::WaitUntil([&] { return FrameNumber(LastFrame()) > frame; }, timeout);
    }
    bool WaitForTitle(const std::string& title) const {
        return test::WaitUntil([&] { return x_.XdotoolOutput("getwindowname " + window_) == title; });
    }
    bool WaitForLogLine(const std::string& line) const {
        return test::WaitUntil([&] {
            const std::vector<std::string> log = Log();
            return std::find(log.begin(), log.end(), line) != log.end();
        });
    }
    bool FullScreenState() const { return Xprop("_NET_WM_STATE").find("_NET_WM_STATE_FULLSCREEN") != std::string::npos; }

    int Count(const std::string& line) const {
        const std::vector<std::string> lines = Lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    std::vector<std::string> Log() const { return test::ReadLogLines(temp_ / "ErrorLog.txt"); }
    std::string Xprop(const std::string& property) const {
        const std::string command[] = {"env", "DISPLAY=" + x_.DisplayName(), "xprop", "-id", window_, property};
        return platform::RunForOutput(command).value_or("");
    }

    test::TempFolder temp_;
    test::XSession x_;
    std::string window_;
};

TEST_F(ProbeWindow, OpensAtTheAskedSizeAndTheHookSeesMessages) {
    Start();
    const std::string geometry = x_.XdotoolOutput("getwindowgeometry " + window_);
    EXPECT_NE(geometry.find("Geometry: 320x240"), std::string::npos) << geometry;
    EXPECT_EQ(x_.XdotoolOutput("getwindowname " + window_), "probe");

    x_.Xdotool("windowactivate --sync " + window_);
    x_.Xdotool("mousemove --window " + window_ + " 50 60");
    x_.Xdotool("click --window " + window_ + " 1");
    x_.Xdotool("key b");
    x_.Xdotool("click --window " + window_ + " 3");
    for (const char* message :
         {"msg 0x0200", "msg 0x0201", "msg 0x0202", "msg 0x0100", "msg 0x0101", "msg 0x0204", "msg 0x0205"}) {
        EXPECT_TRUE(WaitForLine(message, 5s)) << message;
    }
    x_.Xdotool("key Escape");
    EXPECT_EQ(x_.WaitForExit(10s), 0);
    EXPECT_EQ(Count("quit"), 1);
}

TEST_F(ProbeWindow, CloseRequestEndsInOrderWithCodeZero) {
    Start();
    ASSERT_TRUE(x_.RequestClose(std::stoul(window_)));
    EXPECT_EQ(x_.WaitForExit(10s), 0);
    EXPECT_EQ(Count("quit"), 1);
    const std::vector<std::string> log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "Init GFX");
    EXPECT_EQ(log.back(), "Shut down VLM");
}

TEST_F(ProbeWindow, AltF4Ends) {
    Start();
    x_.Xdotool("windowactivate --sync " + window_);
    // Keys count only once the program has seen the focus: let it run two frames first.
    ASSERT_TRUE(WaitForFrameAfter(FrameNumber(LastFrame()) + 2, 5s)) << LastFrame();
    x_.Xdotool("key alt+F4");
    EXPECT_EQ(x_.WaitForExit(10s), 0);
    EXPECT_EQ(Count("quit"), 1);
}

TEST_F(ProbeWindow, KeysAndMouseFromRealInput) {
    Start();
    x_.Xdotool("windowactivate --sync " + window_);
    x_.Xdotool("mousemove --window " + window_ + " 100 80");
    EXPECT_TRUE(WaitForFrameShowing("mouse 100 80 0 0", 5s)) << LastFrame();
    x_.Xdotool("mousedown 1");
    EXPECT_TRUE(WaitForFrameShowing("mouse 100 80 1 0", 5s)) << LastFrame();
    x_.Xdotool("mouseup 1");
    // Outside the window the position is clamped to the drawing surface.
    x_.Xdotool("mousemove --window " + window_ + " -- -30 500");
    EXPECT_TRUE(WaitForFrameShowing("mouse 0 239 0 0", 5s)) << LastFrame();
    x_.Xdotool("mousemove --window " + window_ + " 400 -10");
    EXPECT_TRUE(WaitForFrameShowing("mouse 319 0 0 0", 5s)) << LastFrame();

    x_.Xdotool("keydown a");
    EXPECT_TRUE(WaitForFrameShowing("keys 30", 5s)) << LastFrame();
    x_.Xdotool("keydown Up");
    EXPECT_TRUE(WaitForFrameShowing("keys 30 200", 5s)) << LastFrame();
    x_.Xdotool("keyup a Up");
    EXPECT_TRUE(test::WaitUntil([&] { return LastFrame().ends_with("keys"); })) << LastFrame();
    x_.Xdotool("key Escape");
    EXPECT_EQ(x_.WaitForExit(10s), 0) << LastFrame();
}

TEST_F(ProbeWindow, AHiddenPointerMovesByTheMouseMovement) {
    Start({"PROBE_HIDDEN=1"});
    x_.Xdotool("windowactivate --sync " + window_);
    test::XSession::Sleep(200);
    const std::string before = LastFrame();
    const std::size_t at = before.find("mouse ");
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(before.c_str() + at, "mouse %d %d", &x, &y), 2) << before;
    x_.Xdotool("mousemove_relative -- 30 -20");
    const std::string expected = "mouse " + std::to_string(std::clamp(x + 30, 0, 319)) + " " +
                                 std::to_string(std::clamp(y - 20, 0, 239)) + " ";
    EXPECT_TRUE(WaitForFrameShowing(expected, 5s)) << before << " / " << LastFrame();
}

TEST_F(ProbeWindow, FocusLossPausesAndFocusReturnResumes) {
    Start({"VELMORA_HEADLESS=0"}); // a headless run never pauses
    x_.Xdotool("windowactivate --sync " + window_);
    // A second window takes the focus.
    test::TempFolder other;
    x_.Start(PROBE_PATH, {"PROBE_REPORT=" + (other / "report.txt").string(),
                          "TMPDIR=" + other.path().string(), "VELMORA_HEADLESS=1"});
    EXPECT_TRUE(WaitForTitle("probe <pause>"));
    const int pausedAt = FrameNumber(LastFrame());
    test::XSession::Sleep(500);
    EXPECT_LE(FrameNumber(LastFrame()), pausedAt + 1); // held inside ShowFrame

    x_.Xdotool("windowactivate --sync " + window_);
    EXPECT_TRUE(WaitForTitle("probe"));
    EXPECT_TRUE(WaitForFrameAfter(pausedAt + 5, 5s));
}

TEST_F(ProbeWindow, DebugModeDoesNotPause) {
    Start({"PROBE_DEBUG=1", "VELMORA_HEADLESS=0"});
    x_.Xdotool("windowactivate --sync " + window_);
    test::TempFolder other;
    x_.Start(PROBE_PATH, {"PROBE_REPORT=" + (other / "report.txt").string(),
                          "TMPDIR=" + other.path().string(), "VELMORA_HEADLESS=1"});
    test::XSession::Sleep(1000);
    EXPECT_TRUE(WaitForFrameAfter(FrameNumber(LastFrame()) + 5, 5s));
    EXPECT_EQ(x_.XdotoolOutput("getwindowname " + window_), "probe");
}

TEST_F(ProbeWindow, SetScreenSizeResizesTheWindow) {
    Start({"PROBE_RESIZE=1"});
    x_.Xdotool("windowactivate --sync " + window_);
    EXPECT_TRUE(WaitForFrameShowing("size 400x300", 5s)) << LastFrame();
    test::XSession::Sleep(200);
    const std::string geometry = x_.XdotoolOutput("getwindowgeometry " + window_);
    EXPECT_NE(geometry.find("Geometry: 400x300"), std::string::npos) << geometry;
    x_.Xdotool("mousemove --window " + window_ + " 390 290");
    EXPECT_TRUE(WaitForFrameShowing("mouse 390 290", 5s)) << LastFrame(); // inside the larger surface
}

TEST_F(ProbeWindow, AltEnterWithoutAFullScreenModeStaysWindowed) {
    Start();
    x_.Xdotool("windowactivate --sync " + window_);
    x_.Xdotool("key alt+Return");
    EXPECT_TRUE(WaitForLogLine("No Fullscreen Mode available"));
    const std::string geometry = x_.XdotoolOutput("getwindowgeometry " + window_);
    EXPECT_NE(geometry.find("Geometry: 320x240"), std::string::npos) << geometry;
    EXPECT_TRUE(WaitForFrameAfter(FrameNumber(LastFrame()), 5s)); // still running
}

TEST_F(ProbeWindow, FullScreenAtTheScreenSizeAndBackWithAltEnter) {
    Start({"PROBE_FULL=1"});
    EXPECT_TRUE(WaitForFrameShowing("size 1024x768", 5s)) << LastFrame();
    EXPECT_TRUE(test::WaitUntil([&] { return FullScreenState(); })) << Xprop("_NET_WM_STATE");
    const std::vector<std::string> log = Log();
    EXPECT_EQ(std::find(log.begin(), log.end(), "No Fullscreen Mode available"), log.end());

    x_.Xdotool("windowactivate --sync " + window_);
    x_.Xdotool("key alt+Return");
    EXPECT_TRUE(test::WaitUntil([&] { return !FullScreenState(); })) << Xprop("_NET_WM_STATE");
    EXPECT_TRUE(WaitForFrameShowing("size 1024x768", 5s)) << LastFrame();
}

TEST_F(ProbeWindow, SlowSoftwareRendererWarnsOnceWithoutADialog) {
    Start({"LIBGL_ALWAYS_SOFTWARE=1", "GALLIUM_DRIVER=softpipe"});
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(std::count(log.begin(), log.end(), "OpenGL Software Emulation"), 1);
    EXPECT_EQ(log[1].rfind("!!OpenGL Software Emulation!!: Please update", 0), 0u) << log[1];
}

TEST_F(ProbeWindow, QuitKeysEndAtTheFrameTheyAreDown) {
    // Scripted, so the keys reach the program and not the window manager.
    test::WriteWholeFile(temp_ / "altf4.txt", "7 keydown 56\n9 keydown 62\n");
    x_.Start(PROBE_PATH,
             {"PROBE_REPORT=" + Report().string(), "TMPDIR=" + temp_.path().string(), "VELMORA_HEADLESS=1",
              "VELMORA_UNPACED=1", "VELMORA_INPUT_SCRIPT=" + (temp_ / "altf4.txt").string()});
    ASSERT_EQ(x_.WaitForExit(20s), 0);
    EXPECT_EQ(FrameNumber(LastFrame()), 9); // left Alt alone does nothing
    EXPECT_EQ(Count("quit"), 1);
}

std::vector<std::string> FrameLines(const std::vector<std::string>& lines) {
    std::vector<std::string> frames;
    for (const std::string& line : lines) {
        if (line.starts_with("frame ")) frames.push_back(line);
    }
    return frames;
}

TEST_F(ProbeWindow, AScriptedRunReplaysARecordedOneFrameForFrame) {
    const std::string recording = (temp_ / "session.txt").string();
    Start({"VELMORA_RECORD=" + recording});
    x_.Xdotool("windowactivate --sync " + window_);
    x_.Xdotool("mousemove --window " + window_ + " 40 50");
    ASSERT_TRUE(WaitForFrameShowing("mouse 40 50", 5s));
    x_.Xdotool("mousedown 1");
    ASSERT_TRUE(WaitForFrameShowing("mouse 40 50 1 0", 5s));
    x_.Xdotool("mousemove --window " + window_ + " 300 200");
    ASSERT_TRUE(WaitForFrameShowing("mouse 300 200 1 0", 5s));
    x_.Xdotool("mouseup 1");
    x_.Xdotool("keydown shift");
    x_.Xdotool("keydown x");
    ASSERT_TRUE(WaitForFrameShowing("keys 42 45", 5s));
    x_.Xdotool("keyup x shift");
    x_.Xdotool("mousemove --window " + window_ + " -- -50 100");
    ASSERT_TRUE(WaitForFrameShowing("mouse 0 100", 5s));
    x_.Xdotool("key Escape");
    ASSERT_EQ(x_.WaitForExit(10s), 0);
    const std::vector<std::string> recorded = FrameLines(Lines());

    // The replay, unpaced, with a picture of one frame on the way.
    const std::string pressedFrame = [&] {
        for (const std::string& line : recorded) {
            if (line.find("mouse 40 50 1 0") != std::string::npos) return line;
        }
        return std::string();
    }();
    ASSERT_FALSE(pressedFrame.empty());
    const int shotFrame = FrameNumber(pressedFrame);
    std::string script = test::ReadWholeFile(recording);
    script.insert(0, std::to_string(shotFrame) + " shot shot.bmp\n");
    test::WriteWholeFile(temp_ / "replay.txt", script);
    std::filesystem::remove(Report());
    test::XSession replayServer;
    ASSERT_TRUE(replayServer.Ready());
    replayServer.Start(PROBE_PATH, {"PROBE_REPORT=" + Report().string(), "TMPDIR=" + temp_.path().string(),
                                    "VELMORA_HEADLESS=1", "VELMORA_UNPACED=1",
                                    "VELMORA_INPUT_SCRIPT=" + (temp_ / "replay.txt").string()});
    ASSERT_EQ(replayServer.WaitForExit(30s), 0);
    const std::vector<std::string> replayed = FrameLines(Lines());
    EXPECT_GT(recorded.size(), 10u);
    EXPECT_EQ(replayed, recorded);
    EXPECT_EQ(Count("quit"), 1);

    // The shot shows that frame's picture: a green square at the pointer.
    EXPECT_EQ(test::SavedPixel(temp_ / "shot.bmp", 40, 50), test::kGreen);
    EXPECT_EQ(test::SavedPixel(temp_ / "shot.bmp", 10, 10), test::kBlack);
}

TEST_F(ProbeWindow, TypedCharactersFollowTheKeyboardLayout) {
    Start({"PROBE_TYPE=1"});
    x_.Xdotool("windowactivate --sync " + window_);
    ASSERT_TRUE(WaitForFrameAfter(FrameNumber(LastFrame()) + 2, 5s)) << LastFrame();
    // Layout, keys and the byte they type (Windows-1252: 128 is the euro sign).
    for (const auto& [layout, keys, typed] : std::vector<std::tuple<std::string, std::string, int>>{
             {"us", "shift+2", '@'},
             {"de", "shift+2", '"'},
             {"de", "ISO_Level3_Shift+7", '{'},
             {"de", "ISO_Level3_Shift+e", 128},
             {"de", "dead_acute e", 233}}) {
        ASSERT_EQ(std::system(("DISPLAY=" + x_.DisplayName() + " setxkbmap " + layout).c_str()), 0);
        x_.Xdotool("key " + keys);
        EXPECT_TRUE(WaitForLine("typed " + std::to_string(typed), 5s)) << layout << " " << keys;
    }
}

} // namespace
} // namespace vlm
