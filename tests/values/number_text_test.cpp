#include "values/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "values/windows_1252.h"

namespace vlm {
namespace {

TEST(NumberText, TenSignificantDigitsWithoutATrailingPoint) {
    for (const auto& [number, text] : std::initializer_list<std::pair<double, const char*>>{
             {0, "0"},
             {-0.0, "-0"},
             {100, "100"},
             {-42, "-42"},
             {1234567890, "1234567890"},
             {0.1, "0.1"},
             {-2.25, "-2.25"},
             {1.0 / 3.0, "0.3333333333"},
             {2.0 / 3.0, "0.6666666667"},
             {123456789012.0, "1.23456789e+11"}, // beyond ten digits: exponent form
             {1e12, "1e+12"},
             {0.00001, "1e-05"},
             {-1.5e-300, "-1.5e-300"},
             {std::numeric_limits<double>::max(), "1.797693135e+308"}})
        EXPECT_EQ(NumberToText(number), text);
    EXPECT_EQ(IntegerToText(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(IntegerTextLength(-100), 4);
    EXPECT_EQ(NumberTextLength(0.25), 4);
}

TEST(NumberText, TextToNumbersUsesLeadingPart) {
    EXPECT_DOUBLE_EQ(TextToNumber(DynString("  3.5xyz")), 3.5);
    EXPECT_DOUBLE_EQ(TextToNumber(DynString("abc")), 0.0);
    EXPECT_EQ(TextToInteger(DynString("-12.9")), -12);
    EXPECT_EQ(TextToInteger(DynString("")), 0);
}

TEST(NumberText, FormattedNumbers) {
    EXPECT_EQ(FormatNumber(6, 2, 3.14159), "  3.14");
    EXPECT_EQ(FormatNumber(6.9, 2.9, 3.14159), "  3.14"); // sizes are truncated
    EXPECT_EQ(FormatNumber(0, 0, 2.5), "2");
    EXPECT_EQ(FormatNumber(-8, 1, 1.25), "1.2     ");
    // Longer than any small fixed buffer: all of it, nothing overwritten.
    const DynString wide = FormatNumber(200, 3, 1e300);
    EXPECT_EQ(wide.length(), 305u);
    EXPECT_EQ(wide.c_str()[wide.length()], '\0');
    // Absurd sizes are clamped instead of overflowing the conversion.
    EXPECT_EQ(FormatNumber(1e300, 2, 1.0).length(), 4096u);
    EXPECT_EQ(FormatNumber(std::nan(""), -5, 1.5), "2");
}

TEST(NumberText, CharacterCodesAndCaseInsensitiveCompare) {
    EXPECT_EQ(CharacterCode(DynString()), 0);
    EXPECT_EQ(CharacterCode(DynString("\xE9")), 0xE9);
    EXPECT_EQ(CharacterFromCode(65), "A");
    EXPECT_EQ(CharacterFromCode(0x141), "A"); // low 8 bits
    EXPECT_EQ(CharacterFromCode(0).length(), 1u);
    EXPECT_EQ(CompareNoCase(DynString("Hello"), DynString("hELLO")), 0);
    EXPECT_LT(CompareNoCase(DynString("apple"), DynString("Banana")), 0);
    EXPECT_GT(CompareNoCase(DynString("b"), DynString("A")), 0);
}

TEST(Windows1252, CharactersAndBytes) {
    for (const auto& [character, byte] : std::initializer_list<std::pair<char32_t, std::uint8_t>>{
             {U'A', 'A'}, {U'\u20AC', 0x80}, {U'\u0178', 0x9F}, {U'\u00E9', 0xE9}}) {
        EXPECT_EQ(ByteOfCodePoint(character), byte);
        EXPECT_EQ(CodePointOfByte(byte), character);
    }
    EXPECT_EQ(ByteOfCodePoint(U'\u0080'), 0); // a control character, not the euro sign
    EXPECT_EQ(ByteOfCodePoint(U'\u4E2D'), 0);
    EXPECT_EQ(Utf8FromSingleByte("\x80 caf\xE9"), "\xE2\x82\xAC caf\xC3\xA9");
}

} // namespace
} // namespace vlm
