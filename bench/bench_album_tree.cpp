// The album folder tree for a chain of nested folders (each the only child of the one before):
// AlbumFolderLoad against the stand-in service for several depths.
#include "app/Program.h"
#include "app/Unit1.h"
#include "platform/Application.h"
#include "session/LoginForm.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ServiceProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("HOME", (home.path() + "/home").toLocal8Bit());
    QDir().mkpath(home.path() + "/data");
    QDir().mkpath(home.path() + "/home");
    Application app(argc, argv);
    ScriptedDialogsGuard dialogs;

    ServiceProcess service;
    if (!service.isReady() || !service.hooksAvailable()) {
        std::fprintf(stderr, "tovela-service did not start with its hooks\n");
        return 1;
    }
    TProgram program(service.baseUrl());
    TForm1 *form = program.Form1.get();
    form->LoginDialog->EditEmail->setText(service.demoEmail());
    form->LoginDialog->EditPasswd->setText(service.demoPassword());
    if (!form->Login()) {
        std::fprintf(stderr, "demo login failed\n");
        return 1;
    }
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
