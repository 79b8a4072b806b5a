// Start-up to first paint: `bench_startup tovela` builds the program's four windows and runs
// the start-up sequence; `bench_startup bare` shows a plain QWidget, `bench_startup text` a
// label of Japanese text. Each exits once its main window has drawn itself the first time, so
// the wall time of the process is start to first paint.
// bench/startup/run.sh runs both repeatedly and prints the medians.
#include "app/Program.h"
#include "app/Unit1.h"
#include "platform/base/Application.h"
#include "tests/support/ScriptedDialogs.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // The paint event reaches the filter before the window has drawn anything: let it
        // through, so that the window and its children draw (their text too, which is where
        // the fonts are loaded), and leave when control is back in the event loop. Leave
        // without quitting: quitting would close the windows and time the settings' write too.
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            QMetaObject::invokeMethod(
                qApp, [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool painted = false;
};
} // namespace

int main(int argc, char **argv)
{
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    const bool text = argc > 1 && std::strcmp(argv[1], "text") == 0;
    Application app(argc, argv);
    FirstPaint filter;
    if (text) {
        // A bare window with one line of Japanese: what font lookup alone costs.
        QLabel window(QStringLiteral("あなたの パ ソ コ ン"));
        window.resize(400, 300);
        window.installEventFilter(&filter);
        window.show();
        return app.exec();
    }
    if (bare) {
        QWidget window;
        window.resize(400, 300);
        window.installEventFilter(&filter);
        window.show();
        return app.exec();
    }
    // No service answers here and no box may wait for a click.
    ScriptedDialogsGuard dialogs;
    TProgram program(QStringLiteral("http://127.0.0.1:9"));
    program.Form1->installEventFilter(&filter);
    program.Form1->show();
    return app.exec();
}
