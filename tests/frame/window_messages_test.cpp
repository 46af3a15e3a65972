#include <gtest/gtest.h>

#include "frame/window_procedure.h"

namespace vlm {
namespace {

using platform::Event;
using platform::EventKind;

WindowMessage Translate(const Event& event) {
    WindowMessage message;
    EXPECT_TRUE(MessageForEvent(event, message));
    return message;
}

TEST(WindowMessages, CloseAndActivationKeepTheSystemNumbers) {
    Event close;
    close.kind = EventKind::Close;
    close.window = 7;
    EXPECT_EQ(Translate(close).Message, 0x0010u);
    EXPECT_EQ(Translate(close).Window, 7u);
    Event lost;
    lost.kind = EventKind::FocusLost;
    EXPECT_EQ(Translate(lost).Message, 0x0006u);
    EXPECT_EQ(Translate(lost).FirstParameter, 0u);
    Event gained;
    gained.kind = EventKind::FocusGained;
    EXPECT_EQ(Translate(gained).FirstParameter, 1u);
}

TEST(WindowMessages, KeysCarryVirtualKeyAndScanCode) {
    Event a;
    a.kind = EventKind::KeyDown;
    a.scanCode = 30;
    a.layoutChar = 'a';
    const WindowMessage down = Translate(a);
    EXPECT_EQ(down.Message, 0x0100u);
    EXPECT_EQ(down.FirstParameter, static_cast<std::uintptr_t>('A'));
    EXPECT_EQ(down.SecondParameter, 1 | (30 << 16));

    a.kind = EventKind::KeyUp;
    const WindowMessage up = Translate(a);
    EXPECT_EQ(up.Message, 0x0101u);
    EXPECT_EQ(static_cast<std::uint32_t>(up.SecondParameter), 1u | (30u << 16) | (1u << 30) | (1u << 31));

    Event cursor;
    cursor.kind = EventKind::KeyDown;
    cursor.scanCode = 200; // up: an extended key
    const WindowMessage extended = Translate(cursor);
    EXPECT_EQ(extended.FirstParameter, 0x26u);
    EXPECT_EQ(static_cast<std::uint32_t>(extended.SecondParameter), 1u | (0x48u << 16) | (1u << 24));

    Event altEnter;
    altEnter.kind = EventKind::KeyDown;
    altEnter.scanCode = 28;
    altEnter.modifiers = platform::kModAlt;
    const WindowMessage system = Translate(altEnter);
    EXPECT_EQ(system.Message, 0x0104u);
    EXPECT_EQ(system.FirstParameter, 0x0Du);
    EXPECT_TRUE(system.SecondParameter & (1 << 29));
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

TEST(WindowMessages, MouseMessagesPackThePoint) {
    Event move;
    move.kind = EventKind::MouseMove;
    move.x = 100;
    move.y = 37;
    move.buttons = 1;
    move.modifiers = platform::kModShift;
    const WindowMessage m = Translate(move);
    EXPECT_EQ(m.Message, 0x0200u);
    EXPECT_EQ(m.SecondParameter, (37 << 16) | 100);
    EXPECT_EQ(m.FirstParameter, 0x01u | 0x04u);

    Event press;
    press.kind = EventKind::ButtonDown;
    press.button = platform::MouseButton::Right;
    EXPECT_EQ(Translate(press).Message, 0x0204u);
    press.kind = EventKind::ButtonUp;
    press.button = platform::MouseButton::Middle;
    EXPECT_EQ(Translate(press).Message, 0x0208u);
    press.button = platform::MouseButton::Other;
    WindowMessage ignored;
    EXPECT_FALSE(MessageForEvent(press, ignored));

    Event wheel;
    wheel.kind = EventKind::Wheel;
    wheel.wheel = -1;
    EXPECT_EQ(Translate(wheel).Message, 0x020Au);
    EXPECT_EQ(static_cast<std::int16_t>(Translate(wheel).FirstParameter >> 16), -120);
}

TEST(WindowMessages, TypedCharacters) {
    Event typed;
    typed.kind = EventKind::Character;
    typed.character = 0xFC;
    EXPECT_EQ(Translate(typed).Message, 0x0102u);
    EXPECT_EQ(Translate(typed).FirstParameter, 0xFCu);
    typed.character = 0;
    WindowMessage ignored;
    EXPECT_FALSE(MessageForEvent(typed, ignored));
}

} // namespace
} // namespace vlm
