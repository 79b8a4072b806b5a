// The main window's two working states: logged in as an album member, or logged out.
#include "app/Unit1.h"

#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"
#include "platform/widgets/TreeItems.h"

#include <QTreeWidget>

void TForm1::LoginProc()
{
    LoggedIn = true;
    AlbumListView->Clear();
    AlbumFolderLoad();
    AcTUpFolder->setEnabled(true);
    AlbumTreeView->setEnabled(true);
    ActRefresh->setEnabled(true);
    ActReload->setEnabled(true);
    ActFileUpLoad->setCaption(QStringLiteral("画像をアルバムに登録"));
    ActFileUp->setCaption(QStringLiteral("アルバムに登録"));
    ActLogin->setEnabled(false);
    ActLogout->setEnabled(true);
    DockTabSet1->setTabText(ViewIndex::Album, UserName + QStringLiteral("さんのアルバム"));
}

void TForm1::LogoutProc()
{
    // The selected tab and the album's loaded flag stay as they are.
    LoggedIn = false;
    AcTUpFolder->setEnabled(false);
    AlbumTreeView->setEnabled(false);
    ActRefresh->setEnabled(false);
    ActReload->setEnabled(false);
    DeleteTreeItems(AlbumTreeView); // a tree of any depth
    AlbumListView->Clear();
    ActFileUpLoad->setCaption(QStringLiteral("画像をプリントに追加"));
    ActFileUp->setCaption(QStringLiteral("プリントに追加"));
    ActLogin->setEnabled(true);
    ActLogout->setEnabled(false);
    UserName.clear();
    DockTabSet1->setTabText(ViewIndex::Album, QStringLiteral("アルバム"));
}
