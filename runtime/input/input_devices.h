// Mouse, keyboard and joystick input, read by polling. Keys are asked for
// by scan code; the mouse gives a position clamped to the drawing surface.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "input/input_script.h"
#include "input/input_source.h"
#include "input/joysticks.h"

namespace vlm {

namespace platform {
class GlWindow;
}
class InputRecorder;

struct MouseState {
    std::uint16_t Left = 0, Right = 0, Middle = 0; // non-zero = down
    std::int16_t DeltaX = 0, DeltaY = 0, Wheel = 0;
};

class InputDevices {
  public:
    // Reads the devices; `TakeSource` replaces them (scripted input).
    InputDevices();
    ~InputDevices();
    InputDevices(const InputDevices&) = delete;
    InputDevices& operator=(const InputDevices&) = delete;

    void UseSource(std::unique_ptr<InputSource> source);
    void StartRecording(std::unique_ptr<InputRecorder> recorder);
    InputSource& Source() { return *source_; }
    const InputSource& Source() const { return *source_; }

    std::int32_t MouseX = 0, MouseY = 0; // the runtime's pointer, client pixels
    std::int32_t MouseIndex = 0;
    std::array<std::uint8_t, 256> KeyState{}; // by scan code; bit 7 = down
    platform::GlWindow* Window = nullptr;     // the window the devices are bound to
    bool PointerVisible = true;
    bool NewFrame = false; // the next mouse read computes new deltas
    std::int16_t LastDeltaX = 0, LastDeltaY = 0, LastWheel = 0;
    std::uint8_t LastTypedKey = 0;
    std::uint32_t FrameNumber = 0; // frames presented so far
    JoystickSet Joysticks;

    // The pointer's first position (frame 0 of a script or recording).
    void StartPointer();
    // Once per presented frame: the script's or the recording's frame step.
    void BeginFrame();
    bool FrameSynchronous() const { return frameSynchronous_; }

  private:
    friend void PollKeyboard(InputDevices& input);
    friend std::int32_t ReadMouseState(InputDevices& input, MouseState& state);
    void SamplePointer();

    std::unique_ptr<InputSource> source_;
    std::unique_ptr<InputRecorder> recorder_;
    // Scripted and recorded sessions read the input once per frame, so that
    // a replay sees exactly what the recorded run saw.
    bool frameSynchronous_ = false;
    std::uint32_t buttons_ = 0;
};

// The process's input object (null before start-up and after shutdown).
InputDevices* TheInput();
InputDevices& CreateTheInput();
void DestroyTheInput();

// Binds the input to a window, sets the pointer state; scripted input or
// recording as the environment asks (VELMORA_INPUT_SCRIPT, VELMORA_RECORD).
void InitInput(InputDevices& input, platform::GlWindow* window, bool exclusiveMouse);
void PollKeyboard(InputDevices& input);
// → 1 (the mouse needs no re-binding here).
std::int32_t ReadMouseState(InputDevices& input, MouseState& state);
bool KeyStateDown(const InputDevices& input, std::int32_t code);
void ApplyPointerVisibility(InputDevices& input, bool visible);

// ---- Program-level operations (on the process's input) ----------------------
std::int32_t KeyDown(std::int32_t scanCode);
void ReadMouse(double& x, double& y, double& left, double& right);
void ReadMouse(std::int32_t& x, std::int32_t& y, std::int32_t& left, std::int32_t& right);
std::int32_t MouseAxis(std::int32_t n); // 0 dx, 1 dy, 2 wheel sign, 3 left, 4 right, 5 middle
void SetMousePosition(std::int32_t x, std::int32_t y);
void ShowMousePointer(double flag);
std::int32_t MouseCount();
void SelectMouse(std::int32_t n);

} // namespace vlm
