// Writes thousands of parameter values (pasting a pattern to all patterns,
// a key area to the others) on a thread of its own, a short run at a time,
// each run under the plug-in lock: blocks and host calls wait at most one run.
//
// Writes are queued under the plug-in lock from any thread, the audio thread
// included (the queue's room is reserved once; waking the thread never waits
// on the plug-in lock).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace sorel {

class BulkEditWorker {
public:
    struct Write {
        int index;
        double value;
    };
    // Called under the plug-in lock with one run of writes.
    using ApplyRun = std::function<void(std::span<const Write>)>;
    // Called under the plug-in lock once the queue has run empty.
    using Finished = std::function<void()>;

    static constexpr size_t kRunLength = 128;
    // The pause between two runs, in which a block or a host call waiting
    // for the lock gets it (a yield would leave the worker idle for whole
    // time slices on a busy machine).
    static constexpr std::chrono::microseconds kPause{20};

    BulkEditWorker(std::recursive_mutex& pluginLock, ApplyRun apply, Finished finished, size_t reserve);
    ~BulkEditWorker();
    BulkEditWorker(const BulkEditWorker&) = delete;
    BulkEditWorker& operator=(const BulkEditWorker&) = delete;

    // Under the plug-in lock: queue one write / wake the thread for what is queued.
    void Queue(int index, double value) { queue_.push_back({index, value}); }
    void Start();
    // Under the plug-in lock: writes not yet applied.
    size_t Pending() const { return queue_.size() - applied_; }
    // Without the plug-in lock: returns once everything queued is applied.
    void WaitUntilDone();

private:
    void Run();
    bool ApplyNextRun();  // false when nothing was left

    std::recursive_mutex& pluginLock_;
    ApplyRun apply_;
    Finished finished_;
    std::vector<Write> queue_;  // guarded by the plug-in lock
    size_t applied_ = 0;

    std::mutex wakeMutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    bool woken_ = false;
    bool busy_ = false;
    std::atomic<bool> stopping_{false};  // also read between runs
    std::thread thread_;
};

}  // namespace sorel
