#pragma once
// The network worker: one thread that carries out the HTTP client's requests while the
// window's thread goes on processing its events, so that a slow line never freezes the window.
// It owns nothing of the window: it takes a request, runs it on the client (the same libcurl
// handle and cookie store as every other request) and hands back the reply or the error,
// which Exchange raises again on the calling thread as the very same kind.
//
// One exchange at a time, in the order they were asked for: an exchange asked for while
// another runs (from an event processed during the wait) waits for it, the other's settle
// step included. Callers on the window's thread return in the order their frames unwind,
// each with its own reply.
#include "platform/net/HttpClient.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

struct TNetworkRequest {
    enum class TMethod { Get, GetToFile, Post };
    TMethod Method = TMethod::Get;
    QString Url;
    QString FileName;          // GetToFile: the body goes there (see HttpClient::get)
    QList<HttpFormPart> Parts; // Post
};

struct TNetworkReply {
    QByteArray Body; // empty for GetToFile
    int Status = 0;
};

class TNetworkWorker : public QObject
{
    Q_OBJECT
public:
    explicit TNetworkWorker(HttpClient &client);
    // Lets the running transfer end, then stops the thread.
    ~TNetworkWorker() override;
    TNetworkWorker(const TNetworkWorker &) = delete;
    TNetworkWorker &operator=(const TNetworkWorker &) = delete;

    using Step = std::function<void()>;
    using Settle = std::function<void(const TNetworkReply &)>;

    // Sends the request on the worker thread and processes this thread's events until the
    // reply is in. prepare runs on this thread just before the request goes out (the client is
    // free then: it may set cookies and headers); settle runs on this thread as soon as a
    // successful reply is in, before any other exchange may use the client. An error of
    // prepare, of the transfer or of settle is raised here.
    TNetworkReply Exchange(TNetworkRequest request, Step prepare = {}, Settle settle = {});

    // Whether an exchange holds the client now (its transfer is running on the thread).
    bool Busy() const { return current != nullptr; }
    // Processes events until no exchange holds the client and none waits for it.
    void WaitUntilIdle();
    // The client's direct use on the window thread has ended: waiting exchanges may go.
    void ClientReleased();

signals:
    // Emitted on the thread after each exchange; queued to Finished on the window's thread.
    void HandedBack();

private:
    struct TExchange;
    void StartNext();
    void Finished();
    void Run();

    HttpClient &client;
    // Window thread only.
    std::deque<std::shared_ptr<TExchange>> waiting;
    std::shared_ptr<TExchange> current;
    bool starting = false;
    // Shared with the thread.
    std::mutex mutex;
    std::condition_variable_any wake;
    std::shared_ptr<TExchange> handed;   // given to the thread, not yet taken
    std::shared_ptr<TExchange> returned; // done by the thread, not yet taken back
    bool stopping = false;
    std::thread thread;
};
