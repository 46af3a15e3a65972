// Splosh: the title screen, with the colour band, the block logo, the
// credits, a blinking prompt and, every few seconds, the table of the ten
// best scores.
#pragma once

#include "game/globals.h"

namespace splosh {

// The title's two counters. The prompt blinks 19 frames on and 22 off; the
// table shows from cycle frame 200 to 401 and hides the prompt until 21
// frames after it.
struct TitleCycle {
    int Blink = 0;
    int Cycle = 0;

    struct Frame {
        bool Prompt = false;
        bool Table = false;
    };
    Frame Advance();
};

// Runs until mouse button 1 is pressed, then plays (PlayScreen) and returns
// when the play screen does.
void TitleScreen(GameGlobals& game);

} // namespace splosh
