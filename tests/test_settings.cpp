// The settings file as the main window reads and writes it.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "platform/SplitPane.h"
#include "tests/AppFixture.h"

#include <QCheckBox>
#include <QFile>

using Settings = AppFixture;

TEST_F(Settings, NoFileGivesDefaultsAndFirstCloseWritesTwelveKeysInOrder)
{
    start();
    form->show();
    EXPECT_EQ(form->pos(), QPoint(100, 100));
    EXPECT_EQ(form->size(), QSize(400, 300));
    EXPECT_EQ(program->Form3->pos(), QPoint(100, 410));
    EXPECT_TRUE(program->Form3->CheckBox1->isChecked());
    EXPECT_TRUE(program->Form3->isVisible());
    EXPECT_EQ(form->PcSplitter->LeftWidth(), 100);
    EXPECT_EQ(form->AlbumSplitter->LeftWidth(), 100);
    // No saved id: start-up took the one the service gave.
    const QByteArray sid = form->SessionId.toUtf8();
    EXPECT_FALSE(sid.isEmpty());
    EXPECT_FALSE(form->Spi);

    form->close();
    EXPECT_EQ(readIni(), QByteArray("[MAIN]\nWindowTop=100\nWindowLeft=100\nWindowWidth=400\n"
                                    "WindowHeight=300\nNaviWindowTop=410\nNaviWindowLeft=100\n"
                                    "NavigateWindow=1\nPcViewWidth=100\nAlbumViewWidth=100\n"
                                    "[NETWORK]\nKvoSessionId=" +
                                    sid + "\n[PLUGIN]\nSpi=0\nSpiFolder=\n"));
}

TEST_F(Settings, ValuesAreReadByTheirRules)
{
    writeIni("[MAIN]\nWindowWidth=0x1F4\nNavigateWindow=yes\nWindowTop=-20\nPcViewWidth=150\n"
             "[PLUGIN]\nSpi=yes\nSpiFolder=/opt/spi\n[NETWORK]\nKvoSessionId=abc123\n");
    start();
    EXPECT_EQ(form->width(), 500);
    EXPECT_EQ(form->y(), -20); // applied as read
    EXPECT_TRUE(form->NavigateWindow);
    EXPECT_FALSE(form->Spi);
    EXPECT_EQ(form->SpiFolder, QStringLiteral("/opt/spi"));
    // The login at start-up may have replaced the id; read the file again to see what it held.
    form->LoadIniFile();
    EXPECT_EQ(form->SessionId, QStringLiteral("abc123"));
    EXPECT_EQ(form->PcSplitter->LeftWidth(), 150);
}

TEST_F(Settings, UnknownKeysAreKeptAndKnownOnesUpdatedInPlace)
{
    writeIni("[MAIN]\nWindowTop=50\nFavourite=blue\n[EXTRA]\nx=1\n");
    start();
    form->move(10, 20);
    form->show();
    form->close();
    const QByteArray ini = readIni();
    EXPECT_TRUE(ini.startsWith("[MAIN]\nWindowTop=20\nFavourite=blue\nWindowLeft=10\n"))
        << ini.data();
    EXPECT_TRUE(ini.contains("[EXTRA]\nx=1\n[NETWORK]\n")) << ini.data();
}

TEST_F(Settings, GuideCheckBoxRoundTrip)
{
    writeIni("[MAIN]\nNavigateWindow=0\n");
    start();
    EXPECT_FALSE(program->Form3->isVisible());
    EXPECT_FALSE(program->Form3->CheckBox1->isChecked());
    program->Form3->CheckBox1->setChecked(true);
    form->show();
    form->close();
    EXPECT_TRUE(readIni().contains("NavigateWindow=1\n"));
}

TEST_F(Settings, UntickedGuideIsNotShownAtNextStart)
{
    start();
    program->Form3->CheckBox1->setChecked(false);
    form->show();
    form->close();
    program.reset();
    start();
    EXPECT_FALSE(program->Form3->isVisible());
}

TEST_F(Settings, UnwritableFolderShowsTheMessageAndStillCloses)
{
    start();
    form->show();
    // A file where the data folder should be: no one, root included, can write below it.
    QFile blocker(home.path() + QStringLiteral("/blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    form->DataFolder = home.path() + QStringLiteral("/blocker/tovela/");
    form->close();
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes.back().kind, ScriptedDialogs::Kind::Error);
    EXPECT_EQ(dialogs->boxes.back().text,
              home.path() + QStringLiteral("/blocker/tovela/tovela.ini に書き込めません"));
}

TEST_F(Settings, ExitCommandAndCloseButtonBothWrite)
{
    start();
    form->show();
    form->Exit->Execute();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(readIni().contains("WindowTop=100"));
    QFile::remove(iniPath());
    form->show();
    form->close(); // the window's close button takes the same path
    EXPECT_TRUE(readIni().contains("WindowTop=100"));
}

TEST_F(Settings, SavedSessionIdThatCannotTravelIsDropped)
{
    writeIni("[NETWORK]\nKvoSessionId=ab cd\n");
    start();
    EXPECT_TRUE(dialogs->boxes.empty());
    form->LoadIniFile();
    EXPECT_TRUE(form->SessionId.isEmpty());
}
