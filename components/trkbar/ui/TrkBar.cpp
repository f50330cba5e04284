#include "components/trkbar/ui/TrkBar.h"

#include <QMouseEvent>
#include <QPainter>

namespace orv {

namespace {
QColor ToQ(uint32_t C) {
    return QColor(int(C & 0xFF), int(C >> 8 & 0xFF), int(C >> 16 & 0xFF));
}
QRect ToQ(const TTrkRect &R) {
    return QRect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
}
} // namespace

TTrkBar::TTrkBar(QWidget *Parent) : QWidget(Parent) {
    FModel.OnChange = [this] {
        update();
        if (OnChange)
            OnChange();
    };
    resize(200, 50);
    LoadThumb();
}

QPixmap TTrkBar::ThumbPicture(const std::string &Resource, int Width, int Height) {
    QPixmap pm(Width, Height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(QColor(0xC0, 0xC0, 0xC0)); // the silver face
    const QRect r(0, 0, Width - 1, Height - 1);
    if (Resource.rfind("CIRCLE", 0) == 0) {
        p.drawEllipse(r);
    } else if (Resource.rfind("DIAMOND", 0) == 0) {
        p.drawPolygon(QPolygon({QPoint(Width / 2, 0), QPoint(Width - 1, Height / 2),
                                QPoint(Width / 2, Height - 1), QPoint(0, Height / 2)}));
    } else if (Resource.rfind("POINTER_H", 0) == 0) {
        p.drawPolygon(
            QPolygon({QPoint(0, 0), QPoint(Width - 1, 0), QPoint(Width - 1, Height * 2 / 3),
                      QPoint(Width / 2, Height - 1), QPoint(0, Height * 2 / 3)}));
    } else if (Resource.rfind("POINTER_V", 0) == 0) {
        p.drawPolygon(
            QPolygon({QPoint(0, 0), QPoint(Width * 2 / 3, 0), QPoint(Width - 1, Height / 2),
                      QPoint(Width * 2 / 3, Height - 1), QPoint(0, Height - 1)}));
    } else {
        p.drawRect(r);
    }
    return pm;
}

void TTrkBar::LoadThumb() {
    FThumbName = QString::fromStdString(FModel.ThumbResource());
    FThumb =
        ThumbPicture(FModel.ThumbResource(), FModel.ThumbBitmapWidth(), FModel.ThumbBitmapHeight());
}

void TTrkBar::SetThumbStyle(TThumbStyle Value) {
    FModel.ThumbStyle = Value;
    LoadThumb();
    update();
}

void TTrkBar::SetThumbSize(TThumbSize Value) {
    FModel.ThumbSize = Value;
    LoadThumb();
    update();
}

void TTrkBar::SetTrkWidth(int Value) {
    FModel.SetTrkWidth(Value);
    update();
}

void TTrkBar::SetTransparent(bool Value) {
    FTransparent = Value;
    update();
}

void TTrkBar::resizeEvent(QResizeEvent *) {
    TTrackOrientation before = FModel.Orientation();
    FModel.Resize(width(), height());
    if (FModel.Orientation() != before || FThumbName.isEmpty())
        LoadThumb();
}

void TTrkBar::paintEvent(QPaintEvent *) {
    QPainter p(this);
    if (!FTransparent)
        p.fillRect(rect(), palette().color(QPalette::Base));
    const bool on = isEnabled();
    QBrush top = on ? QBrush(ToQ(TrkColortop)) : QBrush(ToQ(TrkColortop), Qt::Dense4Pattern);
    QBrush bottom =
        on ? QBrush(ToQ(TrkColorbottom)) : QBrush(ToQ(TrkColorbottom), Qt::Dense4Pattern);
    p.fillRect(ToQ(FModel.GrooveRect()), top);
    p.fillRect(ToQ(FModel.LowerColourRect()), bottom);
    const bool vertical = FModel.Orientation() == toVertical;
    const int across = vertical ? width() : height();
    p.setPen(Qt::black);
    for (int offset : FModel.TickOffsets()) {
        if (TLTicks)
            vertical ? p.drawLine(TTrkBarModel::Margin, offset, 10, offset)
                     : p.drawLine(offset, TTrkBarModel::Margin, offset, 10);
        if (BRTicks)
            vertical ? p.drawLine(across - 10, offset, across - TTrkBarModel::Margin, offset)
                     : p.drawLine(offset, across - 10, offset, across - TTrkBarModel::Margin);
    }
    const TTrkRect t = FModel.ThumbRect();
    p.drawPixmap(t.Left, t.Top, FThumb);
}

void TTrkBar::mousePressEvent(QMouseEvent *Event) {
    if (Event->button() == Qt::LeftButton)
        FModel.MouseDown(Event->position().toPoint().x(), Event->position().toPoint().y());
}

void TTrkBar::mouseMoveEvent(QMouseEvent *Event) {
    FModel.MouseMove(Event->position().toPoint().x(), Event->position().toPoint().y());
}

void TTrkBar::mouseReleaseEvent(QMouseEvent *) {
    FModel.MouseUp();
}

} // namespace orv
