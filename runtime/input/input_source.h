// Where the input layer takes keys, pointer and buttons from: the devices,
// or a script that stands in for them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "input/input_script.h"

namespace vlm {

namespace platform {
class GlWindow;
}

// Button bits of a sample.
inline constexpr std::uint32_t kLeftButton = 1;
inline constexpr std::uint32_t kRightButton = 2;
inline constexpr std::uint32_t kMiddleButton = 4;

struct PointerSample {
    bool Absolute = true; // x, y are a position; otherwise dx, dy are movement
    bool Moved = true;    // false: the pointer stays where the runtime has it
    std::int32_t X = 0, Y = 0;
    std::int32_t DeltaX = 0, DeltaY = 0;
    std::int32_t Wheel = 0; // steps since the last sample
};

// What a script asks of the frame loop at a frame.
struct FrameActions {
    std::vector<std::string> Shots;
    bool End = false;
};

class InputSource {
  public:
    virtual ~InputSource() = default;
    // Called once per presented frame, before its input is read.
    virtual void BeginFrame(std::uint32_t /*frame*/) {}
    // False when the state cannot be read now (the window is not active):
    // the caller keeps what it had.
    virtual bool ReadKeys(std::span<std::uint8_t, 256> state) = 0;
    // The pointer; `captured` is the hidden pointer's relative mode.
    virtual PointerSample ReadPointer(bool captured) = 0;
    virtual std::uint32_t ReadButtons() = 0;
    virtual void AddWheel(std::int32_t /*steps*/) {}
    // A key press the window received (a tap may be over before the next poll).
    virtual void NoteKeyPress(std::uint8_t /*scanCode*/) {}
    // The character the window system typed with the key pressed last
    // (single-byte text; 0 for a character it lacks).
    virtual void NoteTypedCharacter(std::uint8_t /*character*/) {}
    // The character the key of this scan code types: what it typed when it
    // was last pressed, with the keys held then. 0 for none.
    virtual std::uint8_t TypedCharacter(std::uint8_t scanCode) const = 0;
    // Shots and the end the script asks for at the frame begun last.
    virtual FrameActions TakeFrameActions() { return {}; }
    // True when the source is not the devices (keys are read even while the
    // window is not the active one).
    virtual bool IsScripted() const { return false; }
};

// The real devices, through the window the input is bound to.
std::unique_ptr<InputSource> MakeDeviceInput(platform::GlWindow* const& window);
// A script's events stand in for the devices.
std::unique_ptr<InputSource> MakeScriptedInput(std::vector<ScriptEvent> events);

} // namespace vlm
