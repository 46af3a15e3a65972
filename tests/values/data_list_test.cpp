#include "values/data_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/program_end.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

constexpr DataEntry kMixed[] = {1, 2.5, "  3.75 apples", -2.9, "word", 1e12, "KOR", "-17.8", 100};

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
    EXPECT_EQ(ReadDataText(), "100");
    EXPECT_EQ(list.cursor, 9);
}

TEST(DataList, RestoreStartsAgainAndSwitchesLists) {
    constexpr DataEntry kFirst[] = {1, 2};
    constexpr DataEntry kSecond[] = {10, 20, 30};
    DataList first = MakeDataList(kFirst);
    DataList second = MakeDataList(kSecond);
    DataReader reader;
    reader.Restore(first);
    EXPECT_EQ(reader.ReadNumber(), 1);
    reader.Restore(second);
    EXPECT_EQ(reader.ReadNumber(), 10);
    EXPECT_EQ(reader.ReadNumber(), 20);
    reader.Restore(first);
    EXPECT_EQ(reader.ReadNumber(), 1);
    EXPECT_EQ(reader.ReadNumber(), 2);
}

TEST(DataListDeathTest, ReadingPastTheEndOrWithoutAListIsOutOfData) {
    test::TempFolder temp; // the log of every ended child lands here
    constexpr DataEntry kThree[] = {1, 2, 3};
    DataList list = MakeDataList(kThree);
    DataReader reader;
    EXPECT_ENDS_WITH_CODE(reader.ReadNumber(), 20);
    reader.Restore(list);
    for (int i = 0; i < 3; ++i) reader.ReadNumber();
    EXPECT_ENDS_WITH_CODE(reader.ReadNumber(), 20);
    EXPECT_ENDS_WITH_CODE(reader.ReadText(), 20);
    EXPECT_ENDS_WITH_CODE(reader.ReadInteger(), 20);
    EXPECT_EQ(list.cursor, 3);
    constexpr DataEntry kNone[] = {0};
    DataList empty{kNone, 0, 0};
    reader.Restore(empty);
    EXPECT_ENDS_WITH_CODE(reader.ReadText(), 20);
}

} // namespace
} // namespace vlm
