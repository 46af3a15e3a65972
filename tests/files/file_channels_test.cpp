#include "files/file_channels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <string>

#include "files/error_state.h"
#include "files/memory_files.h"
#include "frame/startup_settings.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::ReadLogLines;
using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

class Channels : public ::testing::Test {
protected:
    ~Channels() override { TheFileChannels().CloseAll(); }
    DynString Path(const std::string& name) const { return DynString((temp_ / name).string()); }
    // The code an ended program left in the log (debug mode writes it).
    std::string EndCode() const {
        const auto lines = ReadLogLines(temp_ / "ErrorLog.txt");
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            if (lines[i] == "-End On Line") return lines[i + 1];
        }
        return "none";
    }
    TempFolder temp_;
};

TEST_F(Channels, EveryTypedWriteIsLittleEndianAndUnpadded) {
    ASSERT_EQ(OpenFile(2, Path("values.bin"), 0), 1);
    WriteInt32(2, 1000);
    WriteInt16(2, -2);
    WriteInt8(2, 0x1FF);
    WriteDouble(2, 1.0);
    WriteSingle(2, -2.5);
    WriteText(2, DynString("ab"));
    WriteLine(2, DynString("1000"));
    WriteLine(2, DynString(""));
    WriteLineNumber(2, 2.5);
    WriteLineInteger(2, -7);
    CloseFile(2);
    const std::string expected = std::string("\xE8\x03\x00\x00", 4) + "\xFE\xFF" + "\xFF" +
                                 std::string("\x00\x00\x00\x00\x00\x00\xF0\x3F", 8) +
                                 std::string("\x00\x00\x20\xC0", 4) + "ab" + "1000\r\n" + "\r\n" + "2.5\r\n" +
                                 "-7\r\n";
    EXPECT_EQ(ReadWholeFile(temp_ / "values.bin"), expected);
}

TEST_F(Channels, EveryTypedReadRoundTrips) {
    ASSERT_EQ(OpenFile(0, Path("round.bin"), 0), 1);
    WriteInt8(0, -100);
    WriteInt8(0, 200);
    WriteInt16(0, -2);
    WriteInt16(0, 65534);
    WriteInt32(0, -123456789);
    WriteInt32(0, static_cast<std::int32_t>(0xDEADBEEF));
    WriteDouble(0, -1.0 / 3.0);
    WriteSingle(0, 0.1);
    WriteText(0, DynString("fixed"));
    WriteLine(0, DynString("a line"));
    WriteLineNumber(0, 1.25);
    WriteLineInteger(0, 42);
    CloseFile(0);

    ASSERT_EQ(OpenFile(0, Path("round.bin"), 1), 1);
    EXPECT_EQ(ReadInt8(0), -100);
    EXPECT_EQ(ReadUInt8(0), 200);
    EXPECT_EQ(ReadInt16(0), -2);
    EXPECT_EQ(ReadUInt16(0), 65534);
    EXPECT_EQ(ReadInt32(0), -123456789);
    EXPECT_EQ(static_cast<std::uint32_t>(ReadUInt32(0)), 0xDEADBEEFu);
    EXPECT_EQ(ReadDouble(0), -1.0 / 3.0);
    EXPECT_EQ(ReadSingle(0), static_cast<double>(0.1f));
    EXPECT_EQ(ReadText(0, 5), "fixed");
    EXPECT_EQ(ReadLine(0), "a line");
    EXPECT_EQ(ReadLineNumber(0), 1.25);
    EXPECT_EQ(ReadLineInteger(0), 42);
    EXPECT_EQ(EndOfFile(0), 1);
}

TEST_F(Channels, SignedAndUnsignedReadsOfTheSameBytes) {
    WriteWholeFile(temp_ / "fe.bin", "\xFE\xFF\xFE\xFF");
    ASSERT_EQ(OpenFile(1, Path("fe.bin"), 1), 1);
    EXPECT_EQ(ReadInt16(1), -2);
    EXPECT_EQ(ReadUInt16(1), 65534);
    SeekFile(1, 0, 0);
    EXPECT_EQ(ReadInt32(1), static_cast<std::int32_t>(0xFFFEFFFE));
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

TEST_F(Channels, FirstFreeAndClose) {
    WriteWholeFile(temp_ / "f.txt", "x");
    EXPECT_EQ(FreeFile(), 0);
    for (std::int32_t i = 0; i < 8; ++i) ASSERT_EQ(OpenFile(i, Path("f.txt"), 1), 1);
    EXPECT_EQ(FreeFile(), -1);
    CloseFile(5);
    CloseFile(5);
    EXPECT_EQ(FreeFile(), 5);
}

TEST_F(Channels, AFailedOpenOnlyRecordsTheCode) {
    EXPECT_EQ(OpenFile(3, Path("missing.txt"), 1), 0);
    EXPECT_EQ(ErrorText(), "0003 no such file");
    WriteWholeFile(temp_ / "f.txt", "x");
    EXPECT_EQ(OpenFile(3, Path("f.txt"), 1), 1);
    EXPECT_EQ(TheErrorState().LastErrorCode, 0);
}

TEST_F(Channels, OpeningAChannelClosesWhatItHeld) {
    WriteWholeFile(temp_ / "a.txt", "A\n");
    WriteWholeFile(temp_ / "b.txt", "B\n");
    ASSERT_EQ(OpenFile(4, Path("a.txt"), 1), 1);
    ASSERT_EQ(OpenFile(4, Path("b.txt"), 1), 1);
    EXPECT_EQ(ReadLine(4), "B");
    EXPECT_EQ(OpenFile(4, Path("gone.txt"), 1), 0);
    EXPECT_EQ(FreeFile(), 0);
}

TEST_F(Channels, MemoryChannelAtItsEnd) {
    std::uint8_t block[6] = {1, 2, 3, 4, 0x34, 0x12};
    MemoryFile file(block, sizeof block);
    ASSERT_EQ(OpenFile(6, file.Name(), 1), 1);
    EXPECT_EQ(ReadInt32(6), 0x04030201);
    EXPECT_EQ(ReadInt32(6), 0x1234);
    EXPECT_EQ(ReadInt32(6), 0); // nothing left: still a read, of no bytes
    EXPECT_EQ(EndOfFile(6), 1);
}

TEST_F(Channels, WriteAndAppendChannelsReportEndOfFile) {
    ASSERT_EQ(OpenFile(0, Path("w.txt"), 0), 1);
    EXPECT_EQ(EndOfFile(0), 1);
    WriteWholeFile(temp_ / "a.txt", "abc");
    ASSERT_EQ(OpenFile(1, Path("a.txt"), -1), 1);
    EXPECT_EQ(EndOfFile(1), 1);
}

using ChannelsDeathTest = Channels;

TEST_F(ChannelsDeathTest, ChannelOutsideTheTableEndsWithCode7) {
    EXPECT_EXIT(
        {
            TheStartupSettings().DebugMode = 1;
            OpenFile(8, Path("x.txt"), 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(EndCode(), "7");
    EXPECT_EXIT(
        {
            TheStartupSettings().DebugMode = 1;
            ReadInt8(-1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(EndCode(), "7");
}

TEST_F(ChannelsDeathTest, ReadingPastTheLastLineEndsWithCode3) {
    WriteWholeFile(temp_ / "lines.txt", "only line");
    EXPECT_EXIT(
        {
            TheStartupSettings().DebugMode = 1;
            OpenFile(0, Path("lines.txt"), 1);
            if (ReadLine(0) != "only line") std::exit(1);
            ReadLine(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(EndCode(), "3");
}

TEST_F(ChannelsDeathTest, ShortTypedReadEndsWithCode3) {
    WriteWholeFile(temp_ / "short.bin", "abc");
    EXPECT_EXIT(
        {
            TheStartupSettings().DebugMode = 1;
            OpenFile(0, Path("short.bin"), 1);
            ReadDouble(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(EndCode(), "3");
}

TEST_F(ChannelsDeathTest, WritesToMemoryOrClosedChannelsEndWithCode3) {
    EXPECT_EXIT(
        {
            TheStartupSettings().DebugMode = 1;
            WriteInt32(0, 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(EndCode(), "3");
    EXPECT_EXIT(
        {
            TheStartupSettings().DebugMode = 1;
            static std::uint8_t block[4];
            static MemoryFile file(block, sizeof block);
            OpenFile(0, file.Name(), 1);
            WriteLine(0, DynString("x"));
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(EndCode(), "3");
}

TEST_F(ChannelsDeathTest, AFullDeviceFailsTheWrite) {
    // The file gets no room for one more byte, as on a full disk (the log still has).
    WriteWholeFile(temp_ / "full.txt", std::string(4096, 'f'));
    rlimit full{};
    full.rlim_cur = full.rlim_max = 4096;
    EXPECT_EXIT(
        {
            TheStartupSettings().DebugMode = 1;
            std::signal(SIGXFSZ, SIG_IGN);
            ::setrlimit(RLIMIT_FSIZE, &full);
            if (OpenFile(0, Path("full.txt"), -1) != 1) std::exit(1);
            WriteLine(0, DynString("no room"));
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(EndCode(), "3");
}

TEST_F(Channels, WritingANewFileOverADeviceLeavesTheDevice) {
    // Opening for writing replaces files only; the device stays and the open fails.
    EXPECT_EQ(OpenFile(0, DynString("/dev/full"), 0), 0);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

} // namespace
} // namespace vlm
