#pragma once
// Helpers shared by the benchmarks: photo-like JPEG files written with libjpeg, wall-clock
// timing, the median of repeated runs, a child process run, and the peak resident memory.
#include <QString>
#include <QStringList>
#include <functional>

// Writes a width x height JPEG (quality 90, 4:2:0) with gradients and noise to path. An
// orientation other than 0 is written as an EXIF APP1 (in place of JFIF), as a phone writes it.
void WriteBenchJpeg(const QString &path, int width, int height, int orientation = 0);
// Median wall time in milliseconds of runs calls of fn.
double MedianMs(int runs, const std::function<void()> &fn);
// libjpeg-turbo's djpeg, the benchmarks' yardstick; empty, with the reason on stderr, when it
// is not installed.
QString DjpegProgram();
// Runs program with arguments, waits, returns its exit status (-1 when it could not run).
int RunProgram(const QString &program, const QStringList &arguments);
// Peak resident set size of this process so far, in MiB.
double PeakRssMiB();
// Resident set size of this process now, in MiB.
double CurrentRssMiB();
