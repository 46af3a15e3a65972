#include <gtest/gtest.h>

#include <ctime>

#include "frame/clock.h"
#include "frame/frame_loop.h"
#include "input/input_devices.h"

namespace vlm {
namespace {

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Left Shift, held for 300 idle steps, types nothing; the wait must rest
// through those steps rather than spin, then take the A typed after them.
TEST(Waits, WaitForKeyRestsWhileAKeyThatTypesNothingIsHeld) {
    InitTimer();
    CreateTheInput().UseSource(
        MakeScriptedInput(ParseInputScript("1 keydown 42\n300 keyup 42\n301 keydown 30\n").Events));
    const double wallStart = MillisecondsNow(), cpuStart = ThreadCpuMs();
    WaitForKey();
    const double wall = MillisecondsNow() - wallStart, cpu = ThreadCpuMs() - cpuStart;
    DestroyTheInput();
    EXPECT_GE(wall, 300);
    EXPECT_LT(cpu, wall / 2);
}

} // namespace
} // namespace vlm
