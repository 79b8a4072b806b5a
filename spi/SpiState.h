#pragma once
// The plug-in host's state: the two settings and the plug-in collection. The main window is
// composed of it.
#include <QString>
#include <memory>

class TSPIs;

struct TSpiState {
    bool Spi = false; // decoding through plug-ins is on
    QString SpiFolder;
    // The plug-in collection: none until SetSpi first runs, then kept for the whole run. It is
    // destroyed with the main window, whose destructor sees the complete TSPIs.
    std::unique_ptr<TSPIs> SPIs;
};
