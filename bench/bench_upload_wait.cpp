// The window thread's time away from its event loop while a batch of five 10 MB pictures is
// uploaded to the stand-in reading every request body at 4 MB/s, as an upload link of a few
// Mbit/s would take it: the longest gap between two rounds of the event loop, its 99th
// percentile and the batch's total time, over a few rounds; then a round without the probe.
#include "app/Program.h"
#include "app/Unit1.h"
#include "bench/LoopProbe.h"
#include "bench/bench_service.h"
#include "platform/base/Application.h"
#include "platform/widgets/Action.h"
#include "platform/widgets/OwnerDataListView.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ServiceProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace
{
constexpr int Pictures = 5;
constexpr qint64 PictureBytes = 10 * 1000 * 1000;
constexpr int ReadRate = 4 * 1000 * 1000;
constexpr int Rounds = 2;

bool writePicture(const QString &path, quint64 seed)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(PictureBytes, Qt::Uninitialized);
    quint64 x = seed | 1;
    for (qsizetype k = 0; k + 8 <= block.size(); k += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        std::memcpy(block.data() + k, &x, 8);
    }
    return file.write(block) == block.size();
}

} // namespace

int main(int argc, char **argv)
{
    // The confirmation and the completion box answer themselves.
    TBenchRun run(argc, argv, false);
    if (!run.Form)
        return 1;
    TForm1 *form = run.Form;
    ServiceProcess &service = run.Service();
    ScriptedDialogsGuard &dialogs = run.Dialogs();
    const QString folder = run.Home.path() + "/pictures";
    QDir().mkpath(folder);
    if (!form->SessionReady) {
        std::fprintf(stderr, "no session\n");
        return 1;
    }
    form->PcImages.clear();
    for (int i = 0; i < Pictures; ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i + 1);
        if (!writePicture(folder + "/" + name, quint64(i + 1) * 7919)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
        TPcImages entry;
        entry.Name = name;
        entry.Folder = folder;
        entry.IsPicture = true;
        form->PcImages.push_back(entry);
    }
    form->PcListView->setItemsCount(Pictures);
    for (int i = 0; i < Pictures; ++i)
        form->PcListView->setSelected(i, true);
    const QString uploadPath = QStringLiteral("/wis/wi_upload.php/") + form->SessionId;

    std::printf("upload of %d pictures of %lld bytes, the stand-in reading %d bytes/s, %d "
                "rounds\n",
                Pictures, static_cast<long long>(PictureBytes), ReadRate, Rounds);
    TProbedRounds probed;
    for (int round = 0; round < Rounds + 1; ++round) {
        const bool probing = round < Rounds;
        service.reset();
        CannedReply slow;
        slow.path = uploadPath;
        slow.pass = true;
        slow.readRate = ReadRate;
        slow.count = 0;
        service.cannedReply(slow);
        dialogs->boxes.clear();

        // The command runs from the event loop, as the user's click would.
        TLoopProbe probe;
        QEventLoop loop;
        QElapsedTimer clock;
        QTimer::singleShot(0, [&] {
            clock.start();
            form->ActFileUpLoad->Execute();
            loop.quit();
        });
        if (probing)
            probe.Start();
        loop.exec();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (probing)
            probe.Stop();
        const bool completed =
            !dialogs->boxes.empty() && dialogs->boxes.back().caption == QStringLiteral("送信完了");
        const auto requests = service.requests().size();
        if (!completed || requests != Pictures)
            std::fprintf(stderr, "round %d: %s with %lld requests\n", round + 1,
                         completed ? "completed" : "NOT completed",
                         static_cast<long long>(requests));
        if (!probing) {
            std::printf("round %d without the probe: total %.1f ms\n", round + 1, ms);
            continue;
        }
        probed.Add(round, ms, probe);
    }
    probed.PrintMedians();
    return 0;
}
