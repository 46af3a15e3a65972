#include "values/numeric.h"

#include <cmath>
#include <limits>

namespace vlm {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;

struct Span {
    std::int64_t low, high;
};

// The integer positions a box covers along one axis; 64 bits so that no
// position or size can overflow.
Span Covered(std::int32_t at, std::int32_t extent) {
    const std::int64_t x = at, w = extent;
    if (w >= 1) return {x, x + w - 1};
    if (w == 0) return {x, x};
    return {x + w + 1, x};
}

bool Share(Span a, Span b) { return a.low <= b.high && b.low <= a.high; }

} // namespace

double SinDegrees(double x) { return std::sin(x * kRadiansPerDegree); }
double CosDegrees(double x) { return std::cos(x * kRadiansPerDegree); }
double TanDegrees(double x) { return std::tan(x * kRadiansPerDegree); }

double ArcSinDegrees(double x) {
    if (x >= 1) return 90;
    if (x <= -1) return -90;
    return std::asin(x) * kDegreesPerRadian;
}

double ArcCosDegrees(double x) {
    if (x >= 1) return 0;
    if (x <= -1) return 180;
    return std::acos(x) * kDegreesPerRadian;
}

double ArcTan2Degrees(double y, double x) { return std::atan2(y, x) * kDegreesPerRadian; }
double SquareRoot(double x) { return std::sqrt(x); }
double Power(double base, double exponent) { return std::pow(base, exponent); }
double AbsNumber(double x) { return std::fabs(x); }

std::int32_t AbsInteger(std::int32_t x) {
    // Negating in unsigned arithmetic wraps the most negative value onto
    // itself, as the processor does, instead of overflowing.
    const auto magnitude = x < 0 ? 0u - static_cast<std::uint32_t>(x) : static_cast<std::uint32_t>(x);
    return static_cast<std::int32_t>(magnitude);
}

std::int32_t IntegerModulo(std::int32_t a, std::int32_t b) {
    // b = -1 always leaves 0, and testing it first keeps the most negative
    // value by -1 from trapping.
    if (b == 0 || b == -1) return 0;
    return a % b;
}

double NumberModulo(double a, double b) { return b == 0 ? 0 : std::fmod(a, b); }

std::int32_t BoxesOverlap(std::int32_t x1, std::int32_t y1, std::int32_t w1, std::int32_t h1, std::int32_t x2,
                          std::int32_t y2, std::int32_t w2, std::int32_t h2) {
    return Share(Covered(x1, w1), Covered(x2, w2)) && Share(Covered(y1, h1), Covered(y2, h2)) ? 1 : 0;
}

std::int32_t TruncateToInteger(double x) {
    if (std::isnan(x)) return 0;
    constexpr auto kLow = std::numeric_limits<std::int32_t>::min();
    constexpr auto kHigh = std::numeric_limits<std::int32_t>::max();
    if (x <= kLow) return kLow;
    if (x >= kHigh) return kHigh;
    return static_cast<std::int32_t>(x);
}

} // namespace vlm
