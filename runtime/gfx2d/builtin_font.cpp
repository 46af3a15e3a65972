#include "gfx2d/builtin_font.h"

#include <array>

namespace vlm {

namespace {

constexpr std::int32_t kCell = 8;
constexpr std::int32_t kGlyphWidth = 5;
constexpr std::int32_t kGlyphHeight = 6;
constexpr std::int32_t kFirstCode = 32;

// One word per character from code 32: bit (y * 5 + x) is pixel (x, y).
constexpr std::array<std::uint32_t, 96> kGlyphs = {
    0x00000000, 0x08021080, 0x00002940, 0x15F57D40, 0x08E619C4, 0x14222140, 0x0ED114E0, 0x00001080,
    0x08210880, 0x04421040, 0x09575480, 0x08471080, 0x04400000, 0x00070000, 0x08000000, 0x04222100,
    0x00E5294E, 0x004210C4, 0x00E1390E, 0x00E4390E, 0x0084394A, 0x00E4384E, 0x00E5384E, 0x0042210E,
    0x00E5394E, 0x00E4394E, 0x00020080, 0x00220080, 0x00820888, 0x000701C0, 0x00222082, 0x0040310E,
    0x00E0B526, 0x00A5394E, 0x00E5194E, 0x00E5094E, 0x00E52946, 0x00E1384E, 0x0021384E, 0x00E5284E,
    0x00A5394A, 0x00E2108E, 0x00E5210C, 0x00A5194A, 0x00E10842, 0x015AD6BF, 0x00A5294E, 0x00E5294E,
    0x0021394E, 0x00F294A7, 0x00A5194E, 0x00E4384E, 0x0042108E, 0x00E5294A, 0x0045294A, 0x01FAD6B5,
    0x00A5114A, 0x0042394A, 0x00E1110E, 0x00610846, 0x01041041, 0x00621086, 0x00000144, 0x00E00000,
    0x00000082, 0x00E53000, 0x00E53842, 0x00E13800, 0x00E53908, 0x08273800, 0x00423888, 0x08873800,
    0x00A51842, 0x00421004, 0x04421004, 0x00A32842, 0x00421084, 0x015ABC00, 0x00A51800, 0x00E53800,
    0x04E51800, 0x10E53000, 0x00253800, 0x00E409C0, 0x00C23884, 0x00C52800, 0x00452800, 0x00EAD400,
    0x00A22800, 0x1C872800, 0x00E121C0, 0x00821888, 0x00421084, 0x00223082, 0x0002A800, 0x3F18C63F,
};

bool GlyphPixel(std::uint32_t glyph, std::int32_t x, std::int32_t y) {
    if (x < 0 || x >= kGlyphWidth || y < 0 || y >= kGlyphHeight) return false;
    return (glyph >> (y * kGlyphWidth + x)) & 1u;
}

void PutPixel(ImageBuffer& image, std::int32_t x, std::int32_t y, std::uint8_t grey) {
    std::uint8_t* p = &image.Row(y)[static_cast<std::size_t>(x) * 4];
    p[0] = p[1] = p[2] = grey;
    p[3] = 255;
}

} // namespace

void BuildBuiltinFontImage(ImageBuffer& image) {
    image.Allocate(kBuiltinFontWidth, kBuiltinFontHeight); // all transparent
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(kGlyphs.size()); ++i) {
        const std::uint32_t glyph = kGlyphs[static_cast<std::size_t>(i)];
        const std::int32_t code = kFirstCode + i;
        const std::int32_t left = code % 16 * kCell, top = code / 16 * kCell;
        // The glyph sits one pixel in from the cell's top-left corner, so
        // its outline stays inside the cell.
        for (std::int32_t y = 0; y < kCell; ++y) {
            for (std::int32_t x = 0; x < kCell; ++x) {
                const std::int32_t gx = x - 1, gy = y - 1;
                if (GlyphPixel(glyph, gx, gy)) {
                    PutPixel(image, left + x, top + y, 255);
                } else if (GlyphPixel(glyph, gx - 1, gy) || GlyphPixel(glyph, gx + 1, gy) ||
                           GlyphPixel(glyph, gx, gy - 1) || GlyphPixel(glyph, gx, gy + 1)) {
                    PutPixel(image, left + x, top + y, 8);
                }
            }
        }
    }
}

} // namespace vlm
