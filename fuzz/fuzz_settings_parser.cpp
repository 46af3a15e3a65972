// Settings files: any bytes parse; what a table writes back parses to the
// same sections; after one change the written file answers the new value
// for that key and the old one for every other.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "files/settings_table.h"

namespace {

using namespace vlm;

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

void ExpectSameSections(const std::vector<SettingsSection>& a, const std::vector<SettingsSection>& b) {
    if (a.size() != b.size()) std::abort();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].keys != b[i].keys) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t choice[3] = {data[0], data[1], data[2]};
    const std::span<const std::uint8_t> file(data + 3, size - 3);

    SettingsTable before;
    before.LoadFrom(file);
    const auto sections = before.Sections();
    ExpectSameSections(ParseSettings(Bytes(before.FileText())), sections);

    // One change: an existing key, a new key of an existing section, or a new (or the unnamed) section.
    std::string section = choice[0] % 2 ? "fuzz" : "";
    std::string key = "fuzzkey";
    if (!sections.empty() && choice[2] % 3 != 2) {
        const SettingsSection& s = sections[choice[0] % sections.size()];
        section = s.name;
        if (choice[2] % 3 == 0) key = s.keys[choice[1] % s.keys.size()].first;
    }
    SettingsTable after;
    after.LoadFrom(file);
    constexpr std::string_view kChanged = "changed";
    if (!after.Set(section, key, kChanged)) return 0;
    SettingsTable reread;
    reread.LoadFrom(Bytes(after.FileText()));
    if (reread.Lookup(section, key, "?") != kChanged) std::abort();
    for (const SettingsSection& s : sections) {
        for (const auto& [k, v] : s.keys) {
            const std::string_view expected =
                SameNoCase(s.name, section) && SameNoCase(k, key) ? kChanged : before.Lookup(s.name, k, "?");
            if (reread.Lookup(s.name, k, "?") != expected) std::abort();
        }
    }
    return 0;
}
