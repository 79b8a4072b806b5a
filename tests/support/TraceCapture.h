#pragma once
// Records the trace lines (the tovela.trace logging category) written while it lives; other
// messages go on to the handler that was installed before. The newest capture takes the lines.
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

class TraceCapture
{
public:
    // onLine, when given, is also called with each line as it is written.
    explicit TraceCapture(std::function<void(const QString &)> onLine = {});
    ~TraceCapture();
    TraceCapture(const TraceCapture &) = delete;
    TraceCapture &operator=(const TraceCapture &) = delete;

    QStringList Lines() const { return lines; }
    int Count(const QString &line) const { return static_cast<int>(lines.count(line)); }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    std::function<void(const QString &)> onLine;
    QStringList lines;
    TraceCapture *outer;
    QtMessageHandler previousHandler;
};
