#include "files/file_channels.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>

#include "files/error_state.h"
#include "files/memory_files.h"
#include "support/program_end.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

class Channels : public ::testing::Test {
protected:
    ~Channels() override { TheFileChannels().CloseAll(); }
    DynString Path(const std::string& name) const { return DynString((temp_ / name).string()); }
    TempFolder temp_;
};

TEST_F(Channels, TypedWritesAreLittleEndianUnpaddedAndReadBack) {
    ASSERT_EQ(OpenFile(2, Path("values.bin"), 0), 1);
    WriteInt32(2, 1000);
    WriteInt16(2, -2);
    WriteInt8(2, 0x1FF);
    WriteDouble(2, -1.0 / 3.0);
    WriteSingle(2, -2.5);
    WriteText(2, DynString("ab"));
    WriteLine(2, DynString("1000"));
    WriteLine(2, DynString(""));
    WriteLineNumber(2, 2.5);
    WriteLineInteger(2, -7);
    CloseFile(2);
    const std::string expected = std::string("\xE8\x03\x00\x00", 4) + "\xFE\xFF" + "\xFF" +
                                 std::string("\x55\x55\x55\x55\x55\x55\xD5\xBF", 8) +
                                 std::string("\x00\x00\x20\xC0", 4) + "ab" + "1000\r\n" + "\r\n" + "2.5\r\n" + "-7\r\n";
    EXPECT_EQ(ReadWholeFile(temp_ / "values.bin"), expected);
    // And every typed read gives back what was written.
    ASSERT_EQ(OpenFile(2, Path("values.bin"), 1), 1);
    EXPECT_EQ(ReadInt32(2), 1000);
    EXPECT_EQ(ReadInt16(2), -2);
    EXPECT_EQ(ReadUInt8(2), 255);
    EXPECT_EQ(ReadDouble(2), -1.0 / 3.0);
    EXPECT_EQ(ReadSingle(2), -2.5);
    EXPECT_EQ(ReadText(2, 2), "ab");
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

TEST_F(Channels, FixedLengthTextEndsAtNulAndZeroReadsNothing) {
    WriteWholeFile(temp_ / "t.bin", std::string("ab\0cdXY", 7));
    ASSERT_EQ(OpenFile(1, Path("t.bin"), 1), 1);
    EXPECT_EQ(ReadText(1, 0), "");
    EXPECT_EQ(ReadText(1, -5), "");
    EXPECT_EQ(FilePosition(1), 0);
    EXPECT_EQ(ReadText(1, 5), "ab");
    EXPECT_EQ(FilePosition(1), 5);
    EXPECT_EQ(ReadText(1, 2), "XY");
}

TEST_F(Channels, FirstFreeOpenAndClose) {
    WriteWholeFile(temp_ / "a.txt", "A\n");
    WriteWholeFile(temp_ / "b.txt", "B\n");
    EXPECT_EQ(FreeFile(), 0);
    for (std::int32_t i = 0; i < 8; ++i) ASSERT_EQ(OpenFile(i, Path("a.txt"), 1), 1);
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

// Appends to a file that may not grow, as on a full disk (the log still has room).
void AppendToAFullFile(const DynString& path) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    if (OpenFile(0, path, -1) != 1) std::exit(1);
    WriteLine(0, DynString("no room"));
}

TEST_F(ChannelsDeathTest, MisuseEndsTheProgramWithItsCode) {
    WriteWholeFile(temp_ / "lines.txt", "only line");
    WriteWholeFile(temp_ / "short.bin", "abc");
    WriteWholeFile(temp_ / "full.txt", std::string(4096, 'f'));
    static std::uint8_t block[4];
    static MemoryFile memory(block, sizeof block);
    // Channels outside the table: 7.
    EXPECT_ENDS_WITH_CODE(OpenFile(8, Path("x.txt"), 1), 7);
    EXPECT_ENDS_WITH_CODE(ReadInt8(-1), 7);
    // Reads past the end, and writes to closed or memory channels or a full disk: 3.
    EXPECT_ENDS_WITH_CODE(OpenFile(0, Path("lines.txt"), 1); if (ReadLine(0) != "only line") std::exit(1);
                          ReadLine(0), 3);
    EXPECT_ENDS_WITH_CODE(OpenFile(0, Path("short.bin"), 1); ReadDouble(0), 3);
    EXPECT_ENDS_WITH_CODE(WriteInt32(0, 1), 3);
    EXPECT_ENDS_WITH_CODE(OpenFile(0, memory.Name(), 1); WriteLine(0, DynString("x")), 3);
    EXPECT_ENDS_WITH_CODE(AppendToAFullFile(Path("full.txt")), 3);
}

} // namespace
} // namespace vlm
