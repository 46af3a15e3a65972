// Typed characters from the key state: the character behind the first
// newly pressed key, as the window system typed it (Windows-1252).
#pragma once

#include <cstdint>

#include "values/dyn_string.h"

namespace vlm {

class InputDevices;

// The character the key of `scanCode` types (10 for both Return keys, 8 for
// Backspace), or 0 for none: what its last press typed with the keys held
// then; a key not pressed yet gives the layout's character without modifiers.
std::uint8_t CharForScanCode(const InputDevices& input, std::int32_t scanCode);
// One character of a newly pressed key, empty text when there is none; a
// held key gives its character once.
DynString ReadKeyChar(InputDevices& input);

// ---- Program-facing: on the process's input ---------------------------------
DynString ReadKeyChar();
std::int32_t CharForScanCode(std::int32_t scanCode);

} // namespace vlm
