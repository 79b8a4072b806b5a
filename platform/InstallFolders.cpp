#include "platform/InstallFolders.h"

#include <QCoreApplication>
#include <QDir>

// The build passes the plug-in folder as a path relative to the executable's folder, taken from
// the install layout (packaging/CMakeLists.txt).
#ifndef TOVELA_PLUGIN_FOLDER_FROM_PROGRAM
#error "TOVELA_PLUGIN_FOLDER_FROM_PROGRAM must come from the build"
#endif

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString InstalledPluginFolder()
{
    return QDir::cleanPath(ProgramFolder() + QStringLiteral("/") +
                           QStringLiteral(TOVELA_PLUGIN_FOLDER_FROM_PROGRAM));
}
