#include "components/TimerEx.h"

#include "platform/EventLoop.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace orv {

// What the worker and the ticks it posts share with the timer; the timer
// may be freed while a posted tick still waits in the queue. Each worker
// has its generation: a tick posted by a worker that has since ended (the
// timer was updated: threading switched off, a new interval) is dropped.
struct TTimerEx::TShared {
    std::mutex Mutex;
    std::condition_variable Wake;
    bool Enabled = true;
    bool Alive = true;
    bool Ending = false;
    bool TickDone = true;
    unsigned Generation = 0;
    std::function<void()> OnTimer;
    TTimerEx *Owner = nullptr;
    std::thread Worker;
};

TTimerEx::TTimerEx() : FShared(std::make_shared<TShared>()) { FShared->Owner = this; }

TTimerEx::~TTimerEx()
{
    {
        std::lock_guard<std::mutex> lock(FShared->Mutex);
        FShared->Enabled = false;
        FShared->Alive = false;
    }
    StopWorker();
    FWindowTimer.reset();
}

bool TTimerEx::Enabled() const
{
    std::lock_guard<std::mutex> lock(FShared->Mutex);
    return FShared->Enabled;
}

void TTimerEx::SetEnabled(bool Value)
{
    {
        std::lock_guard<std::mutex> lock(FShared->Mutex);
        FShared->Enabled = Value;
    }
    FShared->Wake.notify_all();
    UpdateTimer();
}

void TTimerEx::SetInterval(unsigned Value)
{
    FInterval = Value;
    UpdateTimer();
}

void TTimerEx::SetThreaded(bool Value)
{
    FThreaded = Value;
    UpdateTimer();
}

void TTimerEx::SetThreadPriority(int Value)
{
    FPriority = Value;
    if (FThreaded)
        UpdateTimer();
}

void TTimerEx::SetOnTimer(std::function<void()> Handler)
{
    {
        std::lock_guard<std::mutex> lock(FShared->Mutex);
        FShared->OnTimer = std::move(Handler);
    }
    UpdateTimer();
}

void TTimerEx::Timer()
{
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> lock(FShared->Mutex);
        if (!FShared->Enabled)
            return;
        handler = FShared->OnTimer;
    }
    if (handler)
        handler();
}

void TTimerEx::StopWorker()
{
    if (!FShared->Worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(FShared->Mutex);
        FShared->Ending = true;
    }
    FShared->Wake.notify_all();
    FShared->Worker.join();
    std::lock_guard<std::mutex> lock(FShared->Mutex);
    FShared->Ending = false;
    FShared->TickDone = true;
    ++FShared->Generation;
}

// The worker sleeps for the interval; a sleep cut short (the timer changed
// or ends) delivers nothing.
void TTimerEx::StartWorker()
{
    std::shared_ptr<TShared> shared = FShared;
    const auto interval = std::chrono::milliseconds(FInterval);
    const bool threadSafe = ThreadSafe;
    shared->Worker = std::thread([shared, interval, threadSafe] {
        std::unique_lock<std::mutex> lock(shared->Mutex);
        const unsigned generation = shared->Generation;
        while (!shared->Ending) {
            if (shared->Wake.wait_for(lock, interval, [&] { return shared->Ending; }))
                break;
            if (!shared->Enabled)
                continue;
            if (threadSafe) {
                TTimerEx *owner = shared->Owner;
                lock.unlock();
                owner->Timer();
                lock.lock();
                continue;
            }
            shared->TickDone = false;
            EventLoop().Post([shared, generation] {
                TTimerEx *owner = nullptr;
                {
                    std::lock_guard<std::mutex> guard(shared->Mutex);
                    if (shared->Alive && shared->Enabled && !shared->Ending &&
                        shared->Generation == generation)
                        owner = shared->Owner;
                }
                if (owner)
                    owner->Timer();
                std::lock_guard<std::mutex> guard(shared->Mutex);
                shared->TickDone = true;
                shared->Wake.notify_all();
            });
            shared->Wake.wait(lock, [&] { return shared->TickDone || shared->Ending || !shared->Enabled; });
        }
    });
}

void TTimerEx::UpdateTimer()
{
    StopWorker();
    FWindowTimer.reset();
    bool active;
    {
        std::lock_guard<std::mutex> lock(FShared->Mutex);
        active = FInterval != 0 && FShared->Enabled && FShared->OnTimer;
    }
    if (!active)
        return;
    if (FThreaded) {
        StartWorker();
        return;
    }
    FWindowTimer = std::make_unique<TTimer>();
    FWindowTimer->SetInterval(int(FInterval));
    FWindowTimer->OnTimer = [this] { Timer(); };
    FWindowTimer->SetEnabled(true);
}

} // namespace orv
