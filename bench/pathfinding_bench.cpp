// FindGridPath corner to corner on random maps of 256², 512² and 1024²
// cells (costs 1..9, about 20 % blocked, weight 0.5), against the literal
// sorted-deque search of the tests (given up after a minute).
// Goals: 1024² in under 1 s; at least 20 times the literal search on 512².
#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "pathfinding/grid_path.h"
#include "pathfinding/literal_planner.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kWeight = 0.5;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

vlm::NumberArray RandomMap(int side) {
    std::mt19937 random(static_cast<unsigned>(side));
    std::uniform_int_distribution<int> cost(1, 9), percent(0, 99);
    vlm::NumberArray map;
    map.Dimension(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            map.At(x, y) = percent(random) < 20 ? 0 : cost(random);
    map.At(0, 0) = map.At(side - 1, side - 1) = 1;
    return map;
}

// Runs the literal search in a child process and gives up on it after a
// minute; its seconds (negative when given up) and whether its route is ours.
std::pair<double, bool> TimeLiteral(const vlm::NumberArray& map, const vlm::IntegerArray& ours, int side) {
    constexpr int kBudgetMilliseconds = 60'000;
    int report[2];
    if (::pipe(report) != 0) return {-1, false};
    const pid_t child = ::fork();
    if (child == 0) {
        vlm::IntegerArray literal;
        const auto start = Clock::now();
        const int n = vlm::test::LiteralFindGridPath(map, literal, kWeight, 0, 0, side - 1, side - 1);
        const double took = SecondsSince(start);
        bool same = n == ours.size(0);
        for (int i = 0; same && i < n; ++i)
            same = ours.At(i, 0) == literal.At(i, 0) && ours.At(i, 1) == literal.At(i, 1);
        const std::pair<double, bool> result{took, same};
        static_cast<void>(::write(report[1], &result, sizeof result));
        ::_exit(0);
    }
    ::close(report[1]);
    std::pair<double, bool> result{-1, false};
    pollfd done{report[0], POLLIN, 0};
    if (::poll(&done, 1, kBudgetMilliseconds) != 1 || ::read(report[0], &result, sizeof result) != sizeof result) {
        ::kill(child, SIGKILL);
    }
    ::waitpid(child, nullptr, 0);
    ::close(report[0]);
    return result;
}

} // namespace

int main() {
    bool tryLiteral = true;
    for (const int side : {256, 512, 1024}) {
        const vlm::NumberArray map = RandomMap(side);
        vlm::IntegerArray ours;
        double best = 1e300;
        int n = 0;
        for (int run = 0; run < 3; ++run) {
            const auto start = Clock::now();
            n = vlm::FindGridPath(map, ours, kWeight, 0, 0, side - 1, side - 1);
            best = std::min(best, SecondsSince(start));
        }
        std::printf("%4d x %-4d  FindGridPath %6.3f s (%d cells on the route)", side, side, best, n);
        if (!tryLiteral) {
            std::printf("  literal not run\n");
            continue;
        }
        const auto [took, same] = TimeLiteral(map, ours, side);
        if (took < 0) {
            std::printf("  literal over 60 s: speed-up over %.0f x\n", 60.0 / best);
            tryLiteral = false;
        } else {
            std::printf("  literal %7.3f s: speed-up %6.1f x, %s\n", took, took / best,
                        same ? "same route" : "ROUTES DIFFER");
        }
    }
}
