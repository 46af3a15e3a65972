#include <gtest/gtest.h>

#include "frame/window_procedure.h"

namespace vlm {
namespace {

using platform::Event;
using platform::kModAlt;
using platform::kModShift;
using enum platform::EventKind;
using Button = platform::MouseButton;

TEST(WindowMessages, EventsBecomeTheSystemsMessages) {
    constexpr std::uint32_t kUp = 1u << 30 | 1u << 31; // previous state and transition bits
    struct Case {
        const char* name;
        Event event;
        std::uint32_t message;
        std::uintptr_t first;
        std::uint32_t second;
    } const cases[] = {
        {"close", {.kind = Close, .window = 7}, 0x0010, 0, 0},
        {"key down", {.kind = KeyDown, .scanCode = 30, .layoutChar = 'a'}, 0x0100, 'A', 1 | 30 << 16},
        {"key up", {.kind = KeyUp, .scanCode = 30, .layoutChar = 'a'}, 0x0101, 'A', 1 | 30 << 16 | kUp},
        {"extended key", {.kind = KeyDown, .scanCode = 200}, 0x0100, 0x26, 1 | 0x48 << 16 | 1 << 24},
        {"alt", {.kind = KeyDown, .scanCode = 28, .modifiers = kModAlt}, 0x0104, 0x0D, 1 | 28 << 16 | 1 << 29},
        // The left button (0x01) and Shift (0x04) held.
        {"move", {.kind = MouseMove, .modifiers = kModShift, .x = 9, .y = 3, .buttons = 1}, 0x0200, 0x05, 3 << 16 | 9},
        {"right", {.kind = ButtonDown, .x = 3, .y = 4, .buttons = 2, .button = Button::Right}, 0x0204, 2, 4 << 16 | 3},
        {"middle release", {.kind = ButtonUp, .button = Button::Middle}, 0x0208, 0, 0},
        {"wheel towards the user", {.kind = Wheel, .wheel = -1}, 0x020A, 0xFF88u << 16, 0},
        {"typed character", {.kind = Character, .character = 0xFC}, 0x0102, 0xFC, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowMessage m;
        ASSERT_TRUE(MessageForEvent(c.event, m));
        EXPECT_EQ(m.Window, c.event.window);
        EXPECT_EQ(m.Message, c.message);
        EXPECT_EQ(m.FirstParameter, c.first);
        EXPECT_EQ(static_cast<std::uint32_t>(m.SecondParameter), c.second);
    }
    WindowMessage ignored;
    EXPECT_FALSE(MessageForEvent({.kind = ButtonUp, .button = Button::Other}, ignored));
    EXPECT_FALSE(MessageForEvent({.kind = Character, .character = 0}, ignored));
}

TEST(WindowMessages, LayoutDecidesLetterKeys) {
    // A German layout puts Z where a US layout has Y.
    EXPECT_EQ(VirtualKeyForScanCode(21, 'z'), 'Z');
    EXPECT_EQ(VirtualKeyForScanCode(21, 'y'), 'Y');
    EXPECT_EQ(VirtualKeyForScanCode(2, '1'), '1');
    EXPECT_EQ(VirtualKeyForScanCode(1, 0), 0x1B);
    EXPECT_EQ(VirtualKeyForScanCode(62, 0), 0x73);
    EXPECT_EQ(VirtualKeyForScanCode(157, 0), 0x11);
    EXPECT_EQ(VirtualKeyForScanCode(250, 0), 0xFF);
}

} // namespace
} // namespace vlm
