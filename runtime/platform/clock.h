// The platform's monotonic counter and sleep.
#pragma once

#include <cstdint>

namespace vlm::platform {

// Counts per second of the high-resolution counter; 0 when there is none.
std::int64_t CounterFrequency();
std::int64_t CounterNow();
// Milliseconds since some fixed point, for when there is no counter.
std::uint32_t TickCount();
void SleepMicroseconds(std::int64_t microseconds);

} // namespace vlm::platform
