// Prints the program folder and the plug-in folder as the installed program finds them.
#include "platform/system/InstallFolders.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("program %s\n", qPrintable(ProgramFolder()));
    std::printf("plugins %s\n", qPrintable(InstalledPluginFolder()));
    return 0;
}
