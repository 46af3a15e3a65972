// The one rule for text lines, shared by file channels and the parsers of
// line-slot and settings files: a line ends at a line feed (consumed, and a
// carriage return just before it dropped), at the end of the data (a
// trailing carriage return dropped), or after kMaxLineLength bytes (kept
// whole; the next line starts with the following byte).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vlm {

inline constexpr std::size_t kMaxLineLength = 1024;
// The longest text a written line can hold: with its "\r\n" it still fits
// one line of the reader, so it reads back whole.
inline constexpr std::size_t kMaxLineText = kMaxLineLength - 2;

struct LineExtent {
    std::size_t length;   // bytes of the line's text
    std::size_t consumed; // bytes up to the start of the next line
};

// The line at the start of `bytes`, which hold at least kMaxLineLength bytes
// unless the data ends with them.
LineExtent FindLine(std::span<const std::uint8_t> bytes);

// Calls visit(text) for every line of `bytes`, at most `limit` of them. As
// for a line read into a string, the text ends at its first NUL byte.
template <class Visit>
void ForEachLine(std::span<const std::uint8_t> bytes, std::size_t limit, Visit&& visit) {
    for (std::size_t count = 0; !bytes.empty() && count < limit; ++count) {
        const LineExtent line = FindLine(bytes);
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), line.length);
        visit(text.substr(0, text.find('\0')));
        bytes = bytes.subspan(line.consumed);
    }
}

} // namespace vlm
