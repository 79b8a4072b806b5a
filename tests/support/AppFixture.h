#pragma once
// A fresh program per test: its own data home (XDG_DATA_HOME and HOME in a temporary folder)
// and scripted dialogs that record every box.
#include "app/Program.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ServiceProcess.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the four windows, running the start-up sequence against serviceHost; without one,
    // against a stand-in service started for the test (`service`).
    void start(const QString &serviceHost = QString());
    // The data folder the program will use: <data home>/tovela/.
    QString dataFolder() const;
    QString iniPath() const { return dataFolder() + QStringLiteral("tovela.ini"); }
    void writeIni(const QByteArray &text);
    QByteArray readIni() const;
    // Processes pending events for about ms milliseconds.
    static void pump(int ms = 0);

    QTemporaryDir home;
    std::unique_ptr<ScriptedDialogsGuard> dialogGuard;
    ScriptedDialogs *dialogs = nullptr;
    std::unique_ptr<ServiceProcess> service;
    std::unique_ptr<TProgram> program;
    TForm1 *form = nullptr;
};
