// The plug-in command of the main window: switching plug-in use on and off with the folder
// dialog, the settings it leaves, and start-up's plug-in step.
#include "app/Unit1.h"
#include "platform/base/Application.h"
#include "platform/graphics/DecodeWorker.h"
#include "platform/graphics/PictureFormats.h"
#include "platform/widgets/Action.h"
#include "spi/SPIBmp.h"
#include "spi/SPIs.h"
#include "tests/support/AppFixture.h"
#include "tests/test_spi_support.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <unistd.h>

namespace
{
class SpiCommand : public AppFixture
{
protected:
    void TearDown() override
    {
        AppFixture::TearDown();
        UnregisterGraphicClass(SPIBitmapClass());
    }
    int folderDialogs() const
    {
        int n = 0;
        for (const ScriptedDialogs::Box &box : dialogs->boxes)
            if (box.kind == ScriptedDialogs::Kind::Folder) {
                EXPECT_EQ(box.caption, QStringLiteral("Susie プラグインフォルダを選んで下さい"));
                ++n;
            }
        return n;
    }
};
} // namespace

TEST_F(SpiCommand, OnOffOnAgainWithTheFolderDialogAndTheSettingsAfterwards)
{
    TestFolder first, second;
    const QString plugin = first.addPlugin("testspi_good", "good.spi");
    second.addPlugin("testspi_pic_a", "pic.spi");
    start();
    ASSERT_FALSE(form->Spi);
    EXPECT_EQ(form->SPIs, nullptr);
    // The item of the "操作(&S)" menu: Qt flips a checkable item itself when it is triggered,
    // so its mark must come back to what the handler decided.
    const auto menuItem = [&]() -> QAction * {
        for (QAction *shown : form->ActionMainMenuBar1->actions().at(0)->menu()->actions())
            if (shown->text() == QStringLiteral("Susie プラグインを使う"))
                return shown;
        return nullptr;
    };
    QAction *item = menuItem();
    ASSERT_TRUE(item);

    // Cancelled: nothing changes.
    item->trigger();
    EXPECT_EQ(folderDialogs(), 1);
    EXPECT_FALSE(form->Spi);
    EXPECT_FALSE(form->ActSusiePlugin->Checked());
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(form->SPIs, nullptr);

    dialogs->folders = {first.path()};
    item->trigger();
    EXPECT_TRUE(form->Spi);
    EXPECT_TRUE(form->ActSusiePlugin->Checked());
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(form->SpiFolder, first.path());
    ASSERT_TRUE(form->SPIs);
    ASSERT_EQ(form->SPIs->Count(), 1);
    EXPECT_EQ(form->SPIs->Items(0)->FileName, plugin);
    EXPECT_EQ(FindGraphicClass("tsp"), &SPIBitmapClass());

    // Off: only the flag; the plug-in stays loaded and its format registered.
    item->trigger();
    EXPECT_FALSE(form->Spi);
    EXPECT_FALSE(form->ActSusiePlugin->Checked());
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(form->SPIs->Count(), 1);
    EXPECT_EQ(FindGraphicClass("tsp"), &SPIBitmapClass());

    // On again: the dialog again; the new folder is kept for the next start.
    dialogs->folders = {second.path()};
    item->trigger();
    EXPECT_EQ(folderDialogs(), 3);
    EXPECT_TRUE(form->Spi);
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(form->SpiFolder, second.path());
    EXPECT_EQ(form->SPIs->Count(), 1);
    EXPECT_EQ(FindGraphicClass("pic"), nullptr);

    form->SaveIniFile();
    const QByteArray ini = readIni();
    EXPECT_TRUE(ini.contains("[PLUGIN]\nSpi=1\nSpiFolder=" + second.path().toUtf8() + "\n"))
        << ini.data();

    // The next start loads the saved folder and checks the command.
    program.reset();
    form = nullptr;
    UnregisterGraphicClass(SPIBitmapClass());
    start();
    EXPECT_TRUE(form->Spi);
    EXPECT_TRUE(form->ActSusiePlugin->Checked());
    ASSERT_TRUE(menuItem());
    EXPECT_TRUE(menuItem()->isChecked());
    ASSERT_TRUE(form->SPIs);
    ASSERT_EQ(form->SPIs->Count(), 1);
    EXPECT_EQ(QFileInfo(form->SPIs->Items(0)->FileName).fileName(), QStringLiteral("pic.spi"));
    EXPECT_EQ(FindGraphicClass("pic"), &SPIBitmapClass());
}

TEST_F(SpiCommand, AnInvalidPluginReachesTheErrorDisplayWithTheFlagOn)
{
    TestFolder folder;
    folder.addPlugin("testspi_good", "1.spi");
    const QString bad = folder.addPlugin("testspi_noget", "2.spi");
    start();
    dialogs->folders = {folder.path()};
    // Through the window's error guard, as every handler entered from Qt runs.
    EXPECT_FALSE(guarded([&] { form->ActSusiePlugin->Execute(); }));
    EXPECT_TRUE(form->Spi);
    EXPECT_TRUE(form->ActSusiePlugin->Checked());
    ASSERT_TRUE(form->SPIs);
    EXPECT_EQ(form->SPIs->Count(), 1);
    bool shown = false;
    for (const ScriptedDialogs::Box &box : dialogs->boxes)
        shown = shown ||
                (box.kind == ScriptedDialogs::Kind::Error &&
                 box.text ==
                     QStringLiteral("GetPictureは[%1]では使えないSusie Plugin APIです").arg(bad));
    EXPECT_TRUE(shown);
}

TEST_F(SpiCommand, AnEmptyFolderSettingSearchesTheRootFolder)
{
    const QString root = QStringLiteral("/tovela-spi-test-%1.spi").arg(getpid());
    if (!QFile::copy(TestPlugin("testspi_good"), root))
        GTEST_SKIP() << "the root folder is not writable here";
    struct Remove {
        QString path;
        ~Remove() { QFile::remove(path); }
    } remove{root};
    start();
    form->SpiFolder.clear();
    form->SetSpi();
    ASSERT_TRUE(form->SPIs);
    EXPECT_GE(form->SPIs->IndexOf(root), 0);
}

TEST_F(SpiCommand, TheFolderDialogStartsAtTheDesktopWithTheProgramsOwnPluginsInItsSideBar)
{
    start();
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    ASSERT_TRUE(QDir().mkpath(desktop));
    // The test program lies in the build tree, which has no installed layout around it.
    const QString own = QDir::cleanPath(QStringLiteral(TOVELA_SHIPPED_PLUGIN_DIR));

    form->ActSusiePlugin->Execute(); // cancelled
    ASSERT_EQ(folderDialogs(), 1);
    EXPECT_EQ(dialogs->boxes.back().text, desktop);
    EXPECT_EQ(dialogs->boxes.back().places, QStringList{own});

    // The real dialog, as the user sees it: at the desktop, the folder one click away.
    std::unique_ptr<IDialogs> scripted = SetDialogs(std::make_unique<QtDialogs>());
    QList<QUrl> sidebar;
    QString shownAt;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QFileDialog *>(w); dialog && dialog->isVisible()) {
                sidebar = dialog->sidebarUrls();
                shownAt = dialog->directory().absolutePath();
                dialog->reject();
            }
    });
    poll.start(5);
    form->ActSusiePlugin->Execute();
    poll.stop();
    SetDialogs(std::move(scripted));
    EXPECT_FALSE(form->Spi);
    EXPECT_EQ(shownAt, desktop);
    EXPECT_TRUE(sidebar.contains(QUrl::fromLocalFile(own)));
}

TEST_F(SpiCommand, PluginsJoinThePictureFormatsOnlyWhenNoDecodeRuns)
{
    start();
    const QString folder = home.path() + QStringLiteral("/spi");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(TestPlugin("testspi_good"), folder + QStringLiteral("/good.spi")));
    // A decode under way on the worker reads the format registry that the plug-ins join.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> decodeEnded{false};
    form->DecodeWorker->Post(
        [released, &decodeEnded] {
            released.wait();
            decodeEnded = true;
        },
        {});
    std::jthread opener([&release] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        release.set_value();
    });
    form->SpiFolder = folder;
    form->SetSpi();
    EXPECT_TRUE(decodeEnded) << "the plug-ins were registered while a decode ran";
    EXPECT_TRUE(form->SPIs);
    opener.join();
    while (form->DecodeWorker->Pending() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
