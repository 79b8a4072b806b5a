#include "bench_service.h"

#include "app/Program.h"
#include "app/Unit1.h"
#include "session/LoginForm.h"
#include "tests/support/ServiceProcess.h"

#include <QDir>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>

void UseBenchHome(const QTemporaryDir &home)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("HOME", (home.path() + "/home").toLocal8Bit());
    QDir().mkpath(home.path() + "/data");
    QDir().mkpath(home.path() + "/home");
}

TForm1 *StartBenchProgram(ServiceProcess &service, std::unique_ptr<TProgram> &program, bool login)
{
    if (!service.isReady() || !service.hooksAvailable()) {
        std::fprintf(stderr, "tovela-service did not start with its hooks\n");
        return nullptr;
    }
    program = std::make_unique<TProgram>(service.baseUrl());
    TForm1 *form = program->Form1.get();
    if (!login)
        return form;
    form->LoginDialog->EditEmail->setText(service.demoEmail());
    form->LoginDialog->EditPasswd->setText(service.demoPassword());
    if (!form->Login()) {
        std::fprintf(stderr, "demo login failed\n");
        return nullptr;
    }
    return form;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
