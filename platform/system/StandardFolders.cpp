#include "platform/system/StandardFolders.h"

#include <QDir>
#include <QStandardPaths>

QString ApplicationDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString ProfileFolder()
{
    QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    if (home.isEmpty() || home == QDir::rootPath())
        return {};
    return home;
}
