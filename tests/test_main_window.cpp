// The main window's frame: captions, the action table, view switching and start-up.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "platform/base/Timer.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/StatusBar.h"
#include "platform/widgets/TabSet.h"
#include "tests/support/AppFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QToolBar>
#include <QTreeWidget>

using MainWindow = AppFixture;

namespace
{
QStringList texts(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}
} // namespace

TEST_F(MainWindow, FrameCaptionsAndControls)
{
    start();
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Quovi.格安デジカメプリント ルミナード v20080101"));
    ASSERT_EQ(form->DockTabSet1->count(), 4);
    EXPECT_EQ(form->DockTabSet1->tabText(0), QStringLiteral("あなたの パ ソ コ ン"));
    EXPECT_EQ(form->DockTabSet1->tabText(1), QString::fromUtf8("\u3000注\u3000文\u3000"));
    EXPECT_EQ(form->DockTabSet1->tabText(2), QString::fromUtf8("\u3000画\u3000像\u3000"));
    // Start-up ran the logged-out switch, which renames the album tab.
    EXPECT_EQ(form->DockTabSet1->tabText(3), QStringLiteral("アルバム"));
    EXPECT_FALSE(form->Gauge1->isVisible());
    EXPECT_EQ(form->Gauge1->size(), QSize(169, 21));
    EXPECT_FALSE(form->UnknownFileImage.isNull());
    EXPECT_EQ(form->FolderImage.size(), QSize(100, 100));
    EXPECT_EQ(form->IconImageList->Count(), 4);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QString());
    EXPECT_FALSE(form->StopTimer->Enabled());
    EXPECT_FALSE(form->PcImageDrawTimer->Enabled());
    EXPECT_EQ(form->StopTimer->Interval(), 100);
    EXPECT_TRUE(form->DummyPopupMenu->isEmpty());
    EXPECT_EQ(form->CacheFolder, dataFolder() + QStringLiteral("ImageCache"));
    EXPECT_TRUE(QDir(form->CacheFolder).exists());
}

TEST_F(MainWindow, ActionTableIsCompleteAndHandlerlessActionsAreDisabled)
{
    start();
    struct Row {
        const char *name, *caption, *category;
        bool handler;
    };
    const Row rows[] = {
        {"ActLogin", "ログイン(&Login)", "操作", true},
        {"ActLogout", "ログアウト(Log&out)", "操作", true},
        {"ActRefresh", "最新の情報に更新(&Refresh)", "操作", false},
        {"Exit", "終了(E&xit)", "操作", true},
        {"ActNetworkConfig", "ネットワーク設定(&Network)", "設定", false},
        {"ActFont", "フォント設定(&Font)", "設定", false},
        {"ActVersion", "バージョン情報(&Version)", "ヘルプ", false},
        {"ActHelp", "ヘルプ(&Help)", "ヘルプ", true},
        {"ActRename", "名称変更(Re&name)", "", false},
        {"ActDelete", "削除(&Delete)", "", true},
        {"AcTUpFolder", "上へ", "その他操作", true},
        {"ActFileUpLoad", "画像をプリントに追加", "画像", true}, // renamed by the logged-out switch
        {"ActReload", "更新", "", true},
        {"ActGoOrder", "注文ページへ(&Order)", "操作", true},
        {"ActGoAddPrint", "プリントへ追加", "アルバム画像", false},
        {"ActMoveFolder", "他のフォルダへ移動", "アルバム画像", false},
        {"ActAlbumImageProperty", "プロパティ", "アルバム画像", false},
        {"ActFileUp", "プリントに追加", "", true},
        {"ActShowNavigateWindow", "ナビケーションを表示する(&N)", "ヘルプ", true},
        {"ActNewVersion", "最新バージョンの確認", "ヘルプ", true},
        {"ActDispOrderPageUrl", "注文ページへのURLを表示", "操作", true},
        {"ActSusiePlugin", "Susie プラグインを使う", "プラグイン", true},
    };
    const auto &actions = form->ActionManager1->actions();
    ASSERT_EQ(actions.size(), std::size(rows));
    for (size_t i = 0; i < actions.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(actions[i]->Name, QString::fromUtf8(rows[i].name));
        EXPECT_EQ(actions[i]->Caption(), QString::fromUtf8(rows[i].caption));
        EXPECT_EQ(actions[i]->Category, QString::fromUtf8(rows[i].category));
        EXPECT_EQ(actions[i]->HasHandler(), rows[i].handler);
        if (!rows[i].handler) {
            EXPECT_FALSE(actions[i]->isShownEnabled());
        }
    }
    EXPECT_EQ(form->AcTUpFolder->Hint, QStringLiteral("一つ上のフォルダに移動します"));
    EXPECT_EQ(form->AcTUpFolder->ImageIndex, 0);
    EXPECT_EQ(form->ActFileUp->ImageIndex, 3);
    EXPECT_FALSE(form->ActFileUp->Enabled());
    EXPECT_EQ(form->ActHelp->HelpKeyword, QStringLiteral("ヘルプを表示します"));
    EXPECT_TRUE(form->ActSusiePlugin->Checkable());
    EXPECT_FALSE(form->ActSusiePlugin->Checked());
    EXPECT_EQ(form->ActionBars.size(), 6u);
}

TEST_F(MainWindow, BarsAndMenusShowTheirOwnCaptions)
{
    start();
    QList<QAction *> menus = form->ActionMainMenuBar1->actions();
    ASSERT_EQ(texts(menus),
              QStringList({QStringLiteral("操作(&S)"), QStringLiteral("ヘルプ(&H)")}));
    EXPECT_EQ(
        texts(menus[0]->menu()->actions()),
        QStringList({QStringLiteral("注文ページへ(&Order)"),
                     QStringLiteral("注文ページへのURLを表示(&R)"),
                     QStringLiteral("Susie プラグインを使う"), QStringLiteral("終了(E&xit)")}));
    EXPECT_EQ(texts(menus[1]->menu()->actions()),
              QStringList({QStringLiteral("ナビケーションを表示する(&N)"),
                           QStringLiteral("最新バージョンの確認(&Z)"),
                           QStringLiteral("説明ページへ(Help&page)")}));
    EXPECT_EQ(texts(form->PcActionToolBar->actions())[1],
              QStringLiteral("Quovi.格安デジカメプリント 注文ページへ(&O)"));
    EXPECT_EQ(texts(form->AlbumActionToolBar->actions()),
              QStringList({QStringLiteral("上へ(&F)"), QStringLiteral("更新(&R)")}));
    EXPECT_TRUE(form->OrderActionToolBar->actions().isEmpty());
    EXPECT_EQ(texts(form->AlbumListPopupActionBar->actions()),
              QStringList({QStringLiteral("他のフォルダへ移動"), QStringLiteral("削除"),
                           QStringLiteral("プリントへ追加"), QStringLiteral("-"),
                           QStringLiteral("プロパティ")}));
    EXPECT_EQ(form->N1->text(), form->ActFileUpLoad->Caption());
    // A disabled action shows disabled in every bar, and follows later changes.
    QAction *upload = form->PcActionToolBar->actions()[0];
    EXPECT_FALSE(upload->isEnabled());
    form->ActFileUp->setEnabled(true);
    EXPECT_TRUE(upload->isEnabled());
    EXPECT_FALSE(form->N3->isEnabled());
}

TEST_F(MainWindow, StartWithoutSettingsShowsThePcViewAndTheGuide)
{
    start();
    form->show();
    EXPECT_TRUE(form->PcView->isVisible());
    EXPECT_FALSE(form->AlbumView->isVisible());
    EXPECT_FALSE(form->OrderView->isVisible());
    EXPECT_FALSE(form->BigImageView->isVisible());
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 0);
    EXPECT_EQ(form->LastView, 0);
    EXPECT_TRUE(program->Form3->isVisible());
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(MainWindow, OrderTabOpensTheOrderPageEveryTime)
{
    writeIni("[NETWORK]\nKvoSessionId=S123\n");
    start();
    const QString base = service->baseUrl();
    form->show();
    form->DockTabSet1->setTabIndex(1);
    EXPECT_TRUE(form->OrderView->isVisible());
    EXPECT_EQ(form->LastView, 1);
    form->DockTabSet1->setTabIndex(0);
    form->DockTabSet1->setTabIndex(1);
    ASSERT_EQ(dialogs->urls.size(), 2u);
    EXPECT_EQ(dialogs->urls[0],
              base + QStringLiteral("/wis/order.php?mode=select&sid=") + form->SessionId);
    EXPECT_EQ(dialogs->urls[1], dialogs->urls[0]);
    // The same tab again raises nothing.
    form->DockTabSet1->setTabIndex(1);
    EXPECT_EQ(dialogs->urls.size(), 2u);
}

TEST_F(MainWindow, PreviewLeavesLastViewAndWebCommandsOpenTheirPages)
{
    start();
    const QString base = service->baseUrl();
    TOVELA_REQUIRE_TEST_HOOKS(*service);
    const int requestsAtStart = static_cast<int>(service->requests().size());
    form->show();
    form->DockTabSet1->setTabIndex(3);
    // Logged out, the album tab fetches nothing.
    EXPECT_EQ(service->requests().size(), requestsAtStart);
    EXPECT_TRUE(form->AlbumView->isVisible());
    EXPECT_FALSE(form->AlbumTreeView->isEnabled());
    EXPECT_EQ(form->AlbumTreeView->topLevelItemCount(), 0);
    form->DockTabSet1->setTabIndex(2);
    EXPECT_TRUE(form->BigImageView->isVisible());
    EXPECT_EQ(form->LastView, 3);
    form->ActHelp->Execute();
    form->ActNewVersion->Execute();
    EXPECT_EQ(dialogs->urls, (std::vector<QString>{base + QStringLiteral("/order_help.php#0003"),
                                                   base + QStringLiteral("/download.php")}));
}

TEST_F(MainWindow, DataFolderFallsBackToTheHomeFolder)
{
    // An application-data folder that cannot be made: a file stands in its way.
    QFile blocker(home.path() + QStringLiteral("/blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", blocker.fileName().toLocal8Bit());
    start();
    EXPECT_EQ(form->DataFolder, home.path() + QStringLiteral("/home/.tovela/"));
    EXPECT_TRUE(QDir(form->CacheFolder).exists());
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(MainWindow, NoUsableDataFolderIsReportedAndStartUpGoesOn)
{
    QFile blocker(home.path() + QStringLiteral("/blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", blocker.fileName().toLocal8Bit());
    qputenv("HOME", blocker.fileName().toLocal8Bit());
    start();
    ASSERT_EQ(dialogs->texts().size(), 1u);
    EXPECT_EQ(
        dialogs->texts()[0],
        QStringLiteral("データの保存用フォルダが作成出来ません。\n開発元にお問い合わせください。"));
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("ルミナード"));
    EXPECT_EQ(form->size(), QSize(400, 300)); // defaults
}
