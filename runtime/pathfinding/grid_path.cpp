#include "pathfinding/grid_path.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "files/error_state.h"
#include "pathfinding/planner.h"

namespace vlm {

namespace {

std::int32_t WritePath(const Node* goal, IntegerArray& path) {
    std::int32_t n = 0;
    for (const Node* node = goal; node; node = node->parent)
        ++n;
    path.Dimension(n, 2);
    std::int32_t i = n;
    for (const Node* node = goal; node; node = node->parent) {
        --i;
        path.At(i, 0) = node->x;
        path.At(i, 1) = node->y;
    }
    return n;
}

std::int32_t FindPath(const NumberArray& costs, IntegerArray& path, double weight, std::int32_t startX,
                      std::int32_t startY, std::int32_t endX, std::int32_t endY, bool diagonalMoves) {
    PlannerParameters parameters;
    parameters.startX = startX;
    parameters.startY = startY;
    parameters.endX = endX;
    parameters.endY = endY;
    parameters.diagonalCost = true;
    parameters.diagonalMoves = diagonalMoves;
    parameters.weight = static_cast<float>(std::isnan(weight) ? 0.0 : std::clamp(weight, 0.0, 1.0));
    parameters.width = costs.size(0);
    parameters.height = costs.size(1);
    parameters.costs = costs.data();
    try {
        AStarPlanner planner;
        if (!planner.SetUp(parameters)) return 0;
        planner.Reset();
        if (!planner.Search()) {
            path.Dimension(0);
            return 0;
        }
        const std::int32_t n = WritePath(planner.Goal(), path);
        planner.Release();
        return n;
    } catch (const std::bad_alloc&) {
        // A map too large for the search's own tables ends like any array
        // that does not fit.
        RaiseRuntimeError(kErrorOutOfMemory);
    }
}

} // namespace

std::int32_t FindGridPath(const NumberArray& costs, IntegerArray& path, double weight, std::int32_t startX,
                          std::int32_t startY, std::int32_t endX, std::int32_t endY) {
    return FindPath(costs, path, weight, startX, startY, endX, endY, false);
}

std::int32_t FindDiagonalGridPath(const NumberArray& costs, IntegerArray& path, double weight, std::int32_t startX,
                                  std::int32_t startY, std::int32_t endX, std::int32_t endY) {
    return FindPath(costs, path, weight, startX, startY, endX, endY, true);
}

} // namespace vlm
