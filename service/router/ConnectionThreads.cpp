#include "service/router/ConnectionThreads.h"

#include <memory>
#include <system_error>

namespace service
{

ConnectionThreads::ConnectionThreads(size_t limit) : limit_(limit > 0 ? limit : 1) {}

ConnectionThreads::~ConnectionThreads()
{
    shutdown();
}

void ConnectionThreads::enqueue(std::function<void()> fn)
{
    std::unique_lock<std::mutex> lock(mutex_);
    reapLocked(lock);
    // The accept loop waits here while the limit is reached; the connection stays in the
    // listen queue meanwhile, it is not dropped.
    changed_.wait(lock, [this] { return running_.size() - finished_.size() < limit_; });
    reapLocked(lock);
    running_.emplace_back();
    auto self = std::prev(running_.end());
    auto task = std::make_shared<std::function<void()>>(std::move(fn));
    try {
        *self = std::thread([this, self, task] {
            (*task)();
            std::lock_guard<std::mutex> done(mutex_);
            finished_.push_back(self);
            changed_.notify_all();
        });
    } catch (const std::system_error &) {
        // No thread to be had: serve the connection here rather than drop it.
        running_.erase(self);
        lock.unlock();
        (*task)();
    }
}

void ConnectionThreads::shutdown()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return running_.size() == finished_.size(); });
    reapLocked(lock);
}

// Joins the threads whose connection has ended. Each marked itself under the lock as its last
// step, so the joins wait at most for the thread's exit.
void ConnectionThreads::reapLocked(std::unique_lock<std::mutex> &lock)
{
    std::vector<std::list<std::thread>::iterator> done;
    done.swap(finished_);
    lock.unlock();
    for (auto it : done)
        it->join();
    lock.lock();
    for (auto it : done)
        running_.erase(it);
}

} // namespace service
