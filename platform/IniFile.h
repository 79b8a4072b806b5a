#pragma once
// A profile (INI) file with the Windows rules: section and key names compared without regard
// to case, a key updated in place, lines the program does not know left untouched, a new key
// added at the end of its section, a new section at the end of the file. Every write goes to
// the file at once; a write that fails raises EIniFileException "<path> に書き込めません".
#include <QString>
#include <QStringList>

class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);

    QString FileName() const { return fileName; }

    // Up to 2047 characters; the default when the key is missing.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // Decimal, or hexadecimal after "0x"/"0X"; text that is not a number yields def.
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    // The text-to-integer rule of ReadInteger, for tests and other readers.
    static bool ParseInteger(const QString &text, int &value);

private:
    QStringList readLines() const;
    bool findKey(const QStringList &lines, const QString &section, const QString &key,
                 int &sectionLine, int &keyLine) const;

    QString fileName;
};
