// The runtime's single-byte text is Windows-1252: Latin-1 with 27 more
// characters (the euro sign, curly quotes, dashes, ...) in 0x80..0x9F.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vlm {

// The character of a byte; the five bytes the code page leaves unused
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same number.
char32_t CodePointOfByte(std::uint8_t byte);
// The byte of a character, or 0 for a character the code page lacks.
std::uint8_t ByteOfCodePoint(char32_t codePoint);
// Single-byte text as UTF-8, for the window system and terminals.
std::string Utf8FromSingleByte(std::string_view text);

} // namespace vlm
