// Joysticks and their force feedback.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

struct _SDL_Joystick;
struct _SDL_Haptic;

namespace vlm::platform {

// One reading in the system's joystick layout: six axes (X, Y, Z, Rx, Ry,
// Rz) in -32768..32767, the first hat in hundredths of a degree clockwise
// from up (-1 when centred), 32 button bytes with bit 7 = down.
struct JoystickReading {
    std::array<std::int32_t, 6> Axes{};
    std::int32_t Hat = -1;
    std::array<std::uint8_t, 32> Buttons{};
};

// Attached joysticks (starts the joystick layer on first use).
int JoystickDeviceCount();

class Joystick {
  public:
    static std::unique_ptr<Joystick> Open(int deviceIndex); // null on failure
    ~Joystick();
    Joystick(const Joystick&) = delete;
    Joystick& operator=(const Joystick&) = delete;

    // "instance, product": the device as attached, then its product name.
    std::string Name() const;
    bool Read(JoystickReading& reading);
    // A constant push: direction (x, y), strength 0..1, for `milliseconds`.
    bool Push(double x, double y, double strength, std::uint32_t milliseconds);

  private:
    explicit Joystick(_SDL_Joystick* joystick) : joystick_(joystick) {}
    _SDL_Joystick* joystick_;
    _SDL_Haptic* haptic_ = nullptr;
    int effect_ = -1;
};

} // namespace vlm::platform
