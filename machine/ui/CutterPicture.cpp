#include "machine/ui/CutterPicture.h"

#include <QPainter>
#include <QPainterPath>

namespace orv {

namespace {

// Outline of the cutting end below the shank, in a 64 x 96 box.
QPainterPath CuttingEnd(TCutter_types Type)
{
    QPainterPath p;
    switch (Type) {
    case BallNose:
        p.addRect(20, 40, 24, 36);
        p.addEllipse(20, 64, 24, 24);
        break;
    case Drill:
        p.addRect(22, 40, 20, 40);
        p.moveTo(22, 80);
        p.lineTo(32, 92);
        p.lineTo(42, 80);
        break;
    case centreDrill:
        p.addRect(18, 40, 28, 34);
        p.moveTo(26, 74);
        p.lineTo(32, 90);
        p.lineTo(38, 74);
        break;
    case Tapered:
    case Engrave:
        p.moveTo(18, 40);
        p.lineTo(46, 40);
        p.lineTo(33, 92);
        p.lineTo(31, 92);
        p.closeSubpath();
        break;
    case Dove:
        p.addRect(28, 40, 8, 36);
        p.moveTo(28, 76);
        p.lineTo(8, 92);
        p.lineTo(56, 92);
        p.lineTo(36, 76);
        break;
    case Tee:
        p.addRect(28, 40, 8, 38);
        p.addRect(10, 78, 44, 12);
        break;
    case SlabMill:
        p.addRect(6, 44, 52, 40);
        break;
    default:
        p.addRect(20, 40, 24, 50);
        break;
    }
    return p;
}

} // namespace

QPixmap CutterPicture(TCutter_types Type, int Width, int Height)
{
    QPixmap pixmap(Width, Height);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(Width / 64.0, Height / 96.0);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(170, 170, 170));
    painter.drawRect(24, 4, 16, 36); // shank
    painter.setBrush(Type == Unknown ? QColor(230, 230, 230) : QColor(120, 140, 190));
    painter.drawPath(CuttingEnd(Type));
    if (Type == Unknown)
        painter.drawText(QRectF(0, 44, 64, 40), Qt::AlignCenter, "?");
    return pixmap;
}

} // namespace orv
