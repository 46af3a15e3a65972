// Polling for tests that watch another process or thread.
#pragma once

#include <chrono>
#include <thread>

namespace vlm::test {

// True once condition() holds, false when it still does not after timeout.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace vlm::test
