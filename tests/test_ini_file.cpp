// The profile file rules on their own.
#include "platform/Exception.h"
#include "platform/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void spit(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(IniFile, IntegerReadingRules)
{
    int v = 7;
    EXPECT_TRUE(TIniFile::ParseInteger(QStringLiteral("0x1F4"), v));
    EXPECT_EQ(v, 500);
    EXPECT_TRUE(TIniFile::ParseInteger(QStringLiteral("0X10"), v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(TIniFile::ParseInteger(QStringLiteral("-12"), v));
    EXPECT_EQ(v, -12);
    for (const char *bad : {"yes", "0x", "0xZZ", "12abc", "", "0x-1", "1.5"})
        EXPECT_FALSE(TIniFile::ParseInteger(QString::fromLatin1(bad), v)) << bad;
}

TEST(IniFile, NamesIgnoreCaseAndUnknownLinesSurvive)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.ini"));
    spit(path, "; comment\n[other]\nx=1\n[Main]\nwindowtop = 0x20\nKeep=me\n[tail]\nz=9\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MAIN"), QStringLiteral("WindowTop"), 100), 32);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MAIN"), QStringLiteral("Missing"), 100), 100);
    EXPECT_EQ(ini.ReadString(QStringLiteral("NOPE"), QStringLiteral("x"), QStringLiteral("d")),
              QStringLiteral("d"));

    ini.WriteInteger(QStringLiteral("MAIN"), QStringLiteral("WINDOWTOP"), 5);
    ini.WriteInteger(QStringLiteral("main"), QStringLiteral("NewKey"), 6);
    ini.WriteString(QStringLiteral("NETWORK"), QStringLiteral("KvoSessionId"), QString());
    EXPECT_EQ(slurp(path), QByteArray("; comment\n[other]\nx=1\n[Main]\nWINDOWTOP=5\nKeep=me\n"
                                      "NewKey=6\n[tail]\nz=9\n[NETWORK]\nKvoSessionId=\n"));
}

TEST(IniFile, LongStringsAreCutAt2047AndJapaneseSurvives)
{
    QTemporaryDir dir;
    TIniFile ini(dir.filePath(QStringLiteral("t.ini")));
    ini.WriteString(QStringLiteral("S"), QStringLiteral("long"), QString(3000, QLatin1Char('a')));
    ini.WriteString(QStringLiteral("S"), QStringLiteral("jp"), QStringLiteral("フォルダ"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("long"), {}).size(), 2047);
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("jp"), {}),
              QStringLiteral("フォルダ"));
}

TEST(IniFile, WriteIntoMissingFolderRaisesWithFullPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone/t.ini"));
    TIniFile ini(path);
    try {
        ini.WriteInteger(QStringLiteral("MAIN"), QStringLiteral("WindowTop"), 1);
        FAIL() << "no error raised";
    } catch (const EIniFileException &e) {
        EXPECT_EQ(e.Message, path + QStringLiteral(" に書き込めません"));
    }
}
