#include "platform/clock.h"

#include <cerrno>
#include <ctime>
#include <sys/prctl.h>

namespace vlm::platform {

std::int64_t CounterFrequency() {
    timespec resolution{};
    return clock_getres(CLOCK_MONOTONIC, &resolution) == 0 ? 1'000'000'000 : 0;
}

std::int64_t CounterNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::uint32_t TickCount() { return static_cast<std::uint32_t>(CounterNow() / 1'000'000); }

void SleepMicroseconds(std::int64_t microseconds) {
    if (microseconds <= 0) return;
    // The default timer slack lets a sleep run 50 us late; the frame pacing
    // wants its wake-ups on time.
    static const bool precise = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)precise;
    timespec wait{static_cast<time_t>(microseconds / 1'000'000), static_cast<long>(microseconds % 1'000'000) * 1000};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

} // namespace vlm::platform
