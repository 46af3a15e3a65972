// DynArray: the program's arrays of numbers, integers, strings or bytes.
//
// Up to four dimensions, first index varying fastest: element (i0, i1, i2, i3)
// is slot i0 + stride1*i1 + stride2*i2 + stride3*i3. Sizes are set at run time
// and can change later, with or without keeping the contents. Every index
// error and every failed allocation ends the program through
// RaiseRuntimeError (9 "out of bounds", 7 "out of memory").
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <utility>

#include "files/error_state.h"
#include "values/dyn_string.h"

namespace vlm {

namespace array_detail {

// Room for small arrays inside the array object, so they need no heap block.
template <class T, std::int32_t N>
struct InlineStore {
    T slots[N]{};
    T* data() noexcept { return slots; }
    const T* data() const noexcept { return slots; }
};
template <class T>
struct InlineStore<T, 0> {
    T* data() noexcept { return nullptr; }
    const T* data() const noexcept { return nullptr; }
};

} // namespace array_detail

// Granule: capacities are whole multiples of it with at least one spare slot.
// InlineCapacity: the largest capacity served by the inline store.
template <class T, std::int32_t Granule, std::int32_t InlineCapacity>
class DynArray {
public:
    using Element = T;

    DynArray() noexcept = default;
    DynArray(const DynArray& other);
    DynArray(DynArray&& other) noexcept;
    DynArray& operator=(const DynArray& other);
    DynArray& operator=(DynArray&& other) noexcept;
    ~DynArray() = default;

    // New shape with every slot reset; a size0 below 1 empties the array.
    void Dimension(std::int32_t size0, std::int32_t size1 = 0, std::int32_t size2 = 0, std::int32_t size3 = 0);
    // New shape keeping every element whose indices fit both shapes.
    void Redimension(std::int32_t size0, std::int32_t size1 = 0, std::int32_t size2 = 0, std::int32_t size3 = 0);
    // One dimension of values.size() elements holding the values in order.
    void BuildFromList(std::span<const T> values);

    // Checked element access; a negative first index counts from the end.
    T& At(std::int32_t i0, std::int32_t i1 = 0, std::int32_t i2 = 0, std::int32_t i3 = 0);
    const T& At(std::int32_t i0, std::int32_t i1 = 0, std::int32_t i2 = 0, std::int32_t i3 = 0) const;

    // Size of dimension d (0..3) as requested; 0 when unused or d is not 0..3.
    std::int32_t size(std::int32_t d) const noexcept { return d >= 0 && d < 4 ? sizes_[d] : 0; }
    std::int32_t dimensions() const noexcept { return dimensionCount_; }
    std::int32_t capacity() const noexcept { return capacity_; }
    // Number of reachable elements.
    std::int32_t count() const noexcept { return static_cast<std::int32_t>(ElementCount(sizes_)); }
    bool usesInlineStore() const noexcept { return data_ != nullptr && data_ == inline_.data(); }
    const T* data() const noexcept { return data_; }

private:
    using Sizes = std::int32_t[4];
    static constexpr Sizes kNoShape = {0, 0, 0, 0};

    static std::int64_t ElementCount(const Sizes& sizes) noexcept;
    static std::int32_t CapacityFor(const Sizes& sizes);
    // An index fits a dimension; an unused dimension (size 0) takes only 0.
    static bool Fits(std::int32_t i, std::int32_t size) noexcept { return size != 0 ? i < size : i == 0; }

    // The slot of an element; ends the program when it is out of bounds.
    std::int32_t CheckedSlot(std::int32_t i0, std::int32_t i1, std::int32_t i2, std::int32_t i3) const;
    void Allocate(std::int32_t capacity);
    void ResetSlots();
    void SetShape(const Sizes& sizes) noexcept;
    void TakeBuffer(DynArray& other) noexcept;

    T* data_ = nullptr; // null only when nothing was ever allocated
    array_detail::InlineStore<T, InlineCapacity> inline_;
    std::unique_ptr<T[]> heap_;
    std::int32_t stride1_ = 0;
    std::int32_t stride2_ = 0;
    std::int32_t stride3_ = 0;
    Sizes sizes_ = {0, 0, 0, 0};
    std::int32_t dimensionCount_ = 0;
    std::int32_t capacity_ = 0;
};

using NumberArray = DynArray<double, 8, 16>;
using IntegerArray = DynArray<std::int32_t, 8, 8>;
using StringArray = DynArray<DynString, 64, 0>;
using ByteArray = DynArray<std::uint8_t, 64, 0>;

// ---- Definitions ----------------------------------------------------------

template <class T, std::int32_t G, std::int32_t N>
std::int64_t DynArray<T, G, N>::ElementCount(const Sizes& sizes) noexcept {
    // Callers only pass shapes whose count CapacityFor accepted, so this fits.
    std::int64_t count = std::max(sizes[0], 0);
    for (int d = 1; d < 4; ++d) count *= std::max(sizes[d], 1);
    return count;
}

template <class T, std::int32_t G, std::int32_t N>
std::int32_t DynArray<T, G, N>::CapacityFor(const Sizes& sizes) {
    // The product is checked step by step: four 32-bit sizes can overflow
    // even 64 bits, and the capacity must fit the 32-bit field.
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max() - G;
    std::int64_t count = std::max(sizes[0], 0);
    for (int d = 1; d < 4; ++d) {
        count *= std::max(sizes[d], 1);
        if (count > kLimit) RaiseRuntimeError(kErrorOutOfMemory);
    }
    return static_cast<std::int32_t>(count / G * G + G);
}

template <class T, std::int32_t G, std::int32_t N>
DynArray<T, G, N>::DynArray(const DynArray& other) {
    if (other.data_ == nullptr) return;
    Dimension(other.sizes_[0], other.sizes_[1], other.sizes_[2], other.sizes_[3]);
    std::copy_n(other.data_, other.count(), data_);
}

template <class T, std::int32_t G, std::int32_t N>
DynArray<T, G, N>::DynArray(DynArray&& other) noexcept {
    TakeBuffer(other);
}

template <class T, std::int32_t G, std::int32_t N>
DynArray<T, G, N>& DynArray<T, G, N>::operator=(const DynArray& other) {
    if (this != &other) {
        DynArray copy(other);
        TakeBuffer(copy);
    }
    return *this;
}

template <class T, std::int32_t G, std::int32_t N>
DynArray<T, G, N>& DynArray<T, G, N>::operator=(DynArray&& other) noexcept {
    if (this != &other) TakeBuffer(other);
    return *this;
}

template <class T, std::int32_t G, std::int32_t N>
void DynArray<T, G, N>::TakeBuffer(DynArray& other) noexcept {
    heap_.reset();
    if (other.usesInlineStore()) {
        // The inline store cannot change hands: its elements move into ours.
        std::move(other.data_, other.data_ + other.capacity_, inline_.data());
        data_ = inline_.data();
    } else {
        heap_ = std::move(other.heap_);
        data_ = heap_.get();
    }
    stride1_ = other.stride1_;
    stride2_ = other.stride2_;
    stride3_ = other.stride3_;
    std::copy_n(other.sizes_, 4, sizes_);
    dimensionCount_ = other.dimensionCount_;
    capacity_ = other.capacity_;
    other.heap_.reset();
    other.data_ = nullptr;
    other.SetShape(kNoShape);
    other.capacity_ = 0;
}

template <class T, std::int32_t G, std::int32_t N>
void DynArray<T, G, N>::Allocate(std::int32_t capacity) {
    heap_.reset();
    data_ = nullptr;
    capacity_ = 0;
    if (capacity <= N) {
        data_ = inline_.data();
        capacity_ = capacity;
        ResetSlots();
        return;
    }
    heap_.reset(new (std::nothrow) T[static_cast<std::size_t>(capacity)]());
    if (!heap_) {
        SetShape(kNoShape);
        RaiseRuntimeError(kErrorOutOfMemory);
    }
    data_ = heap_.get();
    capacity_ = capacity;
}

template <class T, std::int32_t G, std::int32_t N>
void DynArray<T, G, N>::ResetSlots() {
    std::fill_n(data_, capacity_, T{});
}

template <class T, std::int32_t G, std::int32_t N>
void DynArray<T, G, N>::SetShape(const Sizes& sizes) noexcept {
    std::copy_n(sizes, 4, sizes_);
    // An unused middle dimension counts as 1 in the strides, as it does in the
    // element count, so that (5, 0, 3) lays out 15 distinct elements.
    stride1_ = sizes[0];
    stride2_ = stride1_ * std::max(sizes[1], 1);
    stride3_ = stride2_ * std::max(sizes[2], 1);
    dimensionCount_ = sizes[3] != 0 ? 4 : sizes[2] != 0 ? 3 : sizes[1] != 0 ? 2 : sizes[0] != 0 ? 1 : 0;
}

template <class T, std::int32_t G, std::int32_t N>
void DynArray<T, G, N>::Dimension(std::int32_t size0, std::int32_t size1, std::int32_t size2, std::int32_t size3) {
    const bool emptied = size0 < 1;
    const Sizes sizes = {emptied ? 0 : size0, size1, size2, size3};
    const std::int32_t wanted = CapacityFor(sizes);
    if (emptied || data_ == nullptr || capacity_ < wanted) {
        Allocate(wanted);
    } else {
        ResetSlots();
    }
    SetShape(sizes);
}

template <class T, std::int32_t G, std::int32_t N>
void DynArray<T, G, N>::Redimension(std::int32_t size0, std::int32_t size1, std::int32_t size2,
                                    std::int32_t size3) {
    if (size0 < 1) {
        // The buffer stays; its contents are simply out of reach.
        SetShape(kNoShape);
        return;
    }
    DynArray fresh;
    fresh.Dimension(size0, size1, size2, size3);
    if (data_ != nullptr && sizes_[0] > 0) {
        // Per dimension: indices below the smaller size, or only index 0
        // where that size is 0 (a dimension unused on one side). A negative
        // size on either side leaves nothing that both shapes can reach.
        std::int32_t range[4];
        for (int d = 0; d < 4; ++d) {
            const std::int32_t m = std::min(sizes_[d], fresh.sizes_[d]);
            range[d] = m > 0 ? m : m == 0 ? 1 : 0;
        }
        for (std::int32_t i3 = 0; i3 < range[3]; ++i3)
            for (std::int32_t i2 = 0; i2 < range[2]; ++i2)
                for (std::int32_t i1 = 0; i1 < range[1]; ++i1)
                    for (std::int32_t i0 = 0; i0 < range[0]; ++i0)
                        fresh.At(i0, i1, i2, i3) = std::move(At(i0, i1, i2, i3));
    }
    TakeBuffer(fresh);
}

template <class T, std::int32_t G, std::int32_t N>
void DynArray<T, G, N>::BuildFromList(std::span<const T> values) {
    if (values.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        RaiseRuntimeError(kErrorOutOfMemory);
    }
    const auto n = static_cast<std::int32_t>(values.size());
    Dimension(n);
    for (std::int32_t i = 0; i < n; ++i) At(i) = values[static_cast<std::size_t>(i)];
}

template <class T, std::int32_t G, std::int32_t N>
std::int32_t DynArray<T, G, N>::CheckedSlot(std::int32_t i0, std::int32_t i1, std::int32_t i2,
                                            std::int32_t i3) const {
    if (i0 < 0) i0 += sizes_[0];
    if (i0 < 0 || i1 < 0 || i2 < 0 || i3 < 0 || data_ == nullptr) [[unlikely]] {
        RaiseRuntimeError(kErrorOutOfBounds);
    }
    if (i0 >= sizes_[0] || !Fits(i1, sizes_[1]) || !Fits(i2, sizes_[2]) || !Fits(i3, sizes_[3])) [[unlikely]] {
        RaiseRuntimeError(kErrorOutOfBounds);
    }
    return i0 + stride1_ * i1 + stride2_ * i2 + stride3_ * i3;
}

template <class T, std::int32_t G, std::int32_t N>
T& DynArray<T, G, N>::At(std::int32_t i0, std::int32_t i1, std::int32_t i2, std::int32_t i3) {
    return data_[CheckedSlot(i0, i1, i2, i3)];
}

template <class T, std::int32_t G, std::int32_t N>
const T& DynArray<T, G, N>::At(std::int32_t i0, std::int32_t i1, std::int32_t i2, std::int32_t i3) const {
    return data_[CheckedSlot(i0, i1, i2, i3)];
}

} // namespace vlm
