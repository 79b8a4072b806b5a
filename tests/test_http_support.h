#pragma once
// A tiny HTTP server on a loopback socket, run on a thread of its own, for the cases no real
// service produces on purpose: stalls, replies cut off, exact bytes. It answers one request per
// connection and records every request as it arrived.
#include <QByteArray>
#include <QList>
#include <QString>
#include <arpa/inet.h>
#include <atomic>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class RawHttpServer
{
public:
    struct Request {
        QByteArray head; // request line and header lines, as sent
        QByteArray body;
        QByteArray requestLine() const { return head.left(head.indexOf("\r\n")); }
        // Every value of a header, in order (name compared without letter case).
        QList<QByteArray> headers(const QByteArray &name) const
        {
            QList<QByteArray> out;
            const QList<QByteArray> lines = head.split('\n');
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const QByteArray line = lines[i].trimmed();
                const qsizetype colon = line.indexOf(':');
                if (colon > 0 && line.left(colon).toLower() == name.toLower())
                    out.append(line.mid(colon + 1).trimmed());
            }
            return out;
        }
    };
    struct Reply {
        QByteArray bytes;
        bool stall = false;      // never answer; wait until the client gives up
        qsizetype cutAfter = -1; // send only this many bytes, then close
    };

    // A well-formed reply with Content-Length and "Connection: close".
    static QByteArray response(int status, const QByteArray &body,
                               const QByteArray &extraHeaders = {})
    {
        return "HTTP/1.1 " + QByteArray::number(status) +
               " Status\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
    }

    explicit RawHttpServer(std::function<Reply(const Request &)> handler)
        : handler(std::move(handler))
    {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        if (::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
            ::listen(listener, 8) != 0)
            throw std::runtime_error("cannot listen on loopback");
        socklen_t len = sizeof addr;
        ::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len);
        portNumber = ntohs(addr.sin_port);
        worker = std::thread([this] { run(); });
    }

    ~RawHttpServer()
    {
        stopping = true;
        worker.join();
        ::close(listener);
    }

    quint16 port() const { return portNumber; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(portNumber); }
    QString baseUrl() const { return QStringLiteral("http://") + host(); }

    std::vector<Request> requests()
    {
        std::lock_guard lock(mutex);
        return recorded;
    }

private:
    void run()
    {
        while (!stopping) {
            pollfd p{listener, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            int fd = ::accept(listener, nullptr, nullptr);
            if (fd < 0)
                continue;
            serve(fd);
            ::close(fd);
        }
    }

    // Reads into buffer until the peer sends something or the server stops; false on EOF.
    bool readMore(int fd, QByteArray &buffer)
    {
        while (!stopping) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char chunk[65536];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                return false;
            buffer.append(chunk, n);
            return true;
        }
        return false;
    }

    void serve(int fd)
    {
        QByteArray buffer;
        qsizetype end;
        while ((end = buffer.indexOf("\r\n\r\n")) < 0)
            if (!readMore(fd, buffer))
                return;
        Request request;
        request.head = buffer.left(end + 2);
        qsizetype length = 0;
        const QList<QByteArray> lengths = request.headers("Content-Length");
        if (!lengths.isEmpty())
            length = lengths.front().toLongLong();
        buffer.remove(0, end + 4);
        while (buffer.size() < length)
            if (!readMore(fd, buffer))
                break;
        request.body = buffer.left(length);
        {
            std::lock_guard lock(mutex);
            recorded.push_back(request);
        }
        const Reply reply = handler(request);
        if (reply.stall) {
            QByteArray ignored;
            while (readMore(fd, ignored)) {
            }
            return;
        }
        const qsizetype total = reply.cutAfter >= 0 ? reply.cutAfter : reply.bytes.size();
        qsizetype sent = 0;
        while (sent < total && !stopping) {
            const ssize_t n =
                ::send(fd, reply.bytes.constData() + sent, total - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += n;
        }
    }

    std::function<Reply(const Request &)> handler;
    int listener = -1;
    quint16 portNumber = 0;
    std::atomic<bool> stopping{false};
    std::thread worker;
    std::mutex mutex;
    std::vector<Request> recorded;
};
