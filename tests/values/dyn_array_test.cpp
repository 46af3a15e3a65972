#include "values/dyn_array.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <sys/resource.h>
#include <vector>

#include "support/program_end.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

template <class Array> std::vector<typename Array::Element> Contents(const Array& a) {
    return {a.data(), a.data() + a.count()};
}

template <class Array>
std::ptrdiff_t SlotOf(Array& a, std::int32_t i0, std::int32_t i1 = 0, std::int32_t i2 = 0, std::int32_t i3 = 0) {
    return &a.At(i0, i1, i2, i3) - a.data();
}

TEST(DynArray, ShapeAndLayoutFirstIndexFastest) {
    NumberArray a;
    a.Dimension(4, 3);
    EXPECT_EQ(a.dimensions(), 2);
    EXPECT_EQ(a.count(), 12);
    EXPECT_EQ(SlotOf(a, 3, 2), 11);
    EXPECT_EQ(SlotOf(a, -1, 0), 3); // a negative first index counts from the end
    EXPECT_EQ(SlotOf(a, -4, 2), 8);
    IntegerArray cube;
    cube.Dimension(2, 3, 4, 5);
    EXPECT_EQ(SlotOf(cube, 1, 2, 3, 4), 1 + 2 * 2 + 6 * 3 + 24 * 4);
    a.Dimension(2, 0, 0, 5); // unused dimensions count as one
    EXPECT_EQ(a.dimensions(), 4);
    EXPECT_EQ(a.count(), 10);
    a.Dimension(-3, 2);
    EXPECT_EQ(a.count(), 0);
}

TEST(DynArray, DimensionResetsEverySlotAndRedimensionOfAnEmptyArrayJustDimensions) {
    NumberArray a;
    a.Dimension(100);
    for (int i = 0; i < 100; ++i)
        a.At(i) = i + 1;
    a.Dimension(10); // a smaller shape in the same buffer
    EXPECT_EQ(Contents(a), std::vector<double>(10, 0.0));
    NumberArray never;
    never.Redimension(3);
    EXPECT_EQ(Contents(never), std::vector<double>(3, 0.0));
}

// Random shapes, sizes -1..4 in every dimension, against the rule itself:
// an element keeps its value exactly when its indices lie inside both shapes.
TEST(DynArray, RedimensionKeepsExactlyTheElementsInsideBothShapes) {
    using Shape = std::array<std::int32_t, 4>;
    // Index i is inside a dimension of this size (unused dimensions take 0).
    const auto inside = [](std::int32_t i, std::int32_t size) { return size > 0 ? i < size : size == 0 && i == 0; };
    const auto insideShape = [&](const Shape& index, const Shape& shape) {
        if (shape[0] < 1) return false;
        for (int d = 0; d < 4; ++d)
            if (!inside(index[d], shape[d])) return false;
        return true;
    };
    const auto valueAt = [](const Shape& index) {
        return 1 + index[0] + 10 * index[1] + 100 * index[2] + 1000 * index[3];
    };

    std::mt19937 random(2026);
    std::uniform_int_distribution<std::int32_t> size(-1, 4);
    for (int round = 0; round < 400; ++round) {
        const Shape from = {size(random), size(random), size(random), size(random)};
        const Shape to = {size(random), size(random), size(random), size(random)};
        IntegerArray a;
        a.Dimension(from[0], from[1], from[2], from[3]);
        // Every index 0..3 in each dimension, the first varying fastest.
        const auto index = [](int n) { return Shape{n & 3, n >> 2 & 3, n >> 4 & 3, n >> 6 & 3}; };
        for (int n = 0; n < 256; ++n) {
            const Shape i = index(n);
            if (insideShape(i, from)) a.At(i[0], i[1], i[2], i[3]) = valueAt(i);
        }
        a.Redimension(to[0], to[1], to[2], to[3]);
        for (int n = 0; n < 256; ++n) {
            const Shape i = index(n);
            if (!insideShape(i, to)) continue;
            ASSERT_EQ(a.At(i[0], i[1], i[2], i[3]), insideShape(i, from) ? valueAt(i) : 0)
                << "from " << ::testing::PrintToString(from) << " to " << ::testing::PrintToString(to);
        }
    }
}

TEST(DynArray, ListsBuildOneDimensionalArrays) {
    ByteArray b;
    b.BuildFromList(std::vector<std::uint8_t>{0xFF, 0x80});
    EXPECT_EQ(Contents(b), (std::vector<std::uint8_t>{0xFF, 0x80}));
    IntegerArray a;
    a.BuildFromList(std::vector<std::int32_t>{-1, 0, 2147483647});
    EXPECT_EQ(a.dimensions(), 1);
    EXPECT_EQ(Contents(a), (std::vector<std::int32_t>{-1, 0, 2147483647}));
    a.BuildFromList({});
    EXPECT_EQ(a.count(), 0);
}

TEST(DynArray, CopiesAreDeepAndMovesCarryTheShape) {
    NumberArray small; // in the inline store
    small.BuildFromList(std::vector<double>{4, 5, 6});
    NumberArray smallCopy = small;
    smallCopy.At(0) = 1;
    EXPECT_EQ(small.At(0), 4);
    StringArray names; // on the heap
    names.Dimension(3, 2);
    names.At(2, 1) = "GAZ";
    StringArray namesCopy;
    namesCopy = names;
    namesCopy.At(2, 1) += "!";
    EXPECT_EQ(names.At(2, 1), "GAZ");
    StringArray moved;
    moved = std::move(namesCopy);
    EXPECT_EQ(moved.At(2, 1), "GAZ!");
    EXPECT_EQ(moved.dimensions(), 2);
    const NumberArray never;
    EXPECT_EQ(NumberArray(never).data(), nullptr);
}

// ---- Paths that end the program -------------------------------------------

TEST(DynArrayDeathTest, IndexOutsideTheShapeIsOutOfBounds) {
    test::TempFolder temp; // the log of every ended child lands here
    NumberArray row;
    row.Dimension(5);
    EXPECT_ENDS_WITH_CODE(row.At(-6), 9);
    EXPECT_ENDS_WITH_CODE(row.At(5), 9);
    EXPECT_ENDS_WITH_CODE(row.At(0, 1), 9); // unused dimensions take only 0
    NumberArray grid;
    grid.Dimension(4, 3);
    EXPECT_ENDS_WITH_CODE(grid.At(0, 3), 9);
    EXPECT_ENDS_WITH_CODE(grid.At(0, -1), 9);
    EXPECT_ENDS_WITH_CODE(grid.At(0, 0, 0, -1), 9);
    NumberArray never;
    EXPECT_ENDS_WITH_CODE(never.At(0), 9);
    StringArray zero;
    zero.Dimension(0);
    EXPECT_ENDS_WITH_CODE(zero.At(0), 9);
    ByteArray negativeRows;
    negativeRows.Dimension(3, -2);
    EXPECT_ENDS_WITH_CODE(negativeRows.At(0, 0), 9);
    grid.Redimension(0);
    EXPECT_ENDS_WITH_CODE(grid.At(0), 9);
}

TEST(DynArrayDeathTest, SizesBeyondThirtyTwoBitsAreOutOfMemory) {
    test::TempFolder temp;
    NumberArray a;
    EXPECT_ENDS_WITH_CODE(a.Dimension(46341, 46341), 7);
    EXPECT_ENDS_WITH_CODE(a.Dimension(2, 2, 2, 1 << 30), 7);
    EXPECT_ENDS_WITH_CODE(a.Dimension(65536, 65536, 65536, 65536), 7);
    EXPECT_ENDS_WITH_CODE(a.Dimension(2147483647), 7);
    EXPECT_ENDS_WITH_CODE(a.Redimension(100000, 100000), 7);
}

// AddressSanitizer reserves far more address space than any limit here, so
// this runs in the plain build only.
#if !defined(__SANITIZE_ADDRESS__)
void DimensionBeyondTheAddressLimit(NumberArray& a) {
    const rlimit limit{std::uint64_t{1} << 30, std::uint64_t{1} << 30};
    ::setrlimit(RLIMIT_AS, &limit);
    a.Dimension(200'000'000); // 1.6 GB of numbers
}

TEST(DynArrayDeathTest, FailedAllocationIsOutOfMemory) {
    test::TempFolder temp;
    NumberArray a;
    EXPECT_ENDS_WITH_CODE(DimensionBeyondTheAddressLimit(a), 7);
}
#endif

} // namespace
} // namespace vlm
