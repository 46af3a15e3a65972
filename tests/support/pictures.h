// Pictures for tests: made pixel by pixel, written as files, read back.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>

#include "gfx2d/image_decoders.h"
#include "gfx2d/image_writer.h"

namespace vlm::test {

using Rgba = std::array<std::uint8_t, 4>;

// A picture whose pixel (x, y) is colourAt(x, y).
inline ImageBuffer MakeImage(int w, int h, const std::function<Rgba(int, int)>& colourAt) {
    ImageBuffer image;
    image.Allocate(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgba c = colourAt(x, y);
            std::copy(c.begin(), c.end(), &image.Row(y)[static_cast<std::size_t>(x) * 4]);
        }
    }
    return image;
}

// The pixel (x, y) of a picture, y down.
inline Rgba PixelOf(const ImageBuffer& image, int x, int y) {
    const std::uint8_t* p = &image.Row(y)[static_cast<std::size_t>(x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

// Writes a picture as a PNG or BMP file by its name (no colour key applies).
inline void WritePicture(const std::filesystem::path& path, const ImageBuffer& image) {
    ScreenPicture picture{image.width, image.height, {}};
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgba p = PixelOf(image, x, y);
            picture.Bgr.insert(picture.Bgr.end(), {p[2], p[1], p[0]});
        }
    }
    ASSERT_TRUE(WriteScreenPicture(path.string(), picture, std::nullopt));
}

// The pixel (x, y) of a saved BMP or PNG file; all zero when it does not load.
inline Rgba SavedPixel(const std::filesystem::path& path, int x, int y) {
    ImageBuffer image;
    const bool loaded =
        LoadBmpImage(image, path.string(), kNoColourKey) || LoadPngImage(image, path.string(), kNoColourKey);
    EXPECT_TRUE(loaded) << path;
    if (!loaded || x >= image.width || y >= image.height) return {};
    return PixelOf(image, x, y);
}

constexpr Rgba Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {r, g, b, 255}; }

inline constexpr Rgba kBlack = Opaque(0, 0, 0);
inline constexpr Rgba kRed = Opaque(255, 0, 0);
inline constexpr Rgba kGreen = Opaque(0, 255, 0);
inline constexpr Rgba kBlue = Opaque(0, 0, 255);
inline constexpr Rgba kWhite = Opaque(255, 255, 255);
inline constexpr Rgba kYellow = Opaque(255, 255, 0);

// Whether (x, y) lies in the box from (left, top) to (right, bottom), edges included.
constexpr bool Inside(int x, int y, int left, int top, int right, int bottom) {
    return x >= left && x <= right && y >= top && y <= bottom;
}

} // namespace vlm::test
