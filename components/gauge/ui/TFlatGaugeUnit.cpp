#include "components/gauge/ui/TFlatGaugeUnit.h"

#include "components/gauge/FlatUtilitys.h"

#include <QPainter>

namespace orv {

namespace {
QColor ToQ(uint32_t C) {
    return QColor(int(C & 0xFF), int(C >> 8 & 0xFF), int(C >> 16 & 0xFF));
}
} // namespace

TFlatGauge::TFlatGauge(QWidget *Parent) : QWidget(Parent) {
    resize(145, 25);
    if (Parent) {
        QColor c = Parent->palette().color(QPalette::Window);
        FColor = uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
    }
}

void TFlatGauge::SetMinValue(int Value) {
    if (FValues.SetMinValue(Value))
        repaint();
}
void TFlatGauge::SetMaxValue(int Value) {
    if (FValues.SetMaxValue(Value))
        repaint();
}
void TFlatGauge::SetProgress(int Value) {
    if (FValues.SetProgress(Value))
        repaint();
}
void TFlatGauge::SetShowText(bool Value) {
    if (Value != FShowText) {
        FShowText = Value;
        repaint();
    }
}
void TFlatGauge::SetBarColor(uint32_t Value) {
    FBarColor = Value;
    update();
}
void TFlatGauge::SetColorBorder(uint32_t Value) {
    FColorBorder = Value;
    update();
}
void TFlatGauge::SetUseAdvColors(bool Value) {
    FUseAdvColors = Value;
    Recompute();
    update();
}
void TFlatGauge::SetAdvColorBorder(int Value) {
    FAdvColorBorder = Value;
    Recompute();
    update();
}
void TFlatGauge::SetTransparent(bool Value) {
    FTransparent = Value;
    update();
}
void TFlatGauge::SetColor(uint32_t Value) {
    FColor = Value;
    Recompute();
    update();
}

void TFlatGauge::Recompute() {
    if (FUseAdvColors)
        FColorBorder = AdjustedBorderColor(FColor, FColorBorder, FAdvColorBorder, true);
}

QRect TFlatGauge::BarRect() const {
    QRect inner = rect().adjusted(2, 2, -2, -2);
    int length = FValues.BarLength(inner.width());
    if (layoutDirection() == Qt::RightToLeft)
        return QRect(inner.right() + 1 - length, inner.top(), length, inner.height());
    return QRect(inner.left(), inner.top(), length, inner.height());
}

QString TFlatGauge::Text() const {
    return QString::fromStdString(FValues.Text());
}

void TFlatGauge::paintEvent(QPaintEvent *) {
    QPainter p(this);
    if (!FTransparent)
        p.fillRect(rect(), ToQ(FColor));
    for (const TBevelLine &l :
         BevelFrameLines(0, 0, width(), height(), FColorBorder, 1, FColorBorder)) {
        p.setPen(ToQ(l.Colour));
        p.drawLine(l.X1, l.Y1, l.X2, l.Y2);
    }
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    const QRect bar = BarRect();
    p.fillRect(bar, ToQ(FBarColor));
    if (!FShowText)
        return;
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, Text());
    p.setClipRect(bar);
    p.setPen(ToQ(FColor));
    p.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, Text());
}

} // namespace orv
