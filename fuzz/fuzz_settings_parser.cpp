// Settings files: any bytes parse, and the written form of what was parsed
// parses back to the same table.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "files/settings_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vlm;
    const auto sections = ParseSettings(std::span(data, size));
    const std::string text = FormatSettings(sections);
    const auto again = ParseSettings(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (again.size() != sections.size()) std::abort();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (again[i].name != sections[i].name || again[i].keys != sections[i].keys) std::abort();
    }
    return 0;
}
