#include "files/line_slots.h"

#include <gtest/gtest.h>

#include "files/error_state.h"
#include "files/memory_files.h"
#include "files/settings_table.h"
#include "frame/lifecycle.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

class LineSlots : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (temp_ / name).string(); }
    TempFolder temp_;
    LineSlotStore store_;
};

TEST_F(LineSlots, ReadsLinesByNumber) {
    WriteWholeFile(temp_ / "s.txt", "zero\r\none\r\n\r\nthree\t\r\n");
    EXPECT_EQ(store_.Read(Path("s.txt"), 0), "zero");
    EXPECT_EQ(store_.Read(Path("s.txt"), 3), "three");
    EXPECT_EQ(store_.Read(Path("s.txt"), 2), "NO_DATA");
    EXPECT_EQ(store_.Read(Path("s.txt"), 200), "NO_DATA");
    EXPECT_EQ(store_.HighestUsed(), 3);
    // Slots outside the store set code 7.
    SetErrorCode(0);
    EXPECT_EQ(store_.Read(Path("s.txt"), 256), "NO_DATA");
    EXPECT_EQ(TheErrorState().LastErrorCode, 7);
    SetErrorCode(0);
    store_.Write(Path("s.txt"), -1, "x");
    EXPECT_EQ(TheErrorState().LastErrorCode, 7);
    EXPECT_EQ(store_.HighestUsed(), 3);
    EXPECT_EQ(store_.Read(Path("missing.txt"), 0), "NO_FILE");
    std::string memory = "m0\nm1\n";
    const MemoryFile file(memory.data(), memory.size());
    EXPECT_EQ(store_.Read(file.Name().view(), 1), "m1");
    // Only the first 256 lines are loaded.
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += std::to_string(i) + "\n";
    WriteWholeFile(temp_ / "many.txt", text);
    EXPECT_EQ(store_.Read(Path("many.txt"), 255), "255");
    EXPECT_EQ(store_.HighestUsed(), 255);
}

TEST_F(LineSlots, WrittenBackWhenAnotherFileIsMadeCurrentAndReadAgain) {
    WriteWholeFile(temp_ / "a.txt", "keep\r\nold\r\n");
    store_.Write(Path("a.txt"), 1, "new");
    store_.Write(Path("a.txt"), 4, "four");
    EXPECT_EQ(store_.Read(Path("a.txt"), 1), "new");
    EXPECT_EQ(store_.Read(Path("b.txt"), 0), "NO_FILE");
    EXPECT_EQ(ReadWholeFile(temp_ / "a.txt"), "keep\r\nnew\r\n\r\n\r\nfour\r\n");
    LineSlotStore fresh;
    EXPECT_EQ(fresh.Read(Path("a.txt"), 4), "four");
    EXPECT_EQ(fresh.Read(Path("a.txt"), 0), "keep");
}

TEST(StoresDeathTest, WrittenBackAtTheEndOfTheProgram) {
    TempFolder temp;
    const DynString path((temp / "score.txt").string());
    EXPECT_EXIT(
        {
            WriteSlot(path, 0, DynString("name"));
            WriteSlot(path, 1, 1234.5);
            LoadSettings(DynString((temp / "end.ini").string()));
            SetSetting(DynString("game"), DynString("level"), DynString("7"));
            EndProgram();
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadWholeFile(temp / "score.txt"), "name\r\n1234.5\r\n");
    EXPECT_EQ(ReadSlotNumber(path, 1), 1234.5);
    EXPECT_EQ(ReadSlotInteger(path, 1), 1234);
    EXPECT_EQ(ReadSlot(path, 0), "name");
    EXPECT_EQ(ReadWholeFile(temp / "end.ini"), "[game]\r\nlevel=7\r\n");
}

} // namespace
} // namespace vlm
