#include "game/title_screen.h"

#include "game/logo_data.h"
#include "game/media.h"
#include "game/play_screen.h"
#include "game/sprite_text.h"
#include "gfx2d/sprites.h"
#include "input/input_devices.h"
#include "values/number_text.h"

namespace splosh {

namespace {

constexpr int kTableFromFrame = 200;
constexpr int kCycleFrames = 400; // the counter runs 1..401, then starts over

void DrawTitle(const GameGlobals& game) {
    // The 96 x 4 band stamped 36 times, one pixel right and three up each time.
    for (int k = 0; k <= 35; ++k)
        vlm::DrawSpriteFrame(kRainbowSprite, 0, 100 + k, 134 - 3 * k);
    for (int row = 0; row < kLogoRows; ++row) {
        for (int col = 0; col < kLogoColumns; ++col) {
            if (game.LogoPattern.At(col, row) == 1) vlm::DrawSpriteFrame(kBlocksSprite, 7, col * 14 - 1, row * 14 + 32);
        }
    }
    PrintSpriteText(10, 220, "ORIGINAL GAME", 1);
    PrintSpriteText(10, 226, "CLASSIC PUZZLE", 1);
    PrintSpriteText(140, 220, "REMAKE", 1);
    PrintSpriteText(140, 226, "ARNO VESK", 1);
    PrintSpriteText(260, 220, "MUSIC", 1);
    PrintSpriteText(260, 226, "TALVEN", 1);
}

// The picture darkened to 15 % under the ten names and scores.
void DrawTable(const GameGlobals& game) {
    vlm::SetBlendAlpha(-0.85);
    vlm::FillRect(0, 0, 320, 240, 0);
    vlm::SetBlendAlpha(0);
    PrintSpriteText(100, 5, "TOP SPLOSHERS", 2);
    for (int i = 1; i <= 10; ++i) {
        PrintSpriteText(100, i * 20 + 10, game.HighScoreNames.At(i), 2);
        PrintSpriteText(200, i * 20 + 10, vlm::NumberToText(game.HighScoreValues.At(i)), 2);
    }
}

} // namespace

TitleCycle::Frame TitleCycle::Advance() {
    Frame frame;
    Blink += 1;
    frame.Prompt = Blink < 20;
    if (Blink > 40) Blink = 0;
    Cycle += 1;
    if (Cycle >= kTableFromFrame) {
        Blink = 20;
        frame.Table = true;
    }
    if (Cycle > kCycleFrames) Cycle = 0;
    return frame;
}

void TitleScreen(GameGlobals& game) {
    ReadLogoPattern(game);
    TitleCycle cycle;
    for (bool start = false; !start;) {
        double x, y, button1, button2;
        vlm::ReadMouse(x, y, button1, button2);
        DrawTitle(game);
        const TitleCycle::Frame frame = cycle.Advance();
        if (frame.Prompt) PrintSpriteText(12, 160, "PRESS BUTTON OR SCREEN TO PLAY", 2);
        start = button1 != 0; // the frame is still finished
        if (frame.Table) DrawTable(game);
        UpscaleAndShow(game);
    }
    PlayScreen(game);
}

} // namespace splosh
