#pragma once
// The user-interface thread's message loop as the core code sees it: a
// clock in milliseconds, "serve messages once" for long waits, messages
// posted from worker threads, timers and the state of a few keys. The
// program installs a Qt loop; tests install TTestEventLoop, whose clock
// only moves when the test (or a wait) advances it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace orv {

// Virtual key codes the core code asks about.
constexpr int VK_ESCAPE = 27;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;

class TEventLoop {
public:
    virtual ~TEventLoop() = default;
    // Milliseconds on a monotonic clock.
    virtual int64_t NowMs() const = 0;
    // Serves the pending messages once (posted messages, due timers, input).
    virtual void ProcessMessages() = 0;
    // Sleeps until something arrives (a posted message, a timer falling
    // due, input), then serves what is there. A wait for the operator (a
    // tool put in, a stop) calls it in a loop so the core stays idle.
    virtual void WaitForMessages() { ProcessMessages(); }
    // Runs Message in the user-interface thread; callable from any thread.
    virtual void Post(std::function<void()> Message) = 0;
    // Starts a repeating timer; returns its id (> 0).
    virtual int StartTimer(int IntervalMs, std::function<void()> OnTimer) = 0;
    virtual void StopTimer(int Id) = 0;
    // True while the key is held down.
    virtual bool KeyDown(int VirtualKey) const { return false; }
    // Serves the pending messages; when there are none, first blocks until
    // one is posted, a timer falls due or MaxMs have passed. A wait that
    // looks at a state again and again calls this between the looks, so it
    // sleeps instead of spinning.
    virtual void WaitMessages(int MaxMs) { ProcessMessages(); }
};

TEventLoop &EventLoop();
void SetEventLoop(TEventLoop *Loop);

// Serves messages until Ms milliseconds have passed.
void DelayMs(int Ms);
// Serves messages, blocking at most MaxMs for one when none is pending.
void WaitMessages(int MaxMs);
// Serves messages once, then tells whether Escape is down.
bool EscapePressed();

// A timer in the user-interface thread (Interval in ms, Enabled, OnTimer).
class TTimer {
public:
    TTimer() = default;
    ~TTimer();
    TTimer(const TTimer &) = delete;
    TTimer &operator=(const TTimer &) = delete;

    int Interval() const { return FInterval; }
    void SetInterval(int Ms);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

    std::function<void()> OnTimer;

private:
    void Restart();
    int FInterval = 1000;
    bool FEnabled = false;
    int FId = 0;
};

// A loop on the steady clock with no window system: posted messages and
// timers are served by ProcessMessages. Used by headless tools. A timer may
// fire again inside its own handler (TimersReenter), which Qt's do not.
class TPlainEventLoop : public TEventLoop {
public:
    int64_t NowMs() const override;
    void ProcessMessages() override;
    void WaitForMessages() override;
    void Post(std::function<void()> Message) override;
    int StartTimer(int IntervalMs, std::function<void()> OnTimer) override;
    void StopTimer(int Id) override;
    void WaitMessages(int MaxMs) override;

protected:
    void FireDueTimers(int64_t Now);
    bool TimersReenter = true;
    // Blocks until a message is posted, a timer falls due or MaxMs passed.
    void BlockForMessage(int MaxMs);
    // Runs the messages posted so far; returns how many ran.
    size_t ServePosted();
    // When the next timer falls due (NowMs clock); false when none runs.
    bool NextDue(int64_t &Due);

private:
    struct TTimerEntry {
        int IntervalMs;
        int64_t Due;
        std::shared_ptr<std::function<void()>> Handler;
        bool Running = false;
    };
    // The due timer that fires first and is not running, marked running,
    // with its handler; 0 when none.
    int NextDueTimer(int64_t Now, std::shared_ptr<std::function<void()>> &Handler);
    void SetTimerRunning(int Id, bool Running);

    std::mutex FMutex;
    std::condition_variable FWake; // a message was posted
    std::vector<std::function<void()>> FPosted;
    // Whether FPosted may hold a message: a run asks at every record and
    // mostly finds none, without taking the lock.
    std::atomic<bool> FAnyPosted{false};
    bool NextDueLocked(int64_t &Due) const;
    std::map<int, TTimerEntry> FTimers;
    int FNextId = 1;
    std::chrono::steady_clock::time_point FLastIdleServe;
};

// Deterministic loop for tests: the clock starts at 0 and moves only by
// Advance, or by StepMs on each ProcessMessages (so waits end). It stands in
// for the program's Qt loop, so, as there, a timer does not fire again while
// its own handler runs: a handler that serves messages (a run started from a
// port's poll) stays deaf to its own timer until it returns.
class TTestEventLoop : public TPlainEventLoop {
public:
    TTestEventLoop() { TimersReenter = false; }
    int64_t NowMs() const override { return FNow; }
    void ProcessMessages() override;
    // Serves what is posted; else moves the clock on to the next timer
    // and fires it; with neither, moves it on by StepMs.
    void WaitForMessages() override;
    // One step of the test clock, as ProcessMessages: nothing blocks.
    void WaitMessages(int MaxMs) override { ProcessMessages(); }
    // Moves the clock forward, firing each timer as it falls due.
    void Advance(int64_t Ms);
    bool KeyDown(int VirtualKey) const override;
    void SetKeyDown(int VirtualKey, bool Down);

    int64_t StepMs = 10;

private:
    int64_t FNow = 0;
    std::vector<int> FKeys;
};

// Installs a loop for a scope, then puts the previous one back.
class TEventLoopScope {
public:
    explicit TEventLoopScope(TEventLoop &Loop);
    ~TEventLoopScope();
    TEventLoopScope(const TEventLoopScope &) = delete;
    TEventLoopScope &operator=(const TEventLoopScope &) = delete;

private:
    TEventLoop *FPrevious;
};

} // namespace orv
