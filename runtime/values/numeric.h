// The numeric helpers that program code calls: trigonometry in degrees,
// safe modulo, absolute values, box overlap and number-to-integer truncation.
#pragma once

#include <cstdint>

namespace vlm {

double SinDegrees(double x);
double CosDegrees(double x);
double TanDegrees(double x);
double ArcSinDegrees(double x);         // 90 for x >= 1, -90 for x <= -1
double ArcCosDegrees(double x);         // 0 for x >= 1, 180 for x <= -1
double ArcTan2Degrees(double y, double x);
double SquareRoot(double x);            // not a number for x < 0
double Power(double base, double exponent);
double AbsNumber(double x);
std::int32_t AbsInteger(std::int32_t x); // the most negative value stays itself
// a % b with the sign of a; 0 when b is 0 (and for the most negative value by -1).
std::int32_t IntegerModulo(std::int32_t a, std::int32_t b);
double NumberModulo(double a, double b); // fmod; 0 when b is 0
// 1 when two boxes share a position on both axes, edges included. A box
// covers x..x+w-1 for w >= 1, x alone for w = 0 and x+w+1..x for w < 0.
std::int32_t BoxesOverlap(std::int32_t x1, std::int32_t y1, std::int32_t w1, std::int32_t h1, std::int32_t x2,
                          std::int32_t y2, std::int32_t w2, std::int32_t h2);
// A number as an integer, truncated toward zero; beyond the integer range it
// saturates, and not-a-number gives 0.
std::int32_t TruncateToInteger(double x);

} // namespace vlm
