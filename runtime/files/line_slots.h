// The line-slot store: small text files of up to 256 lines, read and written
// by line number. One file is held at a time; changes are written back when
// another file is made current and at the end of the program.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "values/dyn_string.h"

namespace vlm {

class LineSlotStore {
public:
    static constexpr std::int32_t kSlotCount = 256;

    // Loads the lines of `bytes`, at most kSlotCount of them.
    void LoadFrom(std::span<const std::uint8_t> bytes);
    // Writes back the held file when changed, then loads `name` unless it is
    // already held. False when the named file could not be loaded.
    bool MakeCurrent(std::string_view name);
    // Slots outside 0..255 set code 7: "NO_DATA" for reads, no change for writes.
    DynString Read(std::string_view name, std::int32_t slot);
    // Line breaks in the value become blanks; what one line cannot hold is cut.
    void Write(std::string_view name, std::int32_t slot, std::string_view value);
    // Writes the held file back ("\r\n" after each line up to the highest used);
    // a failed write sets code 3 and the old file stays as it was.
    void WriteBack();

    std::int32_t HighestUsed() const { return highestUsed_; }

private:
    void Clear();

    std::string name_;
    std::array<std::string, kSlotCount> lines_;
    std::int32_t highestUsed_ = -1;
    bool changed_ = false;
    bool loaded_ = false; // the file was read, or a slot was written since
};

LineSlotStore& TheLineSlotStore();

// ---- Program-facing ---------------------------------------------------------
void WriteSlot(const DynString& file, std::int32_t slot, const DynString& value);
void WriteSlot(const DynString& file, std::int32_t slot, double value); // NumberToText
DynString ReadSlot(const DynString& file, std::int32_t slot);           // "NO_FILE" / "NO_DATA"
double ReadSlotNumber(const DynString& file, std::int32_t slot);        // atof
std::int32_t ReadSlotInteger(const DynString& file, std::int32_t slot); // atoi

} // namespace vlm
