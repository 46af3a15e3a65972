// The two stores a program keeps between runs: numbered line slots and
// settings files.
#include "files/line_slots.h"
#include "files/settings_table.h"

#include <gtest/gtest.h>

#include "files/error_state.h"
#include "files/memory_files.h"
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
    EXPECT_EQ(store_.Read(Path("s.txt"), 3), "three");
    EXPECT_EQ(store_.Read(Path("s.txt"), 2), "NO_DATA");
    // Slots outside the store set code 7.
    SetErrorCode(0);
    EXPECT_EQ(store_.Read(Path("s.txt"), 256), "NO_DATA");
    EXPECT_EQ(TheErrorState().LastErrorCode, 7);
    SetErrorCode(0);
    store_.Write(Path("s.txt"), -1, "x");
    EXPECT_EQ(TheErrorState().LastErrorCode, 7);
    EXPECT_EQ(store_.HighestUsed(), 3);
    // Only the first 256 lines are loaded.
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += std::to_string(i) + "\n";
    WriteWholeFile(temp_ / "many.txt", text);
    EXPECT_EQ(store_.Read(Path("many.txt"), 255), "255");
    EXPECT_EQ(store_.HighestUsed(), 255);
}

// A slot is one line: line breaks become spaces and a value longer than a line is cut.
TEST_F(LineSlots, WrittenBackAsOneLineEachWhenAnotherFileIsMadeCurrentKeepingThePermissions) {
    WriteWholeFile(temp_ / "a.txt", "keep\r\nold\r\n");
    const auto perms =
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read;
    std::filesystem::permissions(Path("a.txt"), perms);
    store_.Write(Path("a.txt"), 1, "one\r\ntwo");
    store_.Write(Path("a.txt"), 2, std::string(1500, 'a'));
    store_.Write(Path("a.txt"), 4, "four");
    EXPECT_EQ(store_.Read(Path("b.txt"), 0), "NO_FILE");
    EXPECT_EQ(ReadWholeFile(temp_ / "a.txt"), "keep\r\none  two\r\n" + std::string(1022, 'a') + "\r\n\r\nfour\r\n");
    EXPECT_EQ(std::filesystem::status(Path("a.txt")).permissions() & std::filesystem::perms::all, perms);
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
    EXPECT_EQ(ReadWholeFile(temp / "end.ini"), "[game]\r\nlevel=7\r\n");
}

std::vector<SettingsSection> Parse(std::string_view text) {
    return ParseSettings(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

using Keys = std::vector<std::pair<std::string, std::string>>;

TEST(ParseSettings, SectionsKeysAndCommentsAndMalformedLinesIgnored) {
    const auto sections = Parse("; a comment\r\n"
                                "early=before any section\r\n"
                                "  [Video]  \r\n"
                                "width = 640\r\n"
                                "\tdepth=\t 32 \x01\x02\r\n"
                                "; width=1\r\n"
                                "[Empty]\r\n"
                                "[ Audio]\r\n"
                                "volume=80\r\n"
                                "name=Caf\xE9\xE9\r\n"
                                "novalue\n"
                                "key x=1\n"
                                "empty=\n"
                                "blank=   \n"
                                "spaced   = ok\n"
                                "[]\n"
                                "after=still audio\n"
                                "[t] trailing\n"
                                "k=v");
    std::vector<std::pair<std::string, Keys>> got;
    for (const SettingsSection& section : sections)
        got.emplace_back(section.name, section.keys);
    // Bytes from 0x80 up stay at the end of a value.
    EXPECT_EQ(got,
              (std::vector<std::pair<std::string, Keys>>{
                  {"", {{"early", "before any section"}}},
                  {"Video", {{"width", "640"}, {"depth", "32 "}}},
                  {"Audio", {{"volume", "80"}, {"name", "Caf\xE9\xE9"}, {"spaced", "ok"}, {"after", "still audio"}}},
                  {"t", {{"k", "v"}}}}));
}

TEST(SettingsTable, LookupIsCaseInsensitiveAndSeesOnlyTheFirstSectionOfAFileOrMemoryBlock) {
    TempFolder temp;
    WriteWholeFile(temp / "s.ini", "top=1\n[A]\nx=first\nX=second\n[a]\ny=hidden\n");
    SettingsTable table;
    table.MakeCurrent((temp / "s.ini").string());
    EXPECT_EQ(table.Lookup("", "TOP", "d"), "1");
    EXPECT_EQ(table.Lookup("a", "x", "d"), "first");
    EXPECT_EQ(table.Lookup("A", "y", "d"), "d");
    EXPECT_EQ(table.Lookup("B", "x", "d"), "d");
    table.MakeCurrent((temp / "none.ini").string());
    EXPECT_TRUE(table.Sections().empty());
    std::string memory = "[m]\nk=v\n";
    const MemoryFile file(memory.data(), memory.size());
    table.MakeCurrent(file.Name().view());
    EXPECT_EQ(table.Lookup("M", "K", ""), "v");
}

TEST(SettingsTable, WrittenBackWhenAnotherFileIsMadeCurrentKeepingEveryLineItDidNotChange) {
    TempFolder temp;
    const std::string path = (temp / "s.ini").string();
    const std::string original = "; sizes\n[empty]\n[Video]\nWidth = 640 ; wide\nblank=\n\n[audio]\nvolume=80\n";
    WriteWholeFile(path, original);
    SettingsTable table;
    table.MakeCurrent(path);
    table.MakeCurrent((temp / "other.ini").string());
    EXPECT_EQ(ReadWholeFile(path), original); // unchanged files are not rewritten
    table.MakeCurrent(path);
    table.Set("video", "width", "800");
    table.Set("video", "depth", "32");
    table.Set("net", "port", "99");
    table.Set("", "top", "1");
    table.MakeCurrent((temp / "other.ini").string());
    EXPECT_EQ(ReadWholeFile(path), "top=1\r\n; sizes\r\n[empty]\r\n[Video]\r\nWidth=800\r\ndepth=32\r\nblank=\r\n"
                                   "\r\n[audio]\r\nvolume=80\r\n[net]\r\nport=99\r\n");
}

} // namespace
} // namespace vlm
