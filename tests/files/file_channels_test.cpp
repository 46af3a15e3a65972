#include "files/file_channel.h"
#include "files/file_channels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/error_state.h"
#include "files/memory_files.h"
#include "support/program_end.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

// A temporary folder for disk files, and the channel table emptied afterwards.
class Channels : public ::testing::Test {
protected:
    ~Channels() override { TheFileChannels().CloseAll(); }
    DynString Path(const std::string& name) const { return DynString((temp_ / name).string()); }
    // Opened by a name with a backslash before the file: either separator works.
    FileChannel& OpenWith(const std::string& content) {
        WriteWholeFile(temp_ / "in.txt", content);
        EXPECT_TRUE(channel_.Open(temp_.path().string() + "\\in.txt", 1));
        return channel_;
    }
    void ExpectLines(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            const auto got = channel_.ReadLine();
            ASSERT_TRUE(got) << line;
            EXPECT_EQ(got->view(), line);
        }
        EXPECT_TRUE(channel_.AtEnd());
        EXPECT_FALSE(channel_.ReadLine());
    }
    TempFolder temp_;
    FileChannel channel_;
};
using DiskChannel = Channels;

TEST_F(DiskChannel, LinesEndAtLineFeedsAndDropOneCarriageReturnAndTheTextEndsAtANul) {
    OpenWith(std::string("one\r\ntwo\n\r\nthree\r\r\nab\0cd\nlast", 29));
    ExpectLines({"one", "two", "", "three\r", "ab", "last"});
}

TEST_F(DiskChannel, LinesAcrossTheReadBufferEdgeAndTheLengthLimit) {
    // Lines of every length up to the longest that fits with its "\r\n", then
    // a line past 1024 bytes.
    std::string tail;
    std::vector<std::string> tailLines;
    for (int n : {0, 1, 62, 63, 64, 65, 127, 128, 129, 1021, 1022}) {
        tailLines.push_back(std::string(static_cast<std::size_t>(n), static_cast<char>('a' + n % 26)));
        tail += tailLines.back() + "\r\n";
    }
    // The long line arrives in pieces of 1024, 1024 and 452 bytes. A piece
    // the limit ends keeps its carriage return, and the line feed after it
    // is an empty line of its own.
    tail += std::string(2500, 'x') + "\n" + std::string(1023, 'y') + "\r\n";
    tailLines.insert(tailLines.end(), {std::string(1024, 'x'), std::string(1024, 'x'), std::string(452, 'x'),
                                       std::string(1023, 'y') + "\r", ""});
    // Full lines before them end `shift` bytes short of the 64 KiB read
    // buffer, whose edge so falls before, inside, between "\r" and "\n" of
    // and after the first lines.
    for (int shift = 0; shift <= 5; ++shift) {
        std::string content;
        std::vector<std::string> expected;
        for (int i = 0; i < 64; ++i) {
            expected.push_back(std::string(static_cast<std::size_t>(i < 63 ? 1022 : 1022 - shift), 'f'));
            content += expected.back() + "\r\n";
        }
        expected.insert(expected.end(), tailLines.begin(), tailLines.end());
        SCOPED_TRACE(shift);
        OpenWith(content + tail);
        ExpectLines(expected);
    }
}

TEST_F(DiskChannel, ReadsAndSeeksAtTheLogicalPosition) {
    FileChannel& c = OpenWith("0123456789");
    std::uint8_t bytes[11];
    EXPECT_FALSE(c.Read(bytes)); // a disk read delivers every byte or fails
    EXPECT_FALSE(c.ReadText(11));
    c.Seek(-3, -1);
    EXPECT_EQ(*c.ReadText(3), "789");
    EXPECT_FALSE(c.Read(std::span(bytes, 1)));
    c.Seek(2, 0);
    c.Seek(3, 1);
    EXPECT_EQ(*c.ReadLine(), "56789");
    c.Seek(-1, 0);
    EXPECT_FALSE(c.Read(std::span(bytes, 1)));
    EXPECT_FALSE(c.ReadLine());
}

TEST_F(DiskChannel, LargeTextReadsBypassTheBufferExactly) {
    std::string content(200000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>('A' + i % 26);
    FileChannel& c = OpenWith(content);
    EXPECT_EQ(c.ReadLine()->view(), content.substr(0, 1024));
    const auto text = c.ReadText(100000);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->view(), content.substr(1024, 100000));
    EXPECT_EQ(c.Position(), 101024);
}

TEST_F(DiskChannel, WriteStartsANewFileAndWritesWhereThePositionSaysAppendAtTheEnd) {
    WriteWholeFile(temp_ / "out.bin", "old content that must go");
    ASSERT_TRUE(channel_.Open(Path("out.bin").view(), 0));
    EXPECT_TRUE(channel_.Write(std::string_view("hello world")));
    channel_.Seek(-5, -1);
    EXPECT_TRUE(channel_.Write(std::string_view("WORLD!")));
    channel_.Seek(0, 0);
    EXPECT_EQ(*channel_.ReadText(5), "hello"); // a new file is opened for reading too
    ASSERT_TRUE(channel_.Open(Path("out.bin").view(), -1));
    EXPECT_TRUE(channel_.Write(std::string_view("\r\n")));
    ASSERT_TRUE(channel_.Open(Path("missing-yet.txt").view(), -1));
    EXPECT_TRUE(channel_.Write(std::string_view("x")));
    channel_.Close();
    EXPECT_EQ(ReadWholeFile(temp_ / "out.bin"), "hello WORLD!\r\n");
    EXPECT_EQ(ReadWholeFile(temp_ / "missing-yet.txt"), "x");
}

TEST(MemoryChannel, ReadsAtTheEndOfTheBlockZeroFillAndStop) {
    std::vector<std::uint8_t> block = {'a', '\r', '\n', 'b', '\n', 'c', '\r'};
    MemoryFile file(block.data(), block.size());
    FileChannel c;
    ASSERT_TRUE(c.Open(file.Name().view(), 1));
    for (const char* line : {"a", "b", "c"})
        EXPECT_EQ(*c.ReadLine(), line);
    c.Seek(5, 0);
    std::uint8_t value[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    ASSERT_TRUE(c.Read(value));
    EXPECT_EQ((std::vector<std::uint8_t>(value, value + 4)), (std::vector<std::uint8_t>{'c', '\r', 0, 0}));
    EXPECT_TRUE(c.Read(value));
    EXPECT_EQ(value[0], 0);
    c.Seek(3, 0);
    EXPECT_EQ(*c.ReadText(100), "b\nc\r");
    EXPECT_EQ(*c.ReadText(3), "");
    c.Seek(8, 0);
    EXPECT_FALSE(c.Read(value));
    c.Seek(-1, 0);
    EXPECT_FALSE(c.Read(value)); // never before the block either
    const MemoryFile empty(static_cast<const void*>(nullptr), 0);
    ASSERT_TRUE(c.Open(empty.Name().view(), 1));
    EXPECT_TRUE(c.AtEnd());
    EXPECT_FALSE(c.ReadLine());
}

TEST_F(Channels, TypedWritesAreLittleEndianUnpaddedAndReadBack) {
    ASSERT_EQ(OpenFile(2, Path("values.bin"), 0), 1);
    WriteInt32(2, 1000);
    WriteInt16(2, -2);
    WriteInt8(2, 0x1FF);
    WriteDouble(2, -1.0 / 3.0);
    WriteSingle(2, -2.5);
    WriteText(2, DynString(std::string_view("ab\0cd", 5)));
    WriteLine(2, DynString("1000"));
    WriteLine(2, DynString(""));
    WriteLineNumber(2, 2.5);
    WriteLineInteger(2, -7);
    CloseFile(2);
    const std::string expected =
        std::string("\xE8\x03\x00\x00", 4) + "\xFE\xFF" + "\xFF" + std::string("\x55\x55\x55\x55\x55\x55\xD5\xBF", 8) +
        std::string("\x00\x00\x20\xC0", 4) + std::string("ab\0cd", 5) + "1000\r\n" + "\r\n" + "2.5\r\n" + "-7\r\n";
    EXPECT_EQ(ReadWholeFile(temp_ / "values.bin"), expected);
    ASSERT_EQ(OpenFile(2, Path("values.bin"), 1), 1);
    EXPECT_EQ(ReadInt32(2), 1000);
    EXPECT_EQ(ReadInt16(2), -2);
    EXPECT_EQ(ReadUInt8(2), 255);
    EXPECT_EQ(ReadDouble(2), -1.0 / 3.0);
    EXPECT_EQ(ReadSingle(2), -2.5);
    EXPECT_EQ(ReadText(2, -5), "");         // reads nothing
    EXPECT_EQ(ReadText(2, 5).view(), "ab"); // all five bytes, the text ending at the NUL
    EXPECT_EQ(FilePosition(2), 24);
    EXPECT_EQ(ReadLine(2), "1000");
    EXPECT_EQ(ReadLine(2), "");
    EXPECT_EQ(ReadLineNumber(2), 2.5);
    EXPECT_EQ(ReadLineInteger(2), -7);
    EXPECT_EQ(EndOfFile(2), 1);
    // The same bytes read signed and unsigned: FE FF FF 55.
    SeekFile(2, 4, 0);
    EXPECT_EQ(ReadInt8(2), -2);
    EXPECT_EQ(ReadUInt16(2), 65535);
    SeekFile(2, 4, 0);
    EXPECT_EQ(static_cast<std::uint32_t>(ReadUInt32(2)), 0x55FFFFFEu);
}

TEST_F(Channels, FirstFreeOpenAndClose) {
    WriteWholeFile(temp_ / "a.txt", "A\n");
    WriteWholeFile(temp_ / "b.txt", "B\n");
    EXPECT_EQ(FreeFile(), 0);
    for (std::int32_t i = 0; i < 8; ++i)
        ASSERT_EQ(OpenFile(i, Path("a.txt"), 1), 1);
    EXPECT_EQ(FreeFile(), -1);
    CloseFile(5);
    CloseFile(5);
    EXPECT_EQ(FreeFile(), 5);
    // Opening a channel closes what it held; a failed open only records the code.
    ASSERT_EQ(OpenFile(4, Path("b.txt"), 1), 1);
    EXPECT_EQ(ReadLine(4), "B");
    EXPECT_EQ(OpenFile(4, Path("gone.txt"), 1), 0);
    EXPECT_EQ(ErrorText(), "0003 no such file");
    EXPECT_EQ(FreeFile(), 4);
    EXPECT_EQ(OpenFile(4, Path("b.txt"), 1), 1);
    EXPECT_EQ(TheErrorState().LastErrorCode, 0);
}

using ChannelsDeathTest = Channels;

TEST_F(ChannelsDeathTest, MisuseEndsTheProgramWithItsCode) {
    WriteWholeFile(temp_ / "lines.txt", "only line");
    WriteWholeFile(temp_ / "short.bin", "abc");
    static std::uint8_t block[4];
    static MemoryFile memory(block, sizeof block);
    // Channels outside the table: 7.
    EXPECT_ENDS_WITH_CODE(OpenFile(8, Path("x.txt"), 1), 7);
    EXPECT_ENDS_WITH_CODE(ReadInt8(-1), 7);
    // Reads past the end, and writes to closed or memory channels: 3 (a full disk: with the file safety tests).
    EXPECT_ENDS_WITH_CODE(OpenFile(0, Path("lines.txt"), 1); if (ReadLine(0) != "only line") std::exit(1);
                          ReadLine(0), 3);
    EXPECT_ENDS_WITH_CODE(OpenFile(0, Path("short.bin"), 1); ReadDouble(0), 3);
    EXPECT_ENDS_WITH_CODE(WriteInt32(0, 1), 3);
    EXPECT_ENDS_WITH_CODE(OpenFile(0, memory.Name(), 1); WriteLine(0, DynString("x")), 3);
}

} // namespace
} // namespace vlm
