#include "service/wire/Query.h"
#include "service/wire/ShiftJis.h"

#include <gtest/gtest.h>

using namespace service;

TEST(ShiftJis, JapaneseTextRoundTripsThroughCp932)
{
    std::string text = "山田花子さんのアルバム／表示①ｶﾅ";
    std::string sjis = toShiftJis(text);
    // 表 is 0x95 0x5C: its second byte is a backslash, which must survive.
    EXPECT_NE(sjis.find("\x95\x5C"), std::string::npos);
    bool ok = false;
    EXPECT_EQ(fromShiftJis(sjis, &ok), text);
    EXPECT_TRUE(ok);
}

TEST(ShiftJis, UnrepresentableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(toShiftJis("caf\xC3\xA9 ok"), "caf? ok");
    EXPECT_EQ(toShiftJis("\xF0\x9F\x98\x80!"), "?!");
}

TEST(ShiftJis, InvalidBytesAreReportedAndTheRestKept)
{
    bool ok = true;
    // 0x81 0x20 is a lead byte without a valid trail; 0xA0 is unassigned.
    std::string out = fromShiftJis(std::string("A\x81 B\xA0"
                                               "C\x82",
                                               7),
                                   &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(out.front(), 'A');
    EXPECT_NE(out.find('B'), std::string::npos);
    EXPECT_NE(out.find('C'), std::string::npos);
    EXPECT_NE(out.find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(ShiftJis, NulBytesPassThrough)
{
    bool ok = false;
    std::string in("a\0b", 3);
    EXPECT_EQ(fromShiftJis(in, &ok), in);
    EXPECT_TRUE(ok);
}

TEST(ShiftJis, Utf8Validity)
{
    EXPECT_TRUE(isValidUtf8("ascii"));
    EXPECT_TRUE(isValidUtf8("写真"));
    EXPECT_FALSE(isValidUtf8("\x8E\xCA"));
    EXPECT_FALSE(isValidUtf8("\xE5\x86"));
}

TEST(PercentDecode, DecodesEscapesAndPlusAndLeavesBrokenOnesAlone)
{
    EXPECT_EQ(percentDecode("p%26ss%20%23%2B%25"), "p&ss #+%");
    EXPECT_EQ(percentDecode("a+b"), "a b");
    EXPECT_EQ(percentDecode("%zz%4"), "%zz%4");
    EXPECT_EQ(percentDecode("%"), "%");
    EXPECT_EQ(percentDecode("%82%A0"), "\x82\xA0");
}

TEST(Query, SplitsPairsAndKeepsRepeatsAndEmptyValues)
{
    Query q = Query::parse("email=&passwd=a%3Db&header=A%3A+1&header=B%3A+2&flag&&x=1=2");
    EXPECT_TRUE(q.has("email"));
    EXPECT_EQ(q.value("email", "none"), "");
    EXPECT_EQ(q.value("passwd"), "a=b");
    EXPECT_EQ(q.values("header"), (std::vector<std::string>{"A: 1", "B: 2"}));
    EXPECT_TRUE(q.has("flag"));
    EXPECT_EQ(q.value("x"), "1=2");
    EXPECT_EQ(q.value("missing", "fb"), "fb");
}

TEST(Query, RawQueryIsTheTargetAfterTheQuestionMark)
{
    EXPECT_EQ(rawQueryOf("/wis/wi_login.php/?email=a%40b&passwd=%82%A0"),
              "email=a%40b&passwd=%82%A0");
    EXPECT_EQ(rawQueryOf("/download.php"), "");
    EXPECT_EQ(rawQueryOf("/order_help.php?x=1#0003"), "x=1");
}

TEST(Query, IdsArePlainDecimalsOfAtMostNineDigits)
{
    int id = -1;
    EXPECT_TRUE(parseId("0", id));
    EXPECT_EQ(id, 0);
    EXPECT_TRUE(parseId("123456789", id));
    EXPECT_EQ(id, 123456789);
    for (const char *bad : {"", "-1", "+1", " 1", "1 ", "1e3", "0x10", "1234567890", "../1"})
        EXPECT_FALSE(parseId(bad, id)) << bad;
}
