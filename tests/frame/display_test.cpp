#include "frame/display.h"

#include <gtest/gtest.h>

#include <array>

#include "frame/gl_extensions.h"
#include "frame/software_renderer.h"
#include "support/gl_fixture.h"

namespace vlm {
namespace {

class DisplayWindow : public test::GlWindow {
protected:
    void SetUp() override { OpenWindow(320, 200); }

    static std::array<GLint, 4> Viewport() {
        std::array<GLint, 4> v{};
        glGetIntegerv(GL_VIEWPORT, v.data());
        return v;
    }
};

TEST_F(DisplayWindow, SizesBelowOneAreNoSizesAndNoCapMeansTwoMilliseconds) {
    // The mode keeps the old size.
    ApplyScreenMode(*display_, -5, -5, -1, false);
    EXPECT_EQ(display_->ScreenWidth, 320);
    EXPECT_EQ(display_->ScreenHeight, 200);

    // Uncapped frames are two milliseconds apart.
    for (const int cap : {0, -3}) {
        ASSERT_TRUE(CreateDisplayWindow(*display_, 64, 64, 0, cap, 0, false));
        EXPECT_EQ(display_->FrameInterval, 2.0);
    }
}

TEST_F(DisplayWindow, PartialViewCountsFromTheTop) {
    SetViewport2D(*display_, 10, 20, 100, 50);
    // GL counts viewport rows from the bottom: 200 - 20 - 50.
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{10, 130, 100, 50}));
    SetViewport2D(*display_, 10, 20, 0, 50);
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{10, -20, 320, 200}));
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
    EXPECT_FALSE(GlFunctionAvailable("glVelmoraNoSuchFunction")); // the loader answers for any name
    EXPECT_EQ(GlFunctionAvailable("glBindFramebufferEXT"), HasGlExtension("GL_EXT_framebuffer_object"));
    EXPECT_EQ(GlExtensions().BindFramebufferEXT != nullptr, HasGlExtension("GL_EXT_framebuffer_object"));
}

// The X run under softpipe warns; every log test runs on llvmpipe, which must not.
TEST(SoftwareRenderer, TheOldMesaRasterizerIsSlowToo) { EXPECT_TRUE(IsSlowSoftwareRenderer("Software Rasterizer")); }

TEST(FrameCap, ModeSwitchKeepsAWholeCap) {
    EXPECT_EQ(FrameCapForInterval(1000.0 / 60), 60);
    EXPECT_EQ(FrameCapForInterval(1000.0 / 59), 59);
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
