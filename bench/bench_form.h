#pragma once
// A started program for the benchmarks: its own data home in a temporary folder, scripted
// dialogs, the main window shown offscreen on the local picture view.
#include <QTemporaryDir>
#include <memory>

class TForm1;
class TProgram;
class ScriptedDialogsGuard;

class BenchForm
{
public:
    BenchForm();
    ~BenchForm();
    TForm1 *Form() const;
    // Picks the folder and lists it through the StopTimer branch.
    void List(const QString &path);
    // Announces [start, end] and runs draw steps until none is left there.
    void Draw(int start, int end);

    QTemporaryDir Home;

private:
    std::unique_ptr<ScriptedDialogsGuard> dialogs;
    std::unique_ptr<TProgram> program;
};
