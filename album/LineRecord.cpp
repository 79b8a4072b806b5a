#include "album/LineRecord.h"

#include "platform/base/Exception.h"

#include <limits>

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringList RecordFields(const QString &line)
{
    QString text = line;
    text.replace(QLatin1String("<!--SEP-->"), QLatin1String("\n"));
    return SplitLines(text);
}

QString RecordText(const QStringList &fields, int n)
{
    if (n < 0 || n >= fields.size())
        throw EConvertError(QStringLiteral("record field %1 is missing").arg(n));
    return fields.at(n);
}

qint32 RecordInteger(const QStringList &fields, int n)
{
    const QString text = RecordText(fields, n);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    if (i == text.size())
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return static_cast<qint32>(value);
}
