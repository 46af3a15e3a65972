// The mouse: pointer position relative to a window, buttons, the hidden
// (captured, relative) pointer, the cursor.
#pragma once

#include <cstdint>

namespace vlm::platform {

class GlWindow;

// Button bits.
inline constexpr std::uint32_t kButtonLeft = 1;
inline constexpr std::uint32_t kButtonRight = 2;
inline constexpr std::uint32_t kButtonMiddle = 4;

// The pointer in the window's client pixels; it may lie outside the window.
void PointerPosition(const GlWindow& window, std::int32_t& x, std::int32_t& y);
std::uint32_t MouseButtons();
// Hidden pointer: the pointer disappears and the mouse reports movement
// only (relative mode); visible: the arrow cursor over the window.
void SetPointerCaptured(bool captured);
// Movement since the last call (relative mode).
void RelativeMotion(std::int32_t& dx, std::int32_t& dy);
// Moves the system pointer to client pixels of the window.
void MovePointer(GlWindow& window, std::int32_t x, std::int32_t y);

} // namespace vlm::platform
