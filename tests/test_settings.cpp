// The settings file as the main window reads and writes it.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "platform/widgets/SplitPane.h"
#include "tests/support/AppFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST_F(Settings, GeometryStaysOnScreenSizedNumbersAndBadIntegersTakeDefaults)
{
    static const char raw[] = "[MAIN]\nWindowTop=2147483647\nWindowLeft=-2147483648\n"
                              "WindowWidth=5\0garbage\nWindowHeight=4294967296\n"
                              "NaviWindowTop=0x7FFFFFFF\n";
    writeIni(QByteArray(raw, sizeof raw - 1));
    start();
    EXPECT_EQ(form->pos(), QPoint(-32768, 32767));
    EXPECT_EQ(form->size(), QSize(400, 300)); // both values invalid: the defaults
    EXPECT_EQ(program->Form3->y(), 32767);
    form->show();
    form->close();
    EXPECT_TRUE(readIni().contains("WindowTop=32767\nWindowLeft=-32768\nWindowWidth=400\n"
                                   "WindowHeight=300\nNaviWindowTop=32767\n"))
        << readIni().data();
}

namespace
{
// Makes a folder read-only for this process: by its mode, or, for root (whom modes do not
// stop), by a read-only bind mount of the folder onto itself.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path) : path(QFile::encodeName(path))
    {
        if (::geteuid() != 0) {
            ok = ::chmod(this->path.constData(), 0555) == 0;
            return;
        }
        mounted =
            ::mount(this->path.constData(), this->path.constData(), nullptr, MS_BIND, nullptr) == 0;
        ok = mounted && ::mount(nullptr, this->path.constData(), nullptr,
                                MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    ~ReadOnlyFolder()
    {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
        else
            ::chmod(path.constData(), 0755);
    }
    bool ok = false;

private:
    QByteArray path;
    bool mounted = false;
};
} // namespace

TEST_F(Settings, ReadOnlyDataFolderIsReadAndOnlyWritingFallsBackTellingOnce)
{
    writeIni("[MAIN]\nWindowWidth=500\nWindowHeight=350\nFavourite=blue\n");
    QDir().mkpath(dataFolder() + QStringLiteral("ImageCache"));
    const QByteArray original = readIni();
    ReadOnlyFolder readOnly(dataFolder());
    if (!readOnly.ok)
        GTEST_SKIP() << "cannot make a read-only folder here";
    const QString fallback = home.path() + QStringLiteral("/home/.tovela/");

    start();
    EXPECT_EQ(form->DataFolder, dataFolder());
    EXPECT_EQ(form->size(), QSize(500, 350));
    EXPECT_EQ(form->CacheFolder, fallback + QStringLiteral("ImageCache"));
    EXPECT_TRUE(QFileInfo(form->CacheFolder).isDir());
    form->show();
    form->resize(520, 360);
    form->close();
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes.back().kind, ScriptedDialogs::Kind::Error);
    EXPECT_EQ(dialogs->boxes.back().text, iniPath() + QStringLiteral(" に書き込めません"));
    EXPECT_EQ(readIni(), original);
    QFile diverted(fallback + QStringLiteral("tovela.ini"));
    ASSERT_TRUE(diverted.open(QIODevice::ReadOnly));
    const QByteArray written = diverted.readAll();
    EXPECT_TRUE(written.startsWith("[MAIN]\nWindowWidth=520\nWindowHeight=360\nFavourite=blue\n"))
        << written.data();

    // The next start reads what was written last, and the user is not told again.
    program.reset();
    dialogs->boxes.clear();
    start();
    EXPECT_EQ(form->size(), QSize(520, 360));
    form->show();
    form->close();
    EXPECT_TRUE(dialogs->boxes.empty());
}
