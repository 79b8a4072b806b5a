#pragma once
// A file written beside its target and renamed over it when complete. Readers see the old file
// or the whole new one, never a part; until commit() nothing replaces the target, and a file
// that is not committed is removed. There is no sync to disk: this serves caches, which need
// atomic replacement, not durability (a file lost in a crash is fetched again).
#include <QByteArray>
#include <QString>

class ReplacingFile
{
public:
    explicit ReplacingFile(const QString &target);
    ~ReplacingFile();
    Q_DISABLE_COPY(ReplacingFile)

    // Creates the temporary file in the target's folder; false when it cannot be made.
    bool open();
    // False when not every byte could be written.
    bool write(const char *data, qint64 size);
    // Closes the temporary file and renames it over the target; false when either fails (the
    // temporary file is then removed and the target left as it was).
    bool commit();
    // Drops what was written; the target stays as it was.
    void cancel();
    QString errorString() const { return error; }

private:
    QString target;
    QByteArray temporary; // its name while it exists
    int fd = -1;
    QString error;
};
