#include "files/memory_files.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "files/media_name_resolver.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

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
    for (const char* text : {"mem://", "mem://      10.7fffdeadbeef", "mem://      10x00007fffdeadbeef",
                             "mem://      1g.00007fffdeadbeef", "mem://        .00007fffdeadbeef",
                             "mem://      10.00007fffdeadbeef ", "mem://   1 0  .00007fffdeadbeef",
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
    EXPECT_EQ(MediaNameResolver(disk).name, DynString(disk));
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
    const ResolvedName gone = MediaNameResolver(name.view());
    EXPECT_FALSE(gone.found);
    EXPECT_EQ(gone.name, name);
    EXPECT_TRUE(MediaNameResolver(temp.path().string() + "\\here.txt").found); // either separator
    EXPECT_EQ(PlatformPath("a\\b/c"), "a/b/c");
}

} // namespace
} // namespace vlm
