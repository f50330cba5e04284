#include "fanuc/ui/FanucLedButton.h"

#include <QPainter>

namespace orv::fanuc {

namespace {
QColor FromBgr(uint32_t Color) { return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF); }
bool IsAxisTag(int Tag) { return Tag == 4 || Tag == 5 || Tag == 6 || Tag == 7 || Tag == 40 || Tag == 41; }
} // namespace

TLedButton::TLedButton(QWidget *Parent, bool ZeroM) : TToolbarButton(Parent), FZeroM(ZeroM) {}

void TLedButton::SetLedOn(bool Value)
{
    if (Value == FLedOn)
        return;
    FLedOn = Value;
    update();
}

void TLedButton::Background(const QImage &Face)
{
    FFace = Face;
    resize(Face.width() + 1, Face.height() + 1);
    Text1.clear();
    Text2.clear();
}

void TLedButton::Paint(QPainter &P)
{
    TToolbarButton::Paint(P);
    const int o = Pushed() ? 1 : 0;
    P.drawImage(o, o, FFace);
    const QColor led = FromBgr(FLedOn ? 7829503 : 112);
    P.setPen(led);
    P.setBrush(led);
    P.drawEllipse(FZeroM ? QRect(QPoint(3 + o, 4 + o), QPoint(12 + o, 11 + o))
                         : QRect(QPoint(3 + o, 4 + o), QPoint(10 + o, 9 + o)));
    P.setBrush(Qt::NoBrush);
    QFont font = FZeroM ? QFont("Small Fonts", 6) : QFont("Arial Narrow", 8);
    if (FZeroM && IsAxisTag(Tag))
        font = QFont("Courier", 10, QFont::Bold);
    P.setFont(font);
    P.setPen(FromBgr(FontColor));
    const QFontMetrics metrics(font);
    const bool two = !Text2.isEmpty();
    int y1 = o + (FZeroM ? (two ? 12 : 16) : (two ? 7 : 16));
    if (FZeroM && IsAxisTag(Tag))
        y1 -= 2;
    auto centred = [&](const QString &Text, int Y) {
        int x = o + FFace.width() / 2 - metrics.horizontalAdvance(Text) / 2;
        P.drawText(x, Y + metrics.ascent() / 2, Text);
    };
    centred(Text1, y1);
    if (two)
        centred(Text2, y1 + 10);
}

QImage OperatorFace(int Face)
{
    static const QColor colours[] = {QColor(200, 200, 200), QColor(60, 160, 60), QColor(190, 40, 40),
                                     QColor(50, 80, 190)};
    QImage image(36, 36, QImage::Format_RGB32);
    image.fill(colours[Face < 0 || Face > 3 ? 0 : Face]);
    QPainter p(&image);
    p.setPen(Qt::darkGray);
    p.drawRect(0, 0, 35, 35);
    return image;
}

} // namespace orv::fanuc
