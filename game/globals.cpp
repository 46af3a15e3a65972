#include "game/globals.h"

namespace splosh {

namespace {
GameGlobals theGame;
} // namespace

GameGlobals& TheGame() { return theGame; }

void CreateGameArrays(GameGlobals& game) {
    game.Board.Dimension(kBoardSize, kBoardSize);
    game.Flooded.Dimension(kBoardSize, kBoardSize);
    game.LogoPattern.Dimension(kLogoColumns, kLogoRows);
    game.HighScoreNames.Dimension(30);
    game.HighScoreValues.Dimension(30);
}

void FillDefaultHighScores(GameGlobals& game) {
    static constexpr const char* kNames[] = {"KOR", "ZUL", "UXA", "Q T", "YBO", "VEK", "NUJ", "WIB", "OTH", "GAZ"};
    for (int slot = 1; slot <= 10; ++slot) {
        game.HighScoreNames.At(slot) = kNames[slot - 1];
        game.HighScoreValues.At(slot) = 600 - 50 * slot;
    }
}

} // namespace splosh
