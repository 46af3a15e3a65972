#include "game/sprite_text.h"

#include "game/media.h"
#include "gfx2d/sprites.h"
#include "values/numeric.h"

namespace splosh {

namespace {

// The shift after a glyph of font 1; font 2 takes twice as much.
double GapAfter(int frame) {
    switch (frame) {
    case 14: // '.'
    case 41: // 'I'
        return -3;
    case 45: // 'M'
    case 55: // 'W'
        return 1;
    case 52: // 'T'
        return -1;
    default: return 0;
    }
}

} // namespace

void PrintSpriteText(double x, double y, const vlm::DynString& text, double font) {
    static constexpr struct {
        int sprite;
        double advance;
        double gapScale; // 0: fixed pitch
    } kFonts[] = {{kLargeFontSprite, 16, 0}, {kSmallFontSprite, 5, 1}, {kMediumFontSprite, 10, 2}};
    if (font != 0 && font != 1 && font != 2) return;
    const auto& f = kFonts[static_cast<int>(font)];
    for (std::uint32_t i = 0; i < text.length(); ++i) {
        const int frame = static_cast<unsigned char>(text[i]) - 32;
        // The shifts move x itself, so they carry on to every later glyph.
        vlm::DrawSpriteFrame(f.sprite, frame, vlm::TruncateToInteger(i * f.advance + x), vlm::TruncateToInteger(y));
        x += f.gapScale * GapAfter(frame);
    }
}

} // namespace splosh
