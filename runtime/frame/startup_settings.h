// The start-up record a program fills before the runtime starts.
#pragma once

#include <cstdint>

#include "values/dyn_string.h"

namespace vlm {

struct StartupSettings {
    std::int32_t WindowWidth = 0;  // drawing surface size in pixels
    std::int32_t WindowHeight = 0;
    std::int32_t FrameRate = 0;    // frames-per-second cap; 0 or less: no cap
    std::int32_t FullScreen = 0;
    std::int32_t Multisample = 0;  // anti-aliasing samples asked for (0 = off)
    std::int32_t DebugMode = 0;    // end report in the log, no pause on focus loss
    std::int32_t HidePointer = 0;  // start with the pointer hidden and captured
    DynString Title;
};

StartupSettings& TheStartupSettings();

} // namespace vlm
