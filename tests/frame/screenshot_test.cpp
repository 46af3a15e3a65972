#include "frame/screenshot.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace vlm {
namespace {

ScreenPicture TwoByTwo() {
    // Bottom row first: blue-green-red of (0,1) (1,1), then (0,0) (1,0).
    // (1,1) is the framebuffer's key colour, which files get as 128, 0, 255.
    return {2, 2, {255, 0, 0, /**/ 1, 2, 3, /**/ 0, 255, 0, /**/ 0, 0, 255}};
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(ImageWriter, BmpHasTheFileSizeAResolutionAndPaddedBottomUpRows) {
    const std::vector<std::uint8_t> bmp = EncodeBmp(TwoByTwo(), KeyColour{1, 2, 3});
    const std::size_t stride = 8; // 2 pixels x 3 bytes, padded to 4
    ASSERT_EQ(bmp.size(), 54 + stride * 2);
    // The fields a reader needs are read back by the screen-grab tests; these are the ones it skips.
    EXPECT_EQ(Le32(bmp, 2), 54 + stride * 2);
    EXPECT_EQ(Le32(bmp, 38), 10000u);
    const std::vector<std::uint8_t> rows(bmp.begin() + 54, bmp.end());
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{255, 0, 0, 128, 0, 255, 0, 0, /**/ 0, 255, 0, 0, 0, 255, 0, 0}));
}

TEST(ImageWriter, NamesAndRefusals) {
    EXPECT_FALSE(IsPngName(".png"));
    test::TempFolder temp;
    EXPECT_FALSE(WriteScreenPicture((temp / "empty.bmp").string(), ScreenPicture{}, std::nullopt));
    // Pictures replace files as every store does: never a device in place of a picture.
    const std::string device = test::DeviceIn(temp);
    EXPECT_FALSE(WriteScreenPicture(device, TwoByTwo(), std::nullopt));
    EXPECT_TRUE(std::filesystem::is_character_file(device));
}

} // namespace
} // namespace vlm
