#include "game/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "game_text.h"

namespace splosh {
namespace {

using test::Field;

// The dealt fields, computed with an independent implementation of the
// generator: character i is the colour of draw i, drawn row by row.
constexpr const char* kLevel1 =
    "02415123102205044533253310024313451113111042550524514130335012320140105114253225043110320144500420245201"
    "55254154410224453533042000440104350510240411402415114222244214430225511443013305403130030240";
constexpr const char* kLevel2 =
    "53524403120113125355040412220134401454231301403443542431522200123045010143322010050410203042041335453103"
    "34240222135344414155420542511100100042215534250115001152312311144151200024442530321004011354";

using Paint = double (*)(int x, int y);

class Board : public ::testing::Test {
protected:
    Board() { CreateGameArrays(game_); }

    double& Cell(int x, int y) { return game_.Board.At(x, y); }
    double& Flood(int x, int y) { return game_.Flooded.At(x, y); }

    int FloodedCount() {
        int n = 0;
        for (int y = 1; y <= 14; ++y) {
            for (int x = 1; x <= 14; ++x)
                n += Flood(x, y) == 1;
        }
        return n;
    }

    // A level whose field is painted instead of dealt; only the start cell
    // is flooded and the score starts from 0.
    void HandMadeLevel(Paint paint) {
        NewLevel(game_);
        for (int y = 1; y <= 14; ++y) {
            for (int x = 1; x <= 14; ++x)
                Cell(x, y) = paint(x, y);
        }
        game_.Score = 0;
    }

    GameGlobals game_;
};

TEST_F(Board, LevelsDealFixedBoardsInWallsAndTheScoreAndLastChoiceCarryOver) {
    game_.Level = 1;
    NewLevel(game_);
    EXPECT_EQ(Field(game_), kLevel1);
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(Cell(i, 0) == 6 && Cell(i, 15) == 6 && Cell(0, i) == 6 && Cell(15, i) == 6) << i;
    EXPECT_TRUE(ChooseColour(game_, 4));

    game_.Score = 77;
    NextLevel(game_);
    EXPECT_EQ(game_.Level, 2);
    EXPECT_EQ(Field(game_), kLevel2);
    EXPECT_EQ(game_.MovesLeft, 29);
    EXPECT_EQ(game_.Score, 77);
    // LastChoice outlives the level: its colour is free first on the next
    // one, and still colours the start cell.
    EXPECT_FALSE(ChooseColour(game_, 4));
    EXPECT_EQ(Cell(1, 1), 4);

    // A restart deals level 1 again, whatever came before.
    RestartGame(game_);
    EXPECT_EQ(Field(game_), kLevel1);
    EXPECT_EQ(game_.Score, 77);
}

TEST_F(Board, RightAndDownSpreadInOnePassLeftAndUpCreepOneCellPerPass) {
    // A snake of colour 0 from the start cell along the top row, down the
    // right column, back left along the bottom row and up the left column to
    // row 3; everything else is colour 1.
    HandMadeLevel([](int x, int y) { return y == 1 || x == 14 || y == 14 || (x == 1 && y >= 3) ? 0.0 : 1.0; });
    for (int pass = 1; pass <= 26; ++pass) {
        FloodSweep(game_);
        // The top row and the right column in one pass, then a cell a pass.
        EXPECT_EQ(game_.Score, std::min(26 + pass - 1, 50)) << "pass " << pass;
    }
}

// Hand-made fields.
double AllOne(int, int) { return 1; }
double AllThree(int, int) { return 3; }
double CornerInOne(int x, int y) { return x == 1 && y == 1 ? 0 : 1; }
double CornerBesideFives(int x, int y) { return x == 1 && y == 1 ? 0 : x <= 3 ? 5 : 1; }
double Stripes(int, int y) { return y <= 2 ? 0 : y <= 4 ? 2 : 4; }
// (1,1) and (1,2) in colour 0, (2,1) and (2,2) in colour 3, (1,3) in colour 1.
double TwoByTwoBesides(int x, int y) { return x <= 2 && y <= 2 ? 3 * (x - 1) : x == 1 && y == 3 ? 1 : 4; }

TEST_F(Board, HandMadeLevelsPlayOut) {
    // From a field, Level, LastChoice and MovesLeft (none: as dealt), steps
    // are played: a digit chooses that colour, 'f' runs the rules of a frame.
    struct Case {
        const char* rule;
        Paint paint;
        double level, lastChoice;
        std::optional<double> movesLeft;
        const char* steps;
        int flooded;
        double score, moves, state, inputDelay;
    } const cases[] = {
        {"a chosen colour recolours the flood and absorbs", Stripes, 1, 0, {}, "f2f", 56, 55, 29, Playing, 0},
        // (2,2) joins through neighbours recoloured earlier in the same pass.
        {"a join goes by the colours when it is tested", TwoByTwoBesides, 1, 0, {}, "f3f", 4, 3, 29, Playing, 0},
        {"a choice undone before the sweep does nothing", TwoByTwoBesides, 1, 0, {}, "f3f15f", 4, 3, 27, Playing, 0},
        {"a won level adds the moves left once", AllOne, 1, 0, 7, "ffff", 196, 195 + 7, 7, LevelDone, 0},
        // No moves left: complete is not won, the next charge loses and input waits 100 frames from then on.
        {"the loss is taken once", CornerInOne, 1, 0, 1, "1f2ff", 196, 195, -1, Lost, 98},
        {"the losing choice still spreads and scores", CornerBesideFives, 1, 0, 0, "5f", 42, 41, -1, Lost, 99},
        {"level 30 is won with a free finish", AllThree, 30, 3, {}, "3f", 196, 195 + 1, 1, LevelDone, 0},
        {"but not with its one move charged", AllThree, 30, 0, {}, "3ff", 196, 195, 0, Playing, 0},
        {"level 31, never won, is lost at its first charge", AllThree, 31, 3, {}, "ff4f", 196, 195, -1, Lost, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        game_.Level = c.level;
        game_.InputDelay = 0;
        HandMadeLevel(c.paint);
        game_.LastChoice = c.lastChoice;
        if (c.movesLeft) game_.MovesLeft = *c.movesLeft;
        for (const char* step = c.steps; *step; ++step) {
            if (*step == 'f')
                RulesFrame(game_);
            else
                ChooseColour(game_, *step - '0');
        }
        EXPECT_EQ(FloodedCount(), c.flooded);
        EXPECT_EQ(game_.Score, c.score);
        EXPECT_EQ(game_.MovesLeft, c.moves);
        EXPECT_EQ(game_.PlayState, c.state);
        EXPECT_EQ(game_.InputDelay, c.inputDelay);
    }
}

} // namespace
} // namespace splosh
