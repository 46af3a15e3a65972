#include "input/joysticks.h"

#include <gtest/gtest.h>

#include "input/input_devices.h"

namespace vlm {
namespace {

TEST(Joysticks, AxesScaleToPlusMinusOneAndHatsGiveDirections) {
    EXPECT_DOUBLE_EQ(AxisValue(0), 0.0);
    EXPECT_DOUBLE_EQ(AxisValue(32767), 1.0);
    EXPECT_DOUBLE_EQ(AxisValue(-32768), -1.0); // clamped
    EXPECT_NEAR(AxisValue(16384), 0.5, 1e-4);
    EXPECT_EQ(HatX(9000), 1);
    EXPECT_EQ(HatX(27000), -1);
    EXPECT_EQ(HatX(4500), 0);
    EXPECT_EQ(HatX(-1), 0);
    EXPECT_EQ(HatY(0), -1);
    EXPECT_EQ(HatY(18000), 1);
    EXPECT_EQ(HatY(-1), 0);
}

TEST(Joysticks, MissingJoysticksReadAsZero) {
    CreateTheInput();
    EXPECT_EQ(JoystickCount(), 0);
    EXPECT_EQ(JoystickName(0), "");
    EXPECT_EQ(JoystickName(-1), "");
    EXPECT_EQ(JoystickX(0), 0.0);
    EXPECT_EQ(JoystickRz(42), 0.0);
    EXPECT_EQ(JoystickHatY(3), 0);
    std::int32_t x = 7, y = 7, b1 = 7, b2 = 7;
    JoystickState(x, y, b1, b2);
    EXPECT_EQ(x + y + b1 + b2, 0);
    JoystickForce(0, 1.0, 1.0, 1.0); // nothing to push: no effect, no fault
    DestroyTheInput();
}

} // namespace
} // namespace vlm
