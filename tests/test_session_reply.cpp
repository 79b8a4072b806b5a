#include "session/ServiceReply.h"

#include <gtest/gtest.h>

TEST(ServiceReply, OnlyAFirstLineOfExactlyNGIsARefusal)
{
    EXPECT_TRUE(IsRefusal(QStringLiteral("NG")));
    EXPECT_TRUE(IsRefusal(QStringLiteral("NG\r\nmore\r\nlines")));
    EXPECT_TRUE(IsRefusal(QStringLiteral("NG\nx")));
    EXPECT_TRUE(IsRefusal(QStringLiteral("NG\rx")));
    EXPECT_FALSE(IsRefusal(QStringLiteral("ng")));
    EXPECT_FALSE(IsRefusal(QStringLiteral(" NG")));
    EXPECT_FALSE(IsRefusal(QStringLiteral("NG ")));
    EXPECT_FALSE(IsRefusal(QStringLiteral("NGX\r\n")));
    EXPECT_FALSE(IsRefusal(QStringLiteral("OK\r\nNG")));
    EXPECT_FALSE(IsRefusal(QString()));
    EXPECT_FALSE(IsRefusal(QStringLiteral("\r\nNG")));
    EXPECT_FALSE(IsRefusal(QString(QChar(0)) + QStringLiteral("NG")));
}

TEST(ServiceReply, SessionIdsWithControlCharactersOrBlanksAreNotUsed)
{
    EXPECT_TRUE(IsUsableSessionId(QStringLiteral("3f9a0c7e21b4")));
    EXPECT_TRUE(IsUsableSessionId(QStringLiteral("セッション")));
    for (const QString &bad :
         {QStringLiteral("abc\r\n"), QStringLiteral("ab\ncd"), QStringLiteral("a b"),
          QStringLiteral("a\tb"), QStringLiteral(" "), QString(QChar(0)) + QStringLiteral("a"),
          QStringLiteral("a\x1F"), QStringLiteral("a\x7F")})
        EXPECT_FALSE(IsUsableSessionId(bad)) << bad.toStdString();
}
