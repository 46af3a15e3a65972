#include "values/dyn_string.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "support/program_end.h"

namespace vlm {
namespace {

TEST(DynString, CopiesAreDeepAndEmptyTextIsNeverNull) {
    DynString abc("abc");
    DynString copy(abc);
    copy.MakeUpper();
    EXPECT_EQ(abc, "abc");
    EXPECT_EQ(copy, "ABC");
    const DynString empty;
    EXPECT_STREQ(DynString(empty).c_str(), "");
    EXPECT_STREQ(DynString("").c_str(), "");
}

TEST(DynString, ReserveKeepsOrClearsText) {
    DynString s("abc");
    s.Reserve(20, true);
    EXPECT_EQ(s.view(), "abc");
    DynString t("abc");
    t.Reserve(20, false);
    EXPECT_EQ(t.length(), 3u); // the caller sets the length itself
    EXPECT_STREQ(t.c_str(), "");
}

TEST(DynStringDeathTest, TheLargestReserveIsOutOfMemory) {
    // n + 1 wraps to 0 for the largest n: it must not pass as "already big enough".
    EXPECT_ENDS_WITH_CODE(DynString().Reserve(UINT32_MAX, false), 7);
    EXPECT_ENDS_WITH_CODE(DynString().WritableBuffer(UINT32_MAX, false)[0] = 'x', 7);
}

TEST(DynString, SyncLengthStopsAtNulOrCapacity) {
    DynString s;
    char* buffer = s.WritableBuffer(10, false);
    std::string("hi\0there", 8).copy(buffer, 8);
    s.SyncLength();
    EXPECT_EQ(s.view(), "hi");

    // No terminator anywhere in the buffer: the last byte becomes one.
    buffer = s.WritableBuffer(10, false);
    for (std::uint32_t i = 0; i < s.capacity(); ++i) buffer[i] = 'x';
    s.SyncLength();
    EXPECT_EQ(s.length(), s.capacity() - 1);
    EXPECT_EQ(s.c_str()[s.length()], '\0');
}

TEST(DynString, TruncateAcceptsOnlyLengthsInsideTheText) {
    DynString s("abcdef");
    EXPECT_FALSE(s.Truncate(7)); // inside the capacity, but past the text
    EXPECT_FALSE(s.Truncate(-1));
    EXPECT_EQ(s, "abcdef");
    EXPECT_TRUE(s.Truncate(6));
    EXPECT_EQ(s, "abcdef");
    EXPECT_TRUE(s.Truncate(2));
    EXPECT_EQ(s, "ab");
    EXPECT_EQ(s.length(), 2u);
    EXPECT_FALSE(s.Truncate(5)); // bytes once written are gone for good
    EXPECT_TRUE(s.Truncate(0));
    EXPECT_TRUE(s.empty());
}

TEST(DynString, TrimControlRemovesOnlyControlBytes) {
    DynString crlf("AB\r\n");
    crlf.TrimControl();
    EXPECT_EQ(crlf, "AB");
    DynString accented("caf\xE9");
    accented.TrimControl();
    EXPECT_EQ(accented, "caf\xE9");
    DynString onlyControl("\x01\x1F");
    onlyControl.TrimControl();
    EXPECT_TRUE(onlyControl.empty());
}

TEST(DynString, AppendTextAndNumbers) {
    DynString s("Score: ");
    s += 1000;
    s += " / ";
    s += 2.5;
    s += DynString("!");
    EXPECT_EQ(s, "Score: 1000 / 2.5!");
    DynString same = s;
    same += "";
    EXPECT_EQ(same, s);
    DynString neg;
    neg += static_cast<std::int32_t>(-2147483647 - 1);
    EXPECT_EQ(neg, "-2147483648");
}

TEST(DynString, AppendOfItsOwnTextSurvivesGrowth) {
    DynString s("0123456789abcde"); // capacity 16, full
    s += s.view();
    EXPECT_EQ(s, "0123456789abcde0123456789abcde");
    s += s;
    EXPECT_EQ(s.length(), 60u);
}

TEST(DynString, AppendGrowsGeometrically) {
    DynString s;
    int reallocations = 0;
    const char* last = s.c_str();
    for (int i = 0; i < 100000; ++i) {
        s += "x";
        if (s.c_str() != last) ++reallocations, last = s.c_str();
    }
    EXPECT_EQ(s.length(), 100000u);
    EXPECT_LT(reallocations, 40);
}

TEST(DynString, ConcatenationWithNumbersOnEitherSide) {
    const DynString name("Level ");
    EXPECT_EQ(name + 3, "Level 3");
    EXPECT_EQ(name + 0.5, "Level 0.5");
    EXPECT_EQ(name + "x" + DynString("y"), "Level xy");
    EXPECT_EQ(-7 + DynString(" moves"), "-7 moves");
    EXPECT_EQ("a" + DynString("b"), "ab");
    EXPECT_EQ(1.5f + DynString("x"), "1.5x");
    EXPECT_EQ(0.1 + DynString("x"), "0.1x");
}

TEST(DynString, CaseConversionTouchesOnlyAsciiLetters) {
    const DynString mixed("aZ\xE9 1z[");
    EXPECT_EQ(StringUpper(mixed), "AZ\xE9 1Z[");
    EXPECT_EQ(StringLower(mixed), "az\xE9 1z[");
}

TEST(DynString, MidCutsAtTheEnds) {
    const DynString hello("HELLO");
    EXPECT_EQ(StringMid(hello, 1, 3), "ELL");
    EXPECT_EQ(StringMid(hello, 3, 10), "LO");
    EXPECT_EQ(StringMid(hello, 2, -1), "LLO");
    EXPECT_EQ(StringMid(hello, 5, 1), "");
    EXPECT_EQ(StringMid(hello, -1, 2), "");
    EXPECT_EQ(StringMid(hello, 0, 0), "");
    EXPECT_EQ(StringMid(hello, 2147483647, 2147483647), "");
    EXPECT_EQ(StringMid(hello, 1, 2147483647), "ELLO");
}

TEST(DynString, FindFromAStartPosition) {
    EXPECT_EQ(StringFind("ABCABC", "C", 3), 5);
    EXPECT_EQ(StringFind("ABCABC", "C", 0), 2);
    EXPECT_EQ(StringFind("ABC", "", 3), 3);
    EXPECT_EQ(StringFind("ABC", "A", 4), -1);
    EXPECT_EQ(StringFind("ABC", "A", -1), -1);
    EXPECT_EQ(StringFind("ABC", "D", 0), -1);
    EXPECT_EQ(StringFindFirstOf("hello, world", " ,"), 5);
    EXPECT_EQ(StringFindFirstOf("hello", "xyz"), -1);
    EXPECT_EQ(StringFindFirstNotOf("  \tx", " \t"), 3);
    EXPECT_EQ(StringFindFirstNotOf("   ", " "), -1);
}

TEST(DynString, ReplaceAllNeverRescansReplacements) {
    EXPECT_EQ(StringReplaceAll(DynString("aaa"), "a", "aa"), "aaaaaa");
    EXPECT_EQ(StringReplaceAll(DynString("a-b-c"), "-", "+"), "a+b+c");
    EXPECT_EQ(StringReplaceAll(DynString("a--b"), "--", ""), "ab");
    EXPECT_EQ(StringReplaceAll(DynString("abc"), "x", "y"), "abc");
    EXPECT_EQ(StringReplaceAll(DynString("abc"), "", "y"), "abc");
}

TEST(DynString, HexHighNibbleFirst) {
    const std::array<std::uint8_t, 4> bytes{0x00, 0x0F, 0xA5, 0xFF};
    EXPECT_EQ(StringToHex(bytes), "000FA5FF");
    EXPECT_EQ(StringToHex({}), "");
}

TEST(DynString, ComparisonsAreByteWiseAndCaseSensitive) {
    const DynString a("a"), B("B"), a2("a");
    EXPECT_FALSE(a < B); // 0x61 > 0x42
    EXPECT_TRUE(a > B);
    EXPECT_TRUE(a == a2);
    EXPECT_TRUE(a != B);
    EXPECT_TRUE(a <= a2);
    EXPECT_TRUE(DynString("abc") < "abd");
    EXPECT_TRUE(DynString("\xE9") > "z"); // bytes compare as unsigned
    EXPECT_FALSE(DynString("ab") == DynString("abc"));
}

TEST(DynString, ComparisonsWithNumbersConvertTheText) {
    EXPECT_TRUE(DynString("10") == 10.0);
    EXPECT_TRUE(DynString("1e1") == 10.0);
    EXPECT_TRUE(DynString("abc") == 0);
    EXPECT_TRUE(DynString("9") < 10);
    EXPECT_EQ(CompareStringNumber(DynString("2.5"), 3.0), -1);
    EXPECT_EQ(CompareStringNumber(DynString("3"), 3.0), 0);
    EXPECT_EQ(CompareStringNumber(DynString("12abc"), 4), 1);
}

} // namespace
} // namespace vlm
