#include "game/play_screen.h"

#include <algorithm>

#include "frame/frame_loop.h"
#include "game/board.h"
#include "game/media.h"
#include "game/sprite_text.h"
#include "gfx2d/sprites.h"
#include "input/input_devices.h"
#include "values/number_text.h"

namespace splosh {

namespace {

// Scan codes of the keys the play screen reads.
constexpr int kKeyW = 17, kKeyA = 30, kKeyS = 31, kKeyD = 32;
constexpr int kKeyUp = 200, kKeyDown = 208, kKeyPageUp = 201, kKeyPageDown = 209;

// Frames of InputDelay after each kind of input.
constexpr double kEntryDelay = 20;
constexpr double kSelectionDelay = 8;
constexpr double kVolumeDelay = 10;
constexpr double kChargeDelay = 20;
constexpr double kButtonDelay = 100;

constexpr std::uint32_t kWhite = 0xFFFFFF;

struct Pointer {
    double x = 0, y = 0, button1 = 0, button2 = 0;
};

// Whether the pointer, in window pixels, is strictly inside the picture's
// rectangle (left, top)-(right, bottom) with button 1 down.
bool Clicked(const GameGlobals& game, const Pointer& p, double left, double top, double right, double bottom) {
    const double s = game.DisplayScale;
    return p.x > left * s && p.x < right * s && p.y > top * s && p.y < bottom * s && p.button1 != 0;
}

bool Held(int scanCode) { return vlm::KeyDown(scanCode) != 0; }

void StepVolume(GameGlobals& game) {
    if (Held(kKeyPageDown) && game.InputDelay == 0) {
        game.MusicVolume -= 0.1;
        game.InputDelay = kVolumeDelay;
    }
    if (Held(kKeyPageUp) && game.InputDelay == 0) {
        game.MusicVolume += 0.1;
        game.InputDelay = kVolumeDelay;
    }
    game.MusicVolume = std::clamp(game.MusicVolume, 0.0, 1.0);
}

void DrawBoard(const GameGlobals& game) {
    for (int y = 0; y < kBoardSize; ++y) {
        for (int x = 0; x < kBoardSize; ++x) {
            const double colour = game.Board.At(x, y);
            if (colour < kWall) vlm::DrawSpriteFrame(kBlocksSprite, static_cast<int>(colour), x * 16 - 8, y * 16 - 8);
        }
    }
    vlm::DrawLine(4, 4, 235, 4, kWhite);
    vlm::DrawLine(235, 4, 235, 235, kWhite);
    vlm::DrawLine(235, 235, 4, 235, kWhite);
    vlm::DrawLine(4, 235, 4, 4, kWhite);
}

// Swatches, selection and colour choices, while the level is played.
void StepChoices(GameGlobals& game, const Pointer& pointer, double& selection) {
    for (int i = 0; i < 6; ++i)
        vlm::DrawSpriteFrame(kSpectrumSprite, i, 240, i * 25 + 48);
    // Each step runs once per swatch, six times a frame; the delays keep
    // the selection to one step and the choices to one charge a frame.
    for (int i = 0; i < 6; ++i) {
        if (Held(kKeyUp) && selection > 0 && game.InputDelay == 0) {
            selection -= 1;
            game.InputDelay = kSelectionDelay;
        }
        if (Held(kKeyDown) && selection < 5 && game.InputDelay == 0) {
            selection += 1;
            game.InputDelay = kSelectionDelay;
        }
        if (Clicked(game, pointer, 240, i * 25 + 48, 315, i * 25 + 69) && game.InputDelay == 0) {
            selection = i;
            if (ChooseColour(game, i)) game.InputDelay = kChargeDelay;
        }
        // Confirming with a key does not wait for the delay.
        if (Held(kKeyW) || Held(kKeyA) || Held(kKeyS) || Held(kKeyD)) {
            if (ChooseColour(game, selection)) game.InputDelay = kChargeDelay;
        }
        vlm::DrawSpriteFrame(kSpectrumSprite, 6, 240, static_cast<int>(selection) * 25 + 48);
    }
}

// A number ending in the fourth 16-pixel cell from x = 247, over "0000".
void DrawCounter(double value, double y) {
    PrintSpriteText(247, y, "0000", 0);
    const vlm::DynString text = vlm::NumberToText(value);
    PrintSpriteText((4.0 - text.length()) * 16 + 247, y, text, 0);
}

void DrawStatus(const GameGlobals& game) {
    PrintSpriteText(244, 39, "MOVES REMAINING", 1);
    DrawCounter(game.MovesLeft, 10);
    DrawCounter(game.Score, 203);
    PrintSpriteText(244, 197, "SCORE", 1);
}

} // namespace

void PlayScreen(GameGlobals& game) {
    NewLevel(game);
    Pointer pointer;
    double selection = 0;
    game.LastChoice = 0;
    game.Flooded.At(1, 1) = 1;
    game.InputDelay = kEntryDelay;

    for (;;) {
        StepVolume(game);
        vlm::ReadMouse(pointer.x, pointer.y, pointer.button1, pointer.button2);
        DrawBoard(game);
        if (game.PlayState == Playing) StepChoices(game, pointer, selection);
        RulesFrame(game);
        DrawStatus(game);

        if (game.PlayState == LevelDone) {
            PrintSpriteText(247, 10, "DONE", 0);
            PrintSpriteText(245, 110, "NEXT", 2);
            PrintSpriteText(245, 122, "LEVEL", 2);
            if (Clicked(game, pointer, 243, 109, 310, 135) && game.InputDelay == 0) {
                NextLevel(game);
                game.InputDelay = kButtonDelay;
            }
        }
        if (game.PlayState == Lost) {
            PrintSpriteText(247, 10, "LOSE", 0);
            PrintSpriteText(245, 110, "RESTART", 2);
            PrintSpriteText(245, 122, "GAME", 2);
            PrintSpriteText(245, 160, "EXIT", 2);
            if (Clicked(game, pointer, 243, 109, 310, 135) && game.InputDelay == 0) {
                RestartGame(game);
                game.InputDelay = kButtonDelay;
            }
            if (Clicked(game, pointer, 243, 159, 310, 172) && game.InputDelay == 0) return;
        }
        UpscaleAndShow(game);
    }
}

void UpscaleAndShow(const GameGlobals& game) {
    if (game.DeviceName == "DESKTOP") {
        vlm::GrabScreen(kUpscaleSprite, 0, 0, 320, 240);
        vlm::SetSmoothing(0);
        vlm::DrawSpriteZoomed(kUpscaleSprite, 160, 120, 2, 2);
    }
    vlm::ShowFrame();
}

} // namespace splosh
