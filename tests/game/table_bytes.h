// Records of the high-score file, built byte by byte as any tool might.
#pragma once

#include <cstdint>
#include <string>

namespace splosh::test {

// The name, a line end and the score as a 32-bit little-endian integer.
inline std::string Record(const std::string& name, std::int32_t score, const std::string& lineEnd = "\r\n") {
    const auto u = static_cast<std::uint32_t>(score);
    return name + lineEnd + std::string{char(u), char(u >> 8), char(u >> 16), char(u >> 24)};
}

} // namespace splosh::test
