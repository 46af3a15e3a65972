#include "input/joysticks.h"

#include <algorithm>

#include "input/input_devices.h"

namespace vlm {

namespace {

platform::JoystickReading ReadJoystick(std::int32_t n) {
    InputDevices* input = TheInput();
    return input ? input->Joysticks.Read(n) : platform::JoystickReading{};
}

double Axis(std::int32_t n, std::size_t axis) {
    return AxisValue(ReadJoystick(n).Axes[axis]);
}

} // namespace

void JoystickSet::Open() {
    count_ = 0;
    const int attached = platform::JoystickDeviceCount();
    for (int i = 0; i < attached && count_ < kSlots; ++i) {
        std::unique_ptr<platform::Joystick> device = platform::Joystick::Open(i);
        if (!device) continue; // enumeration goes on
        names_[static_cast<std::size_t>(count_)] = device->Name();
        devices_[static_cast<std::size_t>(count_)] = std::move(device);
        ++count_;
    }
}

platform::JoystickReading JoystickSet::Read(std::int32_t n) {
    platform::JoystickReading reading;
    if (n < 0 || n >= kSlots || !devices_[static_cast<std::size_t>(n)]) return reading;
    if (!devices_[static_cast<std::size_t>(n)]->Read(reading)) return platform::JoystickReading{};
    return reading;
}

std::string JoystickSet::Name(std::int32_t n) const {
    if (n < 0 || n >= count_) return {};
    return names_[static_cast<std::size_t>(n)];
}

void JoystickSet::Force(std::int32_t n, double seconds, double x, double y) {
    if (n < 0 || n >= kSlots || !devices_[static_cast<std::size_t>(n)]) return;
    x = std::clamp(x, -1.0, 1.0);
    y = std::clamp(y, -1.0, 1.0);
    // Magnitude (x² + y²) · 10000 · 0.5 on a 0..10000 scale.
    const double strength = (x * x + y * y) * 0.5;
    const double ms = std::max(0.0, seconds * 1000.0);
    devices_[static_cast<std::size_t>(n)]->Push(x, y, strength, static_cast<std::uint32_t>(ms));
}

double AxisValue(std::int32_t raw) {
    return std::clamp(raw / 32767.0, -1.0, 1.0);
}
std::int32_t HatX(std::int32_t hat) {
    return hat == 9000 ? 1 : hat == 27000 ? -1 : 0;
}
std::int32_t HatY(std::int32_t hat) {
    return hat == 0 ? -1 : hat == 18000 ? 1 : 0;
}

double JoystickX(std::int32_t n) {
    return Axis(n, 0);
}
double JoystickY(std::int32_t n) {
    return Axis(n, 1);
}
double JoystickZ(std::int32_t n) {
    return Axis(n, 2);
}
double JoystickRx(std::int32_t n) {
    return Axis(n, 3);
}
double JoystickRy(std::int32_t n) {
    return Axis(n, 4);
}
double JoystickRz(std::int32_t n) {
    return Axis(n, 5);
}
std::int32_t JoystickHatX(std::int32_t n) {
    return HatX(ReadJoystick(n).Hat);
}
std::int32_t JoystickHatY(std::int32_t n) {
    return HatY(ReadJoystick(n).Hat);
}

void JoystickState(std::int32_t& x, std::int32_t& y, std::int32_t& button1, std::int32_t& button2) {
    const platform::JoystickReading r = ReadJoystick(0);
    x = r.Axes[0] / 30000;
    y = r.Axes[1] / 30000;
    button1 = r.Buttons[0];
    button2 = r.Buttons[1];
}

DynString JoystickName(std::int32_t n) {
    const InputDevices* input = TheInput();
    return input ? DynString(std::string_view(input->Joysticks.Name(n))) : DynString();
}

std::int32_t JoystickCount() {
    const InputDevices* input = TheInput();
    return input ? input->Joysticks.Count() : 0;
}

void JoystickForce(std::int32_t n, double seconds, double x, double y) {
    if (InputDevices* input = TheInput()) input->Joysticks.Force(n, seconds, x, y);
}

} // namespace vlm
