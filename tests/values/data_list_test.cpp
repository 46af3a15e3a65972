#include "values/data_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/program_end.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

constexpr DataEntry kMixed[] = {1, 2.5, "  3.75 apples", -2.9, "word", 1e12, "KOR", "-17.8", 100};

TEST(DataList, ReadsEntriesInOrderWithConversions) {
    DataList list = MakeDataList(kMixed);
    DataReader reader;
    reader.Restore(list);
    EXPECT_EQ(reader.ReadNumber(), 1);
    EXPECT_EQ(reader.ReadText(), "2.5");
    EXPECT_EQ(reader.ReadNumber(), 3.75);
    EXPECT_EQ(reader.ReadInteger(), -2);
    EXPECT_EQ(reader.ReadNumber(), 0) << "text that spells no number reads as 0";
    EXPECT_EQ(reader.ReadText(), "1e+12");
    EXPECT_EQ(reader.ReadText(), "KOR");
    EXPECT_EQ(reader.ReadInteger(), -17);
    EXPECT_EQ(reader.ReadText(), "100");
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
    reader.Restore(second);
    EXPECT_EQ(reader.ReadNumber(), 10);
}

TEST(DataList, ProgramFacingReadsUseTheProcessReader) {
    static constexpr DataEntry kEntries[] = {7, "8"};
    static DataList list = MakeDataList(kEntries);
    RestoreData(list);
    EXPECT_EQ(ReadDataInteger(), 7);
    EXPECT_EQ(ReadDataNumber(), 8);
    RestoreData(list);
    EXPECT_EQ(ReadDataText(), "7");
}

class DataListDeath : public ::testing::Test {
protected:
    test::TempFolder temp_; // the log of every ended child lands here
};

TEST_F(DataListDeath, ReadingPastTheEndIsOutOfData) {
    constexpr DataEntry kThree[] = {1, 2, 3};
    DataList list = MakeDataList(kThree);
    DataReader reader;
    reader.Restore(list);
    for (int i = 0; i < 3; ++i) reader.ReadNumber();
    EXPECT_ENDS_WITH_CODE(reader.ReadNumber(), 20);
    EXPECT_ENDS_WITH_CODE(reader.ReadText(), 20);
    EXPECT_ENDS_WITH_CODE(reader.ReadInteger(), 20);
    EXPECT_EQ(list.cursor, 3);
}

TEST_F(DataListDeath, ReadingWithNoCurrentListIsOutOfData) {
    DataReader reader;
    EXPECT_ENDS_WITH_CODE(reader.ReadNumber(), 20);
    constexpr DataEntry kNone[] = {0};
    DataList empty{kNone, 0, 0};
    reader.Restore(empty);
    EXPECT_ENDS_WITH_CODE(reader.ReadText(), 20);
}

} // namespace
} // namespace vlm
