#include "platform/system/FolderFiles.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

QStringList MatchingFileNames(const QString &folder, const QString &mask)
{
    // "*.*" matches every name on Windows, also one without a point.
    const QString pattern = mask == QStringLiteral("*.*") ? QStringLiteral("*") : mask;
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    // Without QDir::System, FIFOs, sockets, devices and broken links are not listed; name
    // filters compare without regard to case unless told otherwise.
    const QFileInfoList entries = dir.entryInfoList({pattern}, QDir::Files, QDir::NoSort);
    QStringList names;
    for (const QFileInfo &entry : entries)
        if (entry.isFile() && !entry.fileName().startsWith(QLatin1Char('.')))
            names.append(entry.fileName());
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(),
              [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return names;
}
