#include "files/file_services.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/error_state.h"
#include "files/file_channels.h"
#include "files/line_slots.h"
#include "files/media_name_resolver.h"
#include "files/memory_files.h"
#include "files/settings_table.h"
#include "support/program_end.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

class FileServices : public ::testing::Test {
protected:
    DynString Path(const std::string& name) const { return DynString((temp_ / name).string()); }
    TempFolder temp_;
};

TEST_F(FileServices, ExistsAndSizeOfDiskFilesAndLiveMemoryBlocks) {
    WriteWholeFile(temp_ / "five.bin", "12345");
    std::uint8_t block[7] = {};
    DynString name;
    {
        MemoryFile file(block, sizeof block);
        name = file.Name();
        EXPECT_EQ(FileExists(name), 1);
        EXPECT_EQ(FileSize(name), 7);
    }
    EXPECT_EQ(FileExists(Path("five.bin")), 1);
    for (const DynString& none :
         {Path("none.bin"), DynString(temp_.path().string()), name, DynString("mem://      10.0000000000001000")})
        EXPECT_EQ(FileExists(none), 0) << none.c_str();
    SetErrorCode(0);
    EXPECT_EQ(FileSize(Path("five.bin")), 5);
    EXPECT_EQ(TheErrorState().LastErrorCode, 0);
    EXPECT_EQ(FileSize(Path("none.bin")), 0);
    EXPECT_EQ(TheErrorState().LastErrorCode, 3);
}

TEST_F(FileServices, CopyFromDiskAndMemoryAndOntoItself) {
    std::string big(10000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    WriteWholeFile(temp_ / "big.bin", big);
    WriteWholeFile(temp_ / "target.bin", "old old old old old old old old old old old old old old");
    EXPECT_EQ(CopyFile(Path("big.bin"), Path("target.bin")), 1);
    EXPECT_EQ(ReadWholeFile(temp_ / "target.bin"), big);
    // Onto itself under any name: the file stays, and is not replaced by a copy either.
    std::filesystem::create_hard_link(temp_ / "big.bin", temp_ / "link.bin");
    for (const char* name : {"big.bin", "./big.bin", "link.bin"})
        EXPECT_EQ(CopyFile(Path("big.bin"), Path(name)), 1) << name;
    EXPECT_EQ(ReadWholeFile(temp_ / "big.bin"), big);
    EXPECT_EQ(std::filesystem::hard_link_count(temp_ / "big.bin"), 2u);

    std::uint8_t block[5] = {'h', 'e', 'l', 'l', 'o'};
    MemoryFile file(block, sizeof block);
    EXPECT_EQ(CopyFile(file.Name(), Path("mem.txt")), 1);
    EXPECT_EQ(ReadWholeFile(temp_ / "mem.txt"), "hello");

    SetErrorCode(5);
    EXPECT_EQ(CopyFile(Path("absent"), Path("x")), 0);
    EXPECT_EQ(TheErrorState().LastErrorCode, 3);
}

TEST_F(FileServices, DeleteDirectoriesAndCurrentDirectory) {
    WriteWholeFile(temp_ / "d.txt", "x");
    EXPECT_EQ(DeleteFile(Path("d.txt")), 1);
    EXPECT_EQ(DeleteFile(Path("d.txt")), 0);

    EXPECT_EQ(MakeDirectory(DynString(temp_.path().string() + "\\made")), 1);
    EXPECT_EQ(IsDirectory(Path("made")), 1);
    EXPECT_EQ(MakeDirectory(Path("made")), 0);
    WriteWholeFile(temp_ / "plain", "x");
    EXPECT_EQ(IsDirectory(Path("plain")), 0);

    test::WorkingFolder here(temp_ / "made");
    EXPECT_EQ(CurrentDirectory(), DynString(std::filesystem::canonical(temp_ / "made").string() + "/"));
    DynString text("a\\b\\\\c/d");
    ConvertToForwardSlashes(text);
    EXPECT_EQ(text, "a/b//c/d");
}

TEST(Wildcard, Cases) {
    // "?" never takes a dot, "*.*" takes every name, brackets are plain, only A-Z fold, and "*ab"
    // against "aab" needs a restart after a false start.
    using Case = std::tuple<const char*, const char*, bool>;
    for (const auto& [pattern, name, match] :
         {Case{"*.bmp", "Font1.BMP", true}, Case{"a?c", "a.c", false}, Case{"a?c", "abc", true},
          Case{"*.*", "no_dot_at_all", true}, Case{"*", "", true}, Case{"", "", true}, Case{"", "a", false},
          Case{"a**b", "ab", true}, Case{"a*", "abc.def", true}, Case{"a*b*c", "aXXbYYbc", true},
          Case{"a*b*c", "aXXbYYbcd", false}, Case{"*ab", "aab", true}, Case{"*a*", "xxa", true},
          Case{"abc", "ab", false}, Case{"ab**", "ab", true}, Case{"?", "", false}, Case{"[x]", "[X]", true},
          Case{"\xC4", "\xE4", false}})
        EXPECT_EQ(WildcardMatch(pattern, name), match) << pattern << " " << name;
}

TEST(MemoryFileName, HasFixedFieldsWideEnoughForAnyAddressAndIsParsedByThem) {
    std::vector<std::uint8_t> block(0x400);
    const DynString name = MemoryFileName(block);
    ASSERT_EQ(name.length(), kMemoryFileNameLength);
    EXPECT_EQ(name.view().substr(0, 15), "mem://     400.");
    char address[32];
    std::snprintf(address, sizeof address, "%16" PRIxPTR, reinterpret_cast<std::uintptr_t>(block.data()));
    EXPECT_EQ(name.view().substr(15), address);
    const auto fields = ParseMemoryFileName("mem://      10.00007fffdeadbeef");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->size, 0x10u);
    EXPECT_EQ(fields->address, std::uintptr_t{0x7fffdeadbeef});
    EXPECT_EQ(ParseMemoryFileName("mem://FFFFFFFF.ffffffffffffffff").value().size, 0xffffffffu);
    for (const char* text :
         {"mem://", "mem://      10.7fffdeadbeef", "mem://      10x00007fffdeadbeef", "mem://      1g.00007fffdeadbeef",
          "mem://        .00007fffdeadbeef", "mem://      10.00007fffdeadbeef ", "mem://   1 0  .00007fffdeadbeef",
          "MEM://      10.00007fffdeadbeef", "mem://      10.                "})
        EXPECT_FALSE(ParseMemoryFileName(text)) << text;
}

TEST(MemoryFile, OnlyLiveRegistrationsAreFound) {
    std::vector<std::uint8_t> block(16);
    {
        MemoryFile file(block.data(), block.size());
        const MemoryFile moved(std::move(file));
        EXPECT_FALSE(file.Registered());
        EXPECT_TRUE(FindWritableMemoryBlock(moved.Name().view()));
        // The right address with another size, and another address with the right size.
        EXPECT_FALSE(FindMemoryBlock(MemoryFileName(std::span(block).first(8)).view()));
        EXPECT_FALSE(FindMemoryBlock(MemoryFileName(std::span(block).subspan(1, 15)).view()));
    }
    EXPECT_FALSE(FindMemoryBlock(MemoryFileName(block).view()));
}

TEST(MediaNameResolver, FindsDiskFilesAndLiveBlocksOnly) {
    test::TempFolder temp;
    test::WriteWholeFile(temp / "here.txt", "x");
    std::vector<std::uint8_t> block(8);
    const MemoryFile file(block.data(), block.size());
    EXPECT_TRUE(MediaNameResolver(file.Name().view()).found);
    EXPECT_TRUE(MediaNameResolver(temp.path().string() + "\\here.txt").found); // either separator
    EXPECT_FALSE(MediaNameResolver((temp / "missing.txt").string()).found);
    EXPECT_FALSE(MediaNameResolver(temp.path().string()).found); // a folder is not a file
    EXPECT_FALSE(MediaNameResolver("").found);
    EXPECT_FALSE(MediaNameResolver("mem://      10.0000000000001000").found);
}

// ---- What the file layer does so that nothing is lost or hangs: stores
// replaced only once the new content is written, files kept read-only,
// pipes never waited on, channels let go of memory that goes away.

// Files may not grow beyond `bytes` in this process: writes past it fail as on a full disk.
void LimitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

TEST(FileSafetyDeathTest, WritesThatFailKeepTheOldFile) {
    TempFolder temp;
    test::WorkingFolder here(temp.path());
    const std::string old(1500, 'x');
    WriteWholeFile(temp / "slots.txt", old + "\r\n");
    WriteWholeFile(temp / "setup.ini", "[video]\r\nwidth=640\r\n");
    WriteWholeFile(temp / "big.bin", std::string(5000, 'b'));
    WriteWholeFile(temp / "copy.bin", "old");
    EXPECT_EXIT(
        {
            LimitFileSize(100);
            LineSlotStore slots;
            slots.Write("slots.txt", 1, "more");
            SetErrorCode(kErrorSuccess);
            slots.WriteBack();
            const bool slotsKept =
                TheErrorState().LastErrorCode == kErrorNoSuchFile && ReadWholeFile("slots.txt") == old + "\r\n";
            SettingsTable settings;
            settings.MakeCurrent("setup.ini");
            settings.Set("video", "title", std::string(200, 't'));
            SetErrorCode(kErrorSuccess);
            settings.WriteBack();
            const bool settingsKept = TheErrorState().LastErrorCode == kErrorNoSuchFile &&
                                      ReadWholeFile("setup.ini") == "[video]\r\nwidth=640\r\n";
            const bool copyFailed = CopyFile(DynString("big.bin"), DynString("copy.bin")) == 0;
            const bool noLeftovers = std::distance(std::filesystem::directory_iterator("."), {}) == 4;
            std::_Exit(
                slotsKept && settingsKept && copyFailed && ReadWholeFile("copy.bin") == "old" && noLeftovers ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    // An append that finds no room ends the program (the error log still has room).
    EXPECT_ENDS_WITH_CODE(LimitFileSize(4096); OpenFile(0, DynString("big.bin"), -1); WriteLine(0, DynString("x")), 3);
}

TEST(FileSafety, WritesFollowLinksAndLeaveDevicesAndPipesAlone) {
    TempFolder temp;
    WriteWholeFile(temp / "target.txt", "old");
    std::filesystem::create_symlink(temp / "target.txt", temp / "link.txt");
    const std::string bytes = "new";
    const std::span<const std::uint8_t> content(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ASSERT_TRUE(ReplaceFile((temp / "link.txt").string(), content));
    EXPECT_EQ(ReadWholeFile(temp / "target.txt"), "new");
    ASSERT_EQ(OpenFile(0, DynString((temp / "link.txt").string()), 0), 1);
    WriteLine(0, DynString("newer"));
    CloseFile(0);
    EXPECT_EQ(ReadWholeFile(temp / "target.txt"), "newer\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(temp / "link.txt"));
    // Never a device or a folder in place of a file.
    EXPECT_FALSE(ReplaceFile(test::DeviceIn(temp), content));
    EXPECT_FALSE(ReplaceFile(temp.path().string(), content));
    EXPECT_EQ(OpenFile(0, DynString("/dev/full"), 0), 0);
    // A pipe is no file, and nothing waits on it.
    const DynString pipe((temp / "pipe").string());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(FileExists(pipe), 0);
    EXPECT_EQ(OpenFile(0, pipe, 1), 0);
    EXPECT_EQ(OpenFile(0, pipe, -1), 0); // appending refuses them as writing does
    EXPECT_FALSE(vlm::ReadWholeFile(pipe.view()).has_value());
}

TEST(FileSafetyDeathTest, ReadOnlyFilesAreNeitherReplacedNorWritten) {
    TempFolder temp;
    const auto path = temp / "slots.txt";
    WriteWholeFile(path, "precious\r\n");
    ::chmod(path.c_str(), 0444);
    ::chmod(temp.path().c_str(), 0777);
    EXPECT_EXIT(
        {
            // As root every file is writable; the check needs an ordinary user.
            if (::getuid() == 0 && ::setuid(65534) != 0) std::_Exit(2);
            LineSlotStore slots;
            slots.Write(path.string(), 0, "changed");
            SetErrorCode(kErrorSuccess);
            slots.WriteBack();
            const bool storeRefused = TheErrorState().LastErrorCode == kErrorNoSuchFile;
            const bool openRefused = OpenFile(0, DynString(path.string()), 0) == 0;
            std::_Exit(storeRefused && openRefused && ReadWholeFile(path) == "precious\r\n" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(FileSafety, SettingsThatTheFileCannotHoldAreRefused) {
    TempFolder temp;
    const std::string path = (temp / "setup.ini").string();
    SettingsTable table;
    table.MakeCurrent(path);
    using Row = std::tuple<std::string, std::string, std::string>;
    for (const auto& [section, key, value] :
         {Row{"Video Mode", "width", "640"}, Row{"video", "a=b", "1"}, Row{"video", "", "1"}, Row{"video", "[key", "1"},
          Row{"video", ";key", "1"}, Row{"video]", "key", "1"}, Row{"video", "title", ""},
          Row{"video", "title", "  padded"}, Row{"video", "title", "x\r\n[evil]\r\nk=v"},
          Row{"s", "k", std::string(1500, 'v')}, Row{std::string(1030, 's'), "k", "v"}})
        EXPECT_FALSE(table.Set(section, key, value)) << section.size() << " " << key << " " << value.size();
    EXPECT_TRUE(table.Set("video", "title", "Splosh = fun; [really]"));
    EXPECT_TRUE(table.Set("", "top", "\xE9t\xE9"));
    EXPECT_TRUE(table.Set("s", "k", std::string(1020, 'v'))); // "k=" and the value fill one line
    table.WriteBack();

    SettingsTable reread;
    reread.MakeCurrent(path);
    EXPECT_EQ(reread.Lookup("video", "title", "?"), "Splosh = fun; [really]");
    EXPECT_EQ(reread.Lookup("", "top", "?"), "\xE9t\xE9");
    EXPECT_EQ(reread.Lookup("s", "k", "?"), std::string(1020, 'v'));
    EXPECT_EQ(reread.Sections().size(), 3u);
}

TEST(FileSafety, ChannelsCloseWithTheRegistrationTheyWereOpenedOn) {
    std::uint8_t block[32] = {7, 8};
    {
        const MemoryFile whole(block, sizeof block);
        MemoryFile again(block, sizeof block);
        ASSERT_EQ(OpenFile(0, whole.Name(), 1), 1);
        ASSERT_EQ(OpenFile(1, whole.Name(), 1), 1);
        { const MemoryFile head(block, 4); }
        { const MemoryFile moved(std::move(again)); }
        // Still registered once: the channels read on (a closed one ends the program).
        EXPECT_EQ(ReadInt8(0), 7);
    }
    EXPECT_FALSE(TheFileChannels().Find(0)->IsOpen());
    EXPECT_FALSE(TheFileChannels().Find(1)->IsOpen());
}

TEST(FileSafety, NamesHoldingANulAreNoFile) {
    TempFolder temp;
    test::WorkingFolder here(temp.path());
    WriteWholeFile(temp / "small.txt", "abc\r\n");
    const auto nul = [](std::string_view name) { return DynString(std::string(name) + std::string("\0/../x", 6)); };
    const DynString small = nul("small.txt");
    for (const std::int32_t answer :
         {FileExists(small), FileSize(small), IsDirectory(nul(".")), MakeDirectory(nul("new")), DeleteFile(small),
          OpenFile(0, small, 1), OpenFile(0, small, 0), OpenFile(0, small, -1), CopyFile(small, DynString("copy")),
          CopyFile(DynString("./small.txt"), small)})
        EXPECT_EQ(answer, 0);
    LineSlotStore slots;
    EXPECT_EQ(slots.Read(small.view(), 0), "NO_FILE");
    slots.Write(small.view(), 0, "changed");
    slots.WriteBack();
    EXPECT_EQ(ReadWholeFile(temp / "small.txt"), "abc\r\n");
    EXPECT_FALSE(std::filesystem::exists("copy") || std::filesystem::exists("new"));
}

} // namespace
} // namespace vlm
