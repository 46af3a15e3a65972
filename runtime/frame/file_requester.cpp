#include "frame/file_requester.h"

#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "frame/display.h"
#include "frame/message_box.h"
#include "frame/startup_settings.h"

extern char** environ;

namespace vlm {

namespace {

constexpr const char* kNoFile = "NO_FILE";

// Runs the program and returns its first output line; empty when it fails
// or is cancelled.
std::string RunDialog(const std::vector<std::string>& arguments) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string out;
    if (!failed) {
        char buffer[512];
        ssize_t n;
        while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
            out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    if (failed || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return out.substr(0, out.find('\n'));
}

bool HaveProgram(const char* name) {
    const std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

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
    if (RunningHeadless() || !HaveProgram("zenity")) return DynString(kNoFile);
    Display* display = TheDisplay();
    char folder[1024];
    const bool haveFolder = ::getcwd(folder, sizeof folder) != nullptr;
    if (display) HideWindowForBackground(*display);
    const std::string chosen = RunDialog(FileDialogArguments(openFlag != 0, filter.view()));
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
