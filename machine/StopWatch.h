#pragma once
// The dwell countdown: counts a duration down in tenths of a second on a
// 100 ms timer of the user-interface thread and calls its owner back when
// the time is up. A window, when the program installed one, shows the count.

#include <functional>
#include <memory>
#include <string>

namespace orv {

class TTimer;

// What a countdown window shows; the ui library installs a factory.
class TDownCounterView {
public:
    virtual ~TDownCounterView() = default;
    virtual void ShowCounter() = 0;
    virtual void ShowCount(const std::string &Text) = 0;
    virtual void HideCounter() = 0;
};
using TDownCounterViewFactory = std::function<std::unique_ptr<TDownCounterView>()>;
// Installs the window factory for every counter made afterwards (empty: none).
void SetDownCounterViewFactory(TDownCounterViewFactory Factory);

class TDownCounter {
public:
    TDownCounter();
    ~TDownCounter();
    TDownCounter(const TDownCounter &) = delete;
    TDownCounter &operator=(const TDownCounter &) = delete;

    // Milliseconds to count down (1000 at creation).
    void SetDuration(int Milliseconds) { FDuration = Milliseconds; }
    int Duration() const { return FDuration; }
    int Remaining() const { return FRemaining; }

    // Enabling starts the count from Duration; disabling holds it.
    void SetEnabled(bool Value);
    bool Enabled() const;

    // Remaining time in seconds with one decimal ("1.0", "0.9", ...).
    std::string CountText() const;

    // Stops the count and hides the window (the counter is finished with).
    void Close();

    // Called once when Remaining reaches 0; the handler may not free the
    // counter inside the call (retire it and free it later).
    std::function<void(TDownCounter &Sender)> OnDone;

private:
    void Tick();
    void Show();

    int FDuration = 1000;
    int FRemaining = 0;
    std::unique_ptr<TTimer> FTimer;
    std::unique_ptr<TDownCounterView> FView;
};

} // namespace orv
