// Builds small BMP files byte by byte for decoder tests.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace vlm::test {

struct BmpLayout {
    BmpLayout(std::int32_t w, std::int32_t h, std::uint16_t bits, std::vector<std::uint32_t> colours = {})
        : width(w), height(h), bitCount(bits), palette(std::move(colours)) {}

    std::int32_t width = 1;
    std::int32_t height = 1; // negative: rows stored top-down
    std::uint16_t bitCount = 24;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::vector<std::uint8_t> pixelData; // rows as stored, padded
};

inline void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline std::vector<std::uint8_t> BuildBmp(const BmpLayout& layout) {
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(layout.palette.size());
    std::vector<std::uint8_t> out = {'B', 'M'};
    PutLe(out, offset + static_cast<std::uint32_t>(layout.pixelData.size()), 4);
    PutLe(out, 0, 4);
    PutLe(out, offset, 4);
    PutLe(out, 40, 4); // an info header
    PutLe(out, static_cast<std::uint32_t>(layout.width), 4);
    PutLe(out, static_cast<std::uint32_t>(layout.height), 4);
    PutLe(out, 1, 2);
    PutLe(out, layout.bitCount, 2);
    for (int i = 0; i < 6; ++i)
        PutLe(out, 0, 4);
    for (std::uint32_t colour : layout.palette)
        PutLe(out, colour, 4);
    out.insert(out.end(), layout.pixelData.begin(), layout.pixelData.end());
    return out;
}

} // namespace vlm::test
