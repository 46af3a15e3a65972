#include "game/media.h"

#include <filesystem>
#include <system_error>

#include "gfx2d/sprites.h"

namespace splosh {

void EnterMediaFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory("Media", error)) return;
    if (fs::is_directory("../share/splosh/Media", error)) fs::current_path("../share/splosh", error);
}

void LoadGameSprites() {
    static constexpr struct {
        const char* file;
        int id, width, height;
    } kSprites[] = {
        {"Media/gfx/blocks.bmp", kBlocksSprite, 16, 16},     {"Media/gfx/colours.bmp", kColoursSprite, 32, 32},
        {"Media/gfx/font1.bmp", kLargeFontSprite, 16, 28},   {"Media/gfx/font2.bmp", kSmallFontSprite, 5, 7},
        {"Media/gfx/font3.bmp", kMediumFontSprite, 10, 14},  {"Media/gfx/rainbow.bmp", kRainbowSprite, 96, 4},
        {"Media/gfx/spectrum.bmp", kSpectrumSprite, 75, 21},
    };
    for (const auto& s : kSprites)
        vlm::LoadAnimSprite(s.file, s.id, s.width, s.height);
}

} // namespace splosh
