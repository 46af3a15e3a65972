// Window events of the platform, in a form the frame code can turn into
// the runtime's window messages.
#pragma once

#include <cstdint>

namespace vlm::platform {

enum class EventKind {
    Close,       // the close button, the window manager's close, Alt+F4 handled by it
    FocusGained, // the window became the active one
    FocusLost,
    KeyDown,
    KeyUp,
    MouseMove,
    ButtonDown,
    ButtonUp,
    Wheel,
    Character, // a typed character of the text input
    Other,
};

enum class MouseButton { Left, Middle, Right, Other };

// Modifier keys held with the event.
inline constexpr std::uint32_t kModShift = 1;
inline constexpr std::uint32_t kModControl = 2;
inline constexpr std::uint32_t kModAlt = 4;

struct Event {
    EventKind kind = EventKind::Other;
    std::uint32_t window = 0; // window id; 0 for events of no window
    std::uint32_t time = 0;   // ms since the platform layer started
    // Keys: the scan code, the layout's character ('a' for A, 0 for none),
    // auto-repeat and the modifiers.
    std::uint8_t scanCode = 0;
    char layoutChar = 0;
    bool repeat = false;
    std::uint32_t modifiers = 0;
    // Mouse: position in client pixels and the buttons held (bit 0 left,
    // bit 1 right, bit 2 middle); the button of a press or release; the
    // wheel's steps (positive away from the user).
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t buttons = 0;
    MouseButton button = MouseButton::Other;
    std::int32_t wheel = 0;
    // Character: the first character of the typed text (a Unicode code point).
    char32_t character = 0;
};

// Takes the next queued event; false when none is waiting.
bool NextEvent(Event& event);

} // namespace vlm::platform
