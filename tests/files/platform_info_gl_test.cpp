#include "files/platform_info.h"

#include <gtest/gtest.h>

#include "support/gl_fixture.h"

namespace vlm {
namespace {

DynString Ask(const char* key) {
    DynString text(key);
    return PlatformInfo(text);
}

using GlFunctionQuery = test::GlDrawing; // a window with its GL context

TEST_F(GlFunctionQuery, AnswersOnlyForFunctionsTheContextOffers) {
    EXPECT_EQ(Ask("GLEXT:glClear"), "1");
    EXPECT_EQ(Ask("glext:glClear"), "1"); // the key's name is taken as the caller wrote it
    EXPECT_EQ(Ask("GLEXT:GLCLEAR"), "0");
    EXPECT_EQ(Ask("GLEXT:glActiveTextureARB"), "1"); // Mesa offers GL_ARB_multitexture
    EXPECT_EQ(Ask("GLEXT:glActiveTexture"), "1");    // core since GL 1.3
    EXPECT_EQ(Ask("GLEXT:glDrawMeshTasksNV"), "0");  // no context here has GL_NV_mesh_shader
    EXPECT_EQ(Ask("GLEXT:glMadeUpFunctionXYZ"), "0");
    EXPECT_EQ(Ask("GLEXT:"), "0");
}

} // namespace
} // namespace vlm
