// The runtime-wide error state: the last failure's code and source line.
#pragma once

#include <cstdint>

#include "values/dyn_string.h"

namespace vlm {

inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorNoSuchFile = 3;
inline constexpr std::int32_t kErrorOutOfMemory = 7;
inline constexpr std::int32_t kErrorOutOfBounds = 9;
inline constexpr std::int32_t kErrorOutOfData = 20;

struct ErrorState {
    std::int32_t LastErrorCode = 0;
    std::int32_t LastErrorLine = 0;
    std::int32_t CurrentSourceLine = 0; // set by the program as statements run
    std::int32_t CurrentSourceUnit = 0;
};

ErrorState& TheErrorState();

// Records a failure the program can handle: code and current source line.
void SetErrorCode(std::int32_t code);
// Records a failure that cannot be continued and ends the program.
[[noreturn]] void RaiseRuntimeError(std::int32_t code);
// The position marker that program code sets before each statement.
void MarkSourcePosition(std::int32_t unit, std::int32_t line);
// The text of an error code ("unknown error" for codes without one).
const char* ErrorTextFor(std::int32_t code);
// "%.4d %s" of LastErrorCode and its text, e.g. "0003 no such file".
DynString ErrorText();

} // namespace vlm
