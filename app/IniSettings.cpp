// The settings file tovela.ini in the data folder: read once at start-up, written at close.
#include "app/Unit1.h"

#include "app/Unit3.h"
#include "platform/base/Application.h"
#include "platform/base/Exception.h"
#include "platform/system/IniFile.h"
#include "platform/widgets/ScreenGeometry.h"
#include "platform/widgets/SplitPane.h"
#include "session/ServiceReply.h"

#include <QCheckBox>
#include <QFile>

namespace
{
const QString Main = QStringLiteral("MAIN");
const QString Network = QStringLiteral("NETWORK");
const QString Plugin = QStringLiteral("PLUGIN");
const QString FileName = QStringLiteral("tovela.ini");
} // namespace

QString TForm1::SettingsReadPath() const
{
    // Once settings have gone to the fallback folder, they are the newer ones.
    if (!SettingsFallback.isEmpty() && QFile::exists(SettingsFallback + FileName))
        return SettingsFallback + FileName;
    return DataFolder + FileName;
}

void TForm1::LoadIniFile()
{
    TIniFile ini(SettingsReadPath());
    // One reading of the file for all keys.
    ini.BeginUpdate();
    // Window bounds are applied as read, with no check that the window lies on a screen, but
    // on numbers a window system can take.
    auto coordinate = [&](const QString &key, int def) {
        return ScreenCoordinate(ini.ReadInteger(Main, key, def));
    };
    auto extent = [&](const QString &key, int def) {
        return ScreenExtent(ini.ReadInteger(Main, key, def));
    };
    move(x(), coordinate(QStringLiteral("WindowTop"), 100));
    move(coordinate(QStringLiteral("WindowLeft"), 100), y());
    resize(extent(QStringLiteral("WindowWidth"), 400), height());
    resize(width(), extent(QStringLiteral("WindowHeight"), 300));
    NavigateWindow = ini.ReadBool(Main, QStringLiteral("NavigateWindow"), true);
    Form3->move(Form3->x(), coordinate(QStringLiteral("NaviWindowTop"), 410));
    Form3->move(coordinate(QStringLiteral("NaviWindowLeft"), 100), Form3->y());
    Form3->CheckBox1->setChecked(NavigateWindow);
    PcSplitter->setLeftWidth(extent(QStringLiteral("PcViewWidth"), 100));
    AlbumSplitter->setLeftWidth(extent(QStringLiteral("AlbumViewWidth"), 100));
    SessionId = ini.ReadString(Network, QStringLiteral("KvoSessionId"), QString());
    // A saved id that could not travel in a header line or an address (a hand-edited file) is
    // dropped like one from the service, so start-up asks the service for a fresh one.
    if (!IsUsableSessionId(SessionId))
        SessionId.clear();
    Spi = ini.ReadBool(Plugin, QStringLiteral("Spi"), false);
    SpiFolder = ini.ReadString(Plugin, QStringLiteral("SpiFolder"), QString());
    ini.EndUpdate();
}

void TForm1::SaveIniFile()
{
    // A data folder that cannot be written sends the settings to the fallback folder. The
    // first time, the file there starts as a copy of the one in the data folder (so its other
    // lines are kept) and the user is told with the write error; later closes go there quietly.
    QString path = DataFolder + FileName;
    QString refused;
    if (!SettingsFallback.isEmpty()) {
        const QString diverted = SettingsFallback + FileName;
        if (!QFile::exists(diverted)) {
            refused = path;
            QFile::copy(path, diverted);
        }
        path = diverted;
    }
    TIniFile ini(path);
    // All keys go to the file in one write when the last one is set.
    ini.BeginUpdate();
    ini.WriteInteger(Main, QStringLiteral("WindowTop"), y());
    ini.WriteInteger(Main, QStringLiteral("WindowLeft"), x());
    ini.WriteInteger(Main, QStringLiteral("WindowWidth"), width());
    ini.WriteInteger(Main, QStringLiteral("WindowHeight"), height());
    ini.WriteInteger(Main, QStringLiteral("NaviWindowTop"), Form3->y());
    ini.WriteInteger(Main, QStringLiteral("NaviWindowLeft"), Form3->x());
    NavigateWindow = Form3->CheckBox1->isChecked();
    ini.WriteBool(Main, QStringLiteral("NavigateWindow"), NavigateWindow);
    ini.WriteInteger(Main, QStringLiteral("PcViewWidth"), PcSplitter->LeftWidth());
    ini.WriteInteger(Main, QStringLiteral("AlbumViewWidth"), AlbumSplitter->LeftWidth());
    ini.WriteString(Network, QStringLiteral("KvoSessionId"), SessionId);
    ini.WriteBool(Plugin, QStringLiteral("Spi"), Spi);
    ini.WriteString(Plugin, QStringLiteral("SpiFolder"), SpiFolder);
    ini.EndUpdate();
    if (!refused.isEmpty())
        showError(EIniFileException(QStringLiteral("%1 に書き込めません").arg(refused)));
}
