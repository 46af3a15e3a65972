#include "frame/lifecycle.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "audio/music.h"
#include "audio/sound_device.h"
#include "audio/sound_table.h"
#include "files/error_state.h"
#include "files/file_channels.h"
#include "files/line_slots.h"
#include "files/settings_table.h"
#include "frame/clock.h"
#include "frame/display.h"
#include "frame/error_log.h"
#include "frame/frame_loop.h"
#include "frame/startup_settings.h"
#include "frame/sub_registry.h"
#include "gfx2d/bitmap_fonts.h"
#include "gfx2d/drawing.h"
#include "input/input_devices.h"
#include "platform/process.h"
#include "platform/window.h"
#include "values/random.h"

namespace vlm {

namespace {

StartupSettings theStartupSettings;

struct ProcessState {
    DynString CommandLine;
    DynString ProgramFolder;
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

// Set before the call, so a hook that itself ends the program runs once.
void RunQuitHookOnce() {
    if (theProcess.QuitHookDone) return;
    theProcess.QuitHookDone = true;
    CallSubByName("VLM_ON_QUIT");
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

    // The display with its window; without one the program cannot run, so
    // it ends in order with a line saying why.
    Display& display = CreateTheDisplay();
    if (!CreateDisplayWindow(display, theStartupSettings.WindowWidth, theStartupSettings.WindowHeight, 0,
                             theStartupSettings.FrameRate, theStartupSettings.Multisample,
                             theStartupSettings.FullScreen != 0)) {
        AppendLogLine("Cannot open the display window");
        std::fprintf(stderr, "Velmora: cannot open the display window\n");
        EndProgram();
    }
    SetWindowTitle(title);
    SeedRandom(static_cast<std::uint32_t>(static_cast<std::int64_t>(ElapsedMilliseconds())));

    InputDevices& input = CreateTheInput();
    SoundDevice& sound = CreateTheSoundDevice();
    CreateTheSoundTable();
    if (theStartupSettings.FullScreen == 0) EnterWindowed(display);
    else EnterFullScreen(display);
    InitInput(input, display.WindowHandle.get(), theStartupSettings.HidePointer != 0);
    sound.Open(); // a machine without sound runs on; its loads and plays fail

    // Media are found relative to the program, wherever it was started from.
    theProcess.ProgramFolder = FindProgramFolder();
    if (::chdir(theProcess.ProgramFolder.c_str()) != 0) {
        AppendLogLine("Cannot enter the program folder");
    }

    ClearScreen(display);
    ResetClockStamps();
    SwapAndPace(display, nullptr);
    SetViewport2D(display, 0, 0, 0, 0);
    // Found relative to the program folder; LastErrorCode is cleared before
    // the program starts.
    InstallDefaultFont(display);

    TheFrameLoop().Paused = false;
    ResetClockStamps();
    ApplyPointerVisibility(input, theStartupSettings.HidePointer == 0);
    platform::KeepScreenOn();
    AppendLogLine("Init Finalized");
}

void ShutdownRuntime() {
    AppendLogLine("Shut down VLM");
    StopMusic();
    if (!theProcess.ProgramFolder.empty() && ::chdir(theProcess.ProgramFolder.c_str()) != 0) {
        AppendLogLine("Cannot enter the program folder");
    }
    // Changed line slots and settings are kept, then every channel is closed.
    TheLineSlotStore().WriteBack();
    TheSettingsTable().WriteBack();
    TheFileChannels().CloseAll();
    DestroyTheInput();
    DestroyTheSoundTable();
    DestroyTheSoundDevice();
    DestroyTheDisplay(); // sprites, background slots, full screen, the window
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
    RunQuitHookOnce();
    ShutdownRuntime();
    std::fflush(nullptr);
    std::exit(0);
}

void EndAndStart(std::span<const std::string> arguments, bool quiet) {
    RunQuitHookOnce();
    ShutdownRuntime();
    platform::StartDetachedProcess(arguments, quiet);
    std::fflush(nullptr);
    std::exit(0);
}

void EndAndRun(const DynString& command) {
    const std::string arguments[] = {"/bin/sh", "-c", std::string(command.view())};
    EndAndStart(arguments, false);
}

} // namespace vlm
