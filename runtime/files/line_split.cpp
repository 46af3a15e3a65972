#include "files/line_split.h"

#include <algorithm>
#include <cstring>

namespace vlm {

LineExtent FindLine(std::span<const std::uint8_t> bytes) {
    const std::size_t limit = std::min(bytes.size(), kMaxLineLength);
    const void* feed = std::memchr(bytes.data(), '\n', limit);
    if (!feed) {
        // The end of the data ends the line as a line feed would; a
        // full-length piece keeps all its bytes.
        std::size_t length = limit;
        if (limit < kMaxLineLength && length > 0 && bytes[length - 1] == '\r') --length;
        return {length, limit};
    }
    const std::size_t at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(feed) - bytes.data());
    std::size_t length = at;
    if (length > 0 && bytes[length - 1] == '\r') --length;
    return {length, at + 1};
}

} // namespace vlm
