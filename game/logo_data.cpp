#include "game/logo_data.h"

#include <iterator>

namespace splosh {

namespace {

// Six rows of 23 cells spelling "splosh" in block letters three cells wide
// with a one-cell gap; row 0 holds the parts that rise above the others.
// The seventh row is never read.
constexpr vlm::DataEntry kGameData[] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0,
    1, 1, 1, 0, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 0, 0,
    1, 0, 0, 0, 1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 1, 1, 1,
    1, 1, 1, 0, 1, 1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1,
    0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0, 1, 0, 1,
    1, 1, 1, 0, 1, 0, 0, 0, 0, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 0, 1,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
static_assert(std::size(kGameData) == 161);

vlm::DataList theGameData = vlm::MakeDataList(kGameData);

} // namespace

vlm::DataList& GameData() { return theGameData; }

void ReadLogoPattern(GameGlobals& game) {
    vlm::RestoreData(theGameData);
    for (int row = 0; row < kLogoRows; ++row)
        for (int col = 0; col < kLogoColumns; ++col) game.LogoPattern.At(col, row) = vlm::ReadDataNumber();
}

} // namespace splosh
