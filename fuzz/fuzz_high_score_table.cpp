// The high-score file's reader: any bytes either load ten records or leave
// the table alone; a loaded table written out reads back the same.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "game/high_scores.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    splosh::GameGlobals game;
    splosh::CreateGameArrays(game);
    splosh::FillDefaultHighScores(game);
    const std::vector<std::uint8_t> defaults = splosh::EncodeHighScores(game);
    if (!splosh::DecodeHighScores(std::span(data, size), game)) {
        if (splosh::EncodeHighScores(game) != defaults) std::abort();
        return 0;
    }
    bool shortNames = true;
    for (int slot = 1; slot <= splosh::kTableSize; ++slot) {
        const std::string_view name = game.HighScoreNames.At(slot).view();
        if (name.find('\n') != std::string_view::npos || name.size() > 1024) std::abort();
        shortNames = shortNames && name.size() < 1024; // a full-length line has no room for its line end
    }
    const std::vector<std::uint8_t> written = splosh::EncodeHighScores(game);
    splosh::GameGlobals again;
    splosh::CreateGameArrays(again);
    if (!splosh::DecodeHighScores(written, again)) std::abort();
    if (shortNames && splosh::EncodeHighScores(again) != written) std::abort();
    return 0;
}
