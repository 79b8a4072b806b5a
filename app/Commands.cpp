// The shell's own commands: closing, the service's web pages, the guide.
#include "app/Unit1.h"

#include "app/Unit3.h"
#include "platform/base/Dialogs.h"

void TForm1::ExitExecute()
{
    close();
}

void TForm1::ActHelpExecute()
{
    UrlJump(ServiceHost + QStringLiteral("/order_help.php#0003"));
}

void TForm1::ActNewVersionExecute()
{
    UrlJump(ServiceHost + QStringLiteral("/download.php"));
}

void TForm1::ActShowNavigateWindowExecute()
{
    Form3->ShowAndRaise();
}

void TForm1::ActDeleteExecute() {}

void TForm1::UrlJump(const QString &url)
{
    Dialogs().OpenUrl(url);
}

void TForm1::FormCloseQuery(bool &canClose)
{
    // A failed write raises its error here; the close goes on all the same, so the user is
    // never kept in the program by an unwritable settings file.
    canClose = true;
    SaveIniFile();
}
