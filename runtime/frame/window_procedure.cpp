#include "frame/window_procedure.h"

#include "frame/display.h"
#include "frame/frame_loop.h"
#include "frame/lifecycle.h"
#include "frame/startup_settings.h"
#include "values/windows_1252.h"

namespace vlm {

namespace {

constexpr std::uintptr_t kVirtualKeyReturn = 0x0D;
constexpr std::intptr_t kKeyWasDown = 1 << 30;

void ShowTitle(std::string_view suffix) {
    Display* display = TheDisplay();
    if (!display || !display->WindowHandle) return;
    std::string title(TheFrameLoop().WindowTitle.view());
    title += suffix;
    display->WindowHandle->SetTitle(Utf8FromSingleByte(title));
}

} // namespace

std::intptr_t WindowProcedure(const WindowMessage& message) {
    FrameLoopState& loop = TheFrameLoop();
    const bool pausing = !TheStartupSettings().DebugMode && loop.AutoPause;
    switch (message.Message) {
    case kMsgClose:
        EndProgram();
    case kMsgSysCommand:
        switch (message.FirstParameter & 0xFFF0) {
        case kCommandClose:
            EndProgram();
        case kCommandScreenSaver:
        case kCommandMonitorPower:
            return 0; // neither starts while the program runs
        default:
            return 0;
        }
    case kMsgEraseBackground:
        return 1; // the GL picture covers the window
    case kMsgActivate:
        switch (message.FirstParameter & 0xFFFF) {
        case 0:
            if (pausing) {
                ShowTitle(" <pause>");
                loop.Paused = true;
            }
            return 0;
        case 1:
        case 2:
            if (pausing) {
                ShowTitle("");
                loop.Paused = false;
            }
            return 0;
        default:
            return 0;
        }
    case kMsgSysKeyDown:
        // Alt+Enter switches between full screen and the window, once per press.
        if (message.FirstParameter == kVirtualKeyReturn && !(message.SecondParameter & kKeyWasDown)) {
            loop.FullScreenTogglePending = true;
        }
        return 0;
    default:
        return 0;
    }
}

void SetAutoPause(std::int32_t flag) {
    TheFrameLoop().AutoPause = flag != 0;
}

void SetWindowTitle(const DynString& title) {
    TheFrameLoop().WindowTitle = title;
    ShowTitle("");
}

} // namespace vlm
