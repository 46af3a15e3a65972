#include "values/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vlm {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(Numeric, TrigonometryInDegreesAndArcsClampedToTheirDomain) {
    EXPECT_DOUBLE_EQ(SinDegrees(30), 0.5);
    EXPECT_DOUBLE_EQ(CosDegrees(60), 0.5);
    EXPECT_DOUBLE_EQ(TanDegrees(45), 1);
    EXPECT_DOUBLE_EQ(ArcTan2Degrees(1, -1), 135);
    EXPECT_DOUBLE_EQ(ArcSinDegrees(0.5), 30);
    EXPECT_DOUBLE_EQ(ArcCosDegrees(0.5), 60);
    EXPECT_EQ(ArcCosDegrees(1.5), 0);
    EXPECT_EQ(ArcCosDegrees(-7), 180);
    EXPECT_EQ(ArcSinDegrees(-2), -90);
    EXPECT_EQ(ArcSinDegrees(1), 90);
}

TEST(Numeric, PowersAbsoluteValuesAndModuloNeverTrap) {
    EXPECT_EQ(SquareRoot(81), 9);
    EXPECT_EQ(Power(9, 0.5), 3);
    EXPECT_EQ(AbsNumber(-2.5), 2.5);
    EXPECT_EQ(AbsInteger(-7), 7);
    EXPECT_EQ(AbsInteger(kMin), kMin); // wraps, as the processor does, without overflow
    // Integer modulo takes the sign of the dividend.
    EXPECT_EQ(IntegerModulo(-7, 3), -1);
    EXPECT_EQ(IntegerModulo(7, -3), 1);
    EXPECT_EQ(IntegerModulo(7, 0), 0);
    EXPECT_EQ(IntegerModulo(kMin, -1), 0);
    EXPECT_EQ(IntegerModulo(kMin, 0), 0);
    EXPECT_EQ(IntegerModulo(kMin, kMax), -1);
    EXPECT_EQ(NumberModulo(-7.5, 2), -1.5);
    EXPECT_EQ(NumberModulo(7.5, 0), 0);
}

TEST(Numeric, BoxOverlapIncludesEdges) {
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, 9, 9, 5, 5), 1);
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, 10, 0, 5, 5), 0);
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, 0, 10, 5, 5), 0);
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, -4, -4, 5, 5), 1);
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, -5, -5, 5, 5), 0);
    // Width 0 is the single position x.
    EXPECT_EQ(BoxesOverlap(9, 0, 0, 1, 0, 0, 10, 10), 1);
    EXPECT_EQ(BoxesOverlap(10, 0, 0, 1, 0, 0, 10, 10), 0);
    // Width -3 at x = 5 covers 3, 4 and 5.
    EXPECT_EQ(BoxesOverlap(5, 0, -3, 1, 3, 0, 1, 1), 1);
    EXPECT_EQ(BoxesOverlap(5, 0, -3, 1, 5, 0, 1, 1), 1);
    EXPECT_EQ(BoxesOverlap(5, 0, -3, 1, 2, 0, 1, 1), 0);
    EXPECT_EQ(BoxesOverlap(5, 0, -3, 1, 6, 0, 1, 1), 0);
    EXPECT_EQ(BoxesOverlap(0, 5, 1, -3, 0, 2, 1, 1), 0);
    EXPECT_EQ(BoxesOverlap(0, 5, 1, -3, 0, 3, 1, 1), 1);
    // At the ends of the integer range.
    EXPECT_EQ(BoxesOverlap(kMax, 0, kMax, 1, kMax, 0, 1, 1), 1);
    EXPECT_EQ(BoxesOverlap(kMin, 0, kMin, 1, kMin, 0, 1, 1), 1);
    EXPECT_EQ(BoxesOverlap(kMin, 0, kMin, 1, kMin + 1, 0, 1, 1), 0);
}

TEST(Numeric, TruncationTowardZero) {
    EXPECT_EQ(TruncateToInteger(2.9), 2);
    EXPECT_EQ(TruncateToInteger(-2.9), -2);
    EXPECT_EQ(TruncateToInteger(1e12), kMax);
    EXPECT_EQ(TruncateToInteger(-1e12), kMin);
    EXPECT_EQ(TruncateToInteger(std::numeric_limits<double>::infinity()), kMax);
    EXPECT_EQ(TruncateToInteger(std::nan("")), 0);
}

} // namespace
} // namespace vlm
