// The window's message procedure: close requests end the program, losing
// the active window pauses it, regaining it resumes. Messages carry the
// Windows message numbers, so a program's message hook "VLM_WIN32_MSG"
// sees the numbers it was written for.
#pragma once

#include <cstdint>

#include "platform/events.h"
#include "values/dyn_string.h"

namespace vlm {

// Message numbers.
inline constexpr std::uint32_t kMsgActivate = 0x0006;
inline constexpr std::uint32_t kMsgClose = 0x0010;
inline constexpr std::uint32_t kMsgEraseBackground = 0x0014;
inline constexpr std::uint32_t kMsgKeyDown = 0x0100;
inline constexpr std::uint32_t kMsgKeyUp = 0x0101;
inline constexpr std::uint32_t kMsgChar = 0x0102;
inline constexpr std::uint32_t kMsgSysKeyDown = 0x0104;
inline constexpr std::uint32_t kMsgSysKeyUp = 0x0105;
inline constexpr std::uint32_t kMsgSysCommand = 0x0112;
inline constexpr std::uint32_t kMsgMouseMove = 0x0200;
inline constexpr std::uint32_t kMsgLeftButtonDown = 0x0201;
inline constexpr std::uint32_t kMsgLeftButtonUp = 0x0202;
inline constexpr std::uint32_t kMsgRightButtonDown = 0x0204;
inline constexpr std::uint32_t kMsgRightButtonUp = 0x0205;
inline constexpr std::uint32_t kMsgMiddleButtonDown = 0x0207;
inline constexpr std::uint32_t kMsgMiddleButtonUp = 0x0208;
inline constexpr std::uint32_t kMsgMouseWheel = 0x020A;
// System commands (first parameter & 0xFFF0).
inline constexpr std::uintptr_t kCommandClose = 0xF060;
inline constexpr std::uintptr_t kCommandScreenSaver = 0xF140;
inline constexpr std::uintptr_t kCommandMonitorPower = 0xF170;

// The message record a hook receives.
struct WindowMessage {
    std::uintptr_t Window = 0; // the window's id
    std::uint32_t Message = 0;
    std::uintptr_t FirstParameter = 0;
    std::intptr_t SecondParameter = 0;
    std::uint32_t Time = 0;
    std::int32_t PointX = 0;
    std::int32_t PointY = 0;
};

// A program's "VLM_WIN32_MSG" routine takes the record; it is entered in the
// sub registry as reinterpret_cast<SubRoutine>(&routine).
using MessageHookRoutine = void (*)(const WindowMessage*);

// The message of a platform event; false for events that have none.
bool MessageForEvent(const platform::Event& event, WindowMessage& message);
// The virtual-key number the system gives the key of a scan code.
std::uint8_t VirtualKeyForScanCode(std::uint8_t scanCode, char layoutChar);

std::intptr_t WindowProcedure(const WindowMessage& message);
// Whether losing the active window pauses the program.
void SetAutoPause(std::int32_t flag);
// The window's title; the pause marker is appended to it, not to whatever
// the window shows.
void SetWindowTitle(const DynString& title);

} // namespace vlm
