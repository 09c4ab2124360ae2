// Carries out bulk edits that touch thousands of parameter values (copying a
// key area, pasting a pattern to all patterns, a key area to the others) on a
// thread of its own, a short run at a time, each run under the plug-in lock:
// blocks and host calls wait at most one run.
//
// The owner keeps what is to be done and does one run per call of RunOnce;
// it queues work under the plug-in lock from any thread, the audio thread
// included, and wakes the thread with Start (waking the thread never waits
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
#include <thread>

namespace sorel {

class BulkEditWorker {
public:
    // Called under the plug-in lock: does one run of at most kRunLength
    // values; false once nothing was left to do.
    using RunOnce = std::function<bool()>;
    // False on a thread that must not start one (the audio thread).
    using MayStartThread = std::function<bool()>;

    static constexpr size_t kRunLength = 128;
    // The pause between two runs, in which a block or a host call waiting
    // for the lock gets it (a yield would leave the worker idle for whole
    // time slices on a busy machine).
    static constexpr std::chrono::microseconds kPause{20};

    BulkEditWorker(std::recursive_mutex& pluginLock, RunOnce run, MayStartThread mayStart);
    ~BulkEditWorker();
    BulkEditWorker(const BulkEditWorker&) = delete;
    BulkEditWorker& operator=(const BulkEditWorker&) = delete;

    // Wakes the thread for what the owner has queued.
    void Start();
    // Not on the audio thread: starts the thread for writes the audio thread
    // queued. Cheap when there are none.
    void StartIfWaiting();
    // Without the plug-in lock: returns once everything queued is done.
    void WaitUntilDone();
    // Without the plug-in lock: ends the thread after the run under way.
    void Stop();

private:
    void Run();
    void LaunchIfNeeded();  // under wakeMutex_
    bool RunUnderLock();  // false when nothing was left

    std::recursive_mutex& pluginLock_;
    RunOnce run_;
    MayStartThread mayStart_;

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
