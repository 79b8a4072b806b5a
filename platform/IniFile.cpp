#include "platform/IniFile.h"

#include "platform/Exception.h"

#include <QFile>
#include <QStringConverter>
#include <QTextStream>

#include <cstdio>

namespace
{
constexpr int MaxStringLength = 2047;

QString sectionName(const QString &line)
{
    QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']')))
        return t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
    return {};
}

bool isSection(const QString &line)
{
    QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']'));
}

bool keyOf(const QString &line, QString &key, QString &value)
{
    int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || isSection(line))
        return false;
    key = line.left(eq).trimmed();
    value = line.mid(eq + 1).trimmed();
    if (value.size() >= 2 &&
        ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) ||
         (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))))
        value = value.mid(1, value.size() - 2);
    return !key.isEmpty();
}
} // namespace

TIniFile::TIniFile(const QString &fileName) : fileName(fileName) {}

QStringList TIniFile::readLines() const
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

bool TIniFile::findKey(const QStringList &lines, const QString &section, const QString &key,
                       int &sectionLine, int &keyLine) const
{
    sectionLine = -1;
    keyLine = -1;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        if (isSection(lines[i])) {
            if (inSection)
                return false; // key not in the (first) matching section
            inSection = sectionName(lines[i]).compare(section, Qt::CaseInsensitive) == 0;
            if (inSection)
                sectionLine = i;
            continue;
        }
        QString k, v;
        if (inSection && keyOf(lines[i], k, v) && k.compare(key, Qt::CaseInsensitive) == 0) {
            keyLine = i;
            return true;
        }
    }
    return false;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    QStringList lines = readLines();
    int sectionLine, keyLine;
    if (!findKey(lines, section, key, sectionLine, keyLine))
        return def;
    QString k, v;
    keyOf(lines[keyLine], k, v);
    return v.left(MaxStringLength);
}

bool TIniFile::ParseInteger(const QString &text, int &value)
{
    bool ok = false;
    int result = 0;
    if (text.size() > 2 &&
        (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        QStringView digits = QStringView(text).mid(2);
        // Only the digits themselves: no sign or blanks after the prefix.
        for (QChar c : digits)
            if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c))
                return false;
        uint u = digits.toUInt(&ok, 16);
        result = static_cast<int>(u);
    } else {
        result = text.toInt(&ok, 10);
    }
    if (!ok)
        return false;
    value = result;
    return true;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    QString text = ReadString(section, key, QString());
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
    QStringList lines = readLines();
    int sectionLine, keyLine;
    const QString entry = key + QLatin1Char('=') + value;
    if (findKey(lines, section, key, sectionLine, keyLine)) {
        lines[keyLine] = entry;
    } else if (sectionLine >= 0) {
        // After the section's last key line (blank lines and comments stay below it).
        int at = sectionLine + 1;
        for (int i = sectionLine + 1; i < lines.size() && !isSection(lines[i]); ++i) {
            QString k, v;
            if (keyOf(lines[i], k, v))
                at = i + 1;
        }
        lines.insert(at, entry);
    } else {
        lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    }

    // Written beside the file and renamed over it, so a failed write never leaves half a file.
    // No sync to disk: a profile is written key by key at every close, and twelve syncs cost
    // seconds on a busy disk.
    QByteArray bytes = lines.join(QLatin1Char('\n')).toUtf8();
    bytes.append('\n');
    const QString temporary = fileName + QStringLiteral(".new");
    QFile file(temporary);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (ok) {
        ok = file.write(bytes) == bytes.size();
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

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
