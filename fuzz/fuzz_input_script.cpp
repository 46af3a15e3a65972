// Input scripts (VELMORA_INPUT_SCRIPT): any bytes parse or fail cleanly, and
// what parses formats back to the same events.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "input/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vlm::ScriptParseResult parsed = vlm::ParseInputScript(std::span<const std::uint8_t>(data, size));
    if (!parsed.Error.empty()) {
        if (!parsed.Events.empty()) std::abort();
        return 0;
    }
    std::string text;
    for (const vlm::ScriptEvent& event : parsed.Events)
        text += vlm::FormatScriptEvent(event) + "\n";
    const vlm::ScriptParseResult again = vlm::ParseInputScript(std::string_view(text));
    if (!again.Error.empty() || again.Events != parsed.Events) std::abort();
    return 0;
}
