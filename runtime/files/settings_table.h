// Settings files: "[section]" lines and "key=value" lines, ';' comments.
// One file is held at a time; changes are written back when another file is
// made current and at the end of the program.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "values/dyn_string.h"

namespace vlm {

struct SettingsSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys; // in file order
    std::vector<std::size_t> keyLines;                     // the line of each key
};

// A line of a settings file as the reader cuts it (a line longer than the
// reader takes comes in pieces), kept to be written back as it was.
struct SettingsLine {
    std::string text;
    bool ends = true; // a line break follows (not so after a piece of a longer line)
};

std::vector<SettingsLine> SplitSettingsLines(std::span<const std::uint8_t> bytes);
// Sections in file order. Keys before the first section belong to a section
// with the empty name; sections without keys are dropped; a name may occur
// twice (lookups see the first).
std::vector<SettingsSection> ParseSettings(std::span<const SettingsLine> lines);
std::vector<SettingsSection> ParseSettings(std::span<const std::uint8_t> bytes);

class SettingsTable {
public:
    // Writes back the held file when changed, then loads `name` (an empty
    // table when it cannot be opened).
    void MakeCurrent(std::string_view name);
    // Takes these bytes as the held file's content.
    void LoadFrom(std::span<const std::uint8_t> bytes);
    // Case-insensitive section then key, first matches only; else `fallback`.
    std::string_view Lookup(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Sets a key of the first matching section (adding what is missing): its
    // line is rewritten, a new key goes after the last key of its section, a
    // new section at the end of the file (the unnamed one at its start).
    // False, and nothing changes, for texts the file form cannot hold: names
    // with blanks, control bytes, "=" or "]", keys starting with "[" or ";",
    // empty keys or values, values with control bytes or leading blanks, and
    // lines longer than the reader takes whole.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // Writes the held file back when it changed and is a disk file; a failed
    // write sets code 3 and the old file stays as it was.
    void WriteBack();
    // What a write-back writes: every line as it was read, apart from those
    // Set changed or added, each line ending in "\r\n".
    std::string FileText() const;

    const std::string& Name() const { return name_; }
    const std::vector<SettingsSection>& Sections() const { return sections_; }

private:
    void InsertLine(std::size_t at, std::string text);

    std::string name_;
    bool changed_ = false;
    std::vector<SettingsLine> lines_;
    std::vector<SettingsSection> sections_;
};

SettingsTable& TheSettingsTable();

// ---- Program-facing ---------------------------------------------------------
void LoadSettings(const DynString& name);
DynString SettingsLookup(const DynString& section, const DynString& key, const DynString& fallback);
std::int32_t SetSetting(const DynString& section, const DynString& key, const DynString& value); // 1 stored, 0 refused

} // namespace vlm
