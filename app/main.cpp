#include "app/Program.h"
#include "app/Unit1.h"
#include "platform/Application.h"

int main(int argc, char **argv)
{
    Application app(argc, argv);
    // Nothing is read from the command line or the environment.
    TProgram program;
    program.Form1->show();
    return app.exec();
}
