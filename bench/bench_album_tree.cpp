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
    QTemporaryDir home;
    UseBenchHome(home);
    Application app(argc, argv);
    ScriptedDialogsGuard dialogs;

    ServiceProcess service;
    std::unique_ptr<TProgram> program;
    TForm1 *form = StartBenchProgram(service, program);
    if (!form)
        return 1;
    const QString folderPath = QStringLiteral("/wis/wi_folder.php/") + form->SessionId;

    QList<int> depths{1000, 5000, 10000};
    for (int i = 1; i < argc; ++i)
        depths << std::atoi(argv[i]);
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
