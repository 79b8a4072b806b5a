#include "platform/net/NetworkWorker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <utility>

struct TNetworkWorker::TExchange {
    TNetworkRequest request;
    Step prepare;
    Settle settle;
    // Written by the thread, read on the window's thread after Finished has been delivered.
    TNetworkReply reply;
    std::exception_ptr error;
    // Window thread only.
    bool done = false;
};

TNetworkWorker::TNetworkWorker(HttpClient &c) : client(c)
{
    // Made here, on the window's thread: a queued functor would instead be built on the
    // worker's thread and read on the window's, handed over inside Qt's event queue, where the
    // thread checker cannot see it. Queued to this object: dropped with it if the window side
    // is gone meanwhile.
    connect(this, &TNetworkWorker::HandedBack, this, &TNetworkWorker::Finished,
            Qt::QueuedConnection);
    thread = std::thread([this] { Run(); });
}

TNetworkWorker::~TNetworkWorker()
{
    {
        const std::lock_guard lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    thread.join();
}

TNetworkReply TNetworkWorker::Exchange(TNetworkRequest request, Step prepare, Settle settle)
{
    auto exchange = std::make_shared<TExchange>();
    exchange->request = std::move(request);
    exchange->prepare = std::move(prepare);
    exchange->settle = std::move(settle);
    waiting.push_back(exchange);
    StartNext();
    // Not a QEventLoop: once the application has been told to quit, a new loop would return at
    // once, while this wait must last until the transfer is over whatever happens meanwhile.
    while (!exchange->done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (exchange->error)
        std::rethrow_exception(exchange->error);
    return std::move(exchange->reply);
}

void TNetworkWorker::WaitUntilIdle()
{
    while (current)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TNetworkWorker::ClientReleased()
{
    StartNext();
}

void TNetworkWorker::StartNext()
{
    // prepare uses the client, whose release comes back here: one start at a time.
    if (starting)
        return;
    starting = true;
    const auto done = qScopeGuard([this] { starting = false; });
    while (!current && !waiting.empty() && !client.usedHere()) {
        std::shared_ptr<TExchange> next = std::move(waiting.front());
        waiting.pop_front();
        try {
            if (next->prepare)
                next->prepare();
        } catch (...) {
            // Any error belongs to the exchange's waiter, who raises it.
            next->error = std::current_exception();
            next->done = true;
            continue;
        }
        current = next;
        {
            const std::lock_guard lock(mutex);
            handed = std::move(next);
        }
        wake.notify_one();
    }
}

void TNetworkWorker::Finished()
{
    {
        const std::lock_guard lock(mutex);
        returned = nullptr;
    }
    const std::shared_ptr<TExchange> exchange = std::exchange(current, nullptr);
    if (!exchange)
        return;
    // The reply's own follow-up (reading the session cookie back) comes before any other
    // exchange may touch the client, as it would if the request had blocked.
    if (!exchange->error && exchange->settle) {
        // settle uses the client too; its release must not start the next exchange early.
        const bool wasStarting = std::exchange(starting, true);
        try {
            exchange->settle(exchange->reply);
        } catch (...) {
            // Any error belongs to the exchange's waiter, who raises it.
            exchange->error = std::current_exception();
        }
        starting = wasStarting;
    }
    exchange->done = true;
    StartNext();
}

void TNetworkWorker::Run()
{
    for (;;) {
        std::shared_ptr<TExchange> exchange;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return stopping || handed; });
            if (stopping)
                return;
            exchange = std::exchange(handed, nullptr);
        }
        const TNetworkRequest &request = exchange->request;
        try {
            switch (request.Method) {
            case TNetworkRequest::TMethod::Get:
                exchange->reply.Body = client.get(request.Url);
                break;
            case TNetworkRequest::TMethod::GetToFile:
                client.get(request.Url, request.FileName);
                break;
            case TNetworkRequest::TMethod::Post:
                exchange->reply.Body = client.post(request.Url, request.Parts);
                break;
            }
            exchange->reply.Status = client.responseCode();
        } catch (...) {
            // The worker thread carries any error back to the window thread, which raises it.
            exchange->error = std::current_exception();
        }
        // Handed back through the lock, so that the reply is complete when the window's thread
        // reads it.
        {
            const std::lock_guard lock(mutex);
            returned = std::move(exchange);
        }
        emit HandedBack();
    }
}
