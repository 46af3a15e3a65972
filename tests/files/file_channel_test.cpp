#include "files/file_channel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/memory_files.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class DiskChannel : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (temp_ / name).string(); }
    FileChannel& OpenWith(const std::string& content) {
        WriteWholeFile(temp_ / "in.txt", content);
        EXPECT_TRUE(channel_.Open(Path("in.txt"), 1));
        return channel_;
    }
    TempFolder temp_;
    FileChannel channel_;
};

TEST_F(DiskChannel, LinesEndAtLineFeedsAndDropOneCarriageReturn) {
    FileChannel& c = OpenWith("one\r\ntwo\n\r\nthree\r\r\nlast");
    EXPECT_EQ(*c.ReadLine(), "one");
    EXPECT_EQ(*c.ReadLine(), "two");
    EXPECT_EQ(*c.ReadLine(), "");
    EXPECT_EQ(*c.ReadLine(), "three\r");
    EXPECT_EQ(*c.ReadLine(), "last");
    EXPECT_TRUE(c.AtEnd());
    EXPECT_FALSE(c.ReadLine());
}

TEST_F(DiskChannel, TypedReadAfterALineStartsJustAfterTheLineFeed) {
    FileChannel& c = OpenWith(std::string("name\r\n\xE8\x03\x00\x00rest", 14));
    EXPECT_EQ(*c.ReadLine(), "name");
    EXPECT_EQ(c.Position(), 6);
    std::uint8_t value[4];
    ASSERT_TRUE(c.Read(value));
    EXPECT_EQ(value[0], 0xE8);
    EXPECT_EQ(value[1], 0x03);
    EXPECT_EQ(*c.ReadLine(), "rest");
}

TEST_F(DiskChannel, LinesAcrossBlockEdgesAndTheLengthLimit) {
    // Lines of every length around 64-byte edges up to the longest that fits
    // with its "\r\n", then a line past 1024 bytes.
    std::string content;
    std::vector<std::string> expected;
    for (int n : {0, 1, 62, 63, 64, 65, 127, 128, 129, 1021, 1022}) {
        expected.push_back(std::string(static_cast<std::size_t>(n), static_cast<char>('a' + n % 26)));
        content += expected.back() + "\r\n";
    }
    const std::string longLine(2500, 'x');
    content += longLine + "\n";
    FileChannel& c = OpenWith(content);
    for (const std::string& line : expected) {
        const auto got = c.ReadLine();
        ASSERT_TRUE(got);
        EXPECT_EQ(got->view(), line);
    }
    // The long line arrives in pieces of 1024, 1024 and 452 bytes.
    EXPECT_EQ(c.ReadLine()->length(), 1024u);
    EXPECT_EQ(c.ReadLine()->length(), 1024u);
    EXPECT_EQ(c.ReadLine()->view(), longLine.substr(0, 452));
    EXPECT_FALSE(c.ReadLine());
}

TEST_F(DiskChannel, APieceOf1024BytesKeepsItsCarriageReturn) {
    // The limit, not a line feed, ends this piece; the next piece is the line feed's empty line.
    FileChannel& c = OpenWith(std::string(1023, 'y') + "\r\n");
    EXPECT_EQ(c.ReadLine()->length(), 1024u);
    EXPECT_EQ(*c.ReadLine(), "");
    EXPECT_FALSE(c.ReadLine());
}

TEST_F(DiskChannel, LastLineWithoutLineFeedOfAnyLengthIsReturned) {
    for (std::size_t n : {1u, 63u, 64u, 128u, 1024u}) {
        FileChannel& c = OpenWith("first\n" + std::string(n, 'z'));
        EXPECT_EQ(*c.ReadLine(), "first");
        const auto last = c.ReadLine();
        ASSERT_TRUE(last) << n;
        EXPECT_EQ(last->length(), n);
        EXPECT_FALSE(c.ReadLine());
    }
}

TEST_F(DiskChannel, LineEndsAtANulByte) {
    FileChannel& c = OpenWith(std::string("ab\0cd\nef\n", 9));
    EXPECT_EQ(*c.ReadLine(), "ab");
    EXPECT_EQ(*c.ReadLine(), "ef");
}

TEST_F(DiskChannel, ReadsPastTheEndFail) {
    FileChannel& c = OpenWith("abc");
    std::uint8_t four[4];
    EXPECT_FALSE(c.Read(four));
    std::uint8_t three[3];
    EXPECT_TRUE(c.Read(three));
    EXPECT_TRUE(c.AtEnd());
    EXPECT_FALSE(c.Read(std::span(three, 1)));
    c.Seek(0, 0);
    EXPECT_FALSE(c.ReadText(4));
    EXPECT_EQ(*c.ReadText(3), "abc");
}

TEST_F(DiskChannel, SeekMovesTheLogicalPosition) {
    FileChannel& c = OpenWith("0123456789");
    c.Seek(-3, -1);
    EXPECT_EQ(c.Position(), 7);
    EXPECT_EQ(*c.ReadText(3), "789");
    c.Seek(2, 0);
    c.Seek(3, 1);
    EXPECT_EQ(c.Position(), 5);
    EXPECT_EQ(*c.ReadLine(), "56789");
    c.Seek(-1, 0);
    std::uint8_t one[1];
    EXPECT_FALSE(c.Read(one));
    EXPECT_FALSE(c.ReadLine());
}

TEST_F(DiskChannel, LargeTextReadsBypassTheBufferExactly) {
    std::string content(200000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('A' + i % 26);
    FileChannel& c = OpenWith(content);
    EXPECT_EQ(c.ReadLine()->view(), content.substr(0, 1024));
    const auto text = c.ReadText(100000);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->view(), content.substr(1024, 100000));
    EXPECT_EQ(c.Position(), 101024);
}

TEST_F(DiskChannel, WriteCreatesANewFileAndWritesWhereThePositionSays) {
    WriteWholeFile(temp_ / "out.bin", "old content that must go");
    ASSERT_TRUE(channel_.Open(Path("out.bin"), 0));
    EXPECT_EQ(channel_.Size(), 0);
    EXPECT_TRUE(channel_.Write(std::string_view("hello world")));
    EXPECT_EQ(channel_.Position(), 11);
    channel_.Seek(-5, -1);
    EXPECT_TRUE(channel_.Write(std::string_view("WORLD!")));
    channel_.Seek(0, 0);
    EXPECT_EQ(*channel_.ReadText(5), "hello"); // a new file is opened for reading too
    channel_.Close();
    EXPECT_EQ(ReadWholeFile(temp_ / "out.bin"), "hello WORLD!");
}

TEST_F(DiskChannel, AppendWritesAtTheEnd) {
    WriteWholeFile(temp_ / "log.txt", "first\r\n");
    ASSERT_TRUE(channel_.Open(Path("log.txt"), -1));
    EXPECT_TRUE(channel_.AtEnd());
    EXPECT_TRUE(channel_.Write(std::string_view("second\r\n")));
    channel_.Close();
    ASSERT_TRUE(channel_.Open(Path("missing-yet.txt"), -1));
    EXPECT_TRUE(channel_.Write(std::string_view("x")));
    channel_.Close();
    EXPECT_EQ(ReadWholeFile(temp_ / "log.txt"), "first\r\nsecond\r\n");
    EXPECT_EQ(ReadWholeFile(temp_ / "missing-yet.txt"), "x");
}

TEST_F(DiskChannel, OpenFailures) {
    EXPECT_FALSE(channel_.Open(Path("missing.txt"), 1));
    EXPECT_FALSE(channel_.Open(temp_.path().string(), 1)); // a folder
    EXPECT_FALSE(channel_.Open(Path("no/such/folder.txt"), 0));
    EXPECT_FALSE(channel_.IsOpen());
    std::uint8_t one[1];
    EXPECT_FALSE(channel_.Read(one));
    EXPECT_FALSE(channel_.Write(std::span<const std::uint8_t>(one, 1)));
}

TEST_F(DiskChannel, BackslashesAreSeparators) {
    std::filesystem::create_directory(temp_ / "sub");
    WriteWholeFile(temp_ / "sub" / "f.txt", "content\n");
    ASSERT_TRUE(channel_.Open(temp_.path().string() + "\\sub\\f.txt", 1));
    EXPECT_EQ(*channel_.ReadLine(), "content");
}

TEST(MemoryChannel, PartialReadAtTheEndZeroFillsAndSucceeds) {
    std::vector<std::uint8_t> block = Bytes("\x01\x02\x03\x04\x05\x06");
    MemoryFile file(block.data(), block.size());
    FileChannel c;
    ASSERT_TRUE(c.Open(file.Name().view(), 1));
    EXPECT_EQ(c.Size(), 6);
    c.Seek(4, 0);
    std::uint8_t value[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    ASSERT_TRUE(c.Read(value));
    EXPECT_EQ((std::vector<std::uint8_t>(value, value + 4)), (std::vector<std::uint8_t>{5, 6, 0, 0}));
    EXPECT_EQ(c.Position(), 6);
    EXPECT_TRUE(c.Read(value));
    EXPECT_EQ(value[0], 0);
    EXPECT_TRUE(c.AtEnd());
    c.Seek(7, 0);
    EXPECT_FALSE(c.Read(value));
    c.Seek(-1, 0);
    EXPECT_FALSE(c.Read(value)); // never before the block either
}

TEST(MemoryChannel, LinesAndTheirEnd) {
    std::vector<std::uint8_t> block = Bytes("a\r\nb\nc\r");
    MemoryFile file(block.data(), block.size());
    FileChannel c;
    ASSERT_TRUE(c.Open(file.Name().view(), 1));
    EXPECT_EQ(*c.ReadLine(), "a");
    EXPECT_EQ(*c.ReadLine(), "b");
    EXPECT_EQ(*c.ReadLine(), "c");
    EXPECT_FALSE(c.ReadLine());
    EXPECT_EQ(block, Bytes("a\r\nb\nc\r")); // the block is left unchanged
}

TEST(MemoryChannel, TextReadStopsAtTheEndOfTheBlock) {
    std::vector<std::uint8_t> block = Bytes("abcdef");
    MemoryFile file(block.data(), block.size());
    FileChannel c;
    ASSERT_TRUE(c.Open(file.Name().view(), 1));
    c.Seek(2, 0);
    EXPECT_EQ(*c.ReadText(100), "cdef");
    EXPECT_EQ(c.Position(), 6);
    EXPECT_EQ(*c.ReadText(3), "");
}

TEST(MemoryChannel, IsNeverWrittenAndNeedsARegisteredBlock) {
    std::vector<std::uint8_t> block(8);
    FileChannel c;
    {
        MemoryFile file(block.data(), block.size());
        EXPECT_FALSE(c.Open(file.Name().view(), 0));
        EXPECT_FALSE(c.Open(file.Name().view(), -1));
        ASSERT_TRUE(c.Open(file.Name().view(), 1));
        EXPECT_FALSE(c.Write(std::string_view("x")));
        c.Close();
        EXPECT_FALSE(c.IsOpen());
    }
    EXPECT_FALSE(c.Open(MemoryFileName(block).view(), 1));
}

TEST(MemoryChannel, AnEmptyBlockOpensAtItsEnd) {
    MemoryFile file(static_cast<const void*>(nullptr), 0);
    FileChannel c;
    ASSERT_TRUE(c.Open(file.Name().view(), 1));
    EXPECT_TRUE(c.AtEnd());
    EXPECT_FALSE(c.ReadLine());
}

} // namespace
} // namespace vlm
