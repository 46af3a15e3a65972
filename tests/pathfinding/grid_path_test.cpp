#include "pathfinding/grid_path.h"

#include <gtest/gtest.h>

#include <queue>
#include <random>
#include <vector>

#include "pathfinding/literal_planner.h"

namespace vlm {
namespace {

using Route = std::vector<std::pair<int, int>>;

// Costs row by row; a map without them costs 3 everywhere.
NumberArray Map(int width, int height, std::initializer_list<double> costs = {}) {
    NumberArray map;
    map.Dimension(width, height);
    for (int i = 0; i < width * std::max(height, 1); ++i)
        map.At(i % width, i / width) = costs.size() ? costs.begin()[i] : 3;
    return map;
}

Route Cells(const IntegerArray& path) {
    Route cells;
    for (int i = 0; i < path.size(0); ++i)
        cells.emplace_back(path.At(i, 0), path.At(i, 1));
    return cells;
}

const Route kCheap = {{0, 0}, {0, 1}, {0, 2}, {1, 2}, {2, 2}};

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
        {"start equal to end", Map(3, 3), 1, 1, 1, 1, 0.5, 0, untouched},
        {"start outside", Map(3, 3), -1, 0, 2, 2, 0.5, 0, untouched},
        {"end outside", Map(3, 3), 0, 0, 3, 0, 0.5, 0, untouched},
        {"one-dimensional map", Map(4, 0, {1, 1, 1, 1}), 0, 0, 3, 0, 0.5, 0, untouched},
        {"blocked end", Map(3, 1, {1, 1, 0}), 0, 0, 2, 0, 0.5, 0, {}},
        {"all blocked", Map(2, 2, {0, -1, -2, 0}), 0, 0, 1, 1, 0.5, 0, {}},
        {"1 x 2", Map(1, 2, {1, 1}), 0, 0, 0, 1, 0.5, 2, {{0, 0}, {0, 1}}},
        {"blocked start is left", Map(3, 1, {0, 5, 5}), 0, 0, 2, 0, 0.5, 3, {{0, 0}, {1, 0}, {2, 0}}},
        // At weight 0 the cheap left column and bottom row, however far the costs go.
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

// Random maps of 1..48 cells a side: some with few distinct costs (many
// ties), blocked cells from none to half.
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

// The cost of entering each cell as the search sees it; 0 for a wall.
std::vector<double> Normalised(const NumberArray& map) {
    const double* costs = map.data();
    const int n = map.size(0) * map.size(1);
    const double largest = *std::max_element(costs, costs + n);
    std::vector<double> normalised;
    for (int i = 0; i < n; ++i)
        normalised.push_back(costs[i] > 0 ? static_cast<float>(costs[i]) / static_cast<float>(largest) + 1.0 : 0);
    return normalised;
}

// Dijkstra between two cells over the four neighbours.
double LeastCost(const std::vector<double>& cost, int width, int from, int to) {
    const int n = static_cast<int>(cost.size());
    std::vector<double> best(cost.size(), 1e300);
    std::priority_queue<std::pair<double, int>, std::vector<std::pair<double, int>>, std::greater<>> queue;
    best[from] = 0;
    queue.emplace(0, from);
    while (!queue.empty()) {
        const auto [d, cell] = queue.top();
        queue.pop();
        if (d > best[cell]) continue;
        for (const auto& [next, sideways] :
             {std::pair{cell + 1, true}, {cell - 1, true}, {cell + width, false}, {cell - width, false}}) {
            if (next < 0 || next >= n || cost[next] == 0 || (sideways && next / width != cell / width)) continue;
            if (d + cost[next] < best[next]) queue.emplace(best[next] = d + cost[next], next);
        }
    }
    return best[to];
}

// Any start and end, weights beyond both ends, with and without diagonal
// steps: the route of the literal search; with weight 0 and straight steps,
// also a route of the least total cost.
TEST(GridPath, SameRoutesAsTheLiteralSearchAndTheLeastCostAtWeightZero) {
    std::mt19937 random(12);
    const double weights[] = {-0.5, 0.0, 0.25, 0.5, 0.6, 0.75, 0.9, 1.0, 1.5};
    int found = 0, leastCostChecked = 0;
    for (int run = 0; run < 4000; ++run) {
        const NumberArray map = RandomMap(random);
        const int width = map.size(0);
        std::uniform_int_distribution<int> x(0, width - 1), y(0, map.size(1) - 1);
        const int sx = x(random), sy = y(random), ex = x(random), ey = y(random);
        const double weight = weights[run % std::size(weights)];
        const bool diagonal = run % 3 == 0;
        IntegerArray ours, literal;
        const int n = (diagonal ? FindDiagonalGridPath : FindGridPath)(map, ours, weight, sx, sy, ex, ey);
        ASSERT_EQ(n, test::LiteralFindGridPath(map, literal, weight, sx, sy, ex, ey, diagonal)) << "run " << run;
        ASSERT_EQ(Cells(ours), Cells(literal)) << "run " << run;
        found += n > 0;
        if (n == 0 || weight != 0 || diagonal) continue;
        ++leastCostChecked;
        const std::vector<double> cost = Normalised(map);
        double total = 0;
        for (int i = 1; i < n; ++i)
            total += cost[ours.At(i, 1) * width + ours.At(i, 0)];
        EXPECT_NEAR(total, LeastCost(cost, width, sy * width + sx, ey * width + ex), 1e-4 * total) << "run " << run;
    }
    EXPECT_GT(found, 2000); // most runs found a route to compare
    EXPECT_GT(leastCostChecked, 200);
}

} // namespace
} // namespace vlm
