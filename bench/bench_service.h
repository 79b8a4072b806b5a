#pragma once
// What the benchmarks against the stand-in share: a home of their own, the stand-in with its
// test hooks, the program logged in with the demo account, and the median of a run's figures.
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

class Application;
class QTreeWidgetItem;
class ScriptedDialogsGuard;
class ServiceProcess;
class TForm1;
class TLoopProbe;
class TProgram;

// Offscreen, with XDG_DATA_HOME and HOME inside home; before the application object exists.
void UseBenchHome(const QTemporaryDir &home);
// The program started against service, which must have started with its hooks; with login
// set, the demo account is logged in. Null, with the reason on stderr, when either fails.
TForm1 *StartBenchProgram(ServiceProcess &service, std::unique_ptr<TProgram> &program,
                          bool login = true);
double Median(std::vector<double> values);

// A benchmark's start against the stand-in, in this order: its own home (UseBenchHome), the
// application object, scripted dialogs, the stand-in with its hooks and the program
// (StartBenchProgram). Form is null, with the reason on stderr, when the stand-in or the login
// failed. All of it goes in the reverse order.
class TBenchRun
{
public:
    TBenchRun(int &argc, char **argv, bool login = true);
    ~TBenchRun();

    QTemporaryDir Home;
    TForm1 *Form = nullptr;
    ScriptedDialogsGuard &Dialogs() { return *dialogs; }
    ServiceProcess &Service() { return *service; }

private:
    std::unique_ptr<Application> app;
    std::unique_ptr<ScriptedDialogsGuard> dialogs;
    std::unique_ptr<ServiceProcess> service;
    std::unique_ptr<TProgram> program;
};

// A 100 x 75 JPEG thumbnail of gradients, and a folder's list of that many pictures (ids from
// 1000, Japanese names), as the album benchmarks have the stand-in answer them.
QByteArray BenchThumbnailJpeg();
QByteArray BenchPictureList(int pictures);

// The album view as the album benchmarks start it: shown, with its tree holding one folder
// (loaded through a canned list) that the listing is run on.
struct TBenchAlbum {
    QString FolderPath; // the service path of the folder list
    QString ImagePath;  // the service path of the pictures
    QTreeWidgetItem *Folder = nullptr;
};
TBenchAlbum OpenBenchAlbum(TForm1 &form, ServiceProcess &service);

// The figures of rounds run under the loop probe: each round's total and its longest and 99th
// percentile gap away from the event loop, printed as each round ends and as medians at the end.
class TProbedRounds
{
public:
    void Add(int round, double ms, const TLoopProbe &probe);
    void PrintMedians() const;

private:
    std::vector<double> totals, maxima, p99s;
};
