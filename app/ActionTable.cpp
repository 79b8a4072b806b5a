// The command vocabulary: one action list from which the menu bar, the tool bars and the
// context menus are built.
#include "app/Unit1.h"

#include "platform/ActionBar.h"
#include "platform/OwnerDataListView.h"

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
     0, &TForm1::AcTUpFolderExecute},
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
    {&TForm1::ActFileUp, "ActFileUp", "プリントへ追加", "", "", "", 3, &TForm1::ActFileUpExecute},
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
    ActionBars = {
        // Attached to no control: never displayed.
        {QStringLiteral("ActionBar0"),
         {menu("操作(&Z)", {item(ActLogin), item(ActLogout), item(ActRefresh), item(Exit)}),
          menu("設定(&Y)", {item(ActNetworkConfig), item(ActFont)}),
          menu("ヘルプ(&X)", {item(ActHelp), item(ActVersion)})}},
        {QStringLiteral("ActionBar1"), {}},
        {QStringLiteral("PcActionToolBar"),
         {item(ActFileUp, "プリントへ追加(&U)", 3),
          item(ActGoOrder, "Quovi.格安デジカメプリント 注文ページへ(&O)")}},
        {QStringLiteral("AlbumActionToolBar"),
         {item(AcTUpFolder, "上へ(&F)", 0), item(ActReload, "更新(&R)")}},
        {QStringLiteral("OrderActionToolBar"), {}},
        {QStringLiteral("ActionMainMenuBar1"),
         {menu("操作(&S)",
               {item(ActGoOrder), item(ActDispOrderPageUrl, "注文ページへのURLを表示(&R)"),
                item(ActSusiePlugin), item(Exit)}),
          menu("ヘルプ(&H)",
               {item(ActShowNavigateWindow), item(ActNewVersion, "最新バージョンの確認(&Z)"),
                item(ActHelp, "説明ページへ(Help&page)")})}},
    };
    BuildToolBar(PcActionToolBar, ActionBars[2], IconImageList);
    BuildToolBar(AlbumActionToolBar, ActionBars[3], IconImageList);
    BuildToolBar(OrderActionToolBar, ActionBars[4], IconImageList);
    BuildMenuBar(ActionMainMenuBar1, ActionBars[5], IconImageList);

    PcListPopupActionBar = new QMenu(this);
    PcListPopupActionBar->setObjectName(QStringLiteral("PcListPopupActionBar"));
    TActionClientItem n1 = item(ActFileUpLoad);
    n1.Name = QStringLiteral("N1");
    N1 = CreateActionLink(n1, IconImageList, PcListPopupActionBar);
    PcListPopupActionBar->addAction(N1);
    PcListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PcListView, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        PcListPopupActionBar->popup(PcListView->viewport()->mapToGlobal(at));
    });

    AlbumListPopupActionBar = new QMenu(this);
    AlbumListPopupActionBar->setObjectName(QStringLiteral("AlbumListPopupActionBar"));
    MoveToFolder = AlbumListPopupActionBar->addMenu(QStringLiteral("他のフォルダへ移動"));
    MoveToFolder->setObjectName(QStringLiteral("MoveToFolder"));
    TActionClientItem del = item(ActDelete, "削除");
    del.Name = QStringLiteral("Delete1");
    Delete1 = CreateActionLink(del, IconImageList, AlbumListPopupActionBar);
    AlbumListPopupActionBar->addAction(Delete1);
    TActionClientItem n3 = item(ActGoAddPrint);
    n3.Name = QStringLiteral("N3");
    N3 = CreateActionLink(n3, IconImageList, AlbumListPopupActionBar);
    AlbumListPopupActionBar->addAction(N3);
    N5 = AlbumListPopupActionBar->addSeparator();
    N5->setObjectName(QStringLiteral("N5"));
    TActionClientItem n6 = item(ActAlbumImageProperty);
    n6.Name = QStringLiteral("N6");
    N6 = CreateActionLink(n6, IconImageList, AlbumListPopupActionBar);
    AlbumListPopupActionBar->addAction(N6);
    AlbumListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(AlbumListView, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        AlbumListPopupActionBar->popup(AlbumListView->viewport()->mapToGlobal(at));
    });
}
