#include "components/scpanel/ui/ScPanel.h"

#include <QPainter>
#include <QResizeEvent>

namespace orv {

TScrollPanel::TScrollPanel(QWidget *Parent) : QScrollArea(Parent) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    resize(185, 41);
    Realign();
}

void TScrollPanel::SetBevelOuter(TBevelCut Value) {
    FFrame.BevelOuter = Value;
    Realign();
}
void TScrollPanel::SetBevelInner(TBevelCut Value) {
    FFrame.BevelInner = Value;
    Realign();
}
void TScrollPanel::SetBevelWidth(int Value) {
    FFrame.BevelWidth = Value;
    Realign();
}
void TScrollPanel::SetBorderWidth(int Value) {
    FFrame.BorderWidth = Value;
    Realign();
}

void TScrollPanel::SetClient(QWidget *Child) {
    FClient = Child;
    Child->setParent(viewport());
    Realign();
}

void TScrollPanel::Realign() {
    int f = FFrame.FrameWidth();
    setViewportMargins(f, f, f, f);
    if (FClient)
        FClient->setGeometry(viewport()->rect());
    update();
}

// The scroll area's resizeEvent also serves the viewport; the panel's own
// size changes come through event().
void TScrollPanel::Resized(QResizeEvent *Event) {
    const QSize old = Event->oldSize().isValid() ? Event->oldSize() : Event->size();
    FLastRepaint.clear();
    if (!FullRepaint && Caption.isEmpty())
        FLastRepaint = FFrame.ResizeStrips(old.width(), old.height(), Event->size().width(),
                                           Event->size().height());
    if (FLastRepaint.empty())
        update();
    for (const TPanelRect &r : FLastRepaint)
        update(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    if (FClient)
        FClient->setGeometry(viewport()->rect());
    if (OnResize)
        OnResize(this);
}

bool TScrollPanel::event(QEvent *Event) {
    const bool handled = QScrollArea::event(Event);
    if (Event->type() == QEvent::Resize)
        Resized(static_cast<QResizeEvent *>(Event));
    if (Event->type() != QEvent::Paint)
        return handled;
    // The frame around the viewport: bevels and the border ring.
    QPainter p(this);
    const QColor face = palette().color(QPalette::Button);
    QRect r = rect();
    auto bevel = [&](TBevelCut Cut) {
        if (Cut == bvNone)
            return;
        QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
        if (Cut == bvLowered)
            std::swap(light, dark);
        for (int i = 0; i < FFrame.BevelWidth; ++i) {
            p.setPen(light);
            p.drawLine(r.left(), r.bottom(), r.left(), r.top());
            p.drawLine(r.left(), r.top(), r.right(), r.top());
            p.setPen(dark);
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
            p.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
            r.adjust(1, 1, -1, -1);
        }
    };
    bevel(FFrame.BevelOuter);
    for (int i = 0; i < FFrame.BorderWidth; ++i) {
        p.setPen(face);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    bevel(FFrame.BevelInner);
    return true;
}

} // namespace orv
