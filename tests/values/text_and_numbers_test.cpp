// Text and numbers: the text value, the text of numbers, arithmetic, random
// draws and the data lists that programs read numbers and text from.
#include "values/data_list.h"
#include "values/dyn_string.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "support/program_end.h"
#include "support/temp_folder.h"
#include "values/number_text.h"
#include "values/numeric.h"
#include "values/random.h"
#include "values/windows_1252.h"

namespace vlm {
namespace {

TEST(DynString, CopiesAreDeepAndEmptyTextIsNeverNull) {
    DynString abc("abc");
    DynString copy(abc);
    copy.MakeUpper();
    EXPECT_EQ(abc, "abc");
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
    EXPECT_EQ(s, "Score: 1000 / 2.5!");
    EXPECT_EQ(DynString() += static_cast<std::int32_t>(-2147483647 - 1), "-2147483648");
    const DynString name("Level ");
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
    EXPECT_TRUE(a == a2);
    EXPECT_TRUE(DynString("\xE9") > "z"); // bytes compare as unsigned
    EXPECT_FALSE(DynString("ab") == DynString("abc"));
    EXPECT_TRUE(DynString("1e1") == 10.0);
    EXPECT_TRUE(DynString("abc") == 0);
    EXPECT_TRUE(DynString("9") < 10);
    EXPECT_EQ(CompareStringNumber(DynString("2.5"), 3.0), -1);
    EXPECT_EQ(CompareStringNumber(DynString("3"), 3.0), 0);
    EXPECT_EQ(CompareStringNumber(DynString("12abc"), 4), 1);
}

TEST(NumberText, TenSignificantDigitsWithoutATrailingPoint) {
    // Beyond ten significant digits, the exponent form.
    using Row = std::pair<double, const char*>;
    for (const auto& [number, text] :
         {Row{0, "0"}, Row{-0.0, "-0"}, Row{100, "100"}, Row{-42, "-42"}, Row{1234567890, "1234567890"},
          Row{0.1, "0.1"}, Row{-2.25, "-2.25"}, Row{1.0 / 3.0, "0.3333333333"}, Row{2.0 / 3.0, "0.6666666667"},
          Row{123456789012.0, "1.23456789e+11"}, Row{1e12, "1e+12"}, Row{0.00001, "1e-05"}, Row{-1.5e-300, "-1.5e-300"},
          Row{std::numeric_limits<double>::max(), "1.797693135e+308"}})
        EXPECT_EQ(NumberToText(number), text);
    EXPECT_EQ(IntegerToText(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(IntegerTextLength(-100), 4);
    EXPECT_EQ(NumberTextLength(0.25), 4);
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

TEST(NumberText, TextToNumbersCharacterCodesAndCaseInsensitiveCompare) {
    EXPECT_DOUBLE_EQ(TextToNumber(DynString("  3.5xyz")), 3.5); // the leading part counts
    EXPECT_DOUBLE_EQ(TextToNumber(DynString("abc")), 0.0);
    EXPECT_EQ(TextToInteger(DynString("-12.9")), -12);
    EXPECT_EQ(CharacterCode(DynString()), 0);
    EXPECT_EQ(CharacterCode(DynString("\xE9")), 0xE9);
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
    EXPECT_EQ(Utf8FromSingleByte("\x80 caf\xE9"), "\xE2\x82\xAC caf\xC3\xA9");
}

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(Numeric, TrigonometryInDegreesAndArcsClampedToTheirDomain) {
    using Pair = std::pair<double, double>;
    for (const auto& [got, want] :
         {Pair{SinDegrees(30), 0.5}, Pair{CosDegrees(60), 0.5}, Pair{TanDegrees(45), 1},
          Pair{ArcTan2Degrees(1, -1), 135}, Pair{ArcSinDegrees(0.5), 30}, Pair{ArcCosDegrees(0.5), 60}})
        EXPECT_DOUBLE_EQ(got, want);
    EXPECT_EQ(ArcCosDegrees(1.5), 0);
    EXPECT_EQ(ArcCosDegrees(-7), 180);
    EXPECT_EQ(ArcSinDegrees(-2), -90);
    EXPECT_EQ(ArcSinDegrees(1), 90);
}

TEST(Numeric, PowersAbsoluteValuesAndModuloNeverTrap) {
    EXPECT_EQ(SquareRoot(81), 9);
    EXPECT_EQ(Power(9, 0.5), 3);
    EXPECT_EQ(AbsNumber(-2.5), 2.5);
    EXPECT_EQ(AbsInteger(-7), 7);
    EXPECT_EQ(AbsInteger(kMin), kMin); // wraps, as the processor does, without overflow
    // Integer modulo takes the sign of the dividend.
    EXPECT_EQ(IntegerModulo(-7, 3), -1);
    EXPECT_EQ(IntegerModulo(7, 0), 0);
    EXPECT_EQ(IntegerModulo(kMin, -1), 0);
    EXPECT_EQ(IntegerModulo(kMin, kMax), -1);
    EXPECT_EQ(NumberModulo(-7.5, 2), -1.5);
    EXPECT_EQ(NumberModulo(7.5, 0), 0);
}

// Width 0 is the single position x; width -3 at x = 5 covers 3, 4 and 5; the
// last rows sit at the ends of the integer range.
TEST(Numeric, BoxOverlapIncludesEdges) {
    using Box = std::array<std::int32_t, 9>; // two boxes, then the answer
    for (const Box& b :
         {Box{0, 0, 10, 10, 9, 9, 5, 5, 1}, Box{0, 0, 10, 10, 10, 0, 5, 5, 0}, Box{0, 0, 10, 10, 0, 10, 5, 5, 0},
          Box{0, 0, 10, 10, -5, -5, 5, 5, 0}, Box{9, 0, 0, 1, 0, 0, 10, 10, 1}, Box{10, 0, 0, 1, 0, 0, 10, 10, 0},
          Box{5, 0, -3, 1, 3, 0, 1, 1, 1}, Box{5, 0, -3, 1, 2, 0, 1, 1, 0}, Box{5, 0, -3, 1, 6, 0, 1, 1, 0},
          Box{0, 5, 1, -3, 0, 3, 1, 1, 1}, Box{kMax, 0, kMax, 1, kMax, 0, 1, 1, 1},
          Box{kMin, 0, kMin, 1, kMin, 0, 1, 1, 1}, Box{kMin, 0, kMin, 1, kMin + 1, 0, 1, 1, 0}})
        EXPECT_EQ(BoxesOverlap(b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]), b[8]) << ::testing::PrintToString(b);
}

TEST(Numeric, TruncationTowardZero) {
    using Row = std::pair<double, std::int32_t>;
    for (const auto& [x, truncated] : {Row{2.9, 2}, Row{-2.9, -2}, Row{1e12, kMax}, Row{-1e12, kMin},
                                       Row{std::numeric_limits<double>::infinity(), kMax}, Row{std::nan(""), 0}})
        EXPECT_EQ(TruncateToInteger(x), truncated) << x;
}

// First draws after seeding, worked out with an independent implementation
// of the generator.
TEST(Random, SeededDrawsMatchTheReference) {
    using Case = std::pair<std::uint32_t, std::array<std::uint32_t, 4>>;
    for (const auto& [seed, draws] : {Case{0, {0x52f1b2da, 0x2bdd209e, 0x688c57f1, 0x80d29a96}},
                                      Case{1, {0x353a3f30, 0xba4d0e64, 0xe4414d4e, 0x279cf3cd}},
                                      Case{12345, {0xc79536ee, 0xf1c4793d, 0xc0bcf2a7, 0x8b207367}}}) {
        IsaacState state;
        IsaacSeed(state, seed);
        EXPECT_EQ(state.count, 256u);
        for (std::uint32_t expected : draws)
            EXPECT_EQ(IsaacDraw(state), expected) << "seed " << seed;
    }
}

TEST(Random, RangeIsInclusiveAndCoveredAndNonPositiveRangesDrawNothing) {
    SeedRandom(9);
    const std::int32_t first = RandomInt(1'000'000);
    SeedRandom(9);
    EXPECT_EQ(RandomInt(0), 0);
    EXPECT_EQ(RandomInt(-3), 0);
    EXPECT_EQ(RandomInt(1'000'000), first);
    int seen[6] = {};
    for (int i = 0; i < 600; ++i) {
        const std::int32_t v = RandomInt(5);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 5);
        ++seen[v];
    }
    for (int count : seen)
        EXPECT_GT(count, 50);
    EXPECT_GE(RandomInt(2147483647), 0); // n + 1 would overflow a signed sum
}

constexpr DataEntry kMixed[] = {1, 2.5, "  3.75 apples", -2.9, "word", 1e12, "KOR", "-17.8"};

TEST(DataList, ReadsEntriesInOrderWithConversions) {
    static DataList list = MakeDataList(kMixed);
    RestoreData(list);
    EXPECT_EQ(ReadDataNumber(), 1);
    EXPECT_EQ(ReadDataText(), "2.5");
    EXPECT_EQ(ReadDataNumber(), 3.75);
    EXPECT_EQ(ReadDataInteger(), -2);
    EXPECT_EQ(ReadDataNumber(), 0) << "text that spells no number reads as 0";
    EXPECT_EQ(ReadDataText(), "1e+12");
    EXPECT_EQ(ReadDataText(), "KOR");
    EXPECT_EQ(ReadDataInteger(), -17);
    // Restoring switches lists and starts them again.
    constexpr DataEntry kOther[] = {10, 20};
    static DataList other = MakeDataList(kOther);
    RestoreData(other);
    EXPECT_EQ(ReadDataNumber(), 10);
    RestoreData(list);
    EXPECT_EQ(ReadDataNumber(), 1);
}

TEST(DataListDeathTest, ReadingPastTheEndOrWithoutAListIsOutOfData) {
    test::TempFolder temp; // the log of every ended child lands here
    constexpr DataEntry kThree[] = {1, 2, 3};
    DataList list = MakeDataList(kThree);
    DataReader reader;
    EXPECT_ENDS_WITH_CODE(reader.ReadNumber(), 20);
    reader.Restore(list);
    for (int i = 0; i < 3; ++i)
        reader.ReadNumber();
    EXPECT_ENDS_WITH_CODE(reader.ReadNumber(), 20);
    EXPECT_ENDS_WITH_CODE(reader.ReadText(), 20);
    EXPECT_ENDS_WITH_CODE(reader.ReadInteger(), 20);
    constexpr DataEntry kNone[] = {0};
    DataList empty{kNone, 0, 0};
    reader.Restore(empty);
    EXPECT_ENDS_WITH_CODE(reader.ReadText(), 20);
}

} // namespace
} // namespace vlm
