#include "game/board.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace splosh {
namespace {

// The dealt fields, computed with an independent implementation of the
// generator: character i is the colour of draw i, drawn row by row.
constexpr const char* kLevel1 =
    "02415123102205044533253310024313451113111042550524514130335012320140105114253225043110320144500420245201"
    "55254154410224453533042000440104350510240411402415114222244214430225511443013305403130030240";
constexpr const char* kLevel2 =
    "53524403120113125355040412220134401454231301403443542431522200123045010143322010050410203042041335453103"
    "34240222135344414155420542511100100042215534250115001152312311144151200024442530321004011354";

class Board : public ::testing::Test {
protected:
    Board() { CreateGameArrays(game_); }

    double& Cell(int x, int y) { return game_.Board.At(x, y); }
    double& Flood(int x, int y) { return game_.Flooded.At(x, y); }

    std::string Field() {
        std::string colours;
        for (int y = 1; y <= 14; ++y)
            for (int x = 1; x <= 14; ++x) colours += static_cast<char>('0' + static_cast<int>(Cell(x, y)));
        return colours;
    }

    int FloodedCount() {
        int n = 0;
        for (int y = 1; y <= 14; ++y)
            for (int x = 1; x <= 14; ++x) n += Flood(x, y) == 1;
        return n;
    }

    // A level whose field is painted by `paint` instead of dealt; only the
    // start cell is flooded and the score starts from 0.
    template <class Paint>
    void HandMadeLevel(Paint paint) {
        NewLevel(game_);
        for (int y = 1; y <= 14; ++y)
            for (int x = 1; x <= 14; ++x) Cell(x, y) = paint(x, y);
        game_.Score = 0;
    }

    // Cells 4-connected to (1, 1) in its colour, found by a plain search.
    int StartRegionSize() {
        std::vector<std::pair<int, int>> todo = {{1, 1}};
        std::vector<bool> seen(16 * 16, false);
        seen[1 * 16 + 1] = true;
        const double colour = Cell(1, 1);
        int n = 0;
        while (!todo.empty()) {
            const auto [x, y] = todo.back();
            todo.pop_back();
            ++n;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 1 || nx > 14 || ny < 1 || ny > 14 || seen[ny * 16 + nx] || Cell(nx, ny) != colour) continue;
                seen[ny * 16 + nx] = true;
                todo.push_back({nx, ny});
            }
        }
        return n;
    }

    void Frames(int n) {
        for (int i = 0; i < n; ++i) RulesFrame(game_);
    }

    GameGlobals game_;
};

TEST_F(Board, DefaultHighScores) {
    FillDefaultHighScores(game_);
    EXPECT_EQ(game_.HighScoreNames.At(1), "KOR");
    EXPECT_EQ(game_.HighScoreNames.At(4), "Q T");
    EXPECT_EQ(game_.HighScoreNames.At(10), "GAZ");
    EXPECT_EQ(game_.HighScoreNames.At(0), "");
    EXPECT_EQ(game_.HighScoreNames.At(11), "");
    EXPECT_EQ(game_.HighScoreValues.At(1), 550);
    EXPECT_EQ(game_.HighScoreValues.At(10), 100);
    EXPECT_EQ(game_.HighScoreValues.At(11), 0);
}

TEST_F(Board, LevelsDealFixedBoards) {
    game_.Level = 1;
    NewLevel(game_);
    EXPECT_EQ(Field(), kLevel1);
    EXPECT_EQ(game_.MovesLeft, 30);
    EXPECT_EQ(game_.PlayState, Playing);

    NextLevel(game_);
    EXPECT_EQ(game_.Level, 2);
    EXPECT_EQ(Field(), kLevel2);
    EXPECT_EQ(game_.MovesLeft, 29);

    // The same level deals the same board, whatever came before.
    RestartGame(game_);
    EXPECT_EQ(Field(), kLevel1);
}

TEST_F(Board, NewLevelBuildsTheWallsAndFloodsOnlyTheStart) {
    game_.Level = 5;
    NewLevel(game_);
    for (int x = 1; x <= 14; ++x)
        for (int y = 1; y <= 14; ++y) Flood(x, y) = 1; // left over from a finished level
    NewLevel(game_);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(Cell(i, 0), 6);
        EXPECT_EQ(Cell(i, 15), 6);
        EXPECT_EQ(Cell(0, i), 6);
        EXPECT_EQ(Cell(15, i), 6);
        EXPECT_EQ(Flood(i, 0) + Flood(i, 15) + Flood(0, i) + Flood(15, i), 0);
    }
    EXPECT_EQ(FloodedCount(), 1);
    EXPECT_EQ(Flood(1, 1), 1);
    EXPECT_EQ(game_.MovesLeft, 26);
}

TEST_F(Board, FirstPassesSpreadTheStartRegionAndScoreEachCellOnce) {
    NewLevel(game_);
    const int region = StartRegionSize();
    Frames(200);
    EXPECT_EQ(FloodedCount(), region);
    EXPECT_EQ(game_.Score, region - 1);
    Frames(5);
    EXPECT_EQ(game_.Score, region - 1);
}

TEST_F(Board, RightAndDownSpreadInOnePassLeftCreepsOneCellPerPass) {
    // A U of colour 0: along the top row, down the right column, back left
    // along the bottom row. Everything else is colour 1.
    HandMadeLevel([](int x, int y) { return y == 1 || x == 14 || y == 14 ? 0 : 1; });
    FloodSweep(game_);
    EXPECT_EQ(game_.Score, 26) << "the top row and the right column in one pass";
    EXPECT_EQ(Flood(14, 14), 1);
    EXPECT_EQ(Flood(13, 14), 0);
    for (int pass = 2; pass <= 14; ++pass) {
        FloodSweep(game_);
        EXPECT_EQ(game_.Score, 26 + pass - 1);
        EXPECT_EQ(Flood(14 - (pass - 1), 14), 1);
        if (pass < 14) {
            EXPECT_EQ(Flood(14 - pass, 14), 0);
        }
    }
    FloodSweep(game_);
    EXPECT_EQ(game_.Score, 39);
}

TEST_F(Board, UpwardSpreadCreepsOneCellPerPass) {
    // A column of colour 0 at x = 5 flooded from its bottom cell; the start
    // cell is walled in by colour 1.
    HandMadeLevel([](int x, int) { return x == 5 ? 0 : 1; });
    Cell(1, 1) = 0;
    Flood(5, 14) = 1;
    for (int pass = 1; pass <= 13; ++pass) {
        FloodSweep(game_);
        EXPECT_EQ(game_.Score, pass);
        EXPECT_EQ(Flood(5, 14 - pass), 1);
        if (pass < 13) {
            EXPECT_EQ(Flood(5, 13 - pass), 0);
        }
    }
}

TEST_F(Board, ChosenColourRecoloursTheFloodAndAbsorbsItsNeighbours) {
    // Three stripes: rows 1-2 colour 0, rows 3-4 colour 2, the rest colour 4.
    HandMadeLevel([](int, int y) { return y <= 2 ? 0 : y <= 4 ? 2 : 4; });
    Frames(1);
    EXPECT_EQ(FloodedCount(), 28);
    EXPECT_EQ(game_.Score, 27);
    EXPECT_TRUE(ChooseColour(game_, 2));
    FloodSweep(game_);
    EXPECT_EQ(FloodedCount(), 56);
    EXPECT_EQ(game_.Score, 55);
    for (int y = 1; y <= 4; ++y)
        for (int x = 1; x <= 14; ++x) EXPECT_EQ(Cell(x, y), 2);
    EXPECT_EQ(Cell(1, 5), 4);
}

TEST_F(Board, AJoinDependsOnTheColourAtTheMomentOfTheTest) {
    // The flood is (1,1) and (1,2) in colour 0. (2,1) has colour 3, and so
    // does (2,2). After choosing 3, (2,1) joins through (1,1), which already
    // has the new colour; (2,2) joins through (2,1) or (1,2), both already
    // recoloured by the time it is tested.
    HandMadeLevel([](int x, int y) { return x == 1 && y <= 2 ? 0 : x == 2 && y <= 2 ? 3 : 5; });
    Cell(1, 3) = 1;
    FloodSweep(game_);
    ASSERT_EQ(FloodedCount(), 2);
    ChooseColour(game_, 3);
    FloodSweep(game_);
    EXPECT_EQ(FloodedCount(), 4);
    // A choice undone before the sweep reaches a region leaves it alone.
    ChooseColour(game_, 1);
    ChooseColour(game_, 5);
    FloodSweep(game_);
    EXPECT_EQ(Cell(1, 3), 1);
    EXPECT_EQ(Flood(1, 3), 0);
}

TEST_F(Board, MovesAreChargedOnlyForANewColour) {
    NewLevel(game_);
    game_.LastChoice = 0;
    EXPECT_FALSE(ChooseColour(game_, 0)) << "the first choice of colour 0 is free";
    EXPECT_EQ(game_.MovesLeft, 30);
    EXPECT_EQ(Cell(1, 1), 0);
    EXPECT_TRUE(ChooseColour(game_, 3));
    EXPECT_EQ(game_.MovesLeft, 29);
    EXPECT_EQ(game_.LastChoice, 3);
    EXPECT_FALSE(ChooseColour(game_, 3));
    EXPECT_EQ(game_.MovesLeft, 29);
    EXPECT_TRUE(ChooseColour(game_, 0));
    EXPECT_EQ(game_.MovesLeft, 28);

    // LastChoice outlives the level: its colour is free first on the next one.
    NextLevel(game_);
    EXPECT_FALSE(ChooseColour(game_, 0));
    EXPECT_EQ(game_.MovesLeft, 29);
}

TEST_F(Board, ChoosingTheFloodsOwnColourStillCostsAMove) {
    HandMadeLevel([](int, int) { return 4; });
    game_.LastChoice = 0;
    EXPECT_TRUE(ChooseColour(game_, 4));
    EXPECT_EQ(game_.MovesLeft, 29);
}

TEST_F(Board, WinningAddsTheMovesLeftOnce) {
    HandMadeLevel([](int, int) { return 2; });
    game_.MovesLeft = 7;
    Frames(1);
    EXPECT_EQ(game_.PlayState, LevelDone);
    EXPECT_EQ(game_.Score, 195 + 7);
    Frames(3);
    EXPECT_EQ(game_.Score, 195 + 7);
    EXPECT_EQ(game_.PlayState, LevelDone);
}

TEST_F(Board, CompletedWithNoMovesLeftIsNotWonAndTheNextChargeLoses) {
    HandMadeLevel([](int x, int y) { return x == 1 && y == 1 ? 0 : 1; });
    game_.LastChoice = 0;
    game_.MovesLeft = 1;
    ChooseColour(game_, 1);
    Frames(1);
    EXPECT_EQ(FloodedCount(), 196);
    EXPECT_EQ(game_.MovesLeft, 0);
    EXPECT_EQ(game_.PlayState, Playing);
    EXPECT_EQ(game_.Score, 195);

    ChooseColour(game_, 2);
    Frames(1);
    EXPECT_EQ(game_.MovesLeft, -1);
    EXPECT_EQ(game_.PlayState, Lost);
    EXPECT_EQ(game_.InputDelay, 99) << "100 frames, counted down once in the same frame";
    Frames(1);
    EXPECT_EQ(game_.InputDelay, 98) << "the loss is taken once";
    EXPECT_EQ(game_.Score, 195);
}

TEST_F(Board, TheLosingChoiceStillSpreadsAndScores) {
    HandMadeLevel([](int x, int y) { return x == 1 && y == 1 ? 0 : x <= 3 ? 5 : 1; });
    game_.LastChoice = 0;
    game_.MovesLeft = 0;
    ChooseColour(game_, 5);
    Frames(1);
    EXPECT_EQ(game_.PlayState, Lost);
    EXPECT_EQ(FloodedCount(), 42);
    EXPECT_EQ(game_.Score, 41);
    for (int y = 1; y <= 14; ++y) EXPECT_EQ(Cell(3, y), 5);
}

TEST_F(Board, LevelThirtyNeedsAFreeFinishAndLevelThirtyOneCannotBeWon) {
    game_.Level = 30;
    HandMadeLevel([](int, int) { return 3; });
    EXPECT_EQ(game_.MovesLeft, 1);
    game_.LastChoice = 3;
    ChooseColour(game_, 3); // free
    Frames(1);
    EXPECT_EQ(game_.PlayState, LevelDone);
    EXPECT_EQ(game_.Score, 195 + 1);

    // With one charged choice level 30 is complete but not won.
    game_.Level = 30;
    HandMadeLevel([](int, int) { return 3; });
    game_.LastChoice = 0;
    ChooseColour(game_, 3);
    Frames(2);
    EXPECT_EQ(FloodedCount(), 196);
    EXPECT_EQ(game_.PlayState, Playing);

    game_.Level = 30;
    NextLevel(game_);
    EXPECT_EQ(game_.Level, 31);
    EXPECT_EQ(game_.MovesLeft, 0);
    for (int y = 1; y <= 14; ++y)
        for (int x = 1; x <= 14; ++x) Cell(x, y) = 3;
    game_.LastChoice = 3;
    Frames(2);
    EXPECT_EQ(FloodedCount(), 196);
    EXPECT_EQ(game_.PlayState, Playing) << "complete with 0 moves is never won";
    ChooseColour(game_, 4);
    Frames(1);
    EXPECT_EQ(game_.PlayState, Lost);
}

TEST_F(Board, ScoreCarriesOverRestartAndNextLevel) {
    NewLevel(game_);
    Frames(200);
    const double afterLevel1 = game_.Score;
    ASSERT_GT(afterLevel1, 0);
    game_.MovesLeft = -1;
    Frames(1);
    ASSERT_EQ(game_.PlayState, Lost);

    RestartGame(game_);
    EXPECT_EQ(game_.Level, 1);
    EXPECT_EQ(game_.PlayState, Playing);
    EXPECT_EQ(game_.MovesLeft, 30);
    EXPECT_EQ(game_.Score, afterLevel1);
    Frames(200);
    EXPECT_EQ(game_.Score, 2 * afterLevel1) << "the same board scores the same again";

    NextLevel(game_);
    EXPECT_EQ(game_.Score, 2 * afterLevel1);
}

} // namespace
} // namespace splosh
