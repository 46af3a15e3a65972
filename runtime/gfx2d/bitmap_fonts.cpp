#include "gfx2d/bitmap_fonts.h"

#include <algorithm>
#include <cmath>

#include "files/error_state.h"
#include "files/media_name_resolver.h"
#include "frame/display.h"
#include "gfx2d/builtin_font.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/drawing.h"
#include "values/number_text.h"

namespace vlm {

namespace {

constexpr std::int32_t kCellsPerRow = 16;

std::int32_t FontSlot(std::int32_t font) {
    return std::clamp(font, 0, kFontCount - 1);
}

const SpriteRecord& CurrentFontRecord(const Display& display) {
    return display.Sprites.Record(kFirstFontSprite + display.Drawing.CurrentFont);
}

// A picture at least as wide as high holds 128 characters in 8 rows, a
// taller one 256 in 16 rows.
std::int32_t RowsOf(const SpriteRecord& record) {
    return record.Width >= record.Height ? 8 : 16;
}

void InstallBuiltinFont(Display& display, std::int32_t id) {
    ImageBuffer image;
    BuildBuiltinFontImage(image);
    display.Sprites.SetSpriteImage(id, image);
}

} // namespace

void SetFont(Display& display, std::int32_t font) {
    display.Drawing.CurrentFont = FontSlot(font);
}

void LoadFont(Display& display, std::string_view name, std::int32_t font) {
    FlushDrawing(display); // waiting text may still use the slot's old texture
    TheErrorState().LastErrorCode = kErrorSuccess;
    SetFont(display, font);
    const std::int32_t id = kFirstFontSprite + display.Drawing.CurrentFont;
    // A failed load has left code 3.
    if (!display.Sprites.LoadFontPicture(name, id)) InstallBuiltinFont(display, id);
}

void InstallDefaultFont(Display& display) {
    LoadFont(display, "", 0);
    for (const std::string_view name : {"smalfont.png", "smalfont.bmp"}) {
        if (MediaNameResolver(name).found) {
            LoadFont(display, name, 0);
            break;
        }
    }
    SetFont(display, 0);
}

FontCellSize FontCharSize(const Display& display) {
    const SpriteRecord& record = CurrentFontRecord(display);
    return {record.Width / kCellsPerRow, record.Height / RowsOf(record)};
}

void PrintText(Display& display, std::string_view text, double x, double y) {
    const SpriteRecord& record = CurrentFontRecord(display);
    if (text.empty() || record.Texture == 0 || record.Width <= 0) return;
    const std::int32_t rows = RowsOf(record);
    const std::int32_t codes = rows * kCellsPerRow;
    const float cu = record.UMax / kCellsPerRow, cv = record.VMax / static_cast<float>(rows);
    const float cw = static_cast<float>(record.Width / kCellsPerRow);
    const float ch = static_cast<float>(record.Height / rows);
    // Font textures keep their nearest filtering: cells map 1:1 to pixels.
    const BatchKey key{BatchPrimitive::Quads, record.Texture, false, false};

    float left = static_cast<float>(std::ceil(x));
    const float top = static_cast<float>(std::ceil(y));
    for (const char byte : text) {
        const std::int32_t c = static_cast<unsigned char>(byte) % codes;
        const float ul = static_cast<float>(c % kCellsPerRow) * cu;
        const float vb = static_cast<float>(rows - 1 - c / kCellsPerRow) * cv;
        const BatchVertex quad[4] = {{left, top + ch, ul, vb, 255, 255, 255, 255},
                                     {left + cw, top + ch, ul + cu, vb, 255, 255, 255, 255},
                                     {left + cw, top, ul + cu, vb + cv, 255, 255, 255, 255},
                                     {left, top, ul, vb + cv, 255, 255, 255, 255}};
        AppendQuad(display, key, quad);
        left += cw;
    }
}

void PrintNumber(Display& display, double value, double x, double y) {
    PrintText(display, NumberToText(value).view(), x, y);
}

} // namespace vlm
