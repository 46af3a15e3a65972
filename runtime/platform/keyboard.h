// The keyboard by the system's scan codes (the DirectInput numbering:
// 1 Escape, 28 Return, 200 cursor up, ...), extended keys included.
#pragma once

#include <cstdint>
#include <span>

namespace vlm::platform {

// The scan code of a platform key, or 0 for a key without one.
std::uint8_t ScanCodeForPlatformKey(int platformScancode);
// The platform key of a scan code, or 0 (unknown) when none maps to it.
int PlatformKeyForScanCode(std::uint8_t scanCode);
// Fills `state` (256 bytes, bit 7 = down) from the current keyboard state,
// after taking in what the system has queued.
void ReadKeyState(std::span<std::uint8_t, 256> state);
// The character the current keyboard layout gives the key of this scan
// code without modifiers ('a' for the A key, Latin-1), or 0 when it gives none.
char LayoutCharForScanCode(std::uint8_t scanCode);

} // namespace vlm::platform
