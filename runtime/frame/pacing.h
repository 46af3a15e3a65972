// Frame pacing: hold the program until the next frame time, sleeping while
// the deadline is far and spinning (with the message pump running) for the
// last stretch, whose length fits how precisely this system sleeps.
#pragma once

#include <functional>

namespace vlm {

// How early to wake before a deadline: the usual oversleep plus a few times
// its spread, followed as a running average over every sleep, so that one
// spike on a busy machine does not keep the program spinning for long.
class SleepMargin {
  public:
    static constexpr double kMinimum = 0.1; // ms
    static constexpr double kMaximum = 5.0; // the coarse sleep of older systems
    explicit SleepMargin(double initial = kMaximum) : average_(initial), spread_(0) {}
    double Value() const;
    // A sleep of `asked` ms took `took` ms.
    void Record(double asked, double took);

  private:
    double average_; // oversleep, ms
    double spread_;  // mean absolute deviation of the oversleep, ms
};

// Measures the margin on this system with a few 1 ms sleeps.
SleepMargin MeasureSleepMargin(const std::function<double()>& now, const std::function<void(double)>& sleep);

struct PacingServices {
    std::function<double()> now;       // ms
    std::function<void(double)> sleep; // ms, fractions honoured
    std::function<void()> pump;        // keeps the window responsive
};

// Waits until the clock has passed `nextFrameTime`, then moves it on by
// whole intervals past now (missed slots are skipped, not caught up).
// Returns the milliseconds spent waiting plus 1.
double WaitForFrameTime(double& nextFrameTime, double frameInterval, SleepMargin& margin,
                        const PacingServices& services);

} // namespace vlm
