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

// The first character of UTF-8 text as a code point, 0 when it is not
// well-formed. (SDL's own converter names an encoding the system's iconv,
// which SDL hands the work to, does not know.)
char32_t FirstCharacter(const char* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = bytes[0];
    const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4) return 0;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (bytes[i] & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return cp;
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
        out.character = FirstCharacter(e.text.text);
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
