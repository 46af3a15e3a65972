// A real window under Xvfb for drawing tests: draw, read the pixels back.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <functional>
#include <vector>

#include "frame/display.h"
#include "gfx2d/drawing.h"
#include "gfx2d/image_writer.h"
#include "support/temp_folder.h"

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

// Writes a picture as a PNG or BMP file by its name (no colour key applies).
inline void WritePicture(const std::filesystem::path& path, const ImageBuffer& image) {
    ScreenPicture picture{image.width, image.height, {}};
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = &image.Row(y)[static_cast<std::size_t>(x) * 4];
            picture.Bgr.insert(picture.Bgr.end(), {p[2], p[1], p[0]});
        }
    }
    ASSERT_TRUE(WriteScreenPicture(path.string(), picture, std::nullopt));
}

constexpr Rgba Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return {r, g, b, 255};
}

inline constexpr Rgba kBlack = Opaque(0, 0, 0);
inline constexpr Rgba kRed = Opaque(255, 0, 0);
inline constexpr Rgba kGreen = Opaque(0, 255, 0);
inline constexpr Rgba kBlue = Opaque(0, 0, 255);
inline constexpr Rgba kWhite = Opaque(255, 255, 255);
inline constexpr Rgba kYellow = Opaque(255, 255, 0);

class GlDrawing : public ::testing::Test {
  protected:
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 96;

    void SetUp() override { OpenWindow(kWidth, kHeight); }
    void OpenWindow(int width, int height) {
        display_ = &CreateTheDisplay();
        ASSERT_TRUE(CreateDisplayWindow(*display_, width, height, 0, 60, 0, false));
        SetBlendAlpha(*display_, 0);
        ClearScreen(*display_);
    }
    void TearDown() override { DestroyTheDisplay(); }

    // Uploads a picture as sprite id, as loading a file would.
    void PutSprite(std::int32_t id, const ImageBuffer& image) {
        ASSERT_TRUE(display_->Sprites.SetSpriteImage(id, image));
    }

    // The colour under (x, y), y down, as red, green, blue.
    Rgba At(int x, int y) {
        FlushDrawing(*display_);
        Rgba pixel{};
        glReadPixels(x, display_->ScreenHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
        pixel[3] = 255; // the back buffer's alpha is not part of what is seen
        return pixel;
    }
    std::vector<std::uint8_t> Screen() {
        FlushDrawing(*display_);
        const int width = display_->ScreenWidth, height = display_->ScreenHeight;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    TempFolder temp_;
    Display* display_ = nullptr;
};

} // namespace vlm::test
