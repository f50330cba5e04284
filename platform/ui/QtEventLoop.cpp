#include "platform/ui/QtEventLoop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <algorithm>

namespace orv {

namespace {
QElapsedTimer &Clock()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return clock;
}
} // namespace

TQtEventLoop::TQtEventLoop()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

TQtEventLoop::~TQtEventLoop()
{
    for (auto &[id, timer] : FTimers)
        delete timer;
}

int64_t TQtEventLoop::NowMs() const { return Clock().elapsed(); }

void TQtEventLoop::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Qt blocks for the next event; a single-shot timer ends the block at MaxMs.
void TQtEventLoop::WaitMessages(int MaxMs)
{
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(std::max(0, MaxMs));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Qt's own wait: the thread sleeps in the dispatcher until an event, a
// timer or a posted message wakes it.
void TQtEventLoop::WaitForMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TQtEventLoop::Post(std::function<void()> Message)
{
    QMetaObject::invokeMethod(this, std::move(Message), Qt::QueuedConnection);
}

int TQtEventLoop::StartTimer(int IntervalMs, std::function<void()> OnTimer)
{
    int id = FNextId++;
    auto *timer = new QTimer(this);
    timer->setInterval(IntervalMs);
    QObject::connect(timer, &QTimer::timeout, this, std::move(OnTimer));
    timer->start();
    FTimers[id] = timer;
    return id;
}

void TQtEventLoop::StopTimer(int Id)
{
    auto it = FTimers.find(Id);
    if (it == FTimers.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    FTimers.erase(it);
}

bool TQtEventLoop::KeyDown(int VirtualKey) const
{
    return VirtualKey == VK_ESCAPE && FEscapeDown;
}

bool TQtEventLoop::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Event->type() == QEvent::KeyPress || Event->type() == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(Event);
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat())
            FEscapeDown = Event->type() == QEvent::KeyPress;
    }
    return QObject::eventFilter(Watched, Event);
}

} // namespace orv
