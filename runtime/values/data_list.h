// Data lists: compiled-in constant values that a program reads one by one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "values/dyn_string.h"

namespace vlm {

// One constant: a number, or a text when `text` is not null.
struct DataEntry {
    constexpr DataEntry(double number) : value(number), text(nullptr) {}
    constexpr DataEntry(int number) : value(number), text(nullptr) {}
    constexpr DataEntry(const char* words) : value(0), text(words) {}

    double value;
    const char* text;
};

struct DataList {
    const DataEntry* entries;
    std::int32_t count;
    std::int32_t cursor; // next entry to read
};

template <std::size_t N>
constexpr DataList MakeDataList(const DataEntry (&entries)[N]) {
    static_assert(N <= 0x7FFFFFFF);
    return {entries, static_cast<std::int32_t>(N), 0};
}

// The list that reads take their values from; one is current at a time.
class DataReader {
public:
    void Restore(DataList& list) noexcept; // list becomes current, cursor 0
    // The next entry as text (numbers through NumberToText), as a number
    // (texts through atof) or as that number truncated toward zero. Past the
    // end, or with no current list, the program ends with "out of data".
    DynString ReadText();
    double ReadNumber();
    std::int32_t ReadInteger();

private:
    const DataEntry& Next();

    DataList* current_ = nullptr;
};

DataReader& TheDataReader();

void RestoreData(DataList& list);
DynString ReadDataText();
double ReadDataNumber();
std::int32_t ReadDataInteger();

} // namespace vlm
