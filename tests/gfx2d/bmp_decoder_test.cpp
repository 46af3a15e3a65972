// The bytes a picture is read from, and the BMP reader on files built byte by byte.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "files/memory_files.h"
#include "gfx2d/byte_source.h"
#include "gfx2d/image_decoders.h"
#include "support/pictures.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using namespace test;

// A BMP file with an info header.
struct BmpLayout {
    std::int32_t width;
    std::int32_t height; // negative: rows stored top-down
    std::uint16_t bitCount;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::vector<std::uint8_t> pixelData; // rows as stored, padded
};

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> BuildBmp(const BmpLayout& layout) {
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(layout.palette.size());
    std::vector<std::uint8_t> out = {'B', 'M'};
    PutLe(out, offset + static_cast<std::uint32_t>(layout.pixelData.size()), 4);
    PutLe(out, 0, 4);
    PutLe(out, offset, 4);
    PutLe(out, 40, 4); // an info header
    PutLe(out, static_cast<std::uint32_t>(layout.width), 4);
    PutLe(out, static_cast<std::uint32_t>(layout.height), 4);
    PutLe(out, 1, 2);
    PutLe(out, layout.bitCount, 2);
    for (int i = 0; i < 6; ++i)
        PutLe(out, 0, 4);
    for (std::uint32_t colour : layout.palette)
        PutLe(out, colour, 4);
    out.insert(out.end(), layout.pixelData.begin(), layout.pixelData.end());
    return out;
}

constexpr std::uint32_t kDefaultKey = 0x008000FF;

bool Decode(ImageBuffer& image, const std::vector<std::uint8_t>& file, std::uint32_t key = kDefaultKey) {
    auto source = ByteSource::FromFileBytes(file);
    return DecodeBmpImage(image, source, key);
}

TEST(BmpDecoder, ColourKeyMakesOnlyTheExactColourTransparent) {
    // Red 255, green 0, blue 128 is the default key; blue 127 is not.
    const auto file = BuildBmp({2, 1, 24, {}, {128, 0, 255, 127, 0, 255, 0, 0}});
    ImageBuffer image;
    ASSERT_TRUE(Decode(image, file));
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelOf(image, 1, 0), (Rgba{255, 0, 127, 255}));
    ASSERT_TRUE(Decode(image, file, kNoColourKey));
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{255, 0, 128, 255}));
}

TEST(BmpDecoder, SidesBeyondSixteenBitsAreRefused) {
    // 32768 x 1 at 8 bits with every byte present: refused for its width alone.
    BmpLayout layout{32768, 1, 8, {0}, std::vector<std::uint8_t>(32768)};
    ImageBuffer image;
    EXPECT_FALSE(Decode(image, BuildBmp(layout)));
    layout.width = 32767;
    EXPECT_TRUE(Decode(image, BuildBmp(layout)));
}

TEST(BmpDecoder, TruncatedMemoryImageEndsInTransparentBlackNotStaleMemory) {
    auto file =
        BuildBmp({3, 2, 24, {}, {50, 60, 70, 80, 90, 100, 1, 1, 1, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}});
    file.resize(file.size() - 16); // the bottom row keeps two whole pixels and two bytes of the third
    ImageBuffer image;
    image.Allocate(4, 4);
    std::fill(image.pixels.begin(), image.pixels.end(), 0xAB);
    auto memory = ByteSource::FromMemory(file);
    ASSERT_TRUE(DecodeBmpImage(image, memory, kNoColourKey));
    EXPECT_EQ(PixelOf(image, 0, 1), (Rgba{70, 60, 50, 255}));
    EXPECT_EQ(PixelOf(image, 1, 1), (Rgba{100, 90, 80, 255}));
    EXPECT_EQ(PixelOf(image, 2, 1), (Rgba{0, 0, 0, 0})); // cut inside the pixel
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(PixelOf(image, x, 0), (Rgba{0, 0, 0, 0})) << x;
    // The same bytes from a disk file are refused.
    auto disk = ByteSource::FromFileBytes(file);
    EXPECT_FALSE(DecodeBmpImage(image, disk, kNoColourKey));
}

TEST(BmpDecoder, TruncatedMemoryPaletteImageStopsAtTheLastWholePixel) {
    auto file = BuildBmp({4, 1, 4, {0x0000FF, 0x00FF00}, {0x01, 0x10, 0, 0}});
    file.resize(file.size() - 3); // only the byte of pixels 0 and 1
    ImageBuffer image;
    auto memory = ByteSource::FromMemory(file);
    ASSERT_TRUE(DecodeBmpImage(image, memory, kNoColourKey));
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelOf(image, 1, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelOf(image, 2, 0), (Rgba{0, 0, 0, 0}));
}

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
    TempFolder folder;
    std::filesystem::create_directory(folder / "sub");
    WriteWholeFile(folder / "sub" / "a.bin", "xyz");
    std::string name = (folder / "sub").string() + "\\a.bin";
    auto source = ByteSource::Open(name);
    ASSERT_TRUE(source.has_value());
    EXPECT_EQ(source->Size(), 3u);
    EXPECT_FALSE(ByteSource::Open((folder / "missing.bin").string()).has_value());
    EXPECT_FALSE(ByteSource::Open(folder.path().string()).has_value()); // a folder is no file
    EXPECT_FALSE(ByteSource::Open("").has_value());
}

TEST(ByteSource, FilesLargerThanAnyPictureAreNotRead) {
    TempFolder temp;
    const auto path = temp / "huge.bmp";
    WriteWholeFile(path, "BM");
    std::filesystem::resize_file(path, std::uintmax_t{1} << 40); // sparse: takes no room
    EXPECT_FALSE(ByteSource::Open(path.string()).has_value());
    ImageBuffer image;
    EXPECT_FALSE(LoadBmpImage(image, path.string(), kNoColourKey));
}

TEST(ByteSource, MemoryNamesOpenOnlyWhileTheBlockIsRegistered) {
    // A 1 x 1 24-bit BMP, loaded through its "mem://" name.
    const std::vector<std::uint8_t> bmp = BuildBmp({1, 1, 24, {}, {3, 2, 1, 0}});
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
