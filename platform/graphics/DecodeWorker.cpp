#include "platform/graphics/DecodeWorker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

namespace
{
constexpr int LowerPriority = 2;
} // namespace

TDecodeWorker::TDecodeWorker(QObject *parent)
    : QObject(parent), thread([this](std::stop_token stop) { Loop(stop); })
{
    // Made here, on the window's thread: a queued functor would instead be built on the
    // worker's thread and read on the window's, handed over inside Qt's event queue, where the
    // thread checker cannot see it.
    connect(this, &TDecodeWorker::HandedBack, this, &TDecodeWorker::Deliver, Qt::QueuedConnection);
}

// The thread, the last member, goes first: it is told to stop, lets the running job end and
// drops the waiting ones. Ends posted by it but not yet delivered die with this object's
// posted events.
TDecodeWorker::~TDecodeWorker() = default;

void TDecodeWorker::Post(Job job, Done done)
{
    ++pending;
    {
        const std::lock_guard lock(mutex);
        queue.push_back({std::move(job), std::move(done), nullptr});
    }
    wake.notify_one();
}

void TDecodeWorker::Run(Job job)
{
    bool ran = false;
    std::exception_ptr error;
    Post(std::move(job), [&ran, &error](std::exception_ptr e) {
        error = std::move(e);
        ran = true;
    });
    // Not a QEventLoop: once the application has been told to quit, a new loop would return at
    // once, while the caller needs the job's result whatever happens meanwhile.
    while (!ran)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (error)
        std::rethrow_exception(error);
}

void TDecodeWorker::WaitIdle()
{
    std::unique_lock lock(mutex);
    idle.wait(lock, [this] { return !running && queue.empty(); });
}

void TDecodeWorker::Loop(std::stop_token stop)
{
    // Below the window's thread: on a busy machine the window gets the processor first. On
    // Linux a thread's nice value is its own (the process id given is the thread's).
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), LowerPriority);
    for (;;) {
        TTask task;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, stop, [this] { return !queue.empty(); });
            if (stop.stop_requested())
                return;
            task = std::move(queue.front());
            queue.pop_front();
            running = true;
        }
        // Any error of the job is its caller's to judge: it is carried back as it was.
        try {
            task.job();
        } catch (...) {
            task.error = std::current_exception();
        }
        task.job = nullptr;
        // Handed back through the lock, so that what the job wrote is complete when the
        // window's thread takes it; the signal only wakes that thread. Queued to this object,
        // its call is dropped with it.
        {
            const std::lock_guard lock(mutex);
            finished.push_back(std::move(task));
            running = false;
        }
        idle.notify_all();
        emit HandedBack();
    }
}

void TDecodeWorker::Deliver()
{
    // One call for each job run, so one task each: an error its end step raises goes to the
    // caller of this call and leaves the others' ends to their own calls.
    TTask task;
    {
        const std::lock_guard lock(mutex);
        if (finished.empty())
            return;
        task = std::move(finished.front());
        finished.pop_front();
    }
    --pending;
    if (task.done)
        task.done(task.error);
}
