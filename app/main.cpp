#include "app/Program.h"
#include "app/Unit1.h"
#include "platform/base/Application.h"
#include "platform/base/TerminationSignals.h"

#include <memory>

int main(int argc, char **argv)
{
    Application app(argc, argv);
    // SIGTERM and SIGINT close the main window the way its close button does, so the close
    // query writes the settings. Leaving every event loop as well ends the program even while a
    // message box runs its own. A signal during start-up closes the window once it exists.
    std::unique_ptr<TProgram> program;
    bool closeAsked = false;
    TerminationSignals termination([&] {
        if (!program) {
            closeAsked = true;
            QCoreApplication::exit(0);
            return;
        }
        if (program->Form1->close())
            QCoreApplication::exit(0);
    });
    // Nothing is read from the command line or the environment.
    program = std::make_unique<TProgram>();
    if (closeAsked) {
        program->Form1->close();
        return 0;
    }
    program->Form1->show();
    return app.exec();
}
