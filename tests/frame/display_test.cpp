#include "frame/display.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <array>

#include "frame/gl_extensions.h"
#include "frame/software_renderer.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

class DisplayWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        display_ = &CreateTheDisplay();
        ASSERT_TRUE(CreateDisplayWindow(*display_, 320, 200, 0, 60, 0, false));
    }
    void TearDown() override { DestroyTheDisplay(); }

    static std::array<GLint, 4> Viewport() {
        std::array<GLint, 4> v{};
        glGetIntegerv(GL_VIEWPORT, v.data());
        return v;
    }
    static std::array<GLfloat, 16> Matrix(GLenum which) {
        std::array<GLfloat, 16> m{};
        glGetFloatv(which, m.data());
        return m;
    }

    test::TempFolder temp_;
    Display* display_ = nullptr;
};

TEST_F(DisplayWindow, OpensAtTheAskedSize) {
    EXPECT_EQ(TheDisplay(), display_);
    EXPECT_EQ(display_->ScreenWidth, 320);
    EXPECT_EQ(display_->ScreenHeight, 200);
    int w = 0, h = 0;
    display_->WindowHandle->ClientSize(w, h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);
    EXPECT_TRUE(display_->GlReady);
    EXPECT_FALSE(display_->FullScreenActive);
    EXPECT_GT(display_->ColourDepth, 0);
    EXPECT_EQ(display_->WindowHandle->Title(), "Velmora");
    EXPECT_NEAR(display_->FrameInterval, 1000.0 / 60, 1e-9);

    // Sizes below 1 are no sizes: the mode keeps the old one.
    ApplyScreenMode(*display_, -5, -5, -1, false);
    EXPECT_EQ(display_->ScreenWidth, 320);
    EXPECT_EQ(display_->ScreenHeight, 200);
    SetScreenSize(-5, -5, 0);
    EXPECT_EQ(display_->ScreenWidth, 320);
}

TEST_F(DisplayWindow, UncappedFramesAreTwoMillisecondsApart) {
    ASSERT_TRUE(CreateDisplayWindow(*display_, 64, 64, 0, 0, 0, false));
    EXPECT_EQ(display_->FrameInterval, 2.0);
    ASSERT_TRUE(CreateDisplayWindow(*display_, 64, 64, 0, -3, 0, false));
    EXPECT_EQ(display_->FrameInterval, 2.0);
}

TEST_F(DisplayWindow, FullViewSetsTheTwoDimensionalState) {
    // Disturb the state first, so the reset is what is measured.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
    SetViewport2D(*display_, 0, 0, 0, 0);

    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{0, 0, 320, 200}));
    EXPECT_EQ(display_->ViewWidth, 320);
    EXPECT_EQ(display_->ViewHeight, 200);
    // Orthographic: x 0..320 to -1..1, y 0..200 to 1..-1 (y down).
    const auto p = Matrix(GL_PROJECTION_MATRIX);
    EXPECT_FLOAT_EQ(p[0], 2.0f / 320);
    EXPECT_FLOAT_EQ(p[5], -2.0f / 200);
    EXPECT_FLOAT_EQ(p[10], -1.0f);
    EXPECT_FLOAT_EQ(p[12], -1.0f);
    EXPECT_FLOAT_EQ(p[13], 1.0f);
    const auto m = Matrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f);

    for (const GLenum off : {GL_DEPTH_TEST, GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_STENCIL_TEST,
                             GL_NORMALIZE, GL_LIGHTING, GL_COLOR_MATERIAL, GL_DITHER, GL_POLYGON_SMOOTH,
                             GL_POLYGON_OFFSET_POINT, GL_AUTO_NORMAL, GL_BLEND}) {
        EXPECT_FALSE(glIsEnabled(off)) << "capability 0x" << std::hex << off;
    }
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    GLint value = 0;
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_GREATER);
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_NEAR(ref, 0.05f, 1e-3);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_FLAT);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_FASTEST);
    glGetIntegerv(GL_POLYGON_SMOOTH_HINT, &value);
    EXPECT_EQ(value, GL_FASTEST);
    std::array<GLfloat, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, (std::array<GLfloat, 4>{1, 1, 1, 1}));
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour.data());
    EXPECT_EQ(colour, (std::array<GLfloat, 4>{0, 0, 0, 1}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DisplayWindow, PartialViewCountsFromTheTop) {
    SetViewport2D(*display_, 10, 20, 100, 50);
    // GL counts viewport rows from the bottom: 200 - 20 - 50.
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{10, 130, 100, 50}));
    EXPECT_FLOAT_EQ(Matrix(GL_PROJECTION_MATRIX)[0], 2.0f / 100);
    EXPECT_EQ(display_->ViewX, 10);
    EXPECT_EQ(display_->ViewY, 20);
    SetViewport2D(*display_, 10, 20, 0, 50);
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{10, -20, 320, 200}));
}

TEST_F(DisplayWindow, DrawnPixelsLandWhereTheViewSays) {
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    glColor4f(1, 0, 0, 1);
    glBegin(GL_QUADS);
    glVertex2f(10, 10);
    glVertex2f(20, 10);
    glVertex2f(20, 20);
    glVertex2f(10, 20);
    glEnd();
    std::array<std::uint8_t, 4> inside{}, outside{};
    // Row 15 from the top is row 200 - 1 - 15 from the bottom.
    glReadPixels(15, 200 - 1 - 15, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, inside.data());
    glReadPixels(30, 200 - 1 - 15, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, outside.data());
    EXPECT_EQ(inside, (std::array<std::uint8_t, 4>{255, 0, 0, 255}));
    EXPECT_EQ(outside, (std::array<std::uint8_t, 4>{0, 0, 0, 255}));
}

TEST_F(DisplayWindow, DestroyForgetsTheWindow) {
    DestroyDisplayWindow(*display_);
    EXPECT_EQ(display_->WindowHandle, nullptr);
    EXPECT_EQ(display_->ScreenWidth, 0);
    EXPECT_EQ(display_->ScreenHeight, 0);
}

TEST_F(DisplayWindow, ExtensionNamesAreWholeWords) {
    EXPECT_TRUE(ExtensionListHas("GL_ARB_multitexture GL_EXT_fog", "GL_EXT_fog"));
    EXPECT_TRUE(ExtensionListHas("GL_ARB_multitexture GL_EXT_fog", "GL_ARB_multitexture"));
    EXPECT_FALSE(ExtensionListHas("GL_ARB_multitexture_plus GL_EXT_fog", "GL_ARB_multitexture"));
    EXPECT_FALSE(ExtensionListHas("XGL_ARB_multitexture", "GL_ARB_multitexture"));
    EXPECT_TRUE(ExtensionListHas("XGL_A GL_A", "GL_A"));
    EXPECT_FALSE(ExtensionListHas("GL_A", ""));
    EXPECT_FALSE(HasGlExtension("GL_VELMORA_no_such_extension"));
}

TEST_F(DisplayWindow, OnlyFunctionsTheContextOffersCount) {
    EXPECT_TRUE(GlFunctionAvailable("glClear"));
    EXPECT_FALSE(GlFunctionAvailable("glVelmoraNoSuchFunction"));
    EXPECT_EQ(GlFunctionAvailable("glBindFramebufferEXT"), HasGlExtension("GL_EXT_framebuffer_object"));
    EXPECT_EQ(GlExtensions().BindFramebufferEXT != nullptr, HasGlExtension("GL_EXT_framebuffer_object"));
}

TEST(SoftwareRenderer, OnlySlowRenderersWarn) {
    EXPECT_TRUE(IsSlowSoftwareRenderer("Gallium 0.4 on softpipe"));
    EXPECT_TRUE(IsSlowSoftwareRenderer("softpipe"));
    EXPECT_TRUE(IsSlowSoftwareRenderer("Software Rasterizer"));
    EXPECT_FALSE(IsSlowSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_FALSE(IsSlowSoftwareRenderer("Mesa Intel(R) UHD Graphics 620"));
}

TEST(FrameCap, ModeSwitchKeepsAWholeCap) {
    EXPECT_EQ(FrameCapForInterval(1000.0 / 60), 60);
    EXPECT_EQ(FrameCapForInterval(1000.0 / 59), 59);
    EXPECT_EQ(FrameCapForInterval(1000.0 / 75), 75);
    EXPECT_EQ(FrameCapForInterval(20.0), 50);
    EXPECT_EQ(FrameCapForInterval(10.0), 100);
    EXPECT_EQ(FrameCapForInterval(0.0), 5);
    EXPECT_EQ(FrameCapForInterval(-1.0), 5);
    EXPECT_EQ(FrameCapForInterval(1e-12), INT32_MAX);
}

TEST(GlFunctions, AContextOffersWhatItsVersionAndExtensionsBring) {
    EXPECT_FALSE(ContextOffers("glActiveTexture", 12, "GL_ARB_multitexture")); // core from 1.3
    EXPECT_TRUE(ContextOffers("glActiveTexture", 13, ""));
    EXPECT_FALSE(ContextOffers("glActiveTextureARB", 45, "GL_EXT_fog"));
    EXPECT_TRUE(ContextOffers("glActiveTextureARB", 11, "GL_EXT_fog GL_ARB_multitexture"));
    EXPECT_FALSE(ContextOffers("glVelmoraNoSuchFunction", 99, "GL_ARB_multitexture"));
}

} // namespace
} // namespace vlm
