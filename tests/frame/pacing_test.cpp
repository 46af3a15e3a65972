#include "frame/pacing.h"

#include <gtest/gtest.h>

namespace vlm {
namespace {

// A clock that only moves when the pacing sleeps or pumps; sleeps overshoot
// by a fixed amount, as a real system's do.
struct FakeTime {
    double now = 1000.0;
    double oversleep = 0.0;
    double pumpCost = 0.01;
    int sleeps = 0;
    int pumps = 0;
    double slept = 0.0;

    PacingServices Services() {
        return {[this] { return now; },
                [this](double ms) {
                    ++sleeps;
                    slept += ms;
                    now += ms + oversleep;
                },
                [this] {
                    ++pumps;
                    now += pumpCost;
                }};
    }
};

TEST(Pacing, WaitsPastTheDeadlineAndMovesItOneInterval) {
    FakeTime time;
    SleepMargin margin(0.5);
    double next = 1016.0;
    const double waited = WaitForFrameTime(next, 16.0, margin, time.Services());
    EXPECT_LT(time.now, 1016.0 + 0.1); // woke early and spun the rest
    EXPECT_DOUBLE_EQ(next, 1032.0);
    EXPECT_NEAR(waited, time.now - 1000.0 + 1, 1e-9);
    EXPECT_LE(time.sleeps, 3); // one long sleep, then short ones near the deadline
    EXPECT_GT(time.slept, 15.0);
    EXPECT_GT(time.pumps, 1); // the last stretch keeps the messages flowing
}

TEST(Pacing, NeverReturnsBeforeTheDeadlineEvenWhenSleepsOvershoot) {
    FakeTime time;
    time.oversleep = 3.0;
    SleepMargin margin(0.1);
    double next = 1016.0;
    for (int frame = 0; frame < 50; ++frame) {
        const double deadline = next;
        WaitForFrameTime(next, 16.0, margin, time.Services());
        EXPECT_GT(time.now, deadline);
    }
    // The margin has learnt the overshoot, so frames stop running late.
    EXPECT_GE(margin.Value(), 3.0);
    const double before = next;
    WaitForFrameTime(next, 16.0, margin, time.Services());
    EXPECT_LT(time.now, before + 0.1);
}

TEST(Pacing, ALongFrameSkipsTheMissedSlotsAtOnce) {
    FakeTime time;
    SleepMargin margin(0.5);
    double next = 1016.0;
    time.now = 1016.0 + 50.0; // the frame took 50 ms past its slot
    const double waited = WaitForFrameTime(next, 16.0, margin, time.Services());
    EXPECT_EQ(time.sleeps, 0);
    EXPECT_LT(waited, 1.1);         // returns without waiting
    EXPECT_DOUBLE_EQ(next, 1080.0); // the first slot of the grid after now

    time.now = 1.2e7;                                      // long after the last deadline, late in a long run
    WaitForFrameTime(next, 1e-7, margin, time.Services()); // would count 1e14 slots one by one
    EXPECT_GE(next, time.now);
    EXPECT_LT(next, time.now + 1.0);
}

TEST(SleepMargin, FollowsTheUsualOversleepAndItsSpreadAndASpikeFades) {
    SleepMargin margin(0.0);
    for (int i = 0; i < 200; ++i)
        margin.Record(10.0, 10.02);
    EXPECT_NEAR(margin.Value(), SleepMargin::kMinimum, 1e-9); // precise sleeps: a tiny margin
    for (int i = 0; i < 200; ++i)
        margin.Record(10.0, 10.5);
    EXPECT_GT(margin.Value(), 0.5); // always more than the usual oversleep
    EXPECT_LT(margin.Value(), 0.7);
    // Sleeps that scatter earn more headroom than steady ones.
    SleepMargin scattered(0.0);
    for (int i = 0; i < 200; ++i)
        scattered.Record(10.0, i % 2 ? 10.0 : 11.0);
    EXPECT_GT(scattered.Value(), 1.0 + 0.5);
    // A spike fades, and no run of long oversleeps lifts the margin past its top.
    const double usual = margin.Value();
    margin.Record(10.0, 14.0);
    EXPECT_GT(margin.Value(), usual);
    for (int i = 0; i < 200; ++i)
        margin.Record(10.0, 10.5);
    EXPECT_NEAR(margin.Value(), usual, 0.01);
    for (int i = 0; i < 100; ++i)
        margin.Record(1.0, 100.0);
    EXPECT_LE(margin.Value(), SleepMargin::kMaximum);
}

TEST(SleepMargin, MeasuredFromShortSleeps) {
    FakeTime time;
    const SleepMargin margin = MeasureSleepMargin([&] { return time.now; }, [&](double ms) { time.now += ms + 0.4; });
    EXPECT_GT(margin.Value(), 0.4);
    EXPECT_LT(margin.Value(), 1.0);
}

} // namespace
} // namespace vlm
