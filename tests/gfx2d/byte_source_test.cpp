#include <gtest/gtest.h>

#include "bmp_builder.h"
#include "files/memory_files.h"
#include "gfx2d/byte_source.h"
#include "gfx2d/image_decoders.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

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

} // namespace
} // namespace vlm
