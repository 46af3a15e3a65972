// Splosh: the play screen, where the puzzle is played one frame at a time,
// and the end of every frame of the game's screens.
#pragma once

#include "game/globals.h"

namespace splosh {

// Deals the current Level and plays until the exit button is pressed in a
// lost game.
void PlayScreen(GameGlobals& game);

// Ends a frame: on the desktop the 320 x 240 picture is copied and drawn
// doubled over the 640 x 480 window; then the frame is shown.
void UpscaleAndShow(const GameGlobals& game);

} // namespace splosh
