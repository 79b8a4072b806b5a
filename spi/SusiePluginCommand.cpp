// The main window's side of the plug-in host: loading the plug-ins of the chosen folder once a
// run, the folder dialog and the command that switches plug-in use on and off.
#include "app/Unit1.h"
#include "platform/base/Dialogs.h"
#include "platform/graphics/DecodeWorker.h"
#include "platform/system/InstallFolders.h"
#include "platform/system/StandardFolders.h"
#include "spi/SPIBmp.h"
#include "spi/SPIs.h"

#include <QStandardPaths>

void TForm1::SetSpi()
{
    if (SPIs)
        return;
    // Plug-in formats register under TSPIBitmap; naming its class here keeps the picture
    // loader's unit, and with it that registration, in the program.
    SPIBitmapClass();
    // The plug-ins' formats join the registry that the decode worker reads: not while it
    // decodes. Only this thread gives it work, so it stays idle until this is done.
    DecodeWorker->WaitIdle();
    SPIs = std::make_unique<TSPIs>();
    SPIs->Search(SpiFolder + PathDelim + QStringLiteral("*.spi"));
}

bool TForm1::SelectFolderDialog()
{
    // The dialog starts at the desktop; the program's own plug-ins are one click away in its
    // side bar.
    QStringList places;
    if (const QString own = ProgramPluginFolder(); !own.isEmpty())
        places << own;
    const QString chosen = Dialogs().BrowseForFolder(
        QStringLiteral("Susie プラグインフォルダを選んで下さい"),
        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), places);
    if (chosen.isEmpty())
        return false;
    SpiFolder = chosen;
    return true;
}

void TForm1::ActSusiePluginExecute()
{
    // Switching off only clears the flag: the plug-ins stay loaded and their formats stay
    // registered for the rest of the run.
    if (Spi) {
        Spi = false;
        ActSusiePlugin->setChecked(false);
        return;
    }
    if (!SelectFolderDialog())
        return;
    Spi = true;
    ActSusiePlugin->setChecked(true);
    SetSpi();
}
