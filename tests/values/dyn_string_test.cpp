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

TEST(DynString, BuffersForOutsideCode) {
    DynString s("abc");
    s.Reserve(20, true);
    EXPECT_EQ(s.view(), "abc");
    DynString t("abc");
    t.Reserve(20, false);
    EXPECT_EQ(t.length(), 3u); // the caller sets the length itself
    EXPECT_STREQ(t.c_str(), "");
    // SyncLength stops at the first NUL...
    char* buffer = t.WritableBuffer(10, false);
    std::string("hi\0there", 8).copy(buffer, 8);
    t.SyncLength();
    EXPECT_EQ(t.view(), "hi");
    // ...or, with no terminator anywhere in the buffer, makes the last byte one.
    buffer = t.WritableBuffer(10, false);
    for (std::uint32_t i = 0; i < t.capacity(); ++i)
        buffer[i] = 'x';
    t.SyncLength();
    EXPECT_EQ(t.length(), t.capacity() - 1);
    EXPECT_EQ(t.c_str()[t.length()], '\0');
}

TEST(DynStringDeathTest, TheLargestReserveIsOutOfMemory) {
    // n + 1 wraps to 0 for the largest n: it must not pass as "already big enough".
    EXPECT_ENDS_WITH_CODE(DynString().Reserve(UINT32_MAX, false), 7);
    EXPECT_ENDS_WITH_CODE(DynString().WritableBuffer(UINT32_MAX, false)[0] = 'x', 7);
}

TEST(DynString, TruncateAcceptsOnlyLengthsInsideTheTextAndTrimCutsOnlyControlBytes) {
    DynString s("abcdef");
    EXPECT_FALSE(s.Truncate(7)); // inside the capacity, but past the text
    EXPECT_FALSE(s.Truncate(-1));
    EXPECT_TRUE(s.Truncate(6));
    EXPECT_EQ(s, "abcdef");
    EXPECT_TRUE(s.Truncate(2));
    EXPECT_EQ(s, "ab");
    EXPECT_FALSE(s.Truncate(5)); // bytes once written are gone for good
    EXPECT_TRUE(s.Truncate(0));
    EXPECT_TRUE(s.empty());
    for (const auto& [text, trimmed] : {std::pair{"AB\r\n", "AB"}, {"caf\xE9", "caf\xE9"}, {"\x01\x1F", ""}}) {
        DynString t(text);
        t.TrimControl();
        EXPECT_EQ(t, trimmed) << text;
    }
}

TEST(DynString, AppendAndConcatenateTextAndNumbers) {
    DynString s("Score: ");
    s += 1000;
    s += " / ";
    s += 2.5;
    s += DynString("!");
    s += "";
    EXPECT_EQ(s, "Score: 1000 / 2.5!");
    EXPECT_EQ(DynString() += static_cast<std::int32_t>(-2147483647 - 1), "-2147483648");
    const DynString name("Level ");
    EXPECT_EQ(name + 3, "Level 3");
    EXPECT_EQ(name + 0.5, "Level 0.5");
    EXPECT_EQ(name + "x" + DynString("y"), "Level xy");
    EXPECT_EQ(-7 + DynString(" moves"), "-7 moves");
    EXPECT_EQ("a" + DynString("b"), "ab");
    EXPECT_EQ(1.5f + DynString("x"), "1.5x");
    EXPECT_EQ(0.1 + DynString("x"), "0.1x");
    // A text appended to itself survives the growth.
    DynString own("0123456789abcde"); // capacity 16, full
    own += own.view();
    EXPECT_EQ(own, "0123456789abcde0123456789abcde");
    own += own;
    EXPECT_EQ(own.length(), 60u);
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

TEST(DynString, CaseHexAndReplacement) {
    const DynString mixed("aZ\xE9 1z[");
    EXPECT_EQ(StringUpper(mixed), "AZ\xE9 1Z["); // only ASCII letters change
    EXPECT_EQ(StringLower(mixed), "az\xE9 1z[");
    EXPECT_EQ(StringToHex(std::array<std::uint8_t, 4>{0x00, 0x0F, 0xA5, 0xFF}), "000FA5FF");
    EXPECT_EQ(StringToHex({}), "");
    // Replacements are never searched again.
    EXPECT_EQ(StringReplaceAll(DynString("aaa"), "a", "aa"), "aaaaaa");
    EXPECT_EQ(StringReplaceAll(DynString("a-b-c"), "-", "+"), "a+b+c");
    EXPECT_EQ(StringReplaceAll(DynString("a--b"), "--", ""), "ab");
    EXPECT_EQ(StringReplaceAll(DynString("abc"), "x", "y"), "abc");
    EXPECT_EQ(StringReplaceAll(DynString("abc"), "", "y"), "abc");
}

TEST(DynString, MidAndFindStayInsideTheText) {
    using Mid = std::tuple<std::int32_t, std::int32_t, const char*>;
    for (const auto& [start, count, part] :
         {Mid{1, 3, "ELL"}, Mid{3, 10, "LO"}, Mid{2, -1, "LLO"}, Mid{5, 1, ""}, Mid{-1, 2, ""}, Mid{0, 0, ""},
          Mid{2147483647, 2147483647, ""}, Mid{1, 2147483647, "ELLO"}})
        EXPECT_EQ(StringMid(DynString("HELLO"), start, count), part) << start << " " << count;
    using Find = std::tuple<const char*, const char*, std::int32_t, std::int32_t>;
    for (const auto& [text, search, start, at] :
         {Find{"ABCABC", "C", 3, 5}, Find{"ABCABC", "C", 0, 2}, Find{"ABC", "", 3, 3}, Find{"ABC", "A", 4, -1},
          Find{"ABC", "A", -1, -1}, Find{"ABC", "D", 0, -1}})
        EXPECT_EQ(StringFind(text, search, start), at) << text << " " << search << " " << start;
    EXPECT_EQ(StringFindFirstOf("hello, world", " ,"), 5);
    EXPECT_EQ(StringFindFirstOf("hello", "xyz"), -1);
    EXPECT_EQ(StringFindFirstNotOf("  \tx", " \t"), 3);
    EXPECT_EQ(StringFindFirstNotOf("   ", " "), -1);
}

TEST(DynString, ComparisonsAreByteWiseOrConvertTheTextForNumbers) {
    const DynString a("a"), B("B"), a2("a");
    EXPECT_TRUE(a > B); // 0x61 > 0x42: case-sensitive
    EXPECT_FALSE(a < B);
    EXPECT_TRUE(a == a2);
    EXPECT_TRUE(a <= a2);
    EXPECT_TRUE(DynString("abc") < "abd");
    EXPECT_TRUE(DynString("\xE9") > "z"); // bytes compare as unsigned
    EXPECT_FALSE(DynString("ab") == DynString("abc"));
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
