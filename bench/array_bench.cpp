// Checked element access against plain pointer reads, and the game's flood
// sweep over whole levels; prints the figures.
#include <chrono>
#include <cstdio>

#include "game/board.h"
#include "values/dyn_array.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <class Body>
double BestOf(int runs, Body body) {
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        body();
        const double took = MillisecondsSince(start);
        if (took < best) best = took;
    }
    return best;
}

void CheckedAccess() {
    constexpr int kSide = 1000;
    vlm::NumberArray grid;
    grid.Dimension(kSide, kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) grid.At(x, y) = x ^ y;

    volatile double sink = 0;
    const double checked = BestOf(5, [&] {
        double sum = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) sum += grid.At(x, y);
        sink = sum;
    });
    const double plain = BestOf(5, [&] {
        double sum = 0;
        const double* cells = grid.data();
        for (int i = 0; i < kSide * kSide; ++i) sum += cells[i];
        sink = sum;
    });
    static_cast<void>(sink);
    constexpr double kElements = double(kSide) * kSide;
    std::printf("checked 2-D reads: %.2f ns per element (plain pointer reads: %.2f ns)\n",
                checked * 1e6 / kElements, plain * 1e6 / kElements);
}

void GameLevels() {
    // A player that cycles through the colours, one choice every 20 frames,
    // until each level is won or lost; levels 1 to 30.
    splosh::GameGlobals game;
    splosh::CreateGameArrays(game);
    long sweeps = 0;
    const double took = BestOf(3, [&] {
        sweeps = 0;
        for (int level = 1; level <= 30; ++level) {
            game.Level = level;
            splosh::NewLevel(game);
            for (int frame = 0; game.PlayState == splosh::Playing; ++frame) {
                if (frame % 20 == 19) splosh::ChooseColour(game, (frame / 20) % 6);
                splosh::RulesFrame(game);
                ++sweeps;
            }
        }
    });
    std::printf("game rules: %ld frames over 30 levels in %.2f ms (%.2f us per frame)\n", sweeps, took,
                took * 1e3 / double(sweeps));
}

} // namespace

int main() {
    CheckedAccess();
    GameLevels();
}
