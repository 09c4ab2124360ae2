#include "frame/editing/BulkEditWorker.h"

#include <utility>

namespace sorel {

BulkEditWorker::BulkEditWorker(std::recursive_mutex& pluginLock, RunOnce run, MayStartThread mayStart)
    : pluginLock_(pluginLock), run_(std::move(run)), mayStart_(std::move(mayStart)) {}

BulkEditWorker::~BulkEditWorker() { Stop(); }

void BulkEditWorker::Stop() {
    {
        std::lock_guard<std::mutex> guard(wakeMutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void BulkEditWorker::LaunchIfNeeded() {
    if (!thread_.joinable() && !stopping_) thread_ = std::thread([this] { Run(); });
    waiting_ = false;
}

void BulkEditWorker::Start() {
    {
        std::lock_guard<std::mutex> guard(wakeMutex_);
        woken_ = true;
        busy_ = true;
        if (mayStart_())
            LaunchIfNeeded();
        else if (!thread_.joinable())
            waiting_ = true;
    }
    wake_.notify_one();
}

void BulkEditWorker::StartIfWaiting() {
    if (!waiting_) return;
    std::lock_guard<std::mutex> guard(wakeMutex_);
    LaunchIfNeeded();
}

void BulkEditWorker::WaitUntilDone() {
    StartIfWaiting();
    std::unique_lock<std::mutex> guard(wakeMutex_);
    done_.wait(guard, [this] { return !busy_ || stopping_; });
}

void BulkEditWorker::Run() {
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(wakeMutex_);
            wake_.wait(guard, [this] { return woken_ || stopping_; });
            if (stopping_) return;
            woken_ = false;
        }
        // A plug-in that goes away drops what is left of a paste.
        while (!stopping_ && RunUnderLock()) std::this_thread::sleep_for(kPause);
        {
            std::lock_guard<std::mutex> guard(wakeMutex_);
            // A queue started again meanwhile keeps the worker busy.
            if (!woken_) busy_ = false;
        }
        done_.notify_all();
    }
}

bool BulkEditWorker::RunUnderLock() {
    std::lock_guard<std::recursive_mutex> lock(pluginLock_);
    return run_();
}

}  // namespace sorel
