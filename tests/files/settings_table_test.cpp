#include "files/settings_table.h"

#include <gtest/gtest.h>

#include "files/memory_files.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

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
    ASSERT_EQ(sections.size(), 4u);
    EXPECT_EQ(sections[0].name, "");
    EXPECT_EQ(sections[0].keys, (Keys{{"early", "before any section"}}));
    EXPECT_EQ(sections[1].name, "Video");
    EXPECT_EQ(sections[1].keys, (Keys{{"width", "640"}, {"depth", "32 "}}));
    EXPECT_EQ(sections[2].name, "Audio");
    // Bytes from 0x80 up stay at the end of a value.
    EXPECT_EQ(sections[2].keys,
              (Keys{{"volume", "80"}, {"name", "Caf\xE9\xE9"}, {"spaced", "ok"}, {"after", "still audio"}}));
    EXPECT_EQ(sections[3].name, "t");
    EXPECT_EQ(sections[3].keys, (Keys{{"k", "v"}}));
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

TEST(SettingsTable, ChangesAreWrittenBackWhenAnotherFileIsMadeCurrent) {
    TempFolder temp;
    const std::string path = (temp / "s.ini").string();
    WriteWholeFile(temp / "s.ini", "[a]\nx=1\n");
    SettingsTable table;
    table.MakeCurrent(path);
    table.MakeCurrent((temp / "other.ini").string());
    EXPECT_EQ(ReadWholeFile(temp / "s.ini"), "[a]\nx=1\n"); // unchanged files are not rewritten
    table.MakeCurrent(path);
    table.Set("A", "X", "2");
    table.Set("a", "new", "3");
    table.Set("b", "k", "4");
    table.Set("", "top", "5");
    table.MakeCurrent((temp / "other.ini").string());
    EXPECT_EQ(ReadWholeFile(temp / "s.ini"), "top=5\r\n[a]\r\nx=2\r\nnew=3\r\n[b]\r\nk=4\r\n");
    table.MakeCurrent(path);
    EXPECT_EQ(table.Lookup("", "top", ""), "5");
    EXPECT_EQ(table.Lookup("b", "k", ""), "4");
}

TEST(SettingsTable, WritingBackKeepsEveryLineItDidNotChange) {
    TempFolder temp;
    WriteWholeFile(temp / "s.ini", "; sizes\r\n[empty]\r\n[Video]\r\nWidth = 640 ; wide\r\nblank=\r\n\r\n"
                                   "[audio]\r\nvolume=80\r\n");
    SettingsTable table;
    table.MakeCurrent((temp / "s.ini").string());
    table.Set("video", "width", "800");
    table.Set("video", "depth", "32");
    table.Set("net", "port", "99");
    table.Set("", "top", "1");
    table.WriteBack();
    EXPECT_EQ(ReadWholeFile(temp / "s.ini"),
              "top=1\r\n; sizes\r\n[empty]\r\n[Video]\r\nWidth=800\r\ndepth=32\r\nblank=\r\n"
              "\r\n[audio]\r\nvolume=80\r\n[net]\r\nport=99\r\n");
}

} // namespace
} // namespace vlm
