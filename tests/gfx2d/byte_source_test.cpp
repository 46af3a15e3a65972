#include <gtest/gtest.h>

#include <array>

#include "bmp_builder.h"
#include "files/memory_files.h"
#include "gfx2d/byte_source.h"
#include "gfx2d/image_decoders.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

TEST(ByteSource, MemoryRulesGiveWhatIsLeftThenZeros) {
    const std::array<std::uint8_t, 3> block{7, 8, 9};
    auto source = ByteSource::FromMemory(block);
    std::array<std::uint8_t, 2> two{};
    ASSERT_TRUE(source.Read(two));
    two.fill(0xFF);
    ASSERT_TRUE(source.Read(two));
    EXPECT_EQ(two, (std::array<std::uint8_t, 2>{9, 0}));
    EXPECT_FALSE(source.Read(two)); // nothing left at all
}

TEST(ByteSource, OpensDiskFilesWithEitherSeparator) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder / "sub");
    test::WriteWholeFile(folder / "sub" / "a.bin", "xyz");
    std::string name = (folder / "sub").string() + "\\a.bin";
    auto source = ByteSource::Open(name);
    ASSERT_TRUE(source.has_value());
    EXPECT_EQ(source->Size(), 3u);
    EXPECT_FALSE(source->IsMemory());
    EXPECT_FALSE(ByteSource::Open((folder / "missing.bin").string()).has_value());
    EXPECT_FALSE(ByteSource::Open(folder.path().string()).has_value()); // a folder is no file
    EXPECT_FALSE(ByteSource::Open("").has_value());
}

TEST(ByteSource, FilesLargerThanAnyPictureAreNotRead) {
    test::TempFolder temp;
    const auto path = temp / "huge.bmp";
    test::WriteWholeFile(path, "BM");
    std::filesystem::resize_file(path, std::uintmax_t{1} << 40); // sparse: takes no room
    EXPECT_FALSE(ByteSource::Open(path.string()).has_value());
    ImageBuffer image;
    EXPECT_FALSE(LoadBmpImage(image, path.string(), kNoColourKey));
}

TEST(ByteSource, MemoryNamesOpenOnlyWhileTheBlockIsRegistered) {
    // A 1 x 1 24-bit BMP, loaded through its "mem://" name.
    test::BmpLayout layout(1, 1, 24);
    layout.pixelData = {3, 2, 1, 0};
    const std::vector<std::uint8_t> bmp = test::BuildBmp(layout);
    std::string name;
    {
        MemoryFile file{std::span<const std::uint8_t>(bmp)};
        name = file.Name().c_str();
        auto source = ByteSource::Open(name);
        ASSERT_TRUE(source.has_value());
        EXPECT_TRUE(source->IsMemory());
        ImageBuffer image;
        ASSERT_TRUE(LoadBmpImage(image, name, kNoColourKey));
        EXPECT_EQ(image.pixels[0], 1);
        EXPECT_EQ(image.pixels[2], 3);
    }
    EXPECT_FALSE(ByteSource::Open(name).has_value());
}

TEST(ImageBuffer, AFailedAllocationLeavesItEmpty) {
    ImageBuffer image;
    ASSERT_TRUE(image.Allocate(2, 3));
    EXPECT_FALSE(image.Allocate(0, 3));
    EXPECT_EQ(image.width, 0);
}

} // namespace
} // namespace vlm
