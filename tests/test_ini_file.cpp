// The profile file rules on their own.
#include "platform/base/Exception.h"
#include "platform/system/IniFile.h"

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

TEST(IniFile, IntegersAreWholeNumbersThatFitIn32Bits)
{
    int v = 7;
    EXPECT_TRUE(TIniFile::ParseInteger(QStringLiteral("2147483647"), v));
    EXPECT_EQ(v, 2147483647);
    EXPECT_TRUE(TIniFile::ParseInteger(QStringLiteral("-2147483648"), v));
    EXPECT_EQ(v, -2147483647 - 1);
    EXPECT_TRUE(TIniFile::ParseInteger(QStringLiteral("0xFFFFFFFF"), v)); // the 32-bit pattern
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(TIniFile::ParseInteger(QStringLiteral("0x00000000000001F4"), v));
    EXPECT_EQ(v, 500);
    v = 7;
    const QString withNul = QStringLiteral("5") + QChar(0) + QStringLiteral("garbage");
    for (const QString &bad :
         {withNul, QStringLiteral("2147483648"), QStringLiteral("-2147483649"),
          QStringLiteral("99999999999999999999"), QStringLiteral("0x100000000"),
          QStringLiteral("-"), QStringLiteral("+"), QStringLiteral("0x1 ")}) {
        EXPECT_FALSE(TIniFile::ParseInteger(bad, v)) << qPrintable(bad);
        EXPECT_EQ(v, 7);
    }

    // Through the file: a NUL inside the value makes it invalid, so the default applies.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.ini"));
    static const char raw[] = "[MAIN]\nWindowWidth=5\0garbage\nWindowTop=2147483648\n";
    spit(path, QByteArray(raw, sizeof raw - 1));
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MAIN"), QStringLiteral("WindowWidth"), 400), 400);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MAIN"), QStringLiteral("WindowTop"), 100), 100);
}

TEST(IniFile, LinesItDoesNotWriteComeBackByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.ini"));
    // A BOM, CR LF line ends, a Shift-JIS value ("フォルダ"), a Latin-1 comment, trailing
    // blanks, a blank line and a last line without a line end.
    const QByteArray sjis("\x83\x74\x83\x48\x83\x8b\x83\x5f");
    const QByteArray before = "\xEF\xBB\xBF; caf\xE9  \r\n[MAIN]\r\nWindowTop=1\r\nOther=" + sjis +
                              "\r\n\r\n[X]\r\nk = v \r\nlast=" + sjis;
    spit(path, before);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MAIN"), QStringLiteral("WindowTop"), 0), 1);
    ini.WriteInteger(QStringLiteral("MAIN"), QStringLiteral("WindowTop"), 20);
    EXPECT_EQ(slurp(path), QByteArray(before).replace("WindowTop=1", "WindowTop=20"));

    // A new key and a new section: the last line gets a line end, new lines end like the file.
    ini.BeginUpdate();
    ini.WriteInteger(QStringLiteral("MAIN"), QStringLiteral("WindowLeft"), 5);
    ini.WriteString(QStringLiteral("PLUGIN"), QStringLiteral("SpiFolder"), QStringLiteral("/spi"));
    ini.EndUpdate();
    EXPECT_EQ(slurp(path), "\xEF\xBB\xBF; caf\xE9  \r\n[MAIN]\r\nWindowTop=20\r\nOther=" + sjis +
                               "\r\nWindowLeft=5\r\n\r\n[X]\r\nk = v \r\nlast=" + sjis +
                               "\r\n[PLUGIN]\r\nSpiFolder=/spi\r\n");
    EXPECT_EQ(ini.ReadString(QStringLiteral("x"), QStringLiteral("K"), {}), QStringLiteral("v"));
}

TEST(IniFile, UpdateReadsOnceAndWritesOnceAtItsEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.ini"));
    spit(path, "[S]\na=1\n");
    TIniFile ini(path);
    ini.BeginUpdate();
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("a"), 0), 1);
    spit(path, "[S]\na=2\n"); // not seen: the update works on the copy it read
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("a"), 0), 1);
    ini.WriteInteger(QStringLiteral("S"), QStringLiteral("b"), 3);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("b"), 0), 3);
    EXPECT_EQ(slurp(path), QByteArray("[S]\na=2\n")); // nothing on disk before the end
    ini.EndUpdate();
    EXPECT_EQ(slurp(path), QByteArray("[S]\na=1\nb=3\n"));
    // Outside an update every call reads and writes the file again.
    spit(path, "[S]\na=4\n");
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("a"), 0), 4);

    // An update into a folder that is gone raises at its end, with the full path.
    TIniFile gone(dir.filePath(QStringLiteral("gone/t.ini")));
    gone.BeginUpdate();
    gone.WriteInteger(QStringLiteral("S"), QStringLiteral("a"), 1);
    try {
        gone.EndUpdate();
        FAIL() << "no error raised";
    } catch (const EIniFileException &e) {
        EXPECT_EQ(e.Message,
                  dir.filePath(QStringLiteral("gone/t.ini")) + QStringLiteral(" に書き込めません"));
    }
}
