#include "platform/joystick.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>

namespace vlm::platform {

namespace {

bool StartJoysticks() {
    if (SDL_WasInit(SDL_INIT_JOYSTICK)) return true;
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

std::int32_t HatAngle(Uint8 hat) {
    switch (hat) {
    case SDL_HAT_UP:
        return 0;
    case SDL_HAT_RIGHTUP:
        return 4500;
    case SDL_HAT_RIGHT:
        return 9000;
    case SDL_HAT_RIGHTDOWN:
        return 13500;
    case SDL_HAT_DOWN:
        return 18000;
    case SDL_HAT_LEFTDOWN:
        return 22500;
    case SDL_HAT_LEFT:
        return 27000;
    case SDL_HAT_LEFTUP:
        return 31500;
    default:
        return -1;
    }
}

} // namespace

int JoystickDeviceCount() {
    return StartJoysticks() ? std::max(0, SDL_NumJoysticks()) : 0;
}

std::unique_ptr<Joystick> Joystick::Open(int deviceIndex) {
    if (!StartJoysticks()) return nullptr;
    SDL_Joystick* joystick = SDL_JoystickOpen(deviceIndex);
    if (!joystick) return nullptr;
    return std::unique_ptr<Joystick>(new Joystick(joystick));
}

Joystick::~Joystick() {
    if (haptic_) SDL_HapticClose(haptic_);
    SDL_JoystickClose(joystick_);
}

std::string Joystick::Name() const {
    const char* name = SDL_JoystickName(joystick_);
    const std::string product = name ? name : "";
    // The attached device is told apart by its player slot when it has one.
    const int player = SDL_JoystickGetPlayerIndex(joystick_);
    const std::string instance = player >= 0 ? product + " " + std::to_string(player + 1) : product;
    return instance + ", " + product;
}

bool Joystick::Read(JoystickReading& reading) {
    reading = JoystickReading{};
    if (!SDL_JoystickGetAttached(joystick_)) return false;
    SDL_JoystickUpdate();
    const int axes = std::min(SDL_JoystickNumAxes(joystick_), 6);
    for (int i = 0; i < axes; ++i)
        reading.Axes[static_cast<std::size_t>(i)] = SDL_JoystickGetAxis(joystick_, i);
    if (SDL_JoystickNumHats(joystick_) > 0) reading.Hat = HatAngle(SDL_JoystickGetHat(joystick_, 0));
    const int buttons = std::min(SDL_JoystickNumButtons(joystick_), 32);
    for (int i = 0; i < buttons; ++i) {
        reading.Buttons[static_cast<std::size_t>(i)] = SDL_JoystickGetButton(joystick_, i) ? 0x80 : 0;
    }
    return true;
}

bool Joystick::Push(double x, double y, double strength, std::uint32_t milliseconds) {
    if (!haptic_) {
        if (!SDL_WasInit(SDL_INIT_HAPTIC) && SDL_InitSubSystem(SDL_INIT_HAPTIC) != 0) return false;
        haptic_ = SDL_HapticOpenFromJoystick(joystick_);
        if (!haptic_) return false;
        if (SDL_HapticQuery(haptic_) & SDL_HAPTIC_GAIN) SDL_HapticSetGain(haptic_, 100);
    }
    if (!(SDL_HapticQuery(haptic_) & SDL_HAPTIC_CONSTANT)) return false;
    SDL_HapticEffect effect{};
    effect.type = SDL_HAPTIC_CONSTANT;
    effect.constant.direction.type = SDL_HAPTIC_CARTESIAN;
    effect.constant.direction.dir[0] = static_cast<Sint32>(x * 32767);
    effect.constant.direction.dir[1] = static_cast<Sint32>(y * 32767);
    effect.constant.length = milliseconds;
    effect.constant.level = static_cast<Sint16>(std::clamp(strength, 0.0, 1.0) * 32767);
    if (effect_ >= 0) SDL_HapticDestroyEffect(haptic_, effect_);
    effect_ = SDL_HapticNewEffect(haptic_, &effect);
    return effect_ >= 0 && SDL_HapticRunEffect(haptic_, effect_, 1) == 0;
}

} // namespace vlm::platform
