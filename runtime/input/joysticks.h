// Up to ten joysticks: axes scaled to -1..1, hats, buttons, force feedback.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/joystick.h"
#include "values/dyn_string.h"

namespace vlm {

class JoystickSet {
  public:
    static constexpr int kSlots = 10;
    // Takes the attached joysticks, at most ten.
    void Open();
    std::int32_t Count() const { return count_; }
    // Joysticks outside 0..9 or without a device read as all zeros.
    platform::JoystickReading Read(std::int32_t n);
    std::string Name(std::int32_t n) const;
    void Force(std::int32_t n, double seconds, double x, double y);

  private:
    std::array<std::unique_ptr<platform::Joystick>, kSlots> devices_;
    std::array<std::string, kSlots> names_;
    std::int32_t count_ = 0;
};

// The joystick scaling rules, apart for testing.
double AxisValue(std::int32_t raw);  // raw / 32767 clamped to -1..1
std::int32_t HatX(std::int32_t hat); // 1 at 9000, -1 at 27000, else 0
std::int32_t HatY(std::int32_t hat); // -1 at 0, 1 at 18000, else 0

// ---- Program-level operations (joystick n) ---------------------------------
double JoystickX(std::int32_t n);
double JoystickY(std::int32_t n);
double JoystickZ(std::int32_t n);
double JoystickRx(std::int32_t n);
double JoystickRy(std::int32_t n);
double JoystickRz(std::int32_t n);
std::int32_t JoystickHatX(std::int32_t n);
std::int32_t JoystickHatY(std::int32_t n);
// Joystick 0: x and y as -1..1 integers (/ 30000), the first two buttons raw.
void JoystickState(std::int32_t& x, std::int32_t& y, std::int32_t& button1, std::int32_t& button2);
DynString JoystickName(std::int32_t n);
std::int32_t JoystickCount();
void JoystickForce(std::int32_t n, double seconds, double x, double y);

} // namespace vlm
