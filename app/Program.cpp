#include "app/Program.h"

#include "app/Unit1.h"
#include "app/Unit3.h"
#include "session/LoginForm.h"
#include "upload/UpLoadProgress.h"

#include <QCoreApplication>

TProgram::TProgram(const QString &serviceHost)
{
    QCoreApplication::setApplicationName(QStringLiteral("ルミナード"));
    LoginDialog = std::make_unique<TLoginDialog>();
    Form3 = std::make_unique<TForm3>();
    Form1 = std::make_unique<TForm1>(LoginDialog.get(), Form3.get());
    if (!serviceHost.isEmpty())
        Form1->ServiceHost = serviceHost;
    Form1->RunStartUp();
    Form2 = std::make_unique<TForm2>(Form1.get());
    Form1->Form2 = Form2.get();
}

TProgram::~TProgram()
{
    // The main window refers to the progress window; let it go first.
    Form2.reset();
    Form1.reset();
}
