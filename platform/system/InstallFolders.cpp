#include "platform/system/InstallFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// The build passes the plug-in folder as a path relative to the executable's folder, taken from
// the install layout (packaging/CMakeLists.txt).
#ifndef TOVELA_PLUGIN_FOLDER_FROM_PROGRAM
#error "TOVELA_PLUGIN_FOLDER_FROM_PROGRAM must come from the build"
#endif
// The build tree and the folder of the plug-ins built in it, for a program run from there.
#if !defined(TOVELA_BUILD_TREE) || !defined(TOVELA_BUILD_TREE_PLUGIN_FOLDER)
#error "TOVELA_BUILD_TREE and TOVELA_BUILD_TREE_PLUGIN_FOLDER must come from the build"
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

QString ProgramPluginFolder()
{
    const QString installed = InstalledPluginFolder();
    if (QFileInfo(installed).isDir())
        return installed;
    // Not installed: the program (or a test program) in its build tree finds the plug-ins
    // where the build put them. Anywhere else that folder means nothing.
    const QString tree = QFileInfo(QStringLiteral(TOVELA_BUILD_TREE)).canonicalFilePath();
    const QString program = QFileInfo(ProgramFolder()).canonicalFilePath();
    if (tree.isEmpty() || (program != tree && !program.startsWith(tree + QLatin1Char('/'))))
        return {};
    const QString built = QStringLiteral(TOVELA_BUILD_TREE_PLUGIN_FOLDER);
    return QFileInfo(built).isDir() ? QDir::cleanPath(built) : QString();
}
