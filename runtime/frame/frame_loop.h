// The frame loop: ShowFrame presents the picture, keeps the window
// responsive, holds the program while paused and paces it to the frame-rate
// cap. The waiting operations keep the program alive without presenting.
#pragma once

#include <cstdint>

#include "frame/pacing.h"
#include "frame/sub_registry.h"
#include "frame/window_procedure.h"
#include "values/dyn_string.h"

namespace vlm {

class OpenGLGlimmer;
using Display = OpenGLGlimmer;

struct FrameLoopState {
    DynString WindowTitle; // the title given at start-up
    bool Paused = false;
    bool AutoPause = true;
    bool EscapeQuits = true;
    // The program's "VLM_WIN32_MSG": -1 not yet looked up, 1 found, 0 none.
    std::int32_t HookMarker = -1;
    MessageHookRoutine Hook = nullptr;
    bool RaiseWindowPending = false;
    bool FullScreenTogglePending = false; // Alt+Enter seen by the window procedure
    bool Unpaced = false;                 // VELMORA_UNPACED=1: frames are not held back
    SleepMargin Margin;                   // how early the pacing wakes
    bool MarginMeasured = false;
};

FrameLoopState& TheFrameLoop();

// Swaps the buffers, clears the next picture and waits for the frame time.
// Returns the milliseconds spent waiting plus 1.
double SwapAndPace(Display& display, MessageHookRoutine hook);
// Dispatches every waiting message of the display's window (to the hook
// first when there is one); → 1.
std::int32_t PumpMessages(Display& display, MessageHookRoutine hook);
// The hook, looked up once.
MessageHookRoutine CurrentMessageHook();

// ---- Program-facing ---------------------------------------------------------
void ShowFrame();
void SetFrameRateLimit(double framesPerSecond);
void SetEscapeQuits(std::int32_t flag);
// One step of a waiting loop: messages, keyboard, and Escape ends the program.
void IdleTick();
// Waits until a key is down or the mouse moves or a button changes.
void WaitForInput();
// Waits for a typed character (after any held key is released).
void WaitForKey();

} // namespace vlm
