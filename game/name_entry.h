// Splosh: entering a name for a new high score.
#pragma once

#include "game/globals.h"

namespace splosh {

// The entry alphabet: position 29 takes back the last character, 30
// finishes the entry.
inline constexpr const char* kEntryAlphabet = "_ ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\^";

// Lets the player pick up to three characters with the cursor keys and
// Tab, W, A, S or D; Escape finishes with what is typed. The name and
// Score then take their place in the table, which is saved. Escape does
// not end the program while the entry runs, nor while the Escape that
// finished it is still held.
void NameEntryScreen(GameGlobals& game);

} // namespace splosh
