#include "platform/ui/QtCursorService.h"

#include <QCursor>
#include <QMouseEvent>

namespace orv {

void TQtCursorService::Capture(void *Window)
{
    FCaptured = static_cast<QWidget *>(Window);
    if (FCaptured)
        FCaptured->grabMouse();
}

void TQtCursorService::ReleaseCapture()
{
    if (FCaptured)
        FCaptured->releaseMouse();
    FCaptured = nullptr;
}

void TQtCursorService::Confine(void *Window)
{
    FConfined = static_cast<QWidget *>(Window);
    if (FConfined)
        FConfined->installEventFilter(this);
}

void TQtCursorService::ReleaseConfine()
{
    if (FConfined)
        FConfined->removeEventFilter(this);
    FConfined = nullptr;
}

void TQtCursorService::MoveTo(void *Window, int X, int Y)
{
    if (auto *w = static_cast<QWidget *>(Window))
        QCursor::setPos(w->mapToGlobal(QPoint(X, Y)));
}

void TQtCursorService::Show(bool Visible)
{
    QWidget *w = FCaptured ? FCaptured.data() : FConfined.data();
    if (!w)
        return;
    if (Visible)
        w->unsetCursor();
    else
        w->setCursor(Qt::BlankCursor);
}

void TQtCursorService::SetShape(void *Window, int Cursor)
{
    auto *w = static_cast<QWidget *>(Window);
    if (!w)
        return;
    switch (Cursor) {
    case crArrow: w->setCursor(Qt::ArrowCursor); break;
    case crCross: w->setCursor(Qt::CrossCursor); break;
    case crIBeam: w->setCursor(Qt::IBeamCursor); break;
    case crHourGlass: w->setCursor(Qt::WaitCursor); break;
    case crHandPoint: w->setCursor(Qt::PointingHandCursor); break;
    default: w->unsetCursor(); break;
    }
}

bool TQtCursorService::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Event->type() == QEvent::MouseMove && Watched == FConfined) {
        auto *move = static_cast<QMouseEvent *>(Event);
        const QRect r = FConfined->rect();
        const QPoint p = move->position().toPoint();
        const QPoint inside(std::clamp(p.x(), r.left(), r.right()),
                            std::clamp(p.y(), r.top(), r.bottom()));
        if (inside != p)
            QCursor::setPos(FConfined->mapToGlobal(inside));
    }
    return QObject::eventFilter(Watched, Event);
}

} // namespace orv
