#pragma once
// The decode worker: one thread on which pictures are decoded, one job at a time and in the
// order they were given, so that a big picture never holds the window's thread and no decoder
// (a plug-in least of all) is ever entered from two threads at once. It owns nothing of the
// window: a job works on copies and on what its caller keeps alive, and its end is reported
// back on the window's thread.
#include <QObject>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

class TDecodeWorker : public QObject
{
    Q_OBJECT
public:
    explicit TDecodeWorker(QObject *parent = nullptr);
    // Lets the running job end and drops the waiting ones; no end is reported after this.
    ~TDecodeWorker() override;
    TDecodeWorker(const TDecodeWorker &) = delete;
    TDecodeWorker &operator=(const TDecodeWorker &) = delete;

    using Job = std::function<void()>;
    using Done = std::function<void(std::exception_ptr)>;

    // Queues job for the worker's thread; done runs on this thread once it has run, with the
    // error it raised, if any.
    void Post(Job job, Done done);
    // Queues job and processes this thread's events until it has run, after the jobs given
    // before it; its error is raised here as the very same kind.
    void Run(Job job);
    // Blocks, without processing events, until no job runs or waits: for a change to what
    // the jobs read, made on this thread before it gives the next job.
    void WaitIdle();
    // Jobs given and not yet reported back.
    int Pending() const { return pending; }

signals:
    // Emitted on the thread after each job; queued to Deliver on the window's thread.
    void HandedBack();

private:
    struct TTask {
        Job job;
        Done done;
        std::exception_ptr error;
    };
    void Loop(std::stop_token stop);
    void Deliver();

    int pending = 0; // window thread only
    std::mutex mutex;
    std::condition_variable_any wake;
    std::condition_variable_any idle;
    bool running = false;
    std::deque<TTask> queue;
    std::deque<TTask> finished; // run, not yet reported back
    std::jthread thread;        // last: it stops first
};
