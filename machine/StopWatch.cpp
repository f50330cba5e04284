#include "machine/StopWatch.h"

#include "platform/NumberText.h"
#include "platform/EventLoop.h"

namespace orv {

namespace {

TDownCounterViewFactory &ViewFactory() {
    static TDownCounterViewFactory factory;
    return factory;
}

constexpr int TickMs = 100;

} // namespace

void SetDownCounterViewFactory(TDownCounterViewFactory Factory) {
    ViewFactory() = std::move(Factory);
}

TDownCounter::TDownCounter() : FTimer(std::make_unique<TTimer>()) {
    FTimer->SetInterval(TickMs);
    FTimer->OnTimer = [this] { Tick(); };
    if (ViewFactory())
        FView = ViewFactory()();
}

TDownCounter::~TDownCounter() {
    Close();
}

void TDownCounter::SetEnabled(bool Value) {
    if (!Value) {
        FTimer->SetEnabled(false);
        return;
    }
    FRemaining = FDuration;
    FTimer->SetEnabled(true);
    if (FView)
        FView->ShowCounter();
    Show();
}

bool TDownCounter::Enabled() const {
    return FTimer->Enabled();
}

std::string TDownCounter::CountText() const {
    return FormatFixed(FRemaining / 1000.0L, 1);
}

void TDownCounter::Close() {
    FTimer->SetEnabled(false);
    if (FView)
        FView->HideCounter();
}

void TDownCounter::Tick() {
    FRemaining -= TickMs;
    Show();
    // Without a handler the count runs on below zero, as the display shows.
    if (FRemaining > 0 || !OnDone)
        return;
    FTimer->SetEnabled(false);
    OnDone(*this);
}

void TDownCounter::Show() {
    if (FView)
        FView->ShowCount(CountText());
}

} // namespace orv
