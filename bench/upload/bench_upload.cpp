// One upload batch of one picture through the program, against a service given on the command
// line: `bench_upload BASE_URL FILE`. Prints the batch's wall time, the file's throughput and
// the process's peak resident memory (VmHWM) before and after the batch, so a streamed upload
// shows the same peak for a small and a large file. bench/upload/run.sh compares it with
// curl sending the same file to the same service.
#include "app/Program.h"
#include "app/Unit1.h"
#include "platform/base/Application.h"
#include "platform/widgets/Action.h"
#include "platform/widgets/OwnerDataListView.h"
#include "tests/support/ScriptedDialogs.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace
{

// Peak resident set size of this process in kB, from /proc/self/status.
long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    Application app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_upload BASE_URL FILE\n");
        return 2;
    }
    const QString baseUrl = QString::fromLocal8Bit(argv[1]);
    const QFileInfo file(QString::fromLocal8Bit(argv[2]));
    ScriptedDialogsGuard dialogs; // the confirmation and the completion answer themselves
    TProgram program(baseUrl);
    TForm1 *form = program.Form1.get();
    if (!form->SessionReady) {
        std::fprintf(stderr, "no session from %s\n", argv[1]);
        return 1;
    }
    TPcImages entry;
    entry.Name = file.fileName();
    entry.Folder = file.absolutePath();
    entry.IsPicture = true;
    form->PcImages = {entry};
    form->PcListView->setItemsCount(1);
    form->PcListView->setSelected(0, true);

    const long before = peakKb();
    QElapsedTimer timer;
    timer.start();
    form->ActFileUpLoad->Execute();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const long after = peakKb();
    const bool completed =
        !dialogs->boxes.empty() && dialogs->boxes.back().caption == QStringLiteral("送信完了");
    std::printf("bytes %lld seconds %.3f MBps %.1f peak_kb_before %ld peak_kb_after %ld %s\n",
                static_cast<long long>(file.size()), seconds, file.size() / 1e6 / seconds, before,
                after, completed ? "completed" : "NOT-COMPLETED");
    return completed ? 0 : 1;
}
