#include "platform/mouse.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/window.h"

namespace vlm::platform {

void PointerPosition(const GlWindow& window, std::int32_t& x, std::int32_t& y) {
    // On X the server is asked directly, which also answers while the
    // pointer is outside the window; the window-relative state SDL keeps
    // stops following the pointer at the window's edge.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window.Native(), &info) && info.subsystem == SDL_SYSWM_X11) {
        ::Window root = 0, child = 0;
        int rootX = 0, rootY = 0, winX = 0, winY = 0;
        unsigned int mask = 0;
        if (XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &rootX, &rootY, &winX,
                          &winY, &mask)) {
            x = winX;
            y = winY;
            return;
        }
    }
    SDL_GetMouseState(&x, &y);
}

std::uint32_t MouseButtons() {
    const Uint32 state = SDL_GetMouseState(nullptr, nullptr);
    std::uint32_t b = 0;
    if (state & SDL_BUTTON_LMASK) b |= kButtonLeft;
    if (state & SDL_BUTTON_RMASK) b |= kButtonRight;
    if (state & SDL_BUTTON_MMASK) b |= kButtonMiddle;
    return b;
}

void SetPointerCaptured(bool captured) {
    SDL_SetRelativeMouseMode(captured ? SDL_TRUE : SDL_FALSE);
    SDL_ShowCursor(captured ? SDL_DISABLE : SDL_ENABLE);
    if (captured) {
        int ignored = 0;
        SDL_GetRelativeMouseState(&ignored, &ignored); // start counting from here
    }
}

void RelativeMotion(std::int32_t& dx, std::int32_t& dy) {
    SDL_PumpEvents();
    SDL_GetRelativeMouseState(&dx, &dy);
}

void MovePointer(GlWindow& window, std::int32_t x, std::int32_t y) {
    SDL_WarpMouseInWindow(window.Native(), x, y);
}

} // namespace vlm::platform
