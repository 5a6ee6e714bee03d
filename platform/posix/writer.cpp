// The disk writer's queue and thread, for both backends: a queue of work
// under one mutex, a thread that takes the oldest work and runs it outside
// the lock, and the wait for the queue to empty at the end. Without a
// thread (the headless backend, and after FinishWriter) the work runs at
// once.
#include "platform/writer.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform {
namespace {

class Writer {
public:
    void Run(std::function<void()> work)
    {
        {
            std::lock_guard lock(mutex_);
            if (thread_.joinable()) {
                queue_.push_back(std::move(work));
                wake_.notify_one();
                return;
            }
        }
        work();
    }

    void Start()
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread([this] { Loop(); });
    }

    void Finish()
    {
        std::thread ending;
        {
            std::unique_lock lock(mutex_);
            if (!thread_.joinable()) return;
            stopping_ = true;
            wake_.notify_one();
            ending = std::move(thread_);
        }
        ending.join();  // the loop empties the queue first
        std::lock_guard lock(mutex_);
        stopping_ = false;
    }

private:
    void Loop()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return !queue_.empty() || stopping_; });
            if (queue_.empty()) return;
            std::function<void()> work = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            work();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

// Never destroyed: work still queued when the process exits without
// FinishWriter is lost as a kill would lose it (every write is old-or-new),
// never run against globals that exit has already destroyed.
Writer& TheWriter()
{
    static Writer* writer = new Writer;
    return *writer;
}

}  // namespace

void RunOnWriter(std::function<void()> work) { TheWriter().Run(std::move(work)); }

void FinishWriter() { TheWriter().Finish(); }

void StartWriterThread() { TheWriter().Start(); }

}  // namespace platform
