// Splosh: the game's constant data block and the title logo read from it.
#pragma once

#include "game/globals.h"
#include "values/data_list.h"

namespace splosh {

// 161 numbers, seven rows of 23; the first six rows are the logo.
vlm::DataList& GameData();
// LogoPattern[col][row] = the block's numbers from its start, row by row.
void ReadLogoPattern(GameGlobals& game);

} // namespace splosh
