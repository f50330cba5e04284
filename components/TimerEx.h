#pragma once
// A timer that ticks either from the user-interface thread's event loop or
// from a worker thread of its own, which sleeps for the interval and then
// runs the tick itself (ThreadSafe) or posts it to the user-interface thread
// and waits for it. A posted tick does nothing once the timer is disabled,
// updated (a tick of a worker that ended) or freed, and the worker's wait
// for it ends then too.

#include <cstdint>
#include <functional>
#include <memory>

namespace orv {

class TTimer;

class TTimerEx {
public:
    TTimerEx();
    virtual ~TTimerEx();
    TTimerEx(const TTimerEx &) = delete;
    TTimerEx &operator=(const TTimerEx &) = delete;

    bool Enabled() const;
    void SetEnabled(bool Value);
    // Milliseconds; 0 stops the timer.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    bool Threaded() const { return FThreaded; }
    void SetThreaded(bool Value);
    // -3 (idle) .. 3 (time critical); 0 normal. Applied to the worker.
    int ThreadPriority() const { return FPriority; }
    void SetThreadPriority(int Value);
    // The worker calls the tick itself (the tick must guard what it touches).
    bool ThreadSafe = false;
    void SetOnTimer(std::function<void()> Handler);

    // Calls OnTimer while enabled.
    virtual void Timer();

private:
    struct TShared;
    void UpdateTimer();
    void StopWorker();
    void StartWorker();

    unsigned FInterval = 1000;
    bool FThreaded = false;
    int FPriority = 0;
    std::unique_ptr<TTimer> FWindowTimer;
    std::shared_ptr<TShared> FShared;
};

} // namespace orv
