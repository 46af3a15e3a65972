// Splosh: the table of the ten best scores and its file.
//
// The file holds ten records, best first, for slots 1 to 10: the name's
// bytes, 0x0D 0x0A, and the score as a signed 32-bit little-endian integer.
// Names are read up to a line feed (a carriage return before it is
// dropped), so files with other name lengths or bare line feeds load too.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/globals.h"

namespace splosh {

inline constexpr int kTableSize = 10;
inline constexpr const char* kTableFile = "Media/data/table.dat";

// The bytes of slots 1 to 10.
std::vector<std::uint8_t> EncodeHighScores(const GameGlobals& game);
// Slots 1 to 10 from a file's bytes; false, with the table left as it was,
// when the bytes hold fewer than ten complete records.
bool DecodeHighScores(std::span<const std::uint8_t> bytes, GameGlobals& game);

// The table's place in the user's data folder: $XDG_DATA_HOME/splosh/
// table.dat, by default ~/.local/share/splosh/table.dat; empty when the
// environment names no home.
std::string UserTableFile();

// Start-up, after the defaults are set: reads the first table found (the
// game's own file, then the user's) and keeps the table where it can be
// written; when there is none, the defaults are written.
void StartHighScores(GameGlobals& game);
// Writes slots 1 to 10 all or nothing. When the file cannot be written the
// table moves on to the user's data folder, and then to memory for this
// run, with one line in the log.
void SaveHighScores(GameGlobals& game);
// Reads the table's file into slots 1 to 10. A broken file is kept aside
// as "<file>.bad" and replaced by the defaults.
void LoadHighScores(GameGlobals& game);

// Places a finished game's score among the ten: slot 11 takes the name and
// score, and 30 bubble passes sort it in below any equal score.
void EnterHighScore(GameGlobals& game, const vlm::DynString& name);

} // namespace splosh
