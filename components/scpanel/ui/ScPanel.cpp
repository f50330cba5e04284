#include "components/scpanel/ui/ScPanel.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

namespace orv {

void TPanelScrollBar::SetRange(int Value) {
    FModel.SetRange(Value);
    FPanel.UpdateBars();
}
void TPanelScrollBar::SetPosition(int Value) {
    FModel.SetPosition(Value);
    FPanel.UpdateBars();
}
void TPanelScrollBar::SetSmooth(bool Value) {
    FModel.Smooth = Value;
    FPanel.UpdateBars();
}
void TPanelScrollBar::SetTracking(bool Value) {
    FModel.Tracking = Value;
    FPanel.UpdateBars();
}

// The panel's scroll bar as the rules have it; the bar hides itself when
// its range is empty.
void TPanelScrollBar::Show() {
    FBar.setRange(0, FModel.MaxPosition());
    FBar.setPageStep(FModel.PageStep());
    FBar.setSingleStep(FModel.LineStep());
    FBar.setTracking(FModel.Tracking);
    FBar.setValue(FModel.Position());
}

TScrollPanel::TScrollPanel(QWidget *Parent)
    : QScrollArea(Parent), FHorz(*this, *horizontalScrollBar()),
      FVert(*this, *verticalScrollBar()) {
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

void TScrollPanel::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    if (Value == bsSingle) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
    Realign();
}

void TScrollPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    update();
}

void TScrollPanel::SetClient(QWidget *Child) {
    FClient = Child;
    Child->setParent(viewport());
    Realign();
}

void TScrollPanel::SetScrolled(QWidget *Child) {
    FScrolled = Child;
    Child->setParent(viewport());
    UpdateBars();
}

int TScrollPanel::ClientWidth() const {
    return viewport()->width() + 2 * FFrame.FrameWidth();
}

int TScrollPanel::ClientHeight() const {
    return viewport()->height() + 2 * FFrame.FrameWidth();
}

void TScrollPanel::Realign() {
    int f = FFrame.FrameWidth();
    setViewportMargins(f, f, f, f);
    if (FClient)
        FClient->setGeometry(viewport()->rect());
    UpdateBars();
    update();
}

// Showing or hiding a bar changes the shown part, which may show or hide
// the other: settle in a few rounds.
void TScrollPanel::UpdateBars() {
    if (FUpdatingBars)
        return;
    FUpdatingBars = true;
    for (int round = 0; round < 3; ++round) {
        const QSize shown = viewport()->size();
        FHorz.FModel.SetClientSize(shown.width());
        FVert.FModel.SetClientSize(shown.height());
        FHorz.Show();
        FVert.Show();
        if (viewport()->size() == shown)
            break;
    }
    FUpdatingBars = false;
    PlaceScrolled();
}

void TScrollPanel::PlaceScrolled() {
    if (FScrolled)
        FScrolled->move(-FHorz.Position(), -FVert.Position());
}

// The operator moved a bar (or the wheel did).
void TScrollPanel::scrollContentsBy(int, int) {
    if (FUpdatingBars)
        return;
    FHorz.FModel.SetPosition(horizontalScrollBar()->value());
    FVert.FModel.SetPosition(verticalScrollBar()->value());
    PlaceScrolled();
}

bool TScrollPanel::viewportEvent(QEvent *Event) {
    if (Event->type() == QEvent::Resize) {
        if (FClient)
            FClient->setGeometry(viewport()->rect());
        UpdateBars();
    }
    return QScrollArea::viewportEvent(Event);
}

// The scroll area's resizeEvent also serves the viewport; the panel's own
// size changes come through event().
void TScrollPanel::Resized(QResizeEvent *Event) {
    const QSize old = Event->oldSize().isValid() ? Event->oldSize() : Event->size();
    FLastRepaint.clear();
    // The strips are in the client area, inside the window border.
    const int border = frameWidth();
    if (!FullRepaint && Caption.isEmpty())
        FLastRepaint = FFrame.ResizeStrips(old.width() - 2 * border, old.height() - 2 * border,
                                           Event->size().width() - 2 * border,
                                           Event->size().height() - 2 * border);
    if (FLastRepaint.empty())
        update();
    for (const TPanelRect &r : FLastRepaint)
        update(QRect(r.Left + border, r.Top + border, r.Right - r.Left, r.Bottom - r.Top));
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
    QRect r = contentsRect(); // inside the window border
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
