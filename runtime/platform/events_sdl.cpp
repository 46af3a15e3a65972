#include "platform/events.h"

#include <SDL.h>

#include "platform/keyboard.h"

namespace vlm::platform {

namespace {

std::uint32_t Modifiers(Uint16 mod) {
    std::uint32_t m = 0;
    if (mod & KMOD_SHIFT) m |= kModShift;
    if (mod & KMOD_CTRL) m |= kModControl;
    if (mod & KMOD_ALT) m |= kModAlt;
    return m;
}

std::uint32_t Buttons(Uint32 state) {
    std::uint32_t b = 0;
    if (state & SDL_BUTTON_LMASK) b |= 1;
    if (state & SDL_BUTTON_RMASK) b |= 2;
    if (state & SDL_BUTTON_MMASK) b |= 4;
    return b;
}

MouseButton ButtonOf(Uint8 button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return MouseButton::Left;
    case SDL_BUTTON_MIDDLE:
        return MouseButton::Middle;
    case SDL_BUTTON_RIGHT:
        return MouseButton::Right;
    default:
        return MouseButton::Other;
    }
}

// The first character of UTF-8 text as a single byte, 0 outside Latin-1.
std::uint8_t Latin1Of(const char* text) {
    const auto b0 = static_cast<unsigned char>(text[0]);
    if (b0 < 0x80) return b0;
    const auto b1 = static_cast<unsigned char>(text[1]);
    if ((b0 == 0xC2 || b0 == 0xC3) && (b1 & 0xC0) == 0x80)
        return static_cast<std::uint8_t>(((b0 & 0x03) << 6) | (b1 & 0x3F));
    return 0;
}

void Translate(const SDL_Event& e, Event& out) {
    out = Event{};
    out.time = e.common.timestamp;
    switch (e.type) {
    case SDL_QUIT:
        out.kind = EventKind::Close;
        break;
    case SDL_WINDOWEVENT:
        out.window = e.window.windowID;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            out.kind = EventKind::Close;
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.kind = EventKind::FocusGained;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.kind = EventKind::FocusLost;
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out.kind = e.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp;
        out.window = e.key.windowID;
        out.scanCode = ScanCodeForPlatformKey(e.key.keysym.scancode);
        out.layoutChar = LayoutCharForScanCode(out.scanCode);
        out.repeat = e.key.repeat != 0;
        out.modifiers = Modifiers(e.key.keysym.mod);
        break;
    case SDL_MOUSEMOTION:
        out.kind = EventKind::MouseMove;
        out.window = e.motion.windowID;
        out.x = e.motion.x;
        out.y = e.motion.y;
        out.buttons = Buttons(e.motion.state);
        out.modifiers = Modifiers(SDL_GetModState());
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        out.kind = e.type == SDL_MOUSEBUTTONDOWN ? EventKind::ButtonDown : EventKind::ButtonUp;
        out.window = e.button.windowID;
        out.x = e.button.x;
        out.y = e.button.y;
        out.button = ButtonOf(e.button.button);
        out.buttons = Buttons(SDL_GetMouseState(nullptr, nullptr));
        out.modifiers = Modifiers(SDL_GetModState());
        break;
    case SDL_MOUSEWHEEL:
        out.kind = EventKind::Wheel;
        out.window = e.wheel.windowID;
        out.wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        SDL_GetMouseState(&out.x, &out.y);
        out.buttons = Buttons(SDL_GetMouseState(nullptr, nullptr));
        out.modifiers = Modifiers(SDL_GetModState());
        break;
    case SDL_TEXTINPUT:
        out.kind = EventKind::Character;
        out.window = e.text.windowID;
        out.character = Latin1Of(e.text.text);
        break;
    default:
        break;
    }
}

} // namespace

bool NextEvent(Event& event) {
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    Translate(e, event);
    return true;
}

} // namespace vlm::platform
