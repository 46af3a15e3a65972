#include "frame/lifecycle.h"

#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <unistd.h>

#include "files/error_state.h"
#include "frame/clock.h"
#include "frame/error_log.h"
#include "frame/startup_settings.h"
#include "frame/sub_registry.h"
#include "values/random.h"

extern char** environ;

namespace vlm {

namespace {

StartupSettings theStartupSettings;

struct ProcessState {
    DynString CommandLine;
    DynString ProgramFolder;
    DynString WindowTitle;     // the title last given to the window
    bool QuitHookDone = false; // "VLM_ON_QUIT" has run
};
ProcessState theProcess;

DynString JoinCommandLine(int argc, char** argv) {
    DynString line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) line += " ";
        const std::string_view arg(argv[i]);
        const bool quote = arg.empty() || arg.find_first_of(" \t") != std::string_view::npos;
        if (quote) line += "\"";
        line += arg;
        if (quote) line += "\"";
    }
    return line;
}

DynString FindProgramFolder() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return DynString("./");
    path.resize(static_cast<std::size_t>(n));
    return DynString(std::string_view(path).substr(0, path.rfind('/') + 1));
}

void ResetClockStamps() {
    ClockState& clock = TheClock();
    clock.StartTime = clock.LastFrameStart = clock.PreviousFrameStart = MillisecondsNow();
}

} // namespace

StartupSettings& TheStartupSettings() { return theStartupSettings; }
const DynString& CommandLine() { return theProcess.CommandLine; }
const DynString& ProgramFolder() { return theProcess.ProgramFolder; }

void RuntimeMain(int argc, char** argv, const ProgramEntry& program) {
    theProcess.CommandLine = JoinCommandLine(argc, argv);
    InstallSubRegistry(program.subRegistry);
    program.startupSettings();
    RuntimeStartup(theStartupSettings.Title);
    ErrorState& errors = TheErrorState();
    errors.LastErrorLine = errors.LastErrorCode = errors.CurrentSourceLine = 0;
    program.gameMain();
    EndProgram();
}

void RuntimeStartup(const DynString& title) {
    RestartErrorLog();
    InitTimer();
    AppendLogLine("Init GFX");
    theProcess.WindowTitle = title;
    SeedRandom(static_cast<std::uint32_t>(static_cast<std::int64_t>(ElapsedMilliseconds())));

    // Media are found relative to the program, wherever it was started from.
    theProcess.ProgramFolder = FindProgramFolder();
    if (::chdir(theProcess.ProgramFolder.c_str()) != 0) {
        AppendLogLine("Cannot enter the program folder");
    }

    ResetClockStamps();
    AppendLogLine("Init Finalized");
}

void ShutdownRuntime() {
    AppendLogLine("Shut down VLM");
    if (!theProcess.ProgramFolder.empty() && ::chdir(theProcess.ProgramFolder.c_str()) != 0) {
        AppendLogLine("Cannot enter the program folder");
    }
}

void EndProgram() {
    if (theStartupSettings.DebugMode) {
        const ErrorState& errors = TheErrorState();
        AppendLogLine("-End On Line");
        for (const std::int32_t value : {errors.LastErrorCode, errors.LastErrorLine - 1, errors.CurrentSourceLine,
                                         errors.CurrentSourceUnit}) {
            AppendLogLine(std::to_string(value));
        }
    }
    // Set before the call, so a hook that itself ends the program runs once.
    if (!theProcess.QuitHookDone) {
        theProcess.QuitHookDone = true;
        CallSubByName("VLM_ON_QUIT");
    }
    ShutdownRuntime();
    std::fflush(nullptr);
    std::exit(0);
}

void EndAndRun(const DynString& command) {
    CallSubByName("VLM_ON_QUIT");
    ShutdownRuntime();
    // The new program runs in its own session so that it outlives this one.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    char shell[] = "/bin/sh";
    char dashC[] = "-c";
    std::string text(command.view());
    char* arguments[] = {shell, dashC, text.data(), nullptr};
    posix_spawn(&child, shell, nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    std::fflush(nullptr);
    std::exit(0);
}

} // namespace vlm
