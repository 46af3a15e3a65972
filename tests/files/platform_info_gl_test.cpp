#include "files/platform_info.h"

#include <gtest/gtest.h>

#include "support/gl_fixture.h"

namespace vlm {
namespace {

using GlFunctionQuery = test::GlDrawing; // a window with its GL context

// Which functions a context offers is tested with the display; here the key reaches that answer with the
// function's name as the caller wrote it. No context here has GL_NV_mesh_shader, though the loader knows it.
TEST_F(GlFunctionQuery, AnswersOnlyForFunctionsTheContextOffers) {
    using Row = std::pair<const char*, const char*>;
    for (const auto& [key, answer] : {Row{"GLEXT:glClear", "1"}, Row{"glext:glClear", "1"}, Row{"GLEXT:GLCLEAR", "0"},
                                      Row{"GLEXT:glDrawMeshTasksNV", "0"}, Row{"GLEXT:", "0"}}) {
        DynString text(key);
        EXPECT_EQ(PlatformInfo(text), answer) << key;
    }
}

} // namespace
} // namespace vlm
