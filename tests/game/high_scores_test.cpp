#include "game/high_scores.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "game_text.h"
#include "support/temp_folder.h"

namespace splosh {
namespace {

namespace fs = std::filesystem;
using test::Record;
using vlm::test::ReadWholeFile;
using vlm::test::WriteWholeFile;

// Records with names of 1..count letters.
std::string Records(int count) {
    std::string bytes;
    for (int i = 1; i <= count; ++i)
        bytes += Record(std::string(static_cast<std::size_t>(i), 'A' + i), 1000 - i);
    return bytes;
}

GameGlobals DefaultGame() {
    GameGlobals game;
    CreateGameArrays(game);
    FillDefaultHighScores(game);
    return game;
}

// A game in a folder of its own, which also holds the log and the user's data folder.
class HighScores : public ::testing::Test {
protected:
    HighScores() { ::setenv("XDG_DATA_HOME", (temp_ / "xdg").c_str(), 1); }
    std::string Table() const { return ReadWholeFile(temp_ / kTableFile); }
    std::string UserTable() const { return ReadWholeFile(temp_ / "xdg/splosh/table.dat"); }
    std::size_t LogLines() const { return vlm::test::ReadLogLines(temp_ / "ErrorLog.txt").size(); }

    vlm::test::TempFolder temp_;
    vlm::test::WorkingFolder here_{temp_.path()};
    GameGlobals game_ = DefaultGame();
};

TEST_F(HighScores, TenCompleteRecordsLoadAndFewerChangeNothing) {
    const struct {
        std::string bytes;
        const char* first; // slot 1 after decoding; "KOR" when the bytes are refused
    } kCases[] = {
        {Records(10) + "more", "B"},
        {Record(std::string("AB\0C", 4), 7) + Records(9), "AB"}, // a NUL ends the name
        {Record("A\rB", 1, "\r\r\n") + Records(9), "A\rB\r"},    // one CR before the LF goes
        {Records(10).substr(0, Records(10).size() - 1), "KOR"},
        {"", "KOR"},
    };
    for (const auto& c : kCases) {
        GameGlobals game = DefaultGame();
        const bool loads = std::string(c.first) != "KOR";
        const auto* data = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        EXPECT_EQ(DecodeHighScores({data, c.bytes.size()}, game), loads) << c.first;
        EXPECT_EQ(game.HighScoreNames.At(1), c.first);
        EXPECT_EQ(game.HighScoreValues.At(10) == 100, !loads) << c.first;
    }
}

// The bytes a first start and a save write: the end-to-end runs check them.
TEST_F(HighScores, ABrokenFileIsKeptAsideAndReplacedByTheDefaults) {
    fs::create_directories("Media/data");
    WriteWholeFile(kTableFile, Records(4));
    WriteWholeFile("Media/data/table.dat.bad", "an older broken table");
    StartHighScores(game_);
    EXPECT_EQ(ReadWholeFile("Media/data/table.dat.bad"), Records(4));
    EXPECT_EQ(Table(), test::DefaultTable());
    EXPECT_EQ(LogLines(), 1u);
}

TEST_F(HighScores, AFolderThatCannotBeWrittenSendsTheTableToTheUserThenToMemory) {
    WriteWholeFile("Media", "a file where the folder should be stops even the superuser");
    StartHighScores(game_);
    EXPECT_EQ(game_.HighScoreFile, (temp_ / "xdg/splosh/table.dat").string());
    EXPECT_EQ(UserTable().substr(0, 9), Record("KOR", 550));
    EXPECT_EQ(LogLines(), 1u);

    fs::remove_all(temp_ / "xdg");
    WriteWholeFile(temp_ / "xdg", "not a folder either");
    GameGlobals memory = DefaultGame();
    StartHighScores(memory);
    SaveHighScores(memory);
    EXPECT_TRUE(memory.HighScoreFile.empty());
    EXPECT_EQ(memory.HighScoreNames.At(1), "KOR");
    EXPECT_EQ(LogLines(), 2u) << "the move to memory is told once";

    ::setenv("HOME", "/home/player", 1);
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(UserTableFile(), "/home/player/.local/share/splosh/table.dat");
}

TEST_F(HighScores, AReadOnlyInstallKeepsItsScoresInTheUserFolder) {
    fs::create_directories("Media/data");
    const std::string stored = Record("ZED", 999) + Records(9);
    WriteWholeFile(kTableFile, stored);
    ::chmod(kTableFile, 0444);
    ::chmod("Media/data", 0555);
    ::chmod(temp_.path().c_str(), 0777);
    EXPECT_EXIT(
        {
            // The superuser writes anywhere; an ordinary user is needed.
            if (::getuid() == 0 && ::setuid(65534) != 0) std::_Exit(2);
            GameGlobals first = DefaultGame();
            StartHighScores(first);
            first.HighScoreValues.At(2) = 998;
            SaveHighScores(first);
            GameGlobals second = DefaultGame();
            StartHighScores(second);
            std::_Exit(second.HighScoreNames.At(1) == "ZED" && second.HighScoreValues.At(2) == 998 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Table(), stored);
    EXPECT_EQ(UserTable().substr(0, 9), Record("ZED", 999));
}

TEST_F(HighScores, ANewScoreRanksBelowEqualOnesAndEmptySlotsNeverRise) {
    game_.Score = 450;
    EnterHighScore(game_, "NEW");
    EXPECT_EQ(game_.HighScoreNames.At(4), "NEW");
    EXPECT_EQ(game_.HighScoreNames.At(11), "GAZ") << "pushed out of the ten";

    game_.HighScoreValues.At(10) = -5;
    game_.Score = -1;
    EnterHighScore(game_, "NEG");
    EXPECT_EQ(game_.HighScoreNames.At(10), "NEG");
    EXPECT_EQ(game_.HighScoreValues.At(11), -5);
}

} // namespace
} // namespace splosh
