#pragma once
// The event loop of the running program: Qt's own loop serves posted
// messages, timers and the Escape key for the core code.

#include "platform/EventLoop.h"

#include <QObject>
#include <QTimer>
#include <map>

namespace orv {

class TQtEventLoop : public QObject, public TEventLoop {
    Q_OBJECT
public:
    TQtEventLoop();
    ~TQtEventLoop() override;

    int64_t NowMs() const override;
    void ProcessMessages() override;
    void WaitForMessages() override;
    void Post(std::function<void()> Message) override;
    int StartTimer(int IntervalMs, std::function<void()> OnTimer) override;
    void StopTimer(int Id) override;
    bool KeyDown(int VirtualKey) const override;
    void WaitMessages(int MaxMs) override;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    std::map<int, QTimer *> FTimers;
    int FNextId = 1;
    bool FEscapeDown = false;
};

} // namespace orv
