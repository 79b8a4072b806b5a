// Many connections at once: clients that hold theirs open do not keep others waiting.
#include "ServiceFixture.h"
#include "service/router/ConnectionThreads.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>

using namespace service;

namespace
{

// A raw loopback connection that sends a request as slowly as it likes.
class SlowClient
{
public:
    explicit SlowClient(int port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ =
            fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
    }
    ~SlowClient()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SlowClient(const SlowClient &) = delete;
    SlowClient &operator=(const SlowClient &) = delete;

    bool connected() const { return connected_; }
    bool send(const std::string &bytes)
    {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }
    // Everything the service sends until it closes the connection or timeoutMs pass.
    std::string receiveAll(int timeoutMs)
    {
        std::string out;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return out;
            char buffer[4096];
            ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0)
                return out;
            out.append(buffer, static_cast<size_t>(n));
        }
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

} // namespace

TEST_F(ServiceTest, SlowClientsTrickleWhileOrdinaryClientsAreServed)
{
    // More slow clients than the service once had workers, each part-way through its header.
    const std::string request = "GET /wis/wi_login.php?mode=cookie_get HTTP/1.1\r\n"
                                "Host: 127.0.0.1\r\nConnection: close\r\n\r\n";
    const size_t head = 20;
    std::vector<std::unique_ptr<SlowClient>> slow;
    for (int i = 0; i < 48; ++i) {
        slow.push_back(std::make_unique<SlowClient>(port));
        ASSERT_TRUE(slow.back()->connected());
        ASSERT_TRUE(slow.back()->send(request.substr(0, head)));
    }
    client->set_connection_timeout(10, 0);
    client->set_read_timeout(10, 0);
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(newSession().size(), 32u) << "request " << i;
    // The slow ones go on trickling a byte each, with an ordinary request between the bytes.
    for (size_t at = head; at < request.size() - 1; ++at) {
        for (auto &c : slow)
            ASSERT_TRUE(c->send(request.substr(at, 1)));
        if (at % 4 == 0) {
            ASSERT_EQ(newSession().size(), 32u) << "between bytes " << at;
        }
    }

    // The slow requests are served too, once their header is complete.
    for (auto &c : slow) {
        ASSERT_TRUE(c->send(request.substr(request.size() - 1)));
        std::string reply = c->receiveAll(20000);
        EXPECT_EQ(reply.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << reply;
    }
}

TEST(ConnectionThreads, ServesUpToTheLimitAtOnceAndTheRestInTurn)
{
    std::mutex m;
    std::condition_variable cv;
    int running = 0;
    int most = 0;
    int released = 0;
    int served = 0;
    auto task = [&] {
        std::unique_lock<std::mutex> lock(m);
        ++running;
        most = std::max(most, running);
        cv.notify_all();
        cv.wait(lock, [&] { return released > 0; });
        --released;
        --running;
        ++served;
        cv.notify_all();
    };
    auto queue = std::make_unique<ConnectionThreads>(2);
    // The accept loop's side: the third enqueue waits for a free place.
    auto accepting = std::async(std::launch::async, [&] {
        for (int i = 0; i < 3; ++i)
            queue->enqueue(task);
    });
    {
        std::unique_lock<std::mutex> lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return running == 2; }));
    }
    EXPECT_EQ(accepting.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    {
        std::lock_guard<std::mutex> lock(m);
        released = 1;
        cv.notify_all();
    }
    ASSERT_EQ(accepting.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    {
        std::unique_lock<std::mutex> lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20),
                                [&] { return served == 1 && running == 2; }));
        released = 2;
        cv.notify_all();
    }
    queue->shutdown(); // waits for both
    EXPECT_EQ(served, 3);
    EXPECT_EQ(most, 2);
}
