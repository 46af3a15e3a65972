#include "frame/frame_loop.h"

#include <GL/gl.h>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "audio/music.h"
#include "files/error_state.h"
#include "frame/clock.h"
#include "frame/display.h"
#include "frame/lifecycle.h"
#include "frame/message_box.h"
#include "frame/screenshot.h"
#include "frame/startup_settings.h"
#include "gfx2d/drawing.h"
#include "input/input_devices.h"
#include "input/key_text.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "values/windows_1252.h"

namespace vlm {

namespace {

FrameLoopState theFrameLoop = [] {
    FrameLoopState state;
    const char* unpaced = std::getenv("VELMORA_UNPACED");
    state.Unpaced = unpaced && std::string_view(unpaced) == std::string_view("1");
    // Nobody can give a headless run the focus back, so it never pauses.
    state.AutoPause = !RunningHeadless();
    return state;
}();

constexpr std::int32_t kEscape = 1;
constexpr std::int32_t kLeftAlt = 56;
constexpr std::int32_t kF4 = 62;
constexpr double kPausedSleep = 100.0;
constexpr double kWaitStep = 1.0; // ms between looks at the input while waiting

void SleepFraction(double ms) {
    if (ms > 0) platform::SleepMicroseconds(static_cast<std::int64_t>(ms * 1000.0));
}

void EndOnQuitKeys(InputDevices& input) {
    const bool escape = theFrameLoop.EscapeQuits && KeyStateDown(input, kEscape);
    const bool altF4 = KeyStateDown(input, kLeftAlt) && KeyStateDown(input, kF4);
    if (escape || altF4) {
        SetErrorCode(kErrorSuccess);
        EndProgram();
    }
}

// Saves the shots a script asks for at this frame and ends the program
// when it asks for the end.
void RunScriptActions(Display& display, InputDevices& input) {
    const FrameActions actions = input.Source().TakeFrameActions();
    if (!actions.Shots.empty()) FlushDrawing(display); // a shot shows everything drawn so far
    for (const std::string& name : actions.Shots)
        SaveFramePicture(display, name);
    if (actions.End) {
        SetErrorCode(kErrorSuccess);
        EndProgram();
    }
}

// The input side of a frame: fresh key state and deltas, the script's
// actions for this frame, and the quit keys.
void StepInput(Display* display, InputDevices& input) {
    input.BeginFrame();
    PollKeyboard(input);
    if (display) RunScriptActions(*display, input);
    EndOnQuitKeys(input);
}

void ToggleFullScreen(Display& display) {
    StartupSettings& settings = TheStartupSettings();
    settings.FullScreen = display.FullScreenActive ? 0 : 1;
    ApplyScreenMode(display, 0, 0, 0, settings.FullScreen != 0);
    if (InputDevices* input = TheInput()) ApplyPointerVisibility(*input, input->PointerVisible);
}

} // namespace

FrameLoopState& TheFrameLoop() {
    return theFrameLoop;
}

MessageHookRoutine CurrentMessageHook() {
    if (theFrameLoop.HookMarker == -1) {
        // Registered through the routine table, which keeps routines without
        // arguments; the hook's own type is restored here.
        const SubRoutine routine = FindSub("VLM_WIN32_MSG");
        theFrameLoop.Hook = reinterpret_cast<MessageHookRoutine>(routine);
        theFrameLoop.HookMarker = routine ? 1 : 0;
    }
    return theFrameLoop.Hook;
}

std::int32_t PumpMessages(Display& display, MessageHookRoutine hook) {
    const std::uint32_t ownWindow = display.WindowHandle ? display.WindowHandle->Id() : 0;
    platform::Event event;
    while (platform::NextEvent(event)) {
        if (event.window != 0 && event.window != ownWindow) continue;
        if (InputDevices* input = TheInput()) {
            if (event.kind == platform::EventKind::Wheel) input->Source().AddWheel(event.wheel);
            if (event.kind == platform::EventKind::KeyDown && !event.repeat)
                input->Source().NoteKeyPress(event.scanCode);
            if (event.kind == platform::EventKind::Character)
                input->Source().NoteTypedCharacter(ByteOfCodePoint(event.character));
        }
        WindowMessage message;
        if (!MessageForEvent(event, message)) continue;
        if (hook) hook(&message);
        WindowProcedure(message);
    }
    return 1;
}

double SwapAndPace(Display& display, MessageHookRoutine hook) {
    // An off-screen drawing target is finished before the swap.
    FinishSurface(display);
    FlushDrawing(display);
    if (display.WindowHandle) display.WindowHandle->SwapBuffers();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    FrameLoopState& loop = theFrameLoop;
    if (loop.Unpaced) {
        const double t0 = MillisecondsNow();
        PumpMessages(display, hook);
        display.NextFrameTime = MillisecondsNow();
        return (display.NextFrameTime - t0) + 1;
    }
    if (!loop.MarginMeasured) {
        loop.Margin = MeasureSleepMargin(MillisecondsNow, SleepFraction);
        loop.MarginMeasured = true;
    }
    const PacingServices services{MillisecondsNow, SleepFraction, [&] { PumpMessages(display, hook); }};
    return WaitForFrameTime(display.NextFrameTime, display.FrameInterval, loop.Margin, services);
}

void ShowFrame() {
    Display* display = TheDisplay();
    if (!display) return;
    FlushDrawing(*display); // the picture is complete before any scripted grab reads it
    FrameLoopState& loop = theFrameLoop;
    if (TheStartupSettings().DebugMode && loop.RaiseWindowPending && display->WindowHandle) {
        display->WindowHandle->Raise();
    }
    ClockState& clock = TheClock();
    clock.PreviousFrameStart = clock.LastFrameStart;
    clock.LastFrameStart = MillisecondsNow();

    while (loop.Paused) {
        MusicTick();
        PumpMessages(*display, CurrentMessageHook());
        SleepMilliseconds(kPausedSleep);
    }

    if (InputDevices* input = TheInput()) StepInput(display, *input);

    MusicTick();
    const MessageHookRoutine hook = CurrentMessageHook();
    PumpMessages(*display, hook);
    if (loop.FullScreenTogglePending) {
        loop.FullScreenTogglePending = false;
        ToggleFullScreen(*display);
    }
    SwapAndPace(*display, hook);

    // The view and the drawing state start over for the next picture, which
    // begins with the program's background.
    SetViewport2D(*display, 0, 0, 0, 0);
    DrawBackground(*display, 0);
}

void SetFrameRateLimit(double framesPerSecond) {
    Display* display = TheDisplay();
    if (!display) return;
    // A whole number of frames (truncated); none, or more than a 32-bit count, means no cap.
    const bool capped = framesPerSecond >= 1 && framesPerSecond <= INT32_MAX;
    display->FrameInterval = capped ? 1000.0 / std::trunc(framesPerSecond) : 2.0;
}

void SetEscapeQuits(std::int32_t flag) {
    theFrameLoop.EscapeQuits = flag != 0;
}

void IdleTick() {
    MusicTick();
    Display* display = TheDisplay();
    if (display) PumpMessages(*display, CurrentMessageHook());
    // Each idle step counts as a frame of the input, so that scripted and
    // recorded input move on while the program waits.
    if (InputDevices* input = TheInput()) StepInput(display, *input);
}

void WaitForInput() {
    InputDevices* input = TheInput();
    if (!input) return;
    MouseState start;
    ReadMouseState(*input, start);
    const std::int32_t x = input->MouseX, y = input->MouseY;
    for (;;) {
        IdleTick();
        for (std::int32_t code = 0; code <= 254; ++code) {
            if (KeyStateDown(*input, code)) return;
        }
        MouseState now;
        ReadMouseState(*input, now);
        if (input->MouseX != x || input->MouseY != y || now.Left != start.Left || now.Right != start.Right ||
            now.Middle != start.Middle) {
            return;
        }
        // A waiting loop need not burn a core.
        SleepMilliseconds(kWaitStep);
    }
}

void WaitForKey() {
    InputDevices* input = TheInput();
    if (!input) return;
    while (!ReadKeyChar(*input).empty())
        IdleTick();
    while (ReadKeyChar(*input).empty()) {
        MusicTick();
        Display* display = TheDisplay();
        if (display) PumpMessages(*display, CurrentMessageHook());
        WaitForInput();
        // A held key that types nothing (Shift, say) ends WaitForInput at
        // once; the wait rests before it looks again.
        SleepMilliseconds(kWaitStep);
    }
    while (!ReadKeyChar(*input).empty())
        IdleTick();
}

} // namespace vlm
