// Splosh: the game's global values and arrays, one record for the process.
#pragma once

#include <string>

#include "values/dyn_array.h"
#include "values/dyn_string.h"

namespace splosh {

// Values of PlayState.
inline constexpr double Playing = 1;
inline constexpr double LevelDone = 2;
inline constexpr double Lost = 3;

// The board is 16 x 16 cells: a ring of walls around a 14 x 14 field.
inline constexpr int kBoardSize = 16;
inline constexpr int kFieldSize = 14;
inline constexpr double kWall = 6;

// The title logo: six letters of 3 cells with 1-cell gaps, in 6 rows.
inline constexpr int kLogoColumns = 23;
inline constexpr int kLogoRows = 6;

struct GameGlobals {
    double DisplayScale = 1; // window pixels per picture pixel: 2 on the desktop
    double MusicVolume = 0.5;
    double Level = 1;
    double Score = 0;
    double MovesLeft = 0; // may become negative: that loses the level
    double PlayState = 0;
    vlm::DynString DeviceName;
    vlm::DynString EnteredName; // name entry for the high-score table
    double EntryCursor = 0;
    double EntryDelay = 0;

    // The play screen's values that the board rules read and set.
    double LastChoice = 0; // colour of the last choice that was charged a move
    double InputDelay = 0; // frames until input is taken again

    vlm::NumberArray Board;   // Board[x][y]: colours 0..5, walls 6
    vlm::NumberArray Flooded; // 1 for cells of the flood
    vlm::NumberArray LogoPattern;
    vlm::StringArray HighScoreNames; // slots 1..10 shown and stored
    vlm::NumberArray HighScoreValues;
    std::string HighScoreFile; // where the table is kept; empty: in memory only
};

GameGlobals& TheGame();

// Creates the game's arrays, zero-filled, in the game's order.
void CreateGameArrays(GameGlobals& game);
// The table shown before any score is stored: ten names, 550 down to 100.
void FillDefaultHighScores(GameGlobals& game);

} // namespace splosh
