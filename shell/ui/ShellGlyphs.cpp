#include "shell/ui/ShellGlyphs.h"

#include "components/toolbar/ui/TbPaint.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace orv {

TBitmap32 ShellGlyph(int Glyph) {
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    auto letter = [&](const char *Text, QColor Colour) {
        p.setBrush(Colour);
        p.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 3, 3);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(11);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(2, 2, 20, 20), Qt::AlignCenter, Text);
    };
    switch (Glyph) {
    case glStart: {
        QPainterPath path;
        path.moveTo(6, 3);
        path.lineTo(20, 12);
        path.lineTo(6, 21);
        path.closeSubpath();
        p.fillPath(path, QColor(0, 160, 0));
        p.drawPath(path);
        break;
    }
    case glPause:
        p.setBrush(QColor(230, 180, 0));
        p.drawRect(QRectF(5.5, 4.5, 5, 15));
        p.drawRect(QRectF(13.5, 4.5, 5, 15));
        break;
    case glStop:
        p.setBrush(QColor(200, 0, 0));
        p.drawRect(QRectF(4.5, 4.5, 15, 15));
        break;
    case glRewind: {
        QPainterPath path;
        path.moveTo(12, 4);
        path.lineTo(2, 12);
        path.lineTo(12, 20);
        path.closeSubpath();
        path.moveTo(22, 4);
        path.lineTo(12, 12);
        path.lineTo(22, 20);
        path.closeSubpath();
        p.fillPath(path, QColor(0, 90, 200));
        p.drawPath(path);
        break;
    }
    case gl3D:
        letter("3D", QColor(120, 60, 160));
        break;
    case gl2D:
        letter("2D", QColor(0, 120, 160));
        break;
    case glVR:
        letter("VR", QColor(90, 90, 90));
        break;
    case glMachine:
        letter("M", QColor(160, 80, 0));
        break;
    case glCompiled:
        letter("C", QColor(60, 120, 60));
        break;
    case glPost:
        letter("P", QColor(60, 60, 140));
        break;
    case glUnits:
        letter("mm", QColor(100, 100, 40));
        break;
    case glUnitsInch:
        letter("in", QColor(100, 100, 40));
        break;
    case glOffsets:
        letter("G54", QColor(40, 100, 100));
        break;
    case glTooling:
        letter("T", QColor(140, 40, 40));
        break;
    case glToolLib:
        letter("TL", QColor(140, 80, 80));
        break;
    case glSkip:
        letter("/", QColor(90, 90, 140));
        break;
    case glSearch:
        letter("N", QColor(90, 140, 90));
        break;
    case glOpenGL:
        letter("GL", QColor(70, 70, 70));
        break;
    case glContinuous:
        letter(">>", QColor(0, 110, 0));
        break;
    case glSingleStep:
        letter(">|", QColor(150, 110, 0));
        break;
    default:
        break;
    }
    p.end();
    return FromQImage(image);
}

TBitmap32 SmallShellGlyph(int Glyph) {
    // Nearest pixels, so the transparent magenta stays unmixed.
    return FromQImage(ToQImage(ShellGlyph(Glyph)).scaled(16, 16, Qt::IgnoreAspectRatio,
                                                         Qt::FastTransformation));
}

} // namespace orv
