#include "frame/pacing.h"

#include <algorithm>
#include <cmath>

namespace vlm {

namespace {
constexpr double kWeight = 0.1;          // of each new sleep in the running figures
constexpr double kSpreads = 4.0;         // deviations of headroom
constexpr double kSlack = 0.05;          // ms added to every estimate
constexpr double kShortSleepFloor = 0.3; // ms: below this the pacing spins
constexpr int kCalibrationSleeps = 8;
} // namespace

double SleepMargin::Value() const {
    return std::clamp(average_ + kSpreads * spread_ + kSlack, kMinimum, kMaximum);
}

void SleepMargin::Record(double asked, double took) {
    const double oversleep = std::clamp(took - asked, 0.0, kMaximum);
    spread_ += kWeight * (std::abs(oversleep - average_) - spread_);
    average_ += kWeight * (oversleep - average_);
}

SleepMargin MeasureSleepMargin(const std::function<double()>& now, const std::function<void(double)>& sleep) {
    SleepMargin margin(0.0);
    for (int i = 0; i < kCalibrationSleeps; ++i) {
        const double before = now();
        sleep(1.0);
        margin.Record(1.0, now() - before);
    }
    return margin;
}

double WaitForFrameTime(double& nextFrameTime, double frameInterval, SleepMargin& margin,
                        const PacingServices& services) {
    const double t0 = services.now();
    double now = t0;
    do {
        services.pump();
        now = services.now();
        const double remaining = nextFrameTime - now;
        // Sleep to the margin before the deadline; within it, sleep half of
        // what is left while that is long enough to be worth a sleep, and
        // spin the last fraction of a millisecond.
        double asked = 0;
        if (remaining > margin.Value())
            asked = remaining - margin.Value();
        else if (remaining > kShortSleepFloor)
            asked = remaining / 2;
        if (asked > 0) {
            services.sleep(asked);
            const double after = services.now();
            margin.Record(asked, after - now);
            now = after;
        }
    } while (now <= nextFrameTime);

    double next = nextFrameTime + frameInterval;
    if (frameInterval > 0 && next < now) {
        // Missed slots are skipped in one step: counted one by one, a tiny
        // interval would take practically forever.
        next += std::ceil((now - next) / frameInterval) * frameInterval;
        next = std::max(next, now);
    }
    nextFrameTime = next;
    return (now - t0) + 1;
}

} // namespace vlm
