// Splosh: the board and its flood-fill rules.
//
// Board[x][y] holds colours 0..5 on the field x, y in 1..14 and walls (6)
// on the ring around it; the flood starts in the top-left cell (1, 1).
// The play screen runs these rules once per frame, in the order of
// RulesFrame, after any colour choice.
#pragma once

#include "game/globals.h"

namespace splosh {

// Deals the board for the current Level (the same board for the same
// level) and starts the level: Playing, 31 - Level moves, only (1, 1) flooded.
void NewLevel(GameGlobals& game);
// Level += 1, then NewLevel. Score carries over.
void NextLevel(GameGlobals& game);
// Level = 1, then NewLevel. Score carries over.
void RestartGame(GameGlobals& game);

// The start cell takes colour k; a colour other than LastChoice costs a
// move and becomes LastChoice. Returns whether a move was charged. The rest
// of the flood takes the colour in the following sweeps.
bool ChooseColour(GameGlobals& game, double k);

// One propagation pass, in place, row by row: an unflooded cell joins (and
// scores 1) when a flooded neighbour has its colour at the moment it is
// tested; every flooded cell takes the start cell's colour.
void FloodSweep(GameGlobals& game);
// Playing with MovesLeft below 0: Lost, and input waits 100 frames.
bool TestForLoss(GameGlobals& game);
// The whole field flooded with moves left (more than 0): the moves left
// are added to Score and the level is done.
bool TestForWin(GameGlobals& game);

// The rules of one frame after the colour choice: lose test, input-delay
// countdown, sweep, win test.
void RulesFrame(GameGlobals& game);

} // namespace splosh
