#include "platform/process.h"

#include <gtest/gtest.h>

namespace vlm::platform {
namespace {

TEST(Process, RunForOutputGivesWhatAProgramOnThePathWrote) {
    const std::string printing[] = {"printf", "first\\nsecond"};
    EXPECT_EQ(RunForOutput(printing), "first\nsecond");
    const std::string failing[] = {"false"};
    EXPECT_FALSE(RunForOutput(failing).has_value()); // ended with 1
    const std::string missing[] = {"no-such-program-here"};
    EXPECT_FALSE(RunForOutput(missing).has_value());
    EXPECT_FALSE(RunForOutput({}).has_value());
    // Programs are found on the path.
    EXPECT_TRUE(ProgramOnPath("sh"));
    EXPECT_FALSE(ProgramOnPath("no-such-program-here"));
    EXPECT_FALSE(ProgramOnPath(""));
}

} // namespace
} // namespace vlm::platform
