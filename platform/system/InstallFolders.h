#pragma once
// Folders of the installed program, found from where the running executable lies, so that an
// installation under any prefix (or unpacked into a staging folder) finds its own files.
#include <QString>

// The folder that holds the running executable.
QString ProgramFolder();
// The folder of the plug-ins shipped with the program (lib/tovela/plugins beside bin/).
QString InstalledPluginFolder();
// Where this program's own plug-ins lie: the installed folder, or for a program run from its
// build tree the folder the build puts them in; empty when neither is there.
QString ProgramPluginFolder();
