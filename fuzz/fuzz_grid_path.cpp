// FindGridPath against the literal search on maps made from the input: any
// size up to 16 x 16, costs from blocked through tiny and huge to NaN and
// infinity, start and end anywhere (outside the map too), any weight, with
// and without diagonal steps. The two must give the same result and path.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "pathfinding/grid_path.h"
#include "pathfinding/literal_planner.h"

namespace {

double Cost(std::uint8_t byte) {
    constexpr double kOddCosts[] = {0.0,
                                   -1.0,
                                   1e-300,
                                   1e300,
                                   std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity()};
    if (byte < std::size(kOddCosts)) return kOddCosts[byte];
    return (byte % 16) * 0.75; // a few values only, for ties
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 7) return 0;
    const int width = 1 + data[0] % 16, height = 1 + data[1] % 16;
    // Coordinates reach one cell beyond each side.
    auto coordinate = [](std::uint8_t byte, int side) { return byte % (side + 2) - 1; };
    const int sx = coordinate(data[2], width), sy = coordinate(data[3], height);
    const int ex = coordinate(data[4], width), ey = coordinate(data[5], height);
    const double weights[] = {0.0, 0.5, 1.0, -0.5, 1.5, std::nan(""), 0.3, 0.7};
    const double weight = weights[data[6] % 8];
    const bool diagonal = data[6] & 8;
    vlm::NumberArray map;
    map.Dimension(width, height);
    for (int i = 0; i < width * height; ++i)
        map.At(i % width, i / width) = Cost(7 + i < int(size) ? data[7 + i] : 8);

    vlm::IntegerArray ours, literal;
    ours.Dimension(1, 2);
    literal.Dimension(1, 2);
    const int n = (diagonal ? vlm::FindDiagonalGridPath : vlm::FindGridPath)(map, ours, weight, sx, sy, ex, ey);
    if (n != vlm::test::LiteralFindGridPath(map, literal, weight, sx, sy, ex, ey, diagonal)) std::abort();
    if (ours.size(0) != literal.size(0)) std::abort();
    for (int i = 0; i < ours.size(0); ++i) {
        if (ours.At(i, 0) != literal.At(i, 0) || ours.At(i, 1) != literal.At(i, 1)) std::abort();
    }
    return 0;
}
