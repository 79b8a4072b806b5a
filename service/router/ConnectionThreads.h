#pragma once
// How the stand-in serves its connections: each on a thread of its own, up to a limit. A fixed
// pool lets a few clients that hold their connections open (a slow upload, a trickled header,
// a kept-alive client between requests, a stalled test reply) take every worker and keep all
// other clients waiting; here they only take their own thread.
#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace service
{

class ConnectionThreads : public httplib::TaskQueue
{
public:
    // At most `limit` connections are served at once; further ones wait, in the order they
    // came, until one of those ends.
    explicit ConnectionThreads(size_t limit);
    ~ConnectionThreads() override;
    ConnectionThreads(const ConnectionThreads &) = delete;
    ConnectionThreads &operator=(const ConnectionThreads &) = delete;

    void enqueue(std::function<void()> fn) override;
    // Waits for every connection being served to end.
    void shutdown() override;

private:
    void reapLocked(std::unique_lock<std::mutex> &lock);

    const size_t limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::list<std::thread> running_;
    std::vector<std::list<std::thread>::iterator> finished_;
};

} // namespace service
