#include "platform/keyboard.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <set>

namespace vlm::platform {
namespace {

TEST(KeyboardTable, EveryScanCodeMapsBackToItsKey) {
    std::set<int> keys;
    for (int code = 1; code < 256; ++code) {
        const int key = PlatformKeyForScanCode(static_cast<std::uint8_t>(code));
        if (key == 0) continue;
        EXPECT_TRUE(keys.insert(key).second) << "two scan codes share key " << key;
        EXPECT_EQ(ScanCodeForPlatformKey(key), code);
    }
    EXPECT_EQ(ScanCodeForPlatformKey(-1), 0);
    EXPECT_EQ(ScanCodeForPlatformKey(100000), 0);
    EXPECT_EQ(PlatformKeyForScanCode(0), 0);
    // The main block and function keys, 1..88, all but the gaps 84, 85, and the extended keys.
    for (int code = 1; code <= 88; ++code) {
        if (code != 84 && code != 85) {
            EXPECT_NE(PlatformKeyForScanCode(static_cast<std::uint8_t>(code)), 0) << code;
        }
    }
    for (const int code : {156, 157, 181, 184, 199, 200, 201, 203, 205, 207, 208, 209, 210, 211, 219, 220, 221})
        EXPECT_NE(PlatformKeyForScanCode(static_cast<std::uint8_t>(code)), 0) << code;
}

// What a program wrote comes back whole in the WAVE reader's sox runs.
TEST(Process, FailedOrMissingProgramsGiveNoOutputAndProgramsAreFoundOnThePath) {
    const std::string failing[] = {"false"};
    EXPECT_FALSE(RunForOutput(failing).has_value()); // ended with 1
    const std::string missing[] = {"no-such-program-here"};
    EXPECT_FALSE(RunForOutput(missing).has_value());
    EXPECT_FALSE(RunForOutput({}).has_value());
    EXPECT_TRUE(ProgramOnPath("sh"));
    EXPECT_FALSE(ProgramOnPath("no-such-program-here"));
    EXPECT_FALSE(ProgramOnPath(""));
}

} // namespace
} // namespace vlm::platform
