// The settings file with one 10 MB line that the program does not own: LoadIniFile at start-up
// and SaveIniFile at close, beside the same calls on the plain twelve-key file.
#include "app/Unit1.h"
#include "bench_form.h"
#include "platform/base/Application.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
constexpr int Rounds = 3;

QByteArray settingsText(qsizetype bigLine)
{
    QByteArray text = "[MAIN]\nWindowTop=100\nWindowLeft=100\nWindowWidth=500\nWindowHeight=350\n"
                      "NaviWindowTop=410\nNaviWindowLeft=100\nNavigateWindow=0\nPcViewWidth=120\n"
                      "AlbumViewWidth=130\n";
    if (bigLine > 0)
        text += "Notes=" + QByteArray(bigLine, 'n') + "\n";
    text += "[NETWORK]\nKvoSessionId=\n[PLUGIN]\nSpi=0\nSpiFolder=\n";
    return text;
}

double millis(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    BenchForm bench;
    TForm1 *form = bench.Form();
    const QString path = form->DataFolder + QStringLiteral("tovela.ini");

    for (qsizetype big : {qsizetype(0), qsizetype(10) * 1024 * 1024}) {
        std::vector<double> load, save, bare;
        for (int round = 0; round < Rounds; ++round) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return 1;
            file.write(settingsText(big));
            file.close();
            QElapsedTimer clock;
            clock.start();
            {
                // The floor: reading the file's bytes once, nothing else.
                QFile again(path);
                if (!again.open(QIODevice::ReadOnly) || again.readAll().isEmpty())
                    return 1;
            }
            bare.push_back(millis(clock));
            clock.restart();
            form->LoadIniFile();
            load.push_back(millis(clock));
            clock.restart();
            form->SaveIniFile();
            save.push_back(millis(clock));
        }
        std::printf(
            "settings file with a %lld-byte line: LoadIniFile best %.2f ms, SaveIniFile "
            "best %.2f ms, one bare read of the file %.2f ms (%d rounds; file now %lld bytes)\n",
            static_cast<long long>(big), *std::min_element(load.begin(), load.end()),
            *std::min_element(save.begin(), save.end()),
            *std::min_element(bare.begin(), bare.end()), Rounds,
            static_cast<long long>(QFile(path).size()));
    }
    return 0;
}
