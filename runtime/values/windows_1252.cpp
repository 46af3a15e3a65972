#include "values/windows_1252.h"

#include <algorithm>
#include <array>

namespace vlm {

namespace {

// The characters of 0x80..0x9F; 0 where the code page has none.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

char32_t CodePointOfByte(std::uint8_t byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char32_t mapped = kHighControls[byte - 0x80];
    return mapped != 0 ? mapped : byte;
}

std::uint8_t ByteOfCodePoint(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<std::uint8_t>(codePoint);
    const auto at = std::find(kHighControls.begin(), kHighControls.end(), codePoint);
    // 0x80..0x9F themselves are control characters here, not text.
    if (codePoint == 0 || at == kHighControls.end()) return 0;
    return static_cast<std::uint8_t>(0x80 + (at - kHighControls.begin()));
}

std::string Utf8FromSingleByte(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const char32_t cp = CodePointOfByte(static_cast<std::uint8_t>(c));
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

} // namespace vlm
