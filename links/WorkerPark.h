#pragma once
// The worker side of suspending a link thread: between two turns the worker
// parks while its owner asks it to, tells the waiting owner it has parked,
// and sleeps until resumed or ended. Called with the owner's lock held.

#include <atomic>
#include <condition_variable>
#include <shared_mutex>

namespace orv {

// True when the worker parked (and is now resumed or ending).
inline bool ParkWhileSuspended(std::unique_lock<std::shared_mutex> &Lock,
                               std::condition_variable_any &Changed, const bool &Suspended,
                               bool &Parked, const std::atomic<bool> &Terminated)
{
    if (!Suspended)
        return false;
    Parked = true;
    Changed.notify_all();
    Changed.wait(Lock, [&] { return !Suspended || Terminated.load(); });
    Parked = false;
    return true;
}

} // namespace orv
