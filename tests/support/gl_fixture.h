// Real windows under Xvfb for drawing tests: draw, read the pixels back.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>

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
};

} // namespace vlm::test
