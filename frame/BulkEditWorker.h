// Writes thousands of parameter values (pasting a pattern to all patterns,
// a key area to the others) on a thread of its own, a short run at a time,
// each run under the plug-in lock: blocks and host calls wait at most one run.
//
// Writes are queued under the plug-in lock from any thread, the audio thread
// included (the queue's room is reserved once; waking the thread never waits
// on the plug-in lock). The thread starts with the first bulk edit, so an
// instance that never pastes never has one; the audio thread never starts
// it: its edit waits for the next start from another thread, a parameter
// change or idle call on another thread (StartIfWaiting) or WaitUntilDone.
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
    // False on a thread that must not start one (the audio thread).
    using MayStartThread = std::function<bool()>;

    static constexpr size_t kRunLength = 128;
    // The pause between two runs, in which a block or a host call waiting
    // for the lock gets it (a yield would leave the worker idle for whole
    // time slices on a busy machine).
    static constexpr std::chrono::microseconds kPause{20};

    BulkEditWorker(std::recursive_mutex& pluginLock, ApplyRun apply, Finished finished, MayStartThread mayStart,
                   size_t reserve);
    ~BulkEditWorker();
    BulkEditWorker(const BulkEditWorker&) = delete;
    BulkEditWorker& operator=(const BulkEditWorker&) = delete;

    // Under the plug-in lock: queue one write / wake the thread for what is queued.
    void Queue(int index, double value) { queue_.push_back({index, value}); }
    void Start();
    // Not on the audio thread: starts the thread for writes the audio thread
    // queued. Cheap when there are none.
    void StartIfWaiting();
    // Under the plug-in lock: writes not yet applied.
    size_t Pending() const { return queue_.size() - applied_; }
    // Without the plug-in lock: returns once everything queued is applied.
    void WaitUntilDone();

private:
    void Run();
    void LaunchIfNeeded();  // under wakeMutex_
    bool ApplyNextRun();  // false when nothing was left

    std::recursive_mutex& pluginLock_;
    ApplyRun apply_;
    Finished finished_;
    MayStartThread mayStart_;
    std::vector<Write> queue_;  // guarded by the plug-in lock
    size_t applied_ = 0;

    std::mutex wakeMutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    bool woken_ = false;
    bool busy_ = false;
    std::atomic<bool> stopping_{false};  // also read between runs
    std::atomic<bool> waiting_{false};   // writes are queued for a thread not yet started
    std::thread thread_;  // started under wakeMutex_
};

}  // namespace sorel
