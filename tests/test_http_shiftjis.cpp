#include "platform/text/ShiftJis.h"

#include <gtest/gtest.h>

TEST(ShiftJis, JapaneseTextRoundTripsThroughCodePage932)
{
    const QString title = QStringLiteral("ルミナード");
    const QByteArray bytes = toShiftJis(title);
    EXPECT_EQ(bytes, QByteArray("\x83\x8B\x83\x7E\x83\x69\x81\x5B\x83\x68"));
    EXPECT_EQ(fromShiftJis(bytes), title);
    // Code page 932, not JIS: 0x5C is the backslash and the NEC extensions are there.
    EXPECT_EQ(fromShiftJis("C:\\a"), QStringLiteral("C:\\a"));
    EXPECT_EQ(fromShiftJis("\x87\x40"), QStringLiteral("①"));
    EXPECT_EQ(toShiftJis(QStringLiteral("ｱ")), QByteArray("\xB1"));
}

TEST(ShiftJis, InvalidBytesBecomeReplacementCharactersAndNothingElseIsLost)
{
    EXPECT_EQ(fromShiftJis(QByteArray("A\xFF"
                                      "B")),
              QStringLiteral("A\uFFFDB"));
    // A lead byte cut off at the end of the reply.
    EXPECT_EQ(fromShiftJis(QByteArray("OK\x83")), QStringLiteral("OK\uFFFD"));
    // A lead byte followed by a byte that cannot trail it: only the lead is replaced.
    EXPECT_EQ(fromShiftJis(QByteArray("\x81 x")), QStringLiteral("\uFFFD x"));
    const QByteArray withNul("O\0K", 3);
    const QString decoded = fromShiftJis(withNul);
    ASSERT_EQ(decoded.size(), 3);
    EXPECT_EQ(decoded[1], QChar(0));
    EXPECT_EQ(fromShiftJis({}), QString());
    // Garbage of every byte value decodes without losing the valid bytes around it.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_TRUE(fromShiftJis(all).startsWith(fromShiftJis(all.left(0x80))));
}

TEST(ShiftJis, CharactersOutsideTheCodePage)
{
    // A letter with marks falls back to its base letter, anything else to "?".
    EXPECT_EQ(toShiftJis(QStringLiteral("café")), QByteArray("cafe"));
    EXPECT_EQ(toShiftJis(QStringLiteral("한x")), QByteArray("?x"));
    EXPECT_EQ(toShiftJis(QString::fromUcs4(U"\U0001F600", 1)), QByteArray("?"));
}

TEST(ShiftJis, PercentEncodingKeepsOnlyUnreservedCharactersAndAt)
{
    EXPECT_EQ(percentEncodeShiftJis(QStringLiteral("user.name-1_x~y@example.jp")),
              QByteArray("user.name-1_x~y@example.jp"));
    EXPECT_EQ(percentEncodeShiftJis(QStringLiteral("p&ss #+%é")),
              QByteArray("p%26ss%20%23%2B%25e"));
    EXPECT_EQ(percentEncodeShiftJis(QStringLiteral("日本")), QByteArray("%93%FA%96%7B"));
    EXPECT_EQ(percentEncodeShiftJis(QStringLiteral("a/b?c=d\r\n")),
              QByteArray("a%2Fb%3Fc%3Dd%0D%0A"));
    EXPECT_EQ(percentEncodeShiftJis(QString()), QByteArray());
    EXPECT_EQ(percentEncode(QByteArray("\xC3\xA9 \x00", 4)), QByteArray("%C3%A9%20%00"));
    EXPECT_TRUE(fitsShiftJis(QStringLiteral("パスワード①ｱ~\\")));
    EXPECT_FALSE(fitsShiftJis(QStringLiteral("p&ss #+%é")));
    EXPECT_FALSE(fitsShiftJis(QStringLiteral("한")));
}
