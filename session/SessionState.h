#pragma once
// The service session's state. The main window is composed of it; the HTTP client with its
// cookie store (IdHTTP1) is a child object of the window, made with it, and stays the window's.
#include <QString>

struct TSessionState {
    QString SessionId; // saved in the settings under KvoSessionId
    QString UserName;  // display name from the service; empty when logged out
    bool LoggedIn = false;
    bool SessionReady = false;
};
