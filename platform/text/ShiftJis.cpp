#include "platform/text/ShiftJis.h"

#include "platform/base/Exception.h"

#include <QList>

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace
{

// One iconv conversion descriptor, closed with its owner.
class Iconv
{
public:
    Iconv(const char *to, const char *from) : cd(iconv_open(to, from))
    {
        if (cd == reinterpret_cast<iconv_t>(-1))
            throw EConvertError(QStringLiteral("iconv cannot convert %1 to %2")
                                    .arg(QLatin1String(from), QLatin1String(to)));
    }
    ~Iconv() { iconv_close(cd); }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;

    // One step of iconv(3); returns (size_t)-1 with errno set like it.
    size_t convert(char **in, size_t *inLeft, char **out, size_t *outLeft)
    {
        return iconv(cd, in, inLeft, out, outLeft);
    }

private:
    iconv_t cd;
};

const QByteArray replacementUtf8 = QByteArrayLiteral("\xEF\xBF\xBD");

// ASCII is the same in CP932; addresses and most replies are nothing else, and opening a
// conversion costs more than a request over loopback.
bool isAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

bool isAscii(const QByteArray &bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// CP932 bytes of one code point, or empty when the code page lacks it.
QByteArray encodeCodePoint(Iconv &cd, char32_t cp)
{
    char32_t in[1] = {cp};
    char out[8];
    char *inPtr = reinterpret_cast<char *>(in);
    size_t inLeft = sizeof in;
    char *outPtr = out;
    size_t outLeft = sizeof out;
    if (cd.convert(&inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return {};
    return QByteArray(out, outPtr - out);
}

} // namespace

QByteArray toShiftJis(const QString &text)
{
    if (isAscii(text))
        return text.toLatin1();
    Iconv cd("CP932", "UTF-32LE");
    QByteArray out;
    out.reserve(text.size() * 2);
    const QList<uint> codePoints = text.toUcs4();
    for (uint cp : codePoints) {
        if (cp < 0x80) {
            out.append(static_cast<char>(cp));
            continue;
        }
        QByteArray bytes = encodeCodePoint(cd, cp);
        if (bytes.isEmpty()) {
            // Best fit: the base letter of a decomposable letter, when the code page has it.
            const QString decomposed = QString::fromUcs4(reinterpret_cast<const char32_t *>(&cp), 1)
                                           .normalized(QString::NormalizationForm_D);
            const QList<uint> parts = decomposed.toUcs4();
            if (parts.size() > 1 && parts.front() != cp)
                bytes = encodeCodePoint(cd, parts.front());
        }
        out.append(bytes.isEmpty() ? QByteArray("?") : bytes);
    }
    return out;
}

QString fromShiftJis(const QByteArray &bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    Iconv cd("UTF-8", "CP932");
    QByteArray out;
    // Room for text that is mostly ASCII; grown on demand for the rest.
    out.resize(bytes.size() + bytes.size() / 2 + 16);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char *outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (cd.convert(&in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = outPtr - out.data();
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
            continue;
        }
        // EILSEQ (invalid byte) or EINVAL (sequence cut at the end): replace one byte, go on.
        if (outLeft < 3) {
            const qsizetype used = outPtr - out.data();
            out.resize(out.size() + 16);
            outPtr = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
        }
        memcpy(outPtr, replacementUtf8.constData(), 3);
        outPtr += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    out.truncate(outPtr - out.data());
    return QString::fromUtf8(out);
}

bool fitsShiftJis(const QString &text)
{
    Iconv cd("CP932", "UTF-32LE");
    const QList<uint> codePoints = text.toUcs4();
    for (uint cp : codePoints)
        if (cp >= 0x80 && encodeCodePoint(cd, cp).isEmpty())
            return false;
    return true;
}

QByteArray percentEncodeShiftJis(const QString &text)
{
    return percentEncode(toShiftJis(text));
}

QByteArray percentEncode(const QByteArray &raw)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(raw.size() * 3);
    for (char c : raw) {
        const auto b = static_cast<unsigned char>(c);
        const bool keep = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
                          (b >= '0' && b <= '9') || b == '-' || b == '.' || b == '_' || b == '~' ||
                          b == '@';
        if (keep) {
            out.append(c);
        } else {
            out.append('%');
            out.append(hex[b >> 4]);
            out.append(hex[b & 0x0F]);
        }
    }
    return out;
}
