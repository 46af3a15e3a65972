// Real windows under Xvfb for drawing tests: draw, read the pixels back.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <functional>
#include <vector>

#include "frame/display.h"
#include "gfx2d/drawing.h"
#include "support/pictures.h"
#include "support/temp_folder.h"

namespace vlm::test {

// The process display window for one test, closed afterwards.
class GlWindow : public ::testing::Test {
protected:
    void OpenWindow(int width, int height) {
        display_ = &CreateTheDisplay();
        ASSERT_TRUE(CreateDisplayWindow(*display_, width, height, 0, 60, 0, false));
        SetBlendAlpha(*display_, 0);
        ClearScreen(*display_);
    }
    void TearDown() override { DestroyTheDisplay(); }

    TempFolder temp_;
    Display* display_ = nullptr;
};

class GlDrawing : public GlWindow {
protected:
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 96;

    void SetUp() override { OpenWindow(kWidth, kHeight); }

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
    // Every pixel of the screen against want(x, y), y down; reports the first few that differ.
    void ExpectScreen(const std::function<Rgba(int, int)>& want) {
        const std::vector<std::uint8_t> pixels = Screen();
        const int width = display_->ScreenWidth, height = display_->ScreenHeight;
        int differing = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = &pixels[(static_cast<std::size_t>(height - 1 - y) * width + x) * 4];
                const Rgba w = want(x, y);
                if (Rgba{p[0], p[1], p[2], 255} == w || ++differing > 3) continue;
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << +p[0] << " " << +p[1] << " " << +p[2]
                              << ", not " << +w[0] << " " << +w[1] << " " << +w[2];
            }
        }
        EXPECT_EQ(differing, 0);
    }
};

} // namespace vlm::test
