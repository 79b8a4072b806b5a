// The settings file tovela.ini in the data folder: read once at start-up, written at close.
#include "app/Unit1.h"

#include "app/Unit3.h"
#include "platform/IniFile.h"
#include "platform/SplitPane.h"
#include "session/ServiceReply.h"

#include <QCheckBox>

namespace
{
const QString Main = QStringLiteral("MAIN");
const QString Network = QStringLiteral("NETWORK");
const QString Plugin = QStringLiteral("PLUGIN");
} // namespace

void TForm1::LoadIniFile()
{
    TIniFile ini(DataFolder + QStringLiteral("tovela.ini"));
    // Window bounds are applied as read: no range or screen check.
    move(x(), ini.ReadInteger(Main, QStringLiteral("WindowTop"), 100));
    move(ini.ReadInteger(Main, QStringLiteral("WindowLeft"), 100), y());
    resize(ini.ReadInteger(Main, QStringLiteral("WindowWidth"), 400), height());
    resize(width(), ini.ReadInteger(Main, QStringLiteral("WindowHeight"), 300));
    NavigateWindow = ini.ReadBool(Main, QStringLiteral("NavigateWindow"), true);
    Form3->move(Form3->x(), ini.ReadInteger(Main, QStringLiteral("NaviWindowTop"), 410));
    Form3->move(ini.ReadInteger(Main, QStringLiteral("NaviWindowLeft"), 100), Form3->y());
    Form3->CheckBox1->setChecked(NavigateWindow);
    PcSplitter->setLeftWidth(ini.ReadInteger(Main, QStringLiteral("PcViewWidth"), 100));
    AlbumSplitter->setLeftWidth(ini.ReadInteger(Main, QStringLiteral("AlbumViewWidth"), 100));
    SessionId = ini.ReadString(Network, QStringLiteral("KvoSessionId"), QString());
    // A saved id that could not travel in a header line or an address (a hand-edited file) is
    // dropped like one from the service, so start-up asks the service for a fresh one.
    if (!IsUsableSessionId(SessionId))
        SessionId.clear();
    Spi = ini.ReadBool(Plugin, QStringLiteral("Spi"), false);
    SpiFolder = ini.ReadString(Plugin, QStringLiteral("SpiFolder"), QString());
}

void TForm1::SaveIniFile()
{
    TIniFile ini(DataFolder + QStringLiteral("tovela.ini"));
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
}
