#include "input/input_devices.h"
#include "input/input_script.h"
#include "input/joysticks.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>

#include "frame/clock.h"
#include "frame/frame_loop.h"
#include "input/input_recorder.h"
#include "input/key_text.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

std::vector<ScriptEvent> Script(std::string_view text) {
    ScriptParseResult r = ParseInputScript(text);
    EXPECT_EQ(r.Error, "");
    return std::move(r.Events);
}

class ScriptedInputDevices : public ::testing::Test {
protected:
    void Use(std::string_view script) {
        input_ = &CreateTheInput();
        input_->UseSource(MakeScriptedInput(Script(script)));
    }
    void TearDown() override { DestroyTheInput(); }
    InputDevices* input_ = nullptr;
};

TEST_F(ScriptedInputDevices, MouseDeltasAreComputedOncePerFrame) {
    Use("1 move 10 20\n2 move 15 18\n2 down 1\n3 wheel -3\n3 down 3\n4 up 1\n");
    input_->BeginFrame();
    EXPECT_EQ(MouseAxis(0), 10);
    EXPECT_EQ(MouseAxis(1), 20);
    input_->BeginFrame();
    EXPECT_EQ(MouseAxis(0), 5);
    EXPECT_EQ(MouseAxis(1), -2);
    EXPECT_EQ(MouseAxis(0), 5); // a second read in the same frame sees the same
    EXPECT_EQ(MouseAxis(3), 1); // the window tests read the position and buttons through ReadMouse
    input_->BeginFrame();
    EXPECT_EQ(MouseAxis(0), 0);
    EXPECT_EQ(MouseAxis(2), -1); // the wheel's sign, not its distance
    EXPECT_EQ(MouseAxis(5), 1);
    EXPECT_EQ(MouseAxis(9), 0);
    input_->BeginFrame();
    EXPECT_EQ(MouseAxis(2), 0);
    EXPECT_EQ(MouseAxis(3), 0);
}

TEST_F(ScriptedInputDevices, SetMousePositionMovesOnlyTheRuntimePointerAndFarMovesSaturate) {
    Use("1 move 50 50\n3 move 60 50\n5 move -2147483648 0\n6 move 2147483647 0\n7 move 10 0\n");
    input_->BeginFrame();
    SetMousePosition(0, 0);
    input_->BeginFrame();
    EXPECT_EQ(MouseAxis(0), 0); // no move this frame: the pointer stays put
    EXPECT_EQ(input_->MouseX, 0);
    input_->BeginFrame();
    EXPECT_EQ(MouseAxis(0), 60);
    for (int frame = 4; frame <= 6; ++frame)
        input_->BeginFrame();
    EXPECT_EQ(MouseAxis(0), 32767); // a long way to the right, not to the left
    SetMousePosition(INT32_MIN, 0);
    input_->BeginFrame();
    EXPECT_EQ(MouseAxis(0), 32767);
}

TEST_F(ScriptedInputDevices, ReadKeyCharGivesAHeldKeyOnce) {
    Use("1 keydown 30\n3 keyup 30\n4 keydown 30\n5 keydown 42\n5 keyup 30\n5 keydown 48\n"
        "6 keydown 28\n7 keyup 28\n7 keyup 48\n7 keyup 42\n7 keydown 2\n7 keydown 14\n8 keydown 54\n");
    // Frame by frame: a pressed, held, released, pressed again; shift + B; Return (a lower scan code than B);
    // 1 and Backspace (the lower code wins).
    for (const char* typed : {"a", "", "", "a", "B", "\n", "1"}) {
        input_->BeginFrame();
        EXPECT_EQ(ReadKeyChar(), typed) << input_->FrameNumber;
    }
    // Backspace and both Enters give 8 and 10; shift, Escape (a control character), Delete and F1 type nothing.
    using Typed = std::pair<std::int32_t, std::int32_t>;
    for (const auto& [code, typed] :
         {Typed{14, 8}, Typed{28, 10}, Typed{156, 10}, Typed{42, 0}, Typed{1, 0}, Typed{211, 0}, Typed{59, 0},
          Typed{57, ' '}, Typed{16, 'q'}, Typed{44, 'z'}, Typed{11, '0'}, Typed{53, '/'}})
        EXPECT_EQ(CharForScanCode(code), typed) << code;
    input_->BeginFrame(); // right shift
    EXPECT_EQ(CharForScanCode(2), '!');
}

TEST_F(ScriptedInputDevices, WaitingMovesTheScriptOn) {
    Use("3 keydown 30\n5 keyup 30\n8 move 5 5\n12 keydown 48\n");
    WaitForInput();
    EXPECT_EQ(input_->FrameNumber, 3u); // the key
    EXPECT_EQ(KeyDown(30 + 256), 1);    // only the low 8 bits count
    while (KeyDown(30))
        IdleTick();
    WaitForInput();
    EXPECT_EQ(input_->FrameNumber, 8u); // the pointer
    WaitForKey();
    EXPECT_EQ(input_->FrameNumber, 12u);
    EXPECT_EQ(KeyDown(48), 1);
}

// Left Shift, held for 300 idle steps, types nothing; the wait must rest
// through those steps rather than spin, then take the A typed after them.
TEST_F(ScriptedInputDevices, WaitForKeyRestsWhileAKeyThatTypesNothingIsHeld) {
    InitTimer();
    Use("1 keydown 42\n300 keyup 42\n301 keydown 30\n");
    const auto cpuMs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    };
    const double wallStart = MillisecondsNow(), cpuStart = cpuMs();
    WaitForKey();
    const double wall = MillisecondsNow() - wallStart, cpu = cpuMs() - cpuStart;
    EXPECT_GE(wall, 300);
    EXPECT_LT(cpu, wall / 2);
}

TEST(InputRecording, ARecordingReplaysToTheSameFrames) {
    test::TempFolder temp;
    const std::string path = (temp / "session.txt").string();
    const char* session = "1 move 10 10\n2 down 1\n2 keydown 17\n3 move 700 -5\n3 wheel 1\n5 up 1\n6 keyup 17\n";

    // What a program sees, frame by frame, of a session.
    struct Seen {
        std::int32_t x, y, dx, dy, wheel, left, w;
        bool operator==(const Seen&) const = default;
    };
    const auto watch = [](InputDevices& input) {
        std::vector<Seen> seen;
        for (int frame = 0; frame < 8; ++frame) {
            input.BeginFrame();
            std::int32_t x, y, left, right;
            const std::int32_t dx = MouseAxis(0), dy = MouseAxis(1), wheel = MouseAxis(2);
            ReadMouse(x, y, left, right);
            if (frame == 3) SetMousePosition(100, 100); // the program moves the pointer
            seen.push_back({x, y, dx, dy, wheel, left, KeyDown(17)});
        }
        return seen;
    };

    InputDevices& recorded = CreateTheInput();
    recorded.UseSource(MakeScriptedInput(Script(session)));
    recorded.StartRecording(InputRecorder::Open(path));
    const std::vector<Seen> first = watch(recorded);
    DestroyTheInput(); // writes the end

    const std::string text = test::ReadWholeFile(path);
    EXPECT_NE(text.find("8 end"), std::string::npos) << text;
    InputDevices& replayed = CreateTheInput();
    replayed.UseSource(MakeScriptedInput(Script(text)));
    const std::vector<Seen> second = watch(replayed);
    DestroyTheInput();
    EXPECT_EQ(first, second); // the device tests above make sure the session is seen at all
}

TEST(InputScript, ReadsEventsSortedByFrameKeepingTheOrderWithinAFrame) {
    const ScriptParseResult r = ParseInputScript(std::string_view("# a session\n"
                                                                  "10 end\n"
                                                                  "3 move 100 -20\r\n"
                                                                  "\n"
                                                                  "  4 down 1\n"
                                                                  "7 keydown 200\n"
                                                                  "7 keyup 1\n"
                                                                  "9 shot pictures/end state.png "));
    ASSERT_EQ(r.Error, "");
    const std::vector<ScriptEvent> expected = {
        {3, ScriptAction::Move, 100, -20, {}},
        {4, ScriptAction::ButtonDown, 1, 0, {}},
        {7, ScriptAction::KeyDown, 200, 0, {}},
        {7, ScriptAction::KeyUp, 1, 0, {}},
        {9, ScriptAction::Shot, 0, 0, "pictures/end state.png"},
        {10, ScriptAction::End, 0, 0, {}},
    };
    EXPECT_EQ(r.Events, expected);
    EXPECT_EQ(FormatScriptEvent(expected[4]), "9 shot pictures/end state.png"); // recordings format the others
}

TEST(InputScript, RejectsBadLinesWithTheirNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"x move 1 2", "line 1: frame number expected"},
        {"\n1 jump", "line 2: unknown event \"jump\""},
        {"1 move 1", "line 1: move needs x and y"},
        {"1 down 4", "line 1: button 1, 2 or 3 expected"},
        {"1 keydown 256", "line 1: scan code 0..255 expected"},
        {"1 keydown -1", "line 1: scan code 0..255 expected"},
        {"1 shot", "line 1: shot needs a file name"},
        {"1 end now", "line 1: unexpected text after the event"},
        {"-1 end", "line 1: frame number expected"},
        {"99999999999 end", "line 1: frame number expected"},
        {"1 wheel 1x", "line 1: wheel steps expected"},
    };
    for (const auto& [text, error] : cases) {
        const ScriptParseResult r = ParseInputScript(std::string_view(text));
        EXPECT_EQ(r.Error, error) << text;
        EXPECT_TRUE(r.Events.empty()) << text;
    }
}

TEST(Joysticks, AxesScaleToPlusMinusOneHatsGiveDirectionsAndMissingJoysticksReadAsZero) {
    EXPECT_DOUBLE_EQ(AxisValue(0), 0.0);
    EXPECT_DOUBLE_EQ(AxisValue(32767), 1.0);
    EXPECT_DOUBLE_EQ(AxisValue(-32768), -1.0); // clamped
    EXPECT_NEAR(AxisValue(16384), 0.5, 1e-4);
    EXPECT_EQ(HatX(9000), 1);
    EXPECT_EQ(HatX(27000), -1);
    EXPECT_EQ(HatX(4500), 0);
    EXPECT_EQ(HatX(-1), 0);
    EXPECT_EQ(HatY(0), -1);
    EXPECT_EQ(HatY(18000), 1);
    EXPECT_EQ(HatY(-1), 0);

    CreateTheInput();
    EXPECT_EQ(JoystickCount(), 0);
    EXPECT_EQ(JoystickName(-1), "");
    EXPECT_EQ(JoystickRz(42), 0.0);
    EXPECT_EQ(JoystickHatY(3), 0);
    std::int32_t x = 7, y = 7, b1 = 7, b2 = 7;
    JoystickState(x, y, b1, b2);
    EXPECT_EQ(x + y + b1 + b2, 0);
    JoystickForce(0, 1.0, 1.0, 1.0); // nothing to push: no effect, no fault
    DestroyTheInput();
}

} // namespace
} // namespace vlm
