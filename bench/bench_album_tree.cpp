// The album folder tree for a chain of nested folders (each the only child of the one before):
// AlbumFolderLoad against the stand-in service for several depths.
#include "app/Program.h"
#include "app/Unit1.h"
#include "bench/bench_service.h"
#include "platform/base/Application.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ServiceProcess.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>

namespace
{
QByteArray chain(int depth)
{
    QByteArray reply = "OK";
    for (int k = 1; k <= depth; ++k)
        reply += "\r\n" + QByteArray::number(100 + k) + "<!--SEP-->" + QByteArray::number(k - 1) +
                 "<!--SEP-->F" + QByteArray::number(k);
    return reply;
}
} // namespace

int main(int argc, char **argv)
{
    // Depths to list beyond the usual ones come as arguments.
    QList<int> depths{1000, 5000, 10000};
    for (int i = 1; i < argc; ++i)
        depths << std::atoi(argv[i]);

    TBenchRun run(argc, argv);
    if (!run.Form)
        return 1;
    TForm1 *form = run.Form;
    ServiceProcess &service = run.Service();
    const QString folderPath = QStringLiteral("/wis/wi_folder.php/") + form->SessionId;
    for (int depth : depths) {
        service.cannedReply(folderPath, chain(depth));
        QElapsedTimer clock;
        clock.start();
        form->AlbumFolderLoad();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        std::printf("chain of %d folders: AlbumFolderLoad %.1f ms (%zu entries, loaded %d)\n",
                    depth, ms, form->FolderTable.size(), int(form->AlbumLoaded));
    }
    return 0;
}
