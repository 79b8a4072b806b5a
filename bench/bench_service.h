#pragma once
// What the benchmarks against the stand-in share: a home of their own, the stand-in with its
// test hooks, the program logged in with the demo account, and the median of a run's figures.
#include <QTemporaryDir>
#include <memory>
#include <vector>

class ServiceProcess;
class TForm1;
class TProgram;

// Offscreen, with XDG_DATA_HOME and HOME inside home; before the application object exists.
void UseBenchHome(const QTemporaryDir &home);
// The program started against service, which must have started with its hooks; with login
// set, the demo account is logged in. Null, with the reason on stderr, when either fails.
TForm1 *StartBenchProgram(ServiceProcess &service, std::unique_ptr<TProgram> &program,
                          bool login = true);
double Median(std::vector<double> values);
