// Seam until the service session lands: start-up is answered "not logged in" and the window
// takes the logged-out state; the order page command already opens its address.
#include "app/Unit1.h"

#include "platform/TabSet.h"

#include <QListWidget>
#include <QTreeWidget>

bool TForm1::Login()
{
    LogoutProc();
    return false;
}

void TForm1::LogoutProc()
{
    LoggedIn = false;
    AcTUpFolder->setEnabled(false);
    AlbumTreeView->setEnabled(false);
    ActRefresh->setEnabled(false);
    ActReload->setEnabled(false);
    AlbumTreeView->clear();
    ActFileUpLoad->setCaption(QStringLiteral("画像をプリントに追加"));
    ActFileUp->setCaption(QStringLiteral("プリントに追加"));
    ActLogin->setEnabled(true);
    ActLogout->setEnabled(false);
    DockTabSet1->setTabText(3, QStringLiteral("アルバム"));
}

void TForm1::ActLoginExecute() {}
void TForm1::ActLogoutExecute() {}

void TForm1::ActGoOrderExecute()
{
    UrlJump(ServiceHost + QStringLiteral("/wis/order.php?mode=select&sid=") + SessionId);
}

void TForm1::ActDispOrderPageUrlExecute() {}

// No transport yet: every request answers nothing.
void TForm1::SetCookie() {}
void TForm1::GetCookie() {}
QString TForm1::GetHTTP(const QString &)
{
    return {};
}
bool TForm1::GetHTTPBin(const QString &, const QString &)
{
    return false;
}
