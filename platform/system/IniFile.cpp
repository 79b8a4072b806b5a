#include "platform/system/IniFile.h"

#include "platform/base/Exception.h"

#include <QFile>

#include <cstdio>
#include <limits>

namespace
{
constexpr int MaxStringLength = 2047;
const QByteArray Utf8Bom("\xEF\xBB\xBF");

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    qsizetype from = 0, to = bytes.size();
    while (from < to && isBlank(bytes[from]))
        ++from;
    while (to > from && isBlank(bytes[to - 1]))
        --to;
    return bytes.sliced(from, to - from);
}

// Sorts a line into section header, key line or other, and takes its name. Only names are
// decoded; the bytes stay as they are.
void classify(const TIniFile::Content &content, TIniFile::Line &line)
{
    const QByteArrayView text = content.text(line);
    const QByteArrayView t = trimmed(text);
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0) {
            line.kind = TIniFile::Line::Section;
            line.name = QString::fromUtf8(trimmed(t.sliced(1, close - 1)));
            return;
        }
    }
    const qsizetype eq = text.indexOf('=');
    if (eq < 0)
        return;
    const QByteArrayView key = trimmed(text.first(eq));
    if (key.isEmpty())
        return;
    line.kind = TIniFile::Line::Key;
    line.name = QString::fromUtf8(key);
}

QString valueOf(const TIniFile::Content &content, const TIniFile::Line &line)
{
    const QByteArrayView text = content.text(line);
    QByteArrayView value = trimmed(text.sliced(text.indexOf('=') + 1));
    if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                              (value.front() == '\'' && value.back() == '\'')))
        value = value.sliced(1, value.size() - 2);
    // A character takes at most four bytes: decode no more than the 2047 that are kept.
    return QString::fromUtf8(value.first(std::min<qsizetype>(value.size(), MaxStringLength * 4)))
        .left(MaxStringLength);
}

// The line of key in the first section named section, or -1; sectionLine is that section's
// header, or -1 when there is no such section.
qsizetype findKey(const std::vector<TIniFile::Line> &lines, const QString &section,
                  const QString &key, qsizetype &sectionLine)
{
    sectionLine = -1;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const TIniFile::Line &line = lines[size_t(i)];
        if (line.kind == TIniFile::Line::Section) {
            if (sectionLine >= 0)
                return -1; // only the first matching section counts
            if (line.name.compare(section, Qt::CaseInsensitive) == 0)
                sectionLine = i;
        } else if (sectionLine >= 0 && line.kind == TIniFile::Line::Key &&
                   line.name.compare(key, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

TIniFile::Line makeLine(const QByteArray &text, const QByteArray &end)
{
    TIniFile::Line line;
    line.owned = true;
    line.own = text;
    line.end = end;
    classify(TIniFile::Content(), line);
    return line;
}
} // namespace

TIniFile::TIniFile(const QString &fileName) : fileName(fileName) {}

TIniFile::Content TIniFile::load() const
{
    Content content;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return content;
    content.file = file.readAll();
    const QByteArray &bytes = content.file;
    qsizetype at = 0;
    if (bytes.startsWith(Utf8Bom)) {
        content.bom = Utf8Bom;
        at = Utf8Bom.size();
    }
    while (at < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', at);
        Line line;
        line.from = at;
        if (lf < 0) {
            line.size = bytes.size() - at;
            at = bytes.size();
        } else {
            const bool crlf = lf > at && bytes[lf - 1] == '\r';
            line.size = lf - at - (crlf ? 1 : 0);
            line.end = crlf ? QByteArray("\r\n") : QByteArray("\n");
            at = lf + 1;
        }
        classify(content, line);
        content.lines.push_back(std::move(line));
    }
    return content;
}

void TIniFile::store(const Content &content) const
{
    // Written beside the file and renamed over it, so a failed write never leaves half a file.
    // No sync to disk: a profile is written at every close, and syncs cost seconds on a busy
    // disk.
    const QString temporary = fileName + QStringLiteral(".new");
    QFile file(temporary);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (ok) {
        // Line by line from the bytes as read: a long line is not copied again.
        auto put = [&](QByteArrayView bytes) {
            ok = ok && (bytes.isEmpty() || file.write(bytes.data(), bytes.size()) == bytes.size());
        };
        put(content.bom);
        for (const Line &line : content.lines) {
            put(content.text(line));
            put(line.end);
        }
        file.close();
        ok = ok && file.error() == QFileDevice::NoError &&
             std::rename(QFile::encodeName(temporary).constData(),
                         QFile::encodeName(fileName).constData()) == 0;
        if (!ok)
            QFile::remove(temporary);
    }
    if (!ok)
        throw EIniFileException(QStringLiteral("%1 に書き込めません").arg(fileName));
}

void TIniFile::put(Content &content, const QString &section, const QString &key,
                   const QString &value)
{
    std::vector<Line> &lines = content.lines;
    // New lines end like the file's first line does; a new file gets LF.
    QByteArray newline("\n");
    for (const Line &line : lines)
        if (!line.end.isEmpty()) {
            newline = line.end;
            break;
        }
    const QByteArray entry = (key + QLatin1Char('=') + value).toUtf8();

    qsizetype sectionLine = -1;
    const qsizetype keyLine = findKey(lines, section, key, sectionLine);
    if (keyLine >= 0) {
        Line &line = lines[size_t(keyLine)];
        line = makeLine(entry, line.end);
        return;
    }
    auto endLastLine = [&](qsizetype before) {
        if (before > 0 && lines[size_t(before - 1)].end.isEmpty())
            lines[size_t(before - 1)].end = newline;
    };
    if (sectionLine >= 0) {
        // After the section's last key line (blank lines and comments stay below it).
        qsizetype at = sectionLine + 1;
        for (qsizetype i = sectionLine + 1;
             i < qsizetype(lines.size()) && lines[size_t(i)].kind != Line::Section; ++i)
            if (lines[size_t(i)].kind == Line::Key)
                at = i + 1;
        endLastLine(at);
        lines.insert(lines.begin() + at, makeLine(entry, newline));
        return;
    }
    endLastLine(qsizetype(lines.size()));
    lines.push_back(makeLine((QLatin1Char('[') + section + QLatin1Char(']')).toUtf8(), newline));
    lines.push_back(makeLine(entry, newline));
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    Content scratch;
    const Content &content = updating ? batch : (scratch = load());
    qsizetype sectionLine;
    const qsizetype keyLine = findKey(content.lines, section, key, sectionLine);
    if (keyLine < 0)
        return def;
    return valueOf(content, content.lines[size_t(keyLine)]);
}

bool TIniFile::ParseInteger(const QString &text, int &value)
{
    // Every character must belong to the number: a NUL or anything else after the digits
    // makes the value invalid, and so does a number that does not fit.
    qint64 result = 0;
    if (text.size() > 2 &&
        (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        // Hexadecimal is the 32-bit pattern: 0xFFFFFFFF is -1.
        for (QChar c : QStringView(text).mid(2)) {
            const int digit = c >= u'0' && c <= u'9'   ? c.unicode() - u'0'
                              : c >= u'a' && c <= u'f' ? c.unicode() - u'a' + 10
                              : c >= u'A' && c <= u'F' ? c.unicode() - u'A' + 10
                                                       : -1;
            if (digit < 0)
                return false;
            result = result * 16 + digit;
            if (result > 0xFFFFFFFFLL)
                return false;
        }
        value = static_cast<int>(static_cast<quint32>(result));
        return true;
    }
    QStringView digits(text);
    bool negative = false;
    if (!digits.isEmpty() && (digits.front() == u'-' || digits.front() == u'+')) {
        negative = digits.front() == u'-';
        digits = digits.mid(1);
    }
    if (digits.isEmpty())
        return false;
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min())
                                  : qint64(std::numeric_limits<int>::max());
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
        result = result * 10 + (c.unicode() - u'0');
        if (result > limit)
            return false;
    }
    value = static_cast<int>(negative ? -result : result);
    return true;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    const QString text = ReadString(section, key, QString());
    int value = def;
    if (text.isEmpty() || !ParseInteger(text, value))
        return def;
    return value;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (updating) {
        put(batch, section, key, value);
        dirty = true;
        return;
    }
    Content content = load();
    put(content, section, key, value);
    store(content);
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::BeginUpdate()
{
    if (updating)
        return;
    batch = load();
    updating = true;
    dirty = false;
}

void TIniFile::EndUpdate()
{
    if (!updating)
        return;
    updating = false;
    Content content = std::move(batch);
    batch = {};
    if (dirty)
        store(content);
}
