#include "files/file_services.h"
#include "files/memory_files.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "files/error_state.h"
#include "files/media_name_resolver.h"
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
          "MEM://      10.00007fffdeadbeef", "mem://      10.                "}) {
        EXPECT_FALSE(ParseMemoryFileName(text)) << text;
    }
}

TEST(MemoryFile, OnlyLiveRegistrationsAreFoundAndConstBlocksAreNeverWritable) {
    std::vector<std::uint8_t> block(16);
    static const std::uint8_t kData[4] = {1, 2, 3, 4};
    const MemoryFile readOnly(static_cast<const void*>(kData), sizeof kData);
    EXPECT_TRUE(FindMemoryBlock(readOnly.Name().view()));
    EXPECT_FALSE(FindWritableMemoryBlock(readOnly.Name().view()));
    {
        MemoryFile file(block.data(), block.size());
        const MemoryFile moved(std::move(file));
        EXPECT_FALSE(file.Registered());
        EXPECT_TRUE(FindWritableMemoryBlock(moved.Name().view()));
        // The right address with another size, and another address with the right size.
        EXPECT_FALSE(FindMemoryBlock(MemoryFileName(std::span(block).first(8)).view()));
        EXPECT_FALSE(FindMemoryBlock(MemoryFileName(std::span(block).subspan(1, 15)).view()));
        EXPECT_FALSE(FindMemoryBlock("mem://      10.0000000000001000"));
    }
    EXPECT_FALSE(FindMemoryBlock(MemoryFileName(block).view()));
}

TEST(MediaNameResolver, FindsDiskFilesAndLiveBlocksOnly) {
    test::TempFolder temp;
    test::WriteWholeFile(temp / "here.txt", "x");
    const std::string disk = (temp / "here.txt").string();
    EXPECT_TRUE(MediaNameResolver(disk).found);
    EXPECT_FALSE(MediaNameResolver((temp / "missing.txt").string()).found);
    EXPECT_FALSE(MediaNameResolver(temp.path().string()).found); // a folder is not a file
    EXPECT_FALSE(MediaNameResolver("").found);

    std::vector<std::uint8_t> block(8);
    DynString name;
    {
        MemoryFile file(block.data(), block.size());
        name = file.Name();
        EXPECT_TRUE(MediaNameResolver(name.view()).found);
    }
    EXPECT_FALSE(MediaNameResolver(name.view()).found);
    EXPECT_TRUE(MediaNameResolver(temp.path().string() + "\\here.txt").found); // either separator
    EXPECT_EQ(PlatformPath("a\\b/c"), "a/b/c");
}

} // namespace
} // namespace vlm
