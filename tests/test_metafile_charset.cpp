// 8-bit metafile text in the character set its font names.
#include "platform/text/CharSetText.h"

#include <gtest/gtest.h>

TEST(MetafileCharSet, EachSetReadsWithItsCodePage)
{
    struct Row {
        int set;
        QByteArray bytes;
        QString text;
    } rows[] = {
        {128, QByteArray("\x93\xfa\x96\x7b", 4), QString::fromUtf8("日本")},
        {1, QByteArray("\x83\x8b\x83\x7e", 4), QString::fromUtf8("ルミ")}, // the default: CP932
        {134, QByteArray("\xd0\xb4\xd5\xe6", 4),
         QString::fromUtf8("写真")}, // as LibreOffice writes
        {0, QByteArray("caf\xe9 \x80", 6), QString::fromUtf8("café €")},
        {204, QByteArray("\xcc\xe8\xf0", 3), QString::fromUtf8("Мир")},
        {128, QByteArray("A\x81", 2), QString::fromUtf8("A\xEF\xBF\xBD")}, // cut-short pair
        {128, QByteArray(), QString()},
    };
    for (const Row &r : rows)
        EXPECT_EQ(DecodeCharSet(r.bytes, r.set), r.text) << r.set << " " << r.bytes.toHex().data();
}
