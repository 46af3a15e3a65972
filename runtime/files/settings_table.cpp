#include "files/settings_table.h"

#include <cstdint>

#include "files/error_state.h"
#include "files/file_services.h"
#include "files/line_split.h"
#include "files/memory_files.h"

namespace vlm {

namespace {

bool IsBlank(char c) { return c == ' '; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool EndsName(char c) { return IsSpace(c) || c == '='; }

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

class SettingsParser {
public:
    void Line(std::string_view line, std::size_t number) {
        std::size_t i = 0;
        while (i < line.size() && IsSpace(line[i])) ++i;
        if (i == line.size() || line[i] == ';') return;
        if (line[i] == '[') Section(line.substr(i + 1));
        else Key(line.substr(i), number);
    }
    std::vector<SettingsSection> Finish() {
        Close();
        return std::move(sections_);
    }

private:
    void Section(std::string_view rest) {
        std::size_t i = 0;
        while (i < rest.size() && IsBlank(rest[i])) ++i;
        std::size_t end = i;
        while (end < rest.size() && !EndsName(rest[end])) ++end;
        std::string_view name = rest.substr(i, end - i);
        if (name.ends_with(']')) name.remove_suffix(1);
        if (name.empty()) return;
        Close();
        pending_.name = std::string(name);
    }
    void Key(std::string_view line, std::size_t number) {
        std::size_t end = 0;
        while (end < line.size() && !EndsName(line[end])) ++end;
        const std::string_view key = line.substr(0, end);
        std::size_t i = end;
        if (i == line.size()) return;
        if (line[i] != '=') {
            while (i < line.size() && IsBlank(line[i])) ++i;
            if (i == line.size() || line[i] != '=') return;
        }
        ++i;
        while (i < line.size() && IsSpace(line[i])) ++i;
        std::string_view value = line.substr(i);
        // Only control bytes are trimmed; bytes from 0x80 up are text.
        while (!value.empty() && static_cast<unsigned char>(value.back()) < 32) value.remove_suffix(1);
        if (value.empty()) return;
        pending_.keys.emplace_back(key, value);
        pending_.keyLines.push_back(number);
    }
    // A section joins the table only once it has a key.
    void Close() {
        if (!pending_.keys.empty()) sections_.push_back(std::move(pending_));
        pending_ = SettingsSection{};
    }

    SettingsSection pending_;
    std::vector<SettingsSection> sections_;
};

} // namespace

std::vector<SettingsLine> SplitSettingsLines(std::span<const std::uint8_t> bytes) {
    std::vector<SettingsLine> lines;
    while (!bytes.empty()) {
        const LineExtent line = FindLine(bytes);
        // A piece that consumed no line break and left bytes behind continues the same line.
        const bool ends = line.consumed > line.length || line.consumed == bytes.size();
        lines.push_back({std::string(reinterpret_cast<const char*>(bytes.data()), line.length), ends});
        bytes = bytes.subspan(line.consumed);
    }
    return lines;
}

std::vector<SettingsSection> ParseSettings(std::span<const SettingsLine> lines) {
    SettingsParser parser;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // As for a line read into a string, the text ends at its first NUL byte.
        const std::string_view text(lines[i].text);
        parser.Line(text.substr(0, text.find('\0')), i);
    }
    return parser.Finish();
}

std::vector<SettingsSection> ParseSettings(std::span<const std::uint8_t> bytes) {
    return ParseSettings(SplitSettingsLines(bytes));
}

void SettingsTable::MakeCurrent(std::string_view name) {
    WriteBack();
    name_ = std::string(name);
    const auto bytes = ReadWholeFile(name);
    LoadFrom(bytes ? std::span<const std::uint8_t>(*bytes) : std::span<const std::uint8_t>());
}

void SettingsTable::LoadFrom(std::span<const std::uint8_t> bytes) {
    lines_ = SplitSettingsLines(bytes);
    sections_ = ParseSettings(lines_);
    changed_ = false;
}

std::string_view SettingsTable::Lookup(std::string_view section, std::string_view key,
                                       std::string_view fallback) const {
    for (const SettingsSection& s : sections_) {
        if (!SameNoCase(s.name, section)) continue;
        for (const auto& [k, v] : s.keys) {
            if (SameNoCase(k, key)) return v;
        }
        return fallback;
    }
    return fallback;
}

namespace {

bool FitsName(std::string_view name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32 || c == ' ' || c == '=' || c == ']') return false;
    }
    return true;
}

// What the reader gives back exactly as it was set.
bool Storable(std::string_view section, std::string_view key, std::string_view value) {
    if (!FitsName(section) || key.empty() || !FitsName(key) || key[0] == '[' || key[0] == ';') return false;
    if (value.empty() || value[0] == ' ') return false;
    // One line each for "[section]" and "key=value".
    if (section.size() + 2 > kMaxLineText || key.size() + 1 + value.size() > kMaxLineText) return false;
    for (const char c : value) {
        if (static_cast<unsigned char>(c) < 32) return false;
    }
    return true;
}

} // namespace

bool SettingsTable::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (!Storable(section, key, value)) return false;
    changed_ = true;
    const std::string line = std::string(key) + "=" + std::string(value);
    for (SettingsSection& s : sections_) {
        if (!SameNoCase(s.name, section)) continue;
        for (std::size_t i = 0; i < s.keys.size(); ++i) {
            auto& [k, v] = s.keys[i];
            if (SameNoCase(k, key)) {
                v = std::string(value);
                lines_[s.keyLines[i]] = {k + "=" + v};
                return true;
            }
        }
        const std::size_t at = s.keyLines.back() + 1;
        InsertLine(at, line);
        s.keys.emplace_back(key, value);
        s.keyLines.push_back(at);
        return true;
    }
    // Keys before any section header are the unnamed section's.
    if (section.empty()) {
        InsertLine(0, line);
        sections_.insert(sections_.begin(), {"", {{std::string(key), std::string(value)}}, {0}});
        return true;
    }
    std::string header = "[";
    header.append(section).append("]");
    lines_.push_back({std::move(header)});
    lines_.push_back({line});
    sections_.push_back({std::string(section), {{std::string(key), std::string(value)}}, {lines_.size() - 1}});
    return true;
}

void SettingsTable::InsertLine(std::size_t at, std::string text) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), {std::move(text)});
    for (SettingsSection& s : sections_) {
        for (std::size_t& number : s.keyLines) {
            if (number >= at) ++number;
        }
    }
}

std::string SettingsTable::FileText() const {
    std::string text;
    for (const SettingsLine& line : lines_) {
        text += line.text;
        if (line.ends) text += "\r\n";
    }
    return text;
}

void SettingsTable::WriteBack() {
    if (!changed_ || name_.empty() || IsMemoryFileName(name_)) return;
    const std::string text = FileText();
    if (ReplaceFile(name_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
        changed_ = false;
    } else {
        SetErrorCode(kErrorNoSuchFile);
    }
}

SettingsTable& TheSettingsTable() {
    static SettingsTable table;
    return table;
}

void LoadSettings(const DynString& name) { TheSettingsTable().MakeCurrent(name.view()); }

DynString SettingsLookup(const DynString& section, const DynString& key, const DynString& fallback) {
    return DynString(TheSettingsTable().Lookup(section.view(), key.view(), fallback.view()));
}

std::int32_t SetSetting(const DynString& section, const DynString& key, const DynString& value) {
    return TheSettingsTable().Set(section.view(), key.view(), value.view()) ? 1 : 0;
}

} // namespace vlm
