#include "frame/file_requester.h"

#include <unistd.h>

#include "frame/display.h"
#include "frame/message_box.h"
#include "frame/startup_settings.h"
#include "platform/process.h"

namespace vlm {

namespace {

constexpr const char* kNoFile = "NO_FILE";

} // namespace

std::vector<std::string> FileDialogArguments(bool open, std::string_view filter) {
    std::vector<std::string> arguments = {"zenity", "--file-selection"};
    if (!open) arguments.emplace_back("--save");
    // Pairs of description and pattern; a description without a pattern is
    // left out.
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= filter.size();) {
        const std::size_t end = std::min(filter.find('|', start), filter.size());
        parts.emplace_back(filter.substr(start, end - start));
        start = end + 1;
    }
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns = parts[i + 1];
        for (char& c : patterns)
            c = c == ';' ? ' ' : c;
        if (patterns.empty()) continue;
        arguments.push_back("--file-filter=" + parts[i] + " | " + patterns);
    }
    return arguments;
}

DynString FileRequester(double openFlag, const DynString& filter) {
    if (RunningHeadless() || !platform::ProgramOnPath("zenity")) return DynString(kNoFile);
    Display* display = TheDisplay();
    char folder[1024];
    const bool haveFolder = ::getcwd(folder, sizeof folder) != nullptr;
    if (display) HideWindowForBackground(*display);
    // The first line zenity writes is the chosen file; nothing when cancelled.
    const std::optional<std::string> output =
        platform::RunForOutput(FileDialogArguments(openFlag != 0, filter.view()));
    const std::string chosen = output ? output->substr(0, output->find('\n')) : std::string();
    if (haveFolder && ::chdir(folder) != 0) folder[0] = 0;
    if (display) {
        const StartupSettings& settings = TheStartupSettings();
        if (settings.FullScreen == 0)
            EnterWindowed(*display);
        else
            SetScreenSize(settings.WindowWidth, settings.WindowHeight, 1);
    }
    if (chosen.empty()) return DynString(kNoFile);
    return DynString(std::string_view(chosen));
}

} // namespace vlm
