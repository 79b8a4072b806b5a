#include "platform/text/CharSetText.h"

#include <cerrno>
#include <iconv.h>
#include <memory>

namespace
{
const char *codePage(int charSet)
{
    switch (charSet) {
    case 1:   // DEFAULT_CHARSET
    case 128: // SHIFTJIS_CHARSET
        return "CP932";
    case 129: // HANGUL_CHARSET
        return "CP949";
    case 134: // GB2312_CHARSET
        return "CP936";
    case 136: // CHINESEBIG5_CHARSET
        return "CP950";
    case 161: // GREEK_CHARSET
        return "CP1253";
    case 162: // TURKISH_CHARSET
        return "CP1254";
    case 177: // HEBREW_CHARSET
        return "CP1255";
    case 178: // ARABIC_CHARSET
        return "CP1256";
    case 186: // BALTIC_CHARSET
        return "CP1257";
    case 204: // RUSSIAN_CHARSET
        return "CP1251";
    case 222: // THAI_CHARSET
        return "CP874";
    case 238: // EASTEUROPE_CHARSET
        return "CP1250";
    default: // ANSI_CHARSET and the rest
        return "CP1252";
    }
}

struct IconvClose {
    void operator()(void *cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
} // namespace

QString DecodeCharSet(QByteArrayView Bytes, int CharSet)
{
    if (Bytes.isEmpty())
        return {};
    iconv_t cd = iconv_open("UTF-16LE", codePage(CharSet));
    if (cd == iconv_t(-1))
        return QString::fromLatin1(Bytes);
    const std::unique_ptr<void, IconvClose> owner(cd);
    QString out;
    QByteArray in = Bytes.toByteArray();
    char *src = in.data();
    size_t left = size_t(in.size());
    char16_t buffer[256];
    while (left > 0) {
        char *dst = reinterpret_cast<char *>(buffer);
        size_t room = sizeof buffer;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(QStringView(buffer, (sizeof buffer - room) / 2));
        if (r == size_t(-1) && errno != E2BIG) {
            // An invalid or cut-short sequence: one replacement, then on with the next byte.
            out.append(QChar(0xFFFD));
            ++src;
            --left;
        }
    }
    return out;
}
