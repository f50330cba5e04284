#pragma once
// The cursor service on Qt: capture is the widget's mouse grab, jumps are
// QCursor positions; confinement keeps the cursor inside the widget by
// pulling it back on each move while it is set.

#include "platform/CursorService.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace orv {

class TQtCursorService : public QObject, public TCursorService {
public:
    void Capture(void *Window) override;
    void ReleaseCapture() override;
    void Confine(void *Window) override;
    void ReleaseConfine() override;
    void MoveTo(void *Window, int X, int Y) override;
    void Show(bool Visible) override;
    void SetShape(void *Window, int Cursor) override;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    QPointer<QWidget> FCaptured;
    QPointer<QWidget> FConfined;
};

} // namespace orv
