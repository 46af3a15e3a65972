#include "game/board.h"

#include "values/numeric.h"
#include "values/random.h"

namespace splosh {

namespace {

constexpr double kFirstLevelMoves = 30;
constexpr double kLossInputDelay = 100;

// Whether (x, y) joins the flood through its neighbour (nx, ny).
bool JoinsThrough(GameGlobals& game, int x, int y, int nx, int ny) {
    return game.Flooded.At(nx, ny) == 1 && game.Board.At(nx, ny) == game.Board.At(x, y) &&
           game.Flooded.At(x, y) == 0;
}

} // namespace

void NewLevel(GameGlobals& game) {
    game.PlayState = Playing;
    vlm::SeedRandom(static_cast<std::uint32_t>(vlm::TruncateToInteger(game.Level)));
    game.MovesLeft = kFirstLevelMoves - (game.Level - 1);
    for (int y = 0; y < kBoardSize; ++y)
        for (int x = 0; x < kBoardSize; ++x) game.Board.At(x, y) = kWall;
    // The draws go row by row, left to right: the boards depend on this order.
    for (int y = 1; y <= kFieldSize; ++y) {
        for (int x = 1; x <= kFieldSize; ++x) {
            game.Board.At(x, y) = vlm::RandomInt(5);
            game.Flooded.At(x, y) = 0;
        }
    }
    game.Flooded.At(1, 1) = 1; // the start cell is not scored
}

void NextLevel(GameGlobals& game) {
    game.Level += 1;
    NewLevel(game);
}

void RestartGame(GameGlobals& game) {
    game.Level = 1;
    NewLevel(game);
}

bool ChooseColour(GameGlobals& game, double k) {
    game.Board.At(1, 1) = k;
    if (k == game.LastChoice) return false;
    game.MovesLeft -= 1;
    game.LastChoice = k;
    return true;
}

void FloodSweep(GameGlobals& game) {
    // In place: a cell changed earlier in the pass is seen changed by later
    // cells, so the flood runs right and down across the field in one pass
    // but creeps left and up by one cell per pass.
    static constexpr int kNeighbours[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    for (int y = 1; y <= kFieldSize; ++y) {
        for (int x = 1; x <= kFieldSize; ++x) {
            for (const auto& step : kNeighbours) {
                if (JoinsThrough(game, x, y, x + step[0], y + step[1])) {
                    game.Flooded.At(x, y) = 1;
                    game.Score += 1;
                }
            }
            if (game.Flooded.At(x, y) == 1) game.Board.At(x, y) = game.Board.At(1, 1);
        }
    }
}

bool TestForLoss(GameGlobals& game) {
    if (game.MovesLeft < 0 && game.PlayState == Playing) {
        game.PlayState = Lost;
        game.InputDelay = kLossInputDelay;
        return true;
    }
    return false;
}

bool TestForWin(GameGlobals& game) {
    int flooded = 0;
    for (int y = 1; y <= kFieldSize; ++y)
        for (int x = 1; x <= kFieldSize; ++x) flooded += game.Flooded.At(x, y) == 1;
    if (flooded == kFieldSize * kFieldSize && game.MovesLeft > 0 && game.PlayState != LevelDone) {
        game.Score += game.MovesLeft;
        game.PlayState = LevelDone;
        return true;
    }
    return false;
}

void RulesFrame(GameGlobals& game) {
    TestForLoss(game);
    if (game.InputDelay > 0) game.InputDelay -= 1;
    FloodSweep(game);
    TestForWin(game);
}

} // namespace splosh
