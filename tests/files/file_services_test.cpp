#include "files/file_services.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "files/error_state.h"
#include "files/memory_files.h"
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
    SetErrorCode(0);
    EXPECT_EQ(FileSize(name), 0);
    EXPECT_EQ(TheErrorState().LastErrorCode, 3);
    EXPECT_EQ(CopyFile(name, Path("copy.bin")), 0);
    EXPECT_FALSE(std::filesystem::exists(temp_ / "copy.bin"));
}

TEST_F(FileServices, CopyFromDiskAndMemory) {
    std::string big(10000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    WriteWholeFile(temp_ / "big.bin", big);
    WriteWholeFile(temp_ / "target.bin", "old old old old old old old old old old old old old old");
    EXPECT_EQ(CopyFile(Path("big.bin"), Path("target.bin")), 1);
    EXPECT_EQ(ReadWholeFile(temp_ / "target.bin"), big);

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
    EXPECT_EQ(IsDirectory(Path("nothing")), 0);

    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(temp_ / "made");
    const DynString here = CurrentDirectory();
    std::filesystem::current_path(old);
    EXPECT_EQ(here, DynString(std::filesystem::canonical(temp_ / "made").string() + "/"));
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

} // namespace
} // namespace vlm
