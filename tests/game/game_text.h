// Texts for the game's tests: records of the high-score file, built byte by
// byte as any tool might, and the field's colours as digits.
#pragma once

#include <cstdint>
#include <string>

#include "game/globals.h"

namespace splosh::test {

// The name, a line end and the score as a 32-bit little-endian integer.
inline std::string Record(const std::string& name, std::int32_t score, const std::string& lineEnd = "\r\n") {
    const auto u = static_cast<std::uint32_t>(score);
    return name + lineEnd + std::string{char(u), char(u >> 8), char(u >> 16), char(u >> 24)};
}

// The 90-byte table of a first start: "KOR", 0D 0A, 26 02 00 00 (550), ...
inline std::string DefaultTable() {
    std::string bytes;
    for (int i = 0; const char* name : {"KOR", "ZUL", "UXA", "Q T", "YBO", "VEK", "NUJ", "WIB", "OTH", "GAZ"})
        bytes += Record(name, 550 - 50 * i++);
    return bytes;
}

// The colours of the field, row by row.
inline std::string Field(const GameGlobals& game) {
    std::string colours;
    for (int y = 1; y <= kFieldSize; ++y) {
        for (int x = 1; x <= kFieldSize; ++x)
            colours += static_cast<char>('0' + static_cast<int>(game.Board.At(x, y)));
    }
    return colours;
}

} // namespace splosh::test
