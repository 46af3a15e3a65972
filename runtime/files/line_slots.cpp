#include "files/line_slots.h"

#include <algorithm>

#include "files/error_state.h"
#include "files/file_services.h"
#include "files/line_split.h"
#include "files/memory_files.h"
#include "values/number_text.h"

namespace vlm {

namespace {

bool InRange(std::int32_t slot) { return slot >= 0 && slot < LineSlotStore::kSlotCount; }

} // namespace

void LineSlotStore::Clear() {
    for (std::string& line : lines_) line.clear();
    highestUsed_ = -1;
    changed_ = false;
    loaded_ = false;
}

void LineSlotStore::LoadFrom(std::span<const std::uint8_t> bytes) {
    Clear();
    ForEachLine(bytes, kSlotCount, [&](std::string_view line) { lines_[static_cast<std::size_t>(++highestUsed_)] = line; });
    loaded_ = true;
}

bool LineSlotStore::MakeCurrent(std::string_view name) {
    if (name == name_ && !name_.empty()) return loaded_;
    WriteBack();
    Clear();
    name_ = std::string(name);
    if (const auto bytes = ReadWholeFile(name)) LoadFrom(*bytes);
    return loaded_;
}

DynString LineSlotStore::Read(std::string_view name, std::int32_t slot) {
    const bool loaded = MakeCurrent(name);
    if (!InRange(slot)) {
        SetErrorCode(kErrorOutOfMemory);
        return DynString("NO_DATA");
    }
    if (!loaded) return DynString("NO_FILE");
    DynString text(lines_[static_cast<std::size_t>(slot)]);
    text.TrimControl();
    return text.empty() ? DynString("NO_DATA") : text;
}

void LineSlotStore::Write(std::string_view name, std::int32_t slot, std::string_view value) {
    MakeCurrent(name);
    if (!InRange(slot)) {
        SetErrorCode(kErrorOutOfMemory);
        return;
    }
    // A slot is one line of the file: a line break inside, or more than a line
    // holds, would move every later slot.
    std::string line(value.substr(0, kMaxLineText));
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    lines_[static_cast<std::size_t>(slot)] = std::move(line);
    highestUsed_ = std::max(highestUsed_, slot);
    changed_ = true;
    loaded_ = true;
}

void LineSlotStore::WriteBack() {
    if (!changed_ || name_.empty() || IsMemoryFileName(name_)) return;
    std::string text;
    for (std::int32_t i = 0; i <= highestUsed_; ++i) text += lines_[static_cast<std::size_t>(i)] + "\r\n";
    if (ReplaceFile(name_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
        changed_ = false;
    } else {
        SetErrorCode(kErrorNoSuchFile);
    }
}

LineSlotStore& TheLineSlotStore() {
    static LineSlotStore store;
    return store;
}

void WriteSlot(const DynString& file, std::int32_t slot, const DynString& value) {
    TheLineSlotStore().Write(file.view(), slot, value.view());
}
void WriteSlot(const DynString& file, std::int32_t slot, double value) {
    WriteSlot(file, slot, NumberToText(value));
}
DynString ReadSlot(const DynString& file, std::int32_t slot) { return TheLineSlotStore().Read(file.view(), slot); }
double ReadSlotNumber(const DynString& file, std::int32_t slot) { return TextToNumber(ReadSlot(file, slot)); }
std::int32_t ReadSlotInteger(const DynString& file, std::int32_t slot) {
    return TextToInteger(ReadSlot(file, slot));
}

} // namespace vlm
