#include "game/logo_data.h"

#include <gtest/gtest.h>

#include <string>

#include "support/program_end.h"
#include "support/temp_folder.h"

namespace splosh {
namespace {

std::string LogoRow(GameGlobals& game, int row) {
    std::string cells;
    for (int col = 0; col < kLogoColumns; ++col)
        cells += game.LogoPattern.At(col, row) == 1 ? '#' : '.';
    return cells;
}

// Every entry reads the logo from the start; a seventh row of zeros ends the block.
TEST(LogoData, EveryEntryReadsTheLogoFromTheStartRowByRow) {
    vlm::test::TempFolder temp;
    GameGlobals game;
    CreateGameArrays(game);
    ReadLogoPattern(game);
    vlm::ReadDataNumber(); // a stray read moves the cursor on
    ReadLogoPattern(game);
    EXPECT_EQ(LogoRow(game, 0), ".........#..........#..");
    EXPECT_EQ(LogoRow(game, 1), "###.###..#..###.###.#..");
    EXPECT_EQ(LogoRow(game, 2), "#...#.#..#..#.#.#...###");
    EXPECT_EQ(LogoRow(game, 3), "###.###..#..#.#.###.#.#");
    EXPECT_EQ(LogoRow(game, 4), "..#.#....#..#.#...#.#.#");
    EXPECT_EQ(LogoRow(game, 5), "###.#....##.###.###.#.#");
    ASSERT_EQ(GameData().cursor, 138);
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(vlm::ReadDataNumber(), 0);
    EXPECT_ENDS_WITH_CODE(vlm::ReadDataNumber(), 20);
}

} // namespace
} // namespace splosh
