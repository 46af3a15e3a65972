// Grid path finding for programs: a route over a grid of cell costs.
#pragma once

#include <cstdint>

#include "values/dyn_array.h"

namespace vlm {

// A route from the start cell to the end cell over `costs`, a 2-D number
// array of the cost of entering each cell (x first; a cost of 0 or less
// blocks the cell). `weight` runs from 0 (least total cost) to 1 (straight
// for the end); diagonal steps are not taken. On success `path` becomes
// [n][2] (x, y) from start to end and n is returned. No route: `path`
// becomes empty, 0. A cell outside the map or start = end: 0, `path` as it was.
std::int32_t FindGridPath(const NumberArray& costs, IntegerArray& path, double weight, std::int32_t startX,
                          std::int32_t startY, std::int32_t endX, std::int32_t endY);
// The same search with the four diagonal neighbours as well; a diagonal step
// costs the entered cell times 1.4142137.
std::int32_t FindDiagonalGridPath(const NumberArray& costs, IntegerArray& path, double weight, std::int32_t startX,
                                  std::int32_t startY, std::int32_t endX, std::int32_t endY);

} // namespace vlm
