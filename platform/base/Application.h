#pragma once
// The application object. Its notify() is the one event boundary: every handler entered from
// Qt runs inside it, so an error the program raises is shown in the standard error box and the
// current event is abandoned; nothing unwinds into Qt's event loop.
#include <QApplication>
#include <functional>

class Application : public QApplication
{
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Runs fn inside the same guard; for handlers called outside an event (start-up steps).
// Returns false when an error was caught and shown.
bool guarded(const std::function<void()> &fn);

// Shows an error that escaped a handler in the standard error box: the program's own errors
// with their message, any other with its what().
void showError(const std::exception &e);
