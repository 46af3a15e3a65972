#include "pathfinding/grid_path.h"

#include <gtest/gtest.h>

#include <queue>
#include <random>
#include <vector>

#include "pathfinding/literal_planner.h"

namespace vlm {
namespace {

NumberArray Map(int width, int height, std::initializer_list<double> costs) {
    NumberArray map;
    map.Dimension(width, height);
    int i = 0;
    for (double cost : costs) {
        map.At(i % width, i / width) = cost;
        ++i;
    }
    return map;
}

NumberArray Uniform(int width, int height) {
    NumberArray map;
    map.Dimension(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            map.At(x, y) = 3;
    return map;
}

std::vector<std::pair<int, int>> Cells(const IntegerArray& path) {
    std::vector<std::pair<int, int>> cells;
    for (int i = 0; i < path.size(0); ++i)
        cells.emplace_back(path.At(i, 0), path.At(i, 1));
    return cells;
}

using Route = std::vector<std::pair<int, int>>;

NumberArray Detour() { return Map(3, 3, {1, 9, 9, 1, 9, 9, 1, 1, 1}); }
const Route kCheap = {{0, 0}, {0, 1}, {0, 2}, {1, 2}, {2, 2}};
const Route kDirect = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}};

TEST(GridPath, Outcomes) {
    struct Case {
        const char* name;
        NumberArray map;
        int sx, sy, ex, ey;
        double weight;
        int result;
        Route route; // {{-1, -1}}: the path array as it was
    };
    const Route untouched = {{-1, -1}};
    const Case cases[] = {
        {"start equal to end", Uniform(3, 3), 1, 1, 1, 1, 0.5, 0, untouched},
        {"start outside", Uniform(3, 3), -1, 0, 2, 2, 0.5, 0, untouched},
        {"end outside", Uniform(3, 3), 0, 0, 3, 0, 0.5, 0, untouched},
        {"one-dimensional map", Map(4, 0, {1, 1, 1, 1}), 0, 0, 3, 0, 0.5, 0, untouched},
        {"blocked end", Map(3, 1, {1, 1, 0}), 0, 0, 2, 0, 0.5, 0, {}},
        {"all blocked", Map(2, 2, {0, -1, -2, 0}), 0, 0, 1, 1, 0.5, 0, {}},
        {"walled off", Map(3, 2, {1, -1, 1, 1, 0, 1}), 0, 0, 2, 0, 0.5, 0, {}},
        {"1 x 2", Map(1, 2, {1, 1}), 0, 0, 0, 1, 0.5, 2, {{0, 0}, {0, 1}}},
        {"blocked start is left", Map(3, 1, {0, 5, 5}), 0, 0, 2, 0, 0.5, 3, {{0, 0}, {1, 0}, {2, 0}}},
        // Equal costs: right comes before down in the neighbour order, and
        // among equal f the node that came first is taken first.
        {"uniform, weight 0.5", Uniform(4, 3), 0, 0, 3, 2, 0.5, 6, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}}},
        {"uniform, back up", Uniform(4, 3), 3, 2, 0, 0, 0.5, 6, {{3, 2}, {3, 1}, {3, 0}, {2, 0}, {1, 0}, {0, 0}}},
        // Weight 0 keeps to the cheap left column and bottom row, weight 1
        // heads for the end through the dear cells.
        {"weight 0", Detour(), 0, 0, 2, 2, 0.0, 5, kCheap},
        {"weight 1", Detour(), 0, 0, 2, 2, 1.0, 5, kDirect},
        {"weight below 0 is 0", Detour(), 0, 0, 2, 2, -4.0, 5, kCheap},
        {"weight above 1 is 1", Detour(), 0, 0, 2, 2, 7.0, 5, kDirect},
        {"costs beyond float", Map(3, 3, {1, 1e300, 1e300, 1e-300, 1e300, 1e300, 1, 1e-300, 1}), 0, 0, 2, 2, 0.0, 5,
         kCheap},
    };
    for (const Case& c : cases) {
        IntegerArray path;
        path.Dimension(1, 2);
        path.At(0, 0) = path.At(0, 1) = -1;
        EXPECT_EQ(FindGridPath(c.map, path, c.weight, c.sx, c.sy, c.ex, c.ey), c.result) << c.name;
        EXPECT_EQ(Cells(path), c.route) << c.name;
    }
}

// Dijkstra over the normalised costs (cost / largest + 1; the start free).
double LeastCost(const NumberArray& map, int sx, int sy, int ex, int ey) {
    const int width = map.size(0), height = map.size(1);
    double largest = 0;
    for (int i = 0; i < width * height; ++i)
        largest = std::max(largest, map.data()[i]);
    std::vector<double> best(static_cast<std::size_t>(width * height), 1e300);
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    best[static_cast<std::size_t>(sy * width + sx)] = 0;
    queue.emplace(0, sy * width + sx);
    while (!queue.empty()) {
        const auto [d, cell] = queue.top();
        queue.pop();
        if (d > best[static_cast<std::size_t>(cell)]) continue;
        const int x = cell % width, y = cell / width;
        for (const auto& [nx, ny] : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}}) {
            if (nx < 0 || ny < 0 || nx >= width || ny >= height || map.At(nx, ny) <= 0) continue;
            const double next = d + static_cast<float>(map.At(nx, ny)) / static_cast<float>(largest) + 1.0;
            if (next < best[static_cast<std::size_t>(ny * width + nx)]) {
                best[static_cast<std::size_t>(ny * width + nx)] = next;
                queue.emplace(next, ny * width + nx);
            }
        }
    }
    return best[static_cast<std::size_t>(ey * width + ex)];
}

// Random maps of 1..48 cells a side: some with few distinct costs (many
// ties), blocked cells from none to half, any start and end.
NumberArray RandomMap(std::mt19937& random) {
    std::uniform_int_distribution<int> side(1, 48), percent(0, 99), few(1, 3);
    std::uniform_real_distribution<double> cost(0.01, 10.0);
    const int blocked = percent(random) / 2;
    const bool ties = percent(random) < 50;
    NumberArray map;
    map.Dimension(side(random), side(random));
    for (int y = 0; y < map.size(1); ++y)
        for (int x = 0; x < map.size(0); ++x)
            map.At(x, y) = percent(random) < blocked ? -percent(random) % 2 : ties ? few(random) : cost(random);
    return map;
}

TEST(GridPath, SameRoutesAsTheLiteralSearch) {
    std::mt19937 random(12);
    const double weights[] = {-0.5, 0.0, 0.25, 0.5, 0.6, 0.75, 0.9, 1.0, 1.5};
    int found = 0;
    for (int run = 0; run < 4000; ++run) {
        const NumberArray map = RandomMap(random);
        std::uniform_int_distribution<int> x(0, map.size(0) - 1), y(0, map.size(1) - 1);
        const int sx = x(random), sy = y(random), ex = x(random), ey = y(random);
        const double weight = weights[run % std::size(weights)];
        const bool diagonal = run % 3 == 0;
        IntegerArray ours, literal;
        const int n = (diagonal ? FindDiagonalGridPath : FindGridPath)(map, ours, weight, sx, sy, ex, ey);
        ASSERT_EQ(n, test::LiteralFindGridPath(map, literal, weight, sx, sy, ex, ey, diagonal)) << "run " << run;
        ASSERT_EQ(Cells(ours), Cells(literal)) << "run " << run;
        found += n > 0;
    }
    EXPECT_GT(found, 2000); // most runs found a route to compare
}

TEST(GridPath, WeightZeroFindsTheLeastCost) {
    std::mt19937 random(7);
    int found = 0;
    for (int run = 0; run < 500; ++run) {
        const NumberArray map = RandomMap(random);
        const int ex = map.size(0) - 1, ey = map.size(1) - 1;
        IntegerArray path;
        if (FindGridPath(map, path, 0.0, 0, 0, ex, ey) == 0) continue;
        ++found;
        double largest = 0, cost = 0;
        for (int i = 0; i < map.size(0) * map.size(1); ++i)
            largest = std::max(largest, map.data()[i]);
        for (int i = 1; i < path.size(0); ++i)
            cost += static_cast<float>(map.At(path.At(i, 0), path.At(i, 1))) / static_cast<float>(largest) + 1.0;
        EXPECT_NEAR(cost, LeastCost(map, 0, 0, ex, ey), 1e-4 * cost) << "run " << run;
    }
    EXPECT_GT(found, 200);
}

} // namespace
} // namespace vlm
