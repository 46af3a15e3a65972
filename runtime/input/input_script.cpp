#include "input/input_script.h"

#include <algorithm>
#include <charconv>

namespace vlm {

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// Takes the next blank-separated word off the front of `s`.
std::string_view NextWord(std::string_view& s) {
    s = Trim(s);
    const std::size_t end = std::min(s.find_first_of(kBlanks), s.size());
    const std::string_view word = s.substr(0, end);
    s.remove_prefix(end);
    return word;
}

template <typename Number> bool ParseNumber(std::string_view word, Number& out) {
    if (word.empty()) return false;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), out);
    return error == std::errc() && end == word.data() + word.size();
}

struct ActionName {
    std::string_view name;
    ScriptAction action;
};
constexpr ActionName kActions[] = {
    {"move", ScriptAction::Move},   {"down", ScriptAction::ButtonDown}, {"up", ScriptAction::ButtonUp},
    {"wheel", ScriptAction::Wheel}, {"keydown", ScriptAction::KeyDown}, {"keyup", ScriptAction::KeyUp},
    {"shot", ScriptAction::Shot},   {"end", ScriptAction::End},
};

// Reads one non-empty, non-comment line; an error text on failure.
std::string ParseLine(std::string_view line, ScriptEvent& event) {
    std::string_view rest = line;
    if (!ParseNumber(NextWord(rest), event.Frame)) return "frame number expected";
    const std::string_view word = NextWord(rest);
    const auto found = std::find_if(std::begin(kActions), std::end(kActions),
                                    [&](const ActionName& a) { return a.name == word; });
    if (found == std::end(kActions)) return "unknown event \"" + std::string(word) + "\"";
    event.Action = found->action;
    switch (event.Action) {
    case ScriptAction::Move:
        if (!ParseNumber(NextWord(rest), event.A) || !ParseNumber(NextWord(rest), event.B)) {
            return "move needs x and y";
        }
        break;
    case ScriptAction::ButtonDown:
    case ScriptAction::ButtonUp:
        if (!ParseNumber(NextWord(rest), event.A) || event.A < 1 || event.A > 3)
            return "button 1, 2 or 3 expected";
        break;
    case ScriptAction::Wheel:
        if (!ParseNumber(NextWord(rest), event.A)) return "wheel steps expected";
        break;
    case ScriptAction::KeyDown:
    case ScriptAction::KeyUp:
        if (!ParseNumber(NextWord(rest), event.A) || event.A < 0 || event.A > 255)
            return "scan code 0..255 expected";
        break;
    case ScriptAction::Shot:
        event.Name = std::string(Trim(rest));
        rest = {};
        if (event.Name.empty()) return "shot needs a file name";
        break;
    case ScriptAction::End:
        break;
    }
    if (!Trim(rest).empty()) return "unexpected text after the event";
    return {};
}

} // namespace

ScriptParseResult ParseInputScript(std::string_view text) {
    ScriptParseResult result;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        if (line.empty() || line.front() == '#') continue;
        ScriptEvent event;
        const std::string error = ParseLine(line, event);
        if (!error.empty()) {
            result.Error = "line " + std::to_string(lineNumber) + ": " + error;
            result.Events.clear();
            return result;
        }
        result.Events.push_back(std::move(event));
    }
    std::stable_sort(result.Events.begin(), result.Events.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.Frame < b.Frame; });
    return result;
}

ScriptParseResult ParseInputScript(std::span<const std::uint8_t> bytes) {
    return ParseInputScript(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string FormatScriptEvent(const ScriptEvent& event) {
    std::string line = std::to_string(event.Frame) + " ";
    const auto found = std::find_if(std::begin(kActions), std::end(kActions),
                                    [&](const ActionName& a) { return a.action == event.Action; });
    line += found->name;
    switch (event.Action) {
    case ScriptAction::Move:
        line.append(" ").append(std::to_string(event.A)).append(" ").append(std::to_string(event.B));
        break;
    case ScriptAction::ButtonDown:
    case ScriptAction::ButtonUp:
    case ScriptAction::Wheel:
    case ScriptAction::KeyDown:
    case ScriptAction::KeyUp:
        line.append(" ").append(std::to_string(event.A));
        break;
    case ScriptAction::Shot:
        line.append(" ").append(event.Name);
        break;
    case ScriptAction::End:
        break;
    }
    return line;
}

} // namespace vlm
