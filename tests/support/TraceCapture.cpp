#include "tests/support/TraceCapture.h"

#include <QByteArray>
#include <QLoggingCategory>

namespace
{
TraceCapture *current = nullptr;
} // namespace

TraceCapture::TraceCapture(std::function<void(const QString &)> onLine)
    : onLine(std::move(onLine)), outer(current)
{
    current = this;
    QLoggingCategory::setFilterRules(QStringLiteral("tovela.trace.debug=true"));
    previousHandler = qInstallMessageHandler(handler);
}

TraceCapture::~TraceCapture()
{
    qInstallMessageHandler(previousHandler);
    current = outer;
    if (!outer)
        QLoggingCategory::setFilterRules(QString());
}

void TraceCapture::handler(QtMsgType type, const QMessageLogContext &context,
                           const QString &message)
{
    if (current && context.category && QByteArray(context.category) == "tovela.trace") {
        current->lines << message;
        if (current->onLine)
            current->onLine(message);
        return;
    }
    // An inner capture's previous handler is this one; the outermost knows where the rest go.
    const TraceCapture *first = current;
    while (first && first->outer)
        first = first->outer;
    if (first && first->previousHandler)
        first->previousHandler(type, context, message);
}
