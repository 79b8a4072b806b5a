#pragma once
// The progress gauges of the long loops: the folder listing and the album load show the main
// window's gauge in its status bar; the upload shows its own in the progress window. All of
// them count the same way.
class QProgressBar;
class QWidget;

// The gauge before step i (from 0) of n, n > 1: i / ((n - 1) / 100) in floating point,
// truncated, so the last step shows 100.
int GaugePercent(long long i, long long n);

// Puts gauge into the client area of statusBar, 100 pixels from its left edge, 4 pixels less
// tall than the client area and centred in it (a pixel low), and shows it at 0 above the
// panels.
void ShowGaugeInStatusBar(QProgressBar *gauge, QWidget *statusBar);
