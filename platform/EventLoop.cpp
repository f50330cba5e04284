#include "platform/EventLoop.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace orv {

namespace {

TPlainEventLoop gPlain;
TEventLoop *gLoop = &gPlain;

} // namespace

TEventLoop &EventLoop() { return *gLoop; }

void SetEventLoop(TEventLoop *Loop) { gLoop = Loop ? Loop : &gPlain; }

void DelayMs(int Ms)
{
    int64_t end = EventLoop().NowMs() + Ms;
    for (int64_t now = EventLoop().NowMs(); now < end; now = EventLoop().NowMs())
        EventLoop().WaitMessages(int(end - now));
}

void WaitMessages(int MaxMs) { EventLoop().WaitMessages(MaxMs); }

bool EscapePressed()
{
    EventLoop().ProcessMessages();
    return EventLoop().KeyDown(VK_ESCAPE);
}

TTimer::~TTimer()
{
    if (FId)
        EventLoop().StopTimer(FId);
}

void TTimer::SetInterval(int Ms)
{
    if (Ms == FInterval)
        return;
    FInterval = Ms;
    Restart();
}

void TTimer::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    Restart();
}

void TTimer::Restart()
{
    if (FId) {
        EventLoop().StopTimer(FId);
        FId = 0;
    }
    if (FEnabled && FInterval > 0)
        FId = EventLoop().StartTimer(FInterval, [this] {
            if (OnTimer)
                OnTimer();
        });
}

int64_t TPlainEventLoop::NowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A caller that serves in a loop while it waits is held to one idle serve
// per millisecond; a single serve between other work returns at once.
void TPlainEventLoop::ProcessMessages()
{
    using namespace std::chrono;
    size_t served = ServePosted();
    FireDueTimers(NowMs());
    if (served == 0 && steady_clock::now() - FLastIdleServe < milliseconds(1))
        std::this_thread::sleep_until(FLastIdleServe + milliseconds(1));
    FLastIdleServe = steady_clock::now();
}

// Sleeps on the posted-message signal, at most until the next timer is due.
void TPlainEventLoop::WaitForMessages()
{
    {
        std::unique_lock<std::mutex> lock(FMutex);
        const auto posted = [this] { return FAnyPosted.load(std::memory_order_relaxed); };
        int64_t due = 0;
        if (!NextDueLocked(due))
            FWake.wait(lock, posted);
        else if (const int64_t wait = due - NowMs(); wait > 0)
            FWake.wait_for(lock, std::chrono::milliseconds(wait), posted);
    }
    ServePosted();
    FireDueTimers(NowMs());
    FLastIdleServe = std::chrono::steady_clock::now();
}

bool TPlainEventLoop::NextDue(int64_t &Due)
{
    std::lock_guard<std::mutex> lock(FMutex);
    return NextDueLocked(Due);
}

// A timer whose handler runs (and does not re-enter) fires only after it
// returns: a wait inside that handler must not wait for it.
bool TPlainEventLoop::NextDueLocked(int64_t &Due) const
{
    bool any = false;
    for (const auto &[id, t] : FTimers)
        if ((TimersReenter || !t.Running) && (!any || t.Due < Due)) {
            Due = t.Due;
            any = true;
        }
    return any;
}

size_t TPlainEventLoop::ServePosted()
{
    // A message posted after this look is served at the next call, as one
    // posted just after the swap below would be.
    if (!FAnyPosted.load(std::memory_order_acquire))
        return 0;
    std::vector<std::function<void()>> posted;
    {
        std::lock_guard<std::mutex> lock(FMutex);
        posted.swap(FPosted);
        FAnyPosted.store(false, std::memory_order_relaxed);
    }
    for (auto &m : posted)
        m();
    return posted.size();
}

void TPlainEventLoop::Post(std::function<void()> Message)
{
    std::lock_guard<std::mutex> lock(FMutex);
    FPosted.push_back(std::move(Message));
    FAnyPosted.store(true, std::memory_order_release);
    FWake.notify_all();
}

void TPlainEventLoop::WaitMessages(int MaxMs)
{
    BlockForMessage(MaxMs);
    ServePosted();
    FireDueTimers(NowMs());
    FLastIdleServe = std::chrono::steady_clock::now();
}

void TPlainEventLoop::BlockForMessage(int MaxMs)
{
    std::unique_lock<std::mutex> lock(FMutex);
    int64_t until = NowMs() + std::max(0, MaxMs);
    int64_t due = 0;
    if (NextDueLocked(due))
        until = std::min(until, due);
    int64_t wait = until - NowMs();
    const auto posted = [this] { return FAnyPosted.load(std::memory_order_acquire); };
    if (wait > 0 && !posted())
        FWake.wait_for(lock, std::chrono::milliseconds(wait), posted);
}

int TPlainEventLoop::StartTimer(int IntervalMs, std::function<void()> OnTimer)
{
    std::lock_guard<std::mutex> lock(FMutex);
    int id = FNextId++;
    FTimers[id] = {std::max(1, IntervalMs), NowMs() + std::max(1, IntervalMs),
                   std::make_shared<std::function<void()>>(std::move(OnTimer))};
    return id;
}

void TPlainEventLoop::StopTimer(int Id)
{
    std::lock_guard<std::mutex> lock(FMutex);
    FTimers.erase(Id);
}

int TPlainEventLoop::NextDueTimer(int64_t Now, std::shared_ptr<std::function<void()>> &Handler)
{
    std::lock_guard<std::mutex> lock(FMutex);
    int id = 0;
    int64_t best = Now + 1;
    for (auto &[tid, t] : FTimers)
        if ((TimersReenter || !t.Running) && t.Due <= Now && t.Due < best) {
            best = t.Due;
            id = tid;
        }
    if (!id)
        return 0;
    auto &t = FTimers[id];
    t.Due += t.IntervalMs;
    if (t.Due <= Now)
        t.Due = Now + t.IntervalMs; // never fire a backlog in a burst
    t.Running = true;
    Handler = t.Handler;
    return id;
}

void TPlainEventLoop::SetTimerRunning(int Id, bool Running)
{
    std::lock_guard<std::mutex> lock(FMutex);
    auto it = FTimers.find(Id);
    if (it != FTimers.end())
        it->second.Running = Running;
}

void TPlainEventLoop::FireDueTimers(int64_t Now)
{
    // Fire in order of due time; a handler may start or stop timers. A timer
    // whose handler is running (and serving messages) is skipped unless
    // timers re-enter.
    for (;;) {
        std::shared_ptr<std::function<void()>> handler;
        const int id = NextDueTimer(Now, handler);
        if (!id)
            return;
        struct TRunning {
            TPlainEventLoop &Loop;
            int Id;
            ~TRunning() { Loop.SetTimerRunning(Id, false); }
        } running{*this, id};
        (*handler)();
    }
}

void TTestEventLoop::ProcessMessages()
{
    Advance(StepMs);
}

void TTestEventLoop::WaitForMessages()
{
    if (ServePosted() > 0)
        return;
    int64_t due = 0;
    if (!NextDue(due)) {
        Advance(StepMs);
        return;
    }
    Advance(std::max<int64_t>(due - FNow, 0));
}

void TTestEventLoop::Advance(int64_t Ms)
{
    ServePosted();
    int64_t target = FNow + Ms;
    FireDueTimers(FNow);
    while (FNow < target) {
        ++FNow;
        FireDueTimers(FNow);
    }
}

bool TTestEventLoop::KeyDown(int VirtualKey) const
{
    return std::find(FKeys.begin(), FKeys.end(), VirtualKey) != FKeys.end();
}

void TTestEventLoop::SetKeyDown(int VirtualKey, bool Down)
{
    FKeys.erase(std::remove(FKeys.begin(), FKeys.end(), VirtualKey), FKeys.end());
    if (Down)
        FKeys.push_back(VirtualKey);
}

TEventLoopScope::TEventLoopScope(TEventLoop &Loop) : FPrevious(&EventLoop()) { SetEventLoop(&Loop); }

TEventLoopScope::~TEventLoopScope() { SetEventLoop(FPrevious); }

} // namespace orv
