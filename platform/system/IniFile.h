#pragma once
// A profile (INI) file with the Windows rules: section and key names compared without regard
// to case, a key updated in place, lines the program does not know left untouched byte for
// byte (whatever their encoding and line ends), a new key added at the end of its section, a
// new section at the end of the file. Every write goes to the file at once; a write that fails
// raises EIniFileException "<path> に書き込めません".
//
// Between BeginUpdate and EndUpdate the file is read once and written once: reads see the
// copy taken at BeginUpdate plus the writes made since, and EndUpdate puts the writes on disk
// (raising the same error when it cannot). For a run of calls that nothing else observes in
// between, this is the same file as call-by-call access, without re-reading and rewriting it
// for every key.
#include <QByteArray>
#include <QString>
#include <vector>

class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);

    // Up to 2047 characters; the default when the key is missing.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // Decimal, or hexadecimal after "0x"/"0X"; text that is not a number, or a number that
    // does not fit in 32 bits, yields def.
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    void BeginUpdate();
    void EndUpdate();

    // The text-to-integer rule of ReadInteger, for tests and other readers.
    static bool ParseInteger(const QString &text, int &value);

    // One line of the file: its bytes without the line end (a slice of the file as read, or
    // text of its own once written), and the line end.
    struct Line {
        qsizetype from = 0, size = 0;
        bool owned = false;
        QByteArray own;
        QByteArray end; // "\n", "\r\n", or empty for a last line without one
        enum Kind { Other, Section, Key } kind = Other;
        QString name; // section or key name
    };
    struct Content {
        QByteArray file; // the bytes as read, which unwritten lines refer to
        QByteArray bom;
        std::vector<Line> lines;
        QByteArrayView text(const Line &line) const
        {
            return line.owned ? QByteArrayView(line.own)
                              : QByteArrayView(file).sliced(line.from, line.size);
        }
    };

private:
    Content load() const;
    void store(const Content &content) const;
    static void put(Content &content, const QString &section, const QString &key,
                    const QString &value);

    QString fileName;
    bool updating = false;
    bool dirty = false;
    Content batch;
};
