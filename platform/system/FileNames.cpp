#include "platform/system/FileNames.h"

#include "platform/system/StandardFolders.h"
#include "platform/text/ShiftJis.h"

#include <QFile>
#include <QStringDecoder>

bool IsUtf8(const QByteArray &bytes)
{
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return true;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

QString FileNameText(const QByteArray &name)
{
    if (IsUtf8(name))
        return QString::fromUtf8(name);
    return fromShiftJis(name);
}

QByteArray FileSystemPath(const QString &folder, const QByteArray &name)
{
    return QFile::encodeName(folder) + QFile::encodeName(PathDelim) + name;
}
