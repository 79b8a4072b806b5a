#include "service/wire/LineRecord.h"

#include <gtest/gtest.h>

using namespace service;

TEST(LineRecord, FieldsAreJoinedWithTheSeparator)
{
    EXPECT_EQ(lineRecord({"1", "42", "写真.jpg"}), "1<!--SEP-->42<!--SEP-->写真.jpg");
}

TEST(LineRecord, LineBreaksAndSeparatorsAreTakenOutOfFields)
{
    EXPECT_EQ(cleanField("a\r\nb\rc\nd"), "abcd");
    EXPECT_EQ(cleanField("x<!--SEP-->y"), "xy");
    // Taking one separator out must not leave a new one behind.
    EXPECT_EQ(cleanField("<!--SE<!--SEP-->P-->z"), "z");
    EXPECT_EQ(cleanField("<!--SEP\r\n-->"), "");
}

TEST(LineRecord, LinesHaveNoBreakAfterTheLast)
{
    EXPECT_EQ(joinLines({}), "");
    EXPECT_EQ(joinLines({"a"}), "a");
    EXPECT_EQ(joinLines({"a", "b"}), "a\r\nb");
}

TEST(LineRecord, ReadingBackGivesTheSameRecords)
{
    std::string reply = joinLines({lineRecord({"OK", "2"}), lineRecord({"12", "0", "A\nB"}),
                                   lineRecord({"15", "1", "京都"})});
    auto lines = splitLines(reply);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(splitFields(lines[1]), (std::vector<std::string>{"12", "0", "AB"}));
    EXPECT_EQ(splitFields(lines[2]), (std::vector<std::string>{"15", "1", "京都"}));
    EXPECT_EQ(splitLines("a\rb\nc\r\n"), (std::vector<std::string>{"a", "b", "c"}));
}
