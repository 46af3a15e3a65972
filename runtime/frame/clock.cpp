#include "frame/clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/clock.h"

namespace vlm {

namespace {
ClockState theClock;
} // namespace

ClockState& TheClock() { return theClock; }

void InitTimer() {
    theClock.TimerIsHighResolution = false;
    const std::int64_t frequency = platform::CounterFrequency();
    if (frequency > 0) {
        theClock.CounterFrequency = static_cast<double>(frequency);
        theClock.TimerIsHighResolution = true;
    }
}

double MillisecondsNow() {
    if (!theClock.TimerIsHighResolution) return platform::TickCount();
    // Split the count so that the multiplication by 1000 cannot overflow.
    const std::int64_t count = platform::CounterNow();
    const auto frequency = static_cast<std::int64_t>(theClock.CounterFrequency);
    const std::int64_t whole = count / frequency;
    const std::int64_t rest = count % frequency;
    return static_cast<double>(whole) * 1000.0 + static_cast<double>(rest * 1000) / theClock.CounterFrequency;
}

double ElapsedMilliseconds() { return MillisecondsNow() - theClock.StartTime; }

double FrameDuration() {
    const double d = theClock.LastFrameStart - theClock.PreviousFrameStart;
    return d > 0 ? d : 1.0;
}

void SleepMilliseconds(double ms) {
    // At most what the microsecond count can hold (about 292,000 years).
    const double whole = std::min(std::trunc(ms), 9.2e12);
    if (whole > 0) platform::SleepMicroseconds(static_cast<std::int64_t>(whole) * 1000);
}

} // namespace vlm
