// Line entry on the screen: the player types a line over the current
// picture, shown with the current font and a blinking "_" mark, until Return.
#pragma once

#include <cstdint>

#include "values/dyn_string.h"

namespace vlm {

// The typed line (Backspace takes back a character), top-left at (x, y).
DynString InputLine(double x, double y);
// The typed line read as an integer or as a number.
std::int32_t InputLineInteger(double x, double y);
double InputLineNumber(double x, double y);

} // namespace vlm
