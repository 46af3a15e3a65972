#include "input/input_devices.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "frame/display.h"
#include "frame/error_log.h"
#include "input/input_recorder.h"
#include "platform/mouse.h"

namespace vlm {

namespace {

std::unique_ptr<InputDevices> theInput;

std::int16_t ToInt16(std::int32_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, INT16_MIN, INT16_MAX));
}

std::int16_t Sign(std::int32_t v) {
    return static_cast<std::int16_t>((v > 0) - (v < 0));
}

const char* EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// The script named by VELMORA_INPUT_SCRIPT; a script that cannot be read
// is reported and the devices are used.
std::unique_ptr<InputSource> ScriptFromEnvironment() {
    const char* path = EnvironmentValue("VELMORA_INPUT_SCRIPT");
    if (!path) return nullptr;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        AppendLogLine(std::string("Input script not found: ") + path);
        return nullptr;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ScriptParseResult parsed = ParseInputScript(std::string_view(text));
    if (!parsed.Error.empty()) {
        AppendLogLine(std::string("Input script ") + path + ", " + parsed.Error);
        std::fprintf(stderr, "Velmora: input script %s, %s\n", path, parsed.Error.c_str());
        return nullptr;
    }
    // Shots named without a folder land beside the script. Its folder is
    // taken as an absolute path now: start-up then makes the program's
    // folder the working folder, which a relative one would point into.
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(path, error).parent_path();
    if (error) folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) folder /= "";
    for (ScriptEvent& event : parsed.Events) {
        if (event.Action == ScriptAction::Shot && event.Name.front() != '/') event.Name = folder.string() + event.Name;
    }
    return MakeScriptedInput(std::move(parsed.Events));
}

} // namespace

InputDevices::InputDevices() : source_(MakeDeviceInput(Window)) {}
InputDevices::~InputDevices() = default;

void InputDevices::UseSource(std::unique_ptr<InputSource> source) {
    source_ = std::move(source);
    frameSynchronous_ = source_->IsScripted() || recorder_;
}

void InputDevices::StartRecording(std::unique_ptr<InputRecorder> recorder) {
    recorder_ = std::move(recorder);
    frameSynchronous_ = source_->IsScripted() || recorder_;
}

void InputDevices::SamplePointer() {
    const PointerSample s = source_->ReadPointer(!PointerVisible);
    // Positions far apart (a program may set any) would overflow 32 bits.
    const auto saturate = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    std::int32_t dx = 0, dy = 0;
    if (s.Moved && s.Absolute) {
        dx = saturate(std::int64_t{s.X} - MouseX);
        dy = saturate(std::int64_t{s.Y} - MouseY);
        MouseX = s.X;
        MouseY = s.Y;
    } else if (s.Moved) {
        dx = s.DeltaX;
        dy = s.DeltaY;
        MouseX = saturate(std::int64_t{MouseX} + dx);
        MouseY = saturate(std::int64_t{MouseY} + dy);
    }
    LastDeltaX = ToInt16(dx);
    LastDeltaY = ToInt16(dy);
    LastWheel = Sign(s.Wheel);
    if (recorder_) {
        recorder_->RecordFrame(FrameNumber, dx != 0 || dy != 0, MouseX, MouseY, s.Wheel, buttons_, KeyState);
    }
}

void InputDevices::StartPointer() {
    if (!frameSynchronous_) {
        if (Window) platform::PointerPosition(*Window, MouseX, MouseY);
        return;
    }
    // Frame 0 is the state before the first frame: a recording starts with
    // the pointer where it is, a replay puts it there.
    source_->BeginFrame(0);
    const PointerSample s = source_->ReadPointer(false);
    if (s.Moved && s.Absolute) {
        MouseX = s.X;
        MouseY = s.Y;
    }
    if (recorder_) recorder_->RecordFrame(0, true, MouseX, MouseY, 0, buttons_, KeyState);
}

void InputDevices::BeginFrame() {
    ++FrameNumber;
    source_->BeginFrame(FrameNumber);
    if (!frameSynchronous_) {
        NewFrame = true;
        return;
    }
    source_->ReadKeys(KeyState); // kept as they were while the window is inactive
    buttons_ = source_->ReadButtons();
    SamplePointer();
    NewFrame = false;
}

InputDevices* TheInput() {
    return theInput.get();
}

InputDevices& CreateTheInput() {
    theInput = std::make_unique<InputDevices>();
    return *theInput;
}

void DestroyTheInput() {
    if (theInput && theInput->Window && !theInput->Source().IsScripted()) platform::SetPointerCaptured(false);
    theInput.reset();
}

void InitInput(InputDevices& input, platform::GlWindow* window, bool exclusiveMouse) {
    input.Window = window;
    if (std::unique_ptr<InputSource> script = ScriptFromEnvironment()) input.UseSource(std::move(script));
    if (const char* path = EnvironmentValue("VELMORA_RECORD")) {
        std::unique_ptr<InputRecorder> recorder = InputRecorder::Open(path);
        if (recorder)
            input.StartRecording(std::move(recorder));
        else
            AppendLogLine(std::string("Cannot record input to ") + path);
    }
    input.StartPointer();
    input.PointerVisible = false;
    ApplyPointerVisibility(input, !exclusiveMouse);
    input.Joysticks.Open();
}

void PollKeyboard(InputDevices& input) {
    if (input.frameSynchronous_) return; // read once per frame instead
    input.source_->ReadKeys(input.KeyState);
}

std::int32_t ReadMouseState(InputDevices& input, MouseState& state) {
    if (!input.frameSynchronous_) {
        if (input.NewFrame) {
            input.NewFrame = false;
            input.SamplePointer();
        }
        input.buttons_ = input.source_->ReadButtons();
    }
    state.Left = (input.buttons_ & kLeftButton) ? 1 : 0;
    state.Right = (input.buttons_ & kRightButton) ? 1 : 0;
    state.Middle = (input.buttons_ & kMiddleButton) ? 1 : 0;
    state.DeltaX = input.LastDeltaX;
    state.DeltaY = input.LastDeltaY;
    state.Wheel = input.LastWheel;
    return 1;
}

bool KeyStateDown(const InputDevices& input, std::int32_t code) {
    return (input.KeyState[static_cast<std::size_t>(code & 255)] & 0x80) != 0;
}

void ApplyPointerVisibility(InputDevices& input, bool visible) {
    if (input.Window && !input.Source().IsScripted()) {
        if (visible && !input.PointerVisible) {
            platform::SetPointerCaptured(false);
            platform::MovePointer(*input.Window, input.MouseX, input.MouseY);
        } else {
            platform::SetPointerCaptured(!visible);
        }
    }
    input.PointerVisible = visible;
}

// ---- Program-level operations ------------------------------------------------

std::int32_t KeyDown(std::int32_t scanCode) {
    if (!theInput) return 0;
    PollKeyboard(*theInput);
    return KeyStateDown(*theInput, scanCode) ? 1 : 0;
}

void ReadMouse(std::int32_t& x, std::int32_t& y, std::int32_t& left, std::int32_t& right) {
    x = y = left = right = 0;
    if (!theInput) return;
    MouseState state;
    ReadMouseState(*theInput, state);
    const Display* display = TheDisplay();
    if (display && display->ScreenWidth > 0 && display->ScreenHeight > 0) {
        theInput->MouseX = std::clamp(theInput->MouseX, 0, display->ScreenWidth - 1);
        theInput->MouseY = std::clamp(theInput->MouseY, 0, display->ScreenHeight - 1);
    }
    x = theInput->MouseX;
    y = theInput->MouseY;
    left = state.Left ? 1 : 0;
    right = state.Right ? 1 : 0;
}

void ReadMouse(double& x, double& y, double& left, double& right) {
    std::int32_t ix, iy, il, ir;
    ReadMouse(ix, iy, il, ir);
    x = ix;
    y = iy;
    left = il;
    right = ir;
}

std::int32_t MouseAxis(std::int32_t n) {
    if (!theInput) return 0;
    MouseState state;
    ReadMouseState(*theInput, state);
    switch (n) {
    case 0:
        return state.DeltaX;
    case 1:
        return state.DeltaY;
    case 2:
        return Sign(state.Wheel);
    case 3:
        return state.Left ? 1 : 0;
    case 4:
        return state.Right ? 1 : 0;
    case 5:
        return state.Middle ? 1 : 0;
    default:
        return 0;
    }
}

void SetMousePosition(std::int32_t x, std::int32_t y) {
    if (!theInput) return;
    theInput->MouseX = x;
    theInput->MouseY = y;
}

void ShowMousePointer(double flag) {
    if (theInput) ApplyPointerVisibility(*theInput, flag != 0);
}

std::int32_t MouseCount() {
    return 1;
}

void SelectMouse(std::int32_t n) {
    if (theInput) theInput->MouseIndex = n < 1 ? n : 0;
}

} // namespace vlm
