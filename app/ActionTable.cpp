// The command vocabulary: one action list from which the menu bar, the tool bars and the
// context menus are built.
#include "app/Unit1.h"

#include "platform/widgets/ActionBar.h"
#include "platform/widgets/OwnerDataListView.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace
{
struct ActionRow {
    TAction *TForm1::*field;
    const char *name;
    const char *caption;
    const char *category;
    const char *hint;
    const char *helpKeyword;
    int image;
    void (TForm1::*handler)();
};

// In the list's order; a row without a handler is a caption only and shows disabled.
const ActionRow actionTable[] = {
    {&TForm1::ActLogin, "ActLogin", "ログイン(&Login)", "操作", "", "ログインします", -1,
     &TForm1::ActLoginExecute},
    {&TForm1::ActLogout, "ActLogout", "ログアウト(Log&out)", "操作", "", "ログアウトします", -1,
     &TForm1::ActLogoutExecute},
    {&TForm1::ActRefresh, "ActRefresh", "最新の情報に更新(&Refresh)", "操作", "", "", -1, nullptr},
    {&TForm1::Exit, "Exit", "終了(E&xit)", "操作", "", "", -1, &TForm1::ExitExecute},
    {&TForm1::ActNetworkConfig, "ActNetworkConfig", "ネットワーク設定(&Network)", "設定", "", "",
     -1, nullptr},
    {&TForm1::ActFont, "ActFont", "フォント設定(&Font)", "設定", "", "フォントを変更します", -1,
     nullptr},
    {&TForm1::ActVersion, "ActVersion", "バージョン情報(&Version)", "ヘルプ", "", "", -1, nullptr},
    {&TForm1::ActHelp, "ActHelp", "ヘルプ(&Help)", "ヘルプ", "", "ヘルプを表示します", -1,
     &TForm1::ActHelpExecute},
    {&TForm1::ActRename, "ActRename", "名称変更(Re&name)", "", "", "", -1, nullptr},
    {&TForm1::ActDelete, "ActDelete", "削除(&Delete)", "", "", "削除します", -1,
     &TForm1::ActDeleteExecute},
    {&TForm1::AcTUpFolder, "AcTUpFolder", "上へ", "その他操作", "一つ上のフォルダに移動します", "",
     IconIndex::Up, &TForm1::AcTUpFolderExecute},
    {&TForm1::ActFileUpLoad, "ActFileUpLoad", "画像をアルバムに登録", "画像", "", "", -1,
     &TForm1::ActFileUpLoadExecute},
    {&TForm1::ActReload, "ActReload", "更新", "", "", "", -1, &TForm1::ActReloadExecute},
    {&TForm1::ActGoOrder, "ActGoOrder", "注文ページへ(&Order)", "操作", "", "", -1,
     &TForm1::ActGoOrderExecute},
    {&TForm1::ActGoAddPrint, "ActGoAddPrint", "プリントへ追加", "アルバム画像", "", "", -1,
     nullptr},
    {&TForm1::ActMoveFolder, "ActMoveFolder", "他のフォルダへ移動", "アルバム画像", "", "", -1,
     nullptr},
    {&TForm1::ActAlbumImageProperty, "ActAlbumImageProperty", "プロパティ", "アルバム画像", "", "",
     -1, nullptr},
    {&TForm1::ActFileUp, "ActFileUp", "プリントへ追加", "", "", "", IconIndex::AddPrint,
     &TForm1::ActFileUpExecute},
    {&TForm1::ActShowNavigateWindow, "ActShowNavigateWindow", "ナビケーションを表示する(&N)",
     "ヘルプ", "", "", -1, &TForm1::ActShowNavigateWindowExecute},
    {&TForm1::ActNewVersion, "ActNewVersion", "最新バージョンの確認", "ヘルプ", "", "", -1,
     &TForm1::ActNewVersionExecute},
    {&TForm1::ActDispOrderPageUrl, "ActDispOrderPageUrl", "注文ページへのURLを表示", "操作", "", "",
     -1, &TForm1::ActDispOrderPageUrlExecute},
    {&TForm1::ActSusiePlugin, "ActSusiePlugin", "Susie プラグインを使う", "プラグイン", "", "", -1,
     &TForm1::ActSusiePluginExecute},
};

TActionClientItem item(TAction *action, const char *caption = "", int image = -1)
{
    TActionClientItem it;
    it.Action = action;
    it.Name = action->Name;
    it.Caption = QString::fromUtf8(caption);
    it.ImageIndex = image;
    return it;
}

// A pop-up menu's item, named as the menu item of the window layout.
QAction *addLink(QMenu *popup, TActionClientItem it, const char *name, TImageList *images)
{
    it.Name = QString::fromUtf8(name);
    QAction *link = CreateActionLink(it, images, popup);
    popup->addAction(link);
    return link;
}

TActionClientItem menu(const char *caption, std::vector<TActionClientItem> items)
{
    TActionClientItem it;
    it.Caption = QString::fromUtf8(caption);
    it.Items = std::move(items);
    return it;
}

} // namespace

void TForm1::CreateActions()
{
    ActionManager1 = new TActionList(this);
    ActionManager1->setObjectName(QStringLiteral("ActionManager1"));
    ActionManager1->Images = IconImageList;
    for (const ActionRow &row : actionTable) {
        TAction *action = ActionManager1->add(QString::fromUtf8(row.name));
        action->setCaption(QString::fromUtf8(row.caption));
        action->Category = QString::fromUtf8(row.category);
        action->Hint = QString::fromUtf8(row.hint);
        action->HelpKeyword = QString::fromUtf8(row.helpKeyword);
        action->ImageIndex = row.image;
        if (row.handler)
            action->setOnExecute([this, handler = row.handler] { (this->*handler)(); });
        this->*row.field = action;
    }
    ActFileUp->setEnabled(false);
    ActSusiePlugin->setCheckable(true);
}

void TForm1::CreateBars()
{
    // Attached to no control: never displayed.
    TActionBar hidden{
        QStringLiteral("ActionBar0"),
        {menu("操作(&Z)", {item(ActLogin), item(ActLogout), item(ActRefresh), item(Exit)}),
         menu("設定(&Y)", {item(ActNetworkConfig), item(ActFont)}),
         menu("ヘルプ(&X)", {item(ActHelp), item(ActVersion)})}};
    TActionBar empty{QStringLiteral("ActionBar1"), {}};
    TActionBar pcToolBar{QStringLiteral("PcActionToolBar"),
                         {item(ActFileUp, "プリントへ追加(&U)", IconIndex::AddPrint),
                          item(ActGoOrder, "Quovi.格安デジカメプリント 注文ページへ(&O)")}};
    TActionBar albumToolBar{
        QStringLiteral("AlbumActionToolBar"),
        {item(AcTUpFolder, "上へ(&F)", IconIndex::Up), item(ActReload, "更新(&R)")}};
    TActionBar orderToolBar{QStringLiteral("OrderActionToolBar"), {}};
    TActionBar mainMenu{QStringLiteral("ActionMainMenuBar1"),
                        {menu("操作(&S)", {item(ActGoOrder),
                                           item(ActDispOrderPageUrl, "注文ページへのURLを表示(&R)"),
                                           item(ActSusiePlugin), item(Exit)}),
                         menu("ヘルプ(&H)", {item(ActShowNavigateWindow),
                                             item(ActNewVersion, "最新バージョンの確認(&Z)"),
                                             item(ActHelp, "説明ページへ(Help&page)")})}};
    BuildToolBar(PcActionToolBar, pcToolBar, IconImageList);
    BuildToolBar(AlbumActionToolBar, albumToolBar, IconImageList);
    BuildToolBar(OrderActionToolBar, orderToolBar, IconImageList);
    BuildMenuBar(ActionMainMenuBar1, mainMenu, IconImageList);
    ActionBars = {hidden, empty, pcToolBar, albumToolBar, orderToolBar, mainMenu};

    PcListPopupActionBar = new QMenu(this);
    PcListPopupActionBar->setObjectName(QStringLiteral("PcListPopupActionBar"));
    N1 = addLink(PcListPopupActionBar, item(ActFileUpLoad), "N1", IconImageList);
    PcListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PcListView, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        PcListPopupActionBar->popup(PcListView->viewport()->mapToGlobal(at));
    });

    AlbumListPopupActionBar = new QMenu(this);
    AlbumListPopupActionBar->setObjectName(QStringLiteral("AlbumListPopupActionBar"));
    MoveToFolder = AlbumListPopupActionBar->addMenu(QStringLiteral("他のフォルダへ移動"));
    MoveToFolder->setObjectName(QStringLiteral("MoveToFolder"));
    Delete1 = addLink(AlbumListPopupActionBar, item(ActDelete, "削除"), "Delete1", IconImageList);
    N3 = addLink(AlbumListPopupActionBar, item(ActGoAddPrint), "N3", IconImageList);
    N5 = AlbumListPopupActionBar->addSeparator();
    N5->setObjectName(QStringLiteral("N5"));
    N6 = addLink(AlbumListPopupActionBar, item(ActAlbumImageProperty), "N6", IconImageList);
    AlbumListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(AlbumListView, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        AlbumListPopupActionBar->popup(AlbumListView->viewport()->mapToGlobal(at));
    });
}
