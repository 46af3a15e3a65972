#include "values/data_list.h"

#include <cstdlib>

#include "files/error_state.h"
#include "values/number_text.h"
#include "values/numeric.h"

namespace vlm {

namespace {
DataReader theDataReader;
} // namespace

void DataReader::Restore(DataList& list) noexcept {
    current_ = &list;
    list.cursor = 0;
}

const DataEntry& DataReader::Next() {
    if (current_ == nullptr || current_->cursor < 0 || current_->cursor >= current_->count) {
        RaiseRuntimeError(kErrorOutOfData);
    }
    return current_->entries[current_->cursor++];
}

DynString DataReader::ReadText() {
    const DataEntry& entry = Next();
    return entry.text ? DynString(entry.text) : NumberToText(entry.value);
}

double DataReader::ReadNumber() {
    const DataEntry& entry = Next();
    return entry.text ? std::atof(entry.text) : entry.value;
}

std::int32_t DataReader::ReadInteger() { return TruncateToInteger(ReadNumber()); }

DataReader& TheDataReader() { return theDataReader; }

void RestoreData(DataList& list) { theDataReader.Restore(list); }
DynString ReadDataText() { return theDataReader.ReadText(); }
double ReadDataNumber() { return theDataReader.ReadNumber(); }
std::int32_t ReadDataInteger() { return theDataReader.ReadInteger(); }

} // namespace vlm
