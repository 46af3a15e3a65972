#include "files/platform_info.h"

#include <gtest/gtest.h>

#include "frame/display.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

DynString Ask(const char* key) {
    DynString text(key);
    return PlatformInfo(text);
}

class GlFunctionQuery : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateDisplayWindow(CreateTheDisplay(), 64, 64, 0, 60, 0, false)); }
    void TearDown() override { DestroyTheDisplay(); }
    test::TempFolder temp_;
};

TEST_F(GlFunctionQuery, AnswersForFunctionsTheContextOffers) {
    EXPECT_EQ(Ask("GLEXT:glClear"), "1");
    EXPECT_EQ(Ask("GLEXT:glActiveTextureARB"), "1"); // Mesa offers GL_ARB_multitexture
    EXPECT_EQ(Ask("GLEXT:glMadeUpFunctionXYZ"), "0");
    EXPECT_EQ(Ask("GLEXT:"), "0");
}

TEST_F(GlFunctionQuery, AsksForTheNameAsTheCallerWroteIt) {
    EXPECT_EQ(Ask("glext:glClear"), "1");
    EXPECT_EQ(Ask("GLEXT:GLCLEAR"), "0");
}

} // namespace
} // namespace vlm
