#include "bench_form.h"

#include "app/Program.h"
#include "app/Unit1.h"
#include "platform/base/Timer.h"
#include "platform/widgets/ShellTreeView.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ThumbnailSteps.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>

BenchForm::BenchForm()
{
    qputenv("XDG_DATA_HOME", (Home.path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("HOME", (Home.path() + QStringLiteral("/home")).toLocal8Bit());
    QDir().mkpath(Home.path() + QStringLiteral("/data"));
    QDir().mkpath(Home.path() + QStringLiteral("/home"));
    dialogs = std::make_unique<ScriptedDialogsGuard>();
    program = std::make_unique<TProgram>(QStringLiteral("http://127.0.0.1:9"));
    Form()->resize(1000, 700);
    Form()->show();
}

BenchForm::~BenchForm()
{
    program.reset();
    dialogs.reset();
}

TForm1 *BenchForm::Form() const
{
    return program->Form1.get();
}

void BenchForm::List(const QString &path)
{
    if (!Form()->PcTreeView->SelectPath(path)) {
        std::fprintf(stderr, "cannot select %s\n", qPrintable(path));
        std::exit(1);
    }
    for (int tick = 0; tick < 5 && Form()->StopTimer->Enabled(); ++tick)
        Form()->StopTimerPcBranch();
}

void BenchForm::Draw(int start, int end)
{
    TForm1 *form = Form();
    form->PcListViewDataHint(start, end);
    for (int guard = 0; guard <= end - start + 1; ++guard) {
        bool pending = false;
        for (int i = start; i <= end && i < int(form->PcImages.size()); ++i)
            if (form->PcImages[size_t(i)].ImageIndex == -1 && !form->PcImages[size_t(i)].Drawn)
                pending = true;
        if (!pending)
            return;
        DrawStep(*form);
    }
}
