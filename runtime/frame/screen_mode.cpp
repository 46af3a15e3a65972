// Switching between windowed and full screen. The window and its context
// stay the same object through every switch, so textures survive.
#include <GL/gl.h>

#include "frame/clock.h"
#include "frame/display.h"
#include "frame/error_log.h"
#include "frame/frame_loop.h"
#include "frame/startup_settings.h"
#include "input/input_devices.h"
#include "platform/window.h"

namespace vlm {

std::int32_t EnterWindowed(Display& display) {
    platform::GlWindow* window = display.WindowHandle.get();
    if (!window) return 1;
    // Leaving full screen restores the desktop mode; the window is then
    // centred again, as the placement it had before is the full screen's.
    window->EnterWindowed(display.ScreenWidth, display.ScreenHeight, display.FullScreenActive);
    window->Show();
    window->Raise();
    SetViewport2D(display, 0, 0, 0, 0);
    display.FullScreenActive = false;
    return 1;
}

std::int32_t EnterFullScreen(Display& display) {
    platform::GlWindow* window = display.WindowHandle.get();
    if (!window || !window->EnterFullScreen(display.ScreenWidth, display.ScreenHeight)) {
        platform::Beep();
        AppendLogLine("No Fullscreen Mode available");
        EnterWindowed(display);
        return 0;
    }
    // The mode switch sets up the pacing again from a whole frame cap.
    display.FrameInterval = 1000.0 / FrameCapForInterval(display.FrameInterval);
    display.NextFrameTime = MillisecondsNow();
    window->Show();
    window->Raise();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetViewport2D(display, 0, 0, 0, 0);
    display.FullScreenActive = true;
    return 1;
}

void ApplyScreenMode(Display& display, std::int32_t width, std::int32_t height, std::int32_t colourDepth,
                     bool fullScreen) {
    if (width > 0) display.ScreenWidth = width;
    if (height > 0) display.ScreenHeight = height;
    if (colourDepth > 0) display.ColourDepth = colourDepth;
    if (fullScreen)
        EnterFullScreen(display);
    else
        EnterWindowed(display);
}

void HideWindowForBackground(Display& display) {
    platform::GlWindow* window = display.WindowHandle.get();
    if (!window) return;
    if (display.FullScreenActive) window->EnterWindowed(display.ScreenWidth, display.ScreenHeight, true);
    window->Hide();
    display.FullScreenActive = false;
}

void SetScreenSize(std::int32_t width, std::int32_t height, std::int32_t fullScreen) {
    if (width < 1 || height < 1) return; // no window can have such a size
    StartupSettings& settings = TheStartupSettings();
    settings.WindowWidth = width;
    settings.WindowHeight = height;
    settings.FullScreen = fullScreen;
    Display* display = TheDisplay();
    if (!display) return;
    ApplyScreenMode(*display, width, height, 0, fullScreen != 0);
    if (InputDevices* input = TheInput()) {
        input->Window = display->WindowHandle.get();
        ApplyPointerVisibility(*input, input->PointerVisible);
    }
    // Both buffers and the input state start clean at the new size.
    for (int i = 0; i < 5; ++i)
        ShowFrame();
}

} // namespace vlm
