// Platform events as the window messages programs know.
#include "frame/window_procedure.h"

#include <array>

#include "values/windows_1252.h"

namespace vlm {

namespace {

// Virtual keys of the keys whose number does not follow from their
// character: system keys, function keys, keypad, cursor block.
constexpr std::array<std::uint8_t, 256> kVirtualKeys = [] {
    std::array<std::uint8_t, 256> vk{};
    vk.fill(0xFF);
    const std::pair<int, int> pairs[] = {
        {1, 0x1B},   {12, 0xBD},  {13, 0xBB},  {14, 0x08},  {15, 0x09},  {26, 0xDB},  {27, 0xDD},
        {28, 0x0D},  {29, 0x11},  {39, 0xBA},  {40, 0xDE},  {41, 0xC0},  {42, 0x10},  {43, 0xDC},
        {51, 0xBC},  {52, 0xBE},  {53, 0xBF},  {54, 0x10},  {55, 0x6A},  {56, 0x12},  {57, 0x20},
        {58, 0x14},  {59, 0x70},  {60, 0x71},  {61, 0x72},  {62, 0x73},  {63, 0x74},  {64, 0x75},
        {65, 0x76},  {66, 0x77},  {67, 0x78},  {68, 0x79},  {69, 0x90},  {70, 0x91},  {71, 0x67},
        {72, 0x68},  {73, 0x69},  {74, 0x6D},  {75, 0x64},  {76, 0x65},  {77, 0x66},  {78, 0x6B},
        {79, 0x61},  {80, 0x62},  {81, 0x63},  {82, 0x60},  {83, 0x6E},  {86, 0xE2},  {87, 0x7A},
        {88, 0x7B},  {156, 0x0D}, {157, 0x11}, {181, 0x6F}, {184, 0x12}, {197, 0x13}, {199, 0x24},
        {200, 0x26}, {201, 0x21}, {203, 0x25}, {205, 0x27}, {207, 0x23}, {208, 0x28}, {209, 0x22},
        {210, 0x2D}, {211, 0x2E}, {219, 0x5B}, {220, 0x5C}, {221, 0x5D},
    };
    for (const auto& [scan, key] : pairs)
        vk[static_cast<std::size_t>(scan)] = static_cast<std::uint8_t>(key);
    return vk;
}();

// Keys that the system marks as extended in a key message.
bool IsExtended(std::uint8_t scanCode) {
    return scanCode >= 128;
}

std::intptr_t PackPoint(std::int32_t x, std::int32_t y) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(x & 0xFFFF));
}

// Mouse-message key flags: left 1, right 2, shift 4, control 8, middle 16.
std::uintptr_t MouseKeyFlags(const platform::Event& event) {
    std::uintptr_t flags = 0;
    if (event.buttons & 1) flags |= 0x01;
    if (event.buttons & 2) flags |= 0x02;
    if (event.buttons & 4) flags |= 0x10;
    if (event.modifiers & platform::kModShift) flags |= 0x04;
    if (event.modifiers & platform::kModControl) flags |= 0x08;
    return flags;
}

std::uint32_t ButtonMessage(platform::MouseButton button, bool down) {
    switch (button) {
    case platform::MouseButton::Left:
        return down ? kMsgLeftButtonDown : kMsgLeftButtonUp;
    case platform::MouseButton::Right:
        return down ? kMsgRightButtonDown : kMsgRightButtonUp;
    case platform::MouseButton::Middle:
        return down ? kMsgMiddleButtonDown : kMsgMiddleButtonUp;
    default:
        return 0;
    }
}

} // namespace

std::uint8_t VirtualKeyForScanCode(std::uint8_t scanCode, char layoutChar) {
    if (layoutChar >= 'a' && layoutChar <= 'z') return static_cast<std::uint8_t>(layoutChar - 'a' + 'A');
    if (layoutChar >= '0' && layoutChar <= '9' && scanCode >= 2 && scanCode <= 11) {
        return static_cast<std::uint8_t>(layoutChar);
    }
    return kVirtualKeys[scanCode];
}

bool MessageForEvent(const platform::Event& event, WindowMessage& message) {
    using platform::EventKind;
    message = WindowMessage{};
    message.Window = event.window;
    message.Time = event.time;
    message.PointX = event.x;
    message.PointY = event.y;
    switch (event.kind) {
    case EventKind::Close:
        message.Message = kMsgClose;
        return true;
    case EventKind::FocusGained:
    case EventKind::FocusLost:
        message.Message = kMsgActivate;
        message.FirstParameter = event.kind == EventKind::FocusGained ? 1 : 0;
        return true;
    case EventKind::KeyDown:
    case EventKind::KeyUp: {
        const bool down = event.kind == EventKind::KeyDown;
        // With Alt held (and no Control) the system sends its "sys" keys.
        const bool system =
            (event.modifiers & platform::kModAlt) && !(event.modifiers & platform::kModControl);
        message.Message = system ? (down ? kMsgSysKeyDown : kMsgSysKeyUp) : (down ? kMsgKeyDown : kMsgKeyUp);
        message.FirstParameter = VirtualKeyForScanCode(event.scanCode, event.layoutChar);
        // Repeat count 1, scan code, extended flag, context (Alt), previous
        // state (held) and transition (released) bits.
        std::uint32_t bits = 1u | (static_cast<std::uint32_t>(event.scanCode & 0x7F) << 16);
        if (IsExtended(event.scanCode)) bits |= 1u << 24;
        if (event.modifiers & platform::kModAlt) bits |= 1u << 29;
        if (!down || event.repeat) bits |= 1u << 30;
        if (!down) bits |= 1u << 31;
        message.SecondParameter = static_cast<std::intptr_t>(bits);
        return true;
    }
    case EventKind::MouseMove:
        message.Message = kMsgMouseMove;
        message.FirstParameter = MouseKeyFlags(event);
        message.SecondParameter = PackPoint(event.x, event.y);
        return true;
    case EventKind::ButtonDown:
    case EventKind::ButtonUp:
        message.Message = ButtonMessage(event.button, event.kind == EventKind::ButtonDown);
        if (message.Message == 0) return false;
        message.FirstParameter = MouseKeyFlags(event);
        message.SecondParameter = PackPoint(event.x, event.y);
        return true;
    case EventKind::Wheel:
        // One notch is 120 units in the high word; key flags in the low word.
        message.Message = kMsgMouseWheel;
        message.FirstParameter =
            (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(event.wheel * 120)) << 16) |
            MouseKeyFlags(event);
        message.SecondParameter = PackPoint(event.x, event.y);
        return true;
    case EventKind::Character:
        if (ByteOfCodePoint(event.character) == 0) return false;
        message.Message = kMsgChar;
        message.FirstParameter = ByteOfCodePoint(event.character);
        message.SecondParameter = 1;
        return true;
    case EventKind::Other:
        return false;
    }
    return false;
}

} // namespace vlm
