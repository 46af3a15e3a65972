// Frame pacing: 600 frames at a cap of 60 with nothing drawn in a 640 x 480
// window. Prints the mean frame interval, its standard deviation, the
// shortest and longest frame, and the CPU share of one core (user + system
// time of the whole process over wall time). For comparison the same run
// with a fixed 5 ms spin before each deadline, the coarse-sleep rule.
// Needs a display (make bench runs it under Xvfb).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

#include "frame/clock.h"
#include "frame/display.h"
#include "frame/frame_loop.h"

namespace {

constexpr int kFrames = 600;

double CpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The coarse-sleep rule: sleep whole milliseconds until 5 ms before the
// deadline when more than 7 remain, then spin with the pump running.
void CoarsePace(vlm::Display& display) {
    display.WindowHandle->SwapBuffers();
    double now = vlm::MillisecondsNow();
    do {
        vlm::PumpMessages(display, nullptr);
        now = vlm::MillisecondsNow();
        const auto w = static_cast<long>(display.NextFrameTime - now);
        if (now + 5 < display.NextFrameTime && w > 7) {
            vlm::SleepMilliseconds(static_cast<double>(w - 5));
            now += w - 5;
        }
    } while (now <= display.NextFrameTime);
    double next = display.NextFrameTime + display.FrameInterval;
    while (next < now)
        next += display.FrameInterval;
    display.NextFrameTime = next;
}

template <typename Present> void Run(const char* name, vlm::Display& display, Present present) {
    for (int i = 0; i < 30; ++i)
        present(); // settle
    std::vector<double> stamps;
    stamps.reserve(kFrames + 1);
    const double cpu0 = CpuMilliseconds();
    stamps.push_back(vlm::MillisecondsNow());
    for (int i = 0; i < kFrames; ++i) {
        present();
        stamps.push_back(vlm::MillisecondsNow());
    }
    const double wall = stamps.back() - stamps.front();
    const double cpu = CpuMilliseconds() - cpu0;
    std::vector<double> intervals;
    for (std::size_t i = 1; i < stamps.size(); ++i)
        intervals.push_back(stamps[i] - stamps[i - 1]);
    double mean = 0;
    for (const double d : intervals)
        mean += d;
    mean /= static_cast<double>(intervals.size());
    double variance = 0;
    for (const double d : intervals)
        variance += (d - mean) * (d - mean);
    const double deviation = std::sqrt(variance / static_cast<double>(intervals.size()));
    const auto [shortest, longest] = std::minmax_element(intervals.begin(), intervals.end());
    std::printf(
        "%-22s mean %.4f ms (%+.3f %%)  sd %.3f ms  min %.3f ms  max %.3f ms  cpu %.1f %% of a core\n", name,
        mean, (mean / (1000.0 / 60) - 1) * 100, deviation, *shortest, *longest, 100.0 * cpu / wall);
    (void)display;
}

} // namespace

int main() {
    vlm::InitTimer();
    vlm::Display& display = vlm::CreateTheDisplay();
    if (!vlm::CreateDisplayWindow(display, 640, 480, 0, 60, 0, false)) {
        std::fprintf(stderr, "bench_pacing: no window (needs a display)\n");
        return 1;
    }
    std::printf("600 frames at a cap of 60 (target 16.6667 ms), nothing drawn, 640 x 480\n");
    Run("ShowFrame", display, [] { vlm::ShowFrame(); });
    display.NextFrameTime = vlm::MillisecondsNow();
    Run("coarse 5 ms spin", display, [&] { CoarsePace(display); });
    std::printf("sleep margin now %.3f ms\n", vlm::TheFrameLoop().Margin.Value());
    vlm::DestroyTheDisplay();
}
