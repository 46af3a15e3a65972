// The display: the one OpenGLGlimmer object of the process, holding the
// window with its GL context, the drawing size, the 2D view and the frame
// pacing values. The 2D drawing layer keeps its state here as well.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "gfx2d/background_slots.h"
#include "gfx2d/drawing_state.h"
#include "gfx2d/render_surfaces.h"
#include "gfx2d/sprite_store.h"
#include "platform/window.h"

namespace vlm {

class OpenGLGlimmer {
  public:
    OpenGLGlimmer() = default;
    ~OpenGLGlimmer(); // destroys the window when there still is one
    OpenGLGlimmer(const OpenGLGlimmer&) = delete;
    OpenGLGlimmer& operator=(const OpenGLGlimmer&) = delete;

    // ---- Window and GL context ----------------------------------------------
    std::unique_ptr<platform::GlWindow> WindowHandle; // owns the GL context too
    std::int32_t ScreenWidth = 0;                     // drawing surface size in pixels
    std::int32_t ScreenHeight = 0;
    std::int32_t ColourDepth = 0; // bits per pixel asked for (0 = the desktop's)
    bool FullScreenActive = false;
    std::int32_t MultisampleLevel = 0;
    bool GlReady = false; // a window with a current context exists

    // ---- The current 2D view ------------------------------------------------
    std::int32_t ViewX = 0;
    std::int32_t ViewY = 0;
    std::int32_t ViewWidth = 0;
    std::int32_t ViewHeight = 0;

    // ---- Frame pacing -----------------------------------------------------------
    double FrameInterval = 2.0; // ms between frames
    double NextFrameTime = 0.0; // MillisecondsNow before which no frame is shown

    // ---- 2D drawing state -------------------------------------------------------
    SpriteStore Sprites{GlReady}; // textures are deleted only while GlReady is set
    DrawingState Drawing;
    std::array<BackgroundSlot, kBackgroundSlotCount> Backgrounds;
    OffscreenState Offscreen;
};
using Display = OpenGLGlimmer;

// The process's display: null before start-up creates it and after shutdown.
Display* TheDisplay();
// Creates the process's display (replacing any earlier one) and returns it.
Display& CreateTheDisplay();
void DestroyTheDisplay();

// Opens the window at the drawing size with its GL context, sets the pacing
// from `frameCap` and the full-screen 2D view. The full-screen request is
// taken by EnterFullScreen afterwards. False when no window could be made.
bool CreateDisplayWindow(Display& display, std::int32_t width, std::int32_t height, std::int32_t colourDepth,
                         std::int32_t frameCap, std::int32_t multisample, bool fullScreen);
// Frees sprites and background slots, leaves full screen, closes the window.
void DestroyDisplayWindow(Display& display);
std::int32_t EnterWindowed(Display& display);   // → 1
std::int32_t EnterFullScreen(Display& display); // → 1, or 0 with "No Fullscreen Mode available"
// Stores each non-zero size value, then enters the asked mode.
void ApplyScreenMode(Display& display, std::int32_t width, std::int32_t height, std::int32_t colourDepth,
                     bool fullScreen);
// Leaves full screen and hides the window (started hidden, file dialog).
void HideWindowForBackground(Display& display);
// The 2D view: viewport, y-down orthographic projection, reset GL state.
// A width or height below 1 means the whole screen.
void SetViewport2D(Display& display, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

// The frame cap a mode switch recreates the pacing with: the nearest whole
// number of frames per second to 1000 / interval (5 without a cap).
std::int32_t FrameCapForInterval(double frameInterval);

// ---- Program-facing ---------------------------------------------------------
// Stores the size in the start-up settings, switches the screen
// mode, re-applies the pointer and shows five frames at the new size.
void SetScreenSize(std::int32_t width, std::int32_t height, std::int32_t fullScreen);

} // namespace vlm
