#include "components/trkbar/ui/TrkBar.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <vector>

namespace orv {

namespace {
constexpr QRgb Silver = 0xFFC0C0C0;
constexpr QRgb Maroon = 0xFF800000;

QColor ToQ(uint32_t C) {
    return QColor(int(C & 0xFF), int(C >> 8 & 0xFF), int(C >> 16 & 0xFF));
}
QRect ToQ(const TTrkRect &R) {
    return QRect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
}

// The outline of a thumb shape in a Width x Height picture.
QPolygon ThumbShape(const std::string &Resource, int Width, int Height) {
    if (Resource.rfind("DIAMOND", 0) == 0)
        return QPolygon({QPoint(Width / 2, 0), QPoint(Width - 1, Height / 2),
                         QPoint(Width / 2, Height - 1), QPoint(0, Height / 2)});
    if (Resource.rfind("POINTER_H", 0) == 0)
        return QPolygon({QPoint(0, 0), QPoint(Width - 1, 0), QPoint(Width - 1, Height * 2 / 3),
                         QPoint(Width / 2, Height - 1), QPoint(0, Height * 2 / 3)});
    if (Resource.rfind("POINTER_V", 0) == 0)
        return QPolygon({QPoint(0, 0), QPoint(Width * 2 / 3, 0), QPoint(Width - 1, Height / 2),
                         QPoint(Width * 2 / 3, Height - 1), QPoint(0, Height - 1)});
    return QPolygon(QRect(0, 0, Width - 1, Height - 1));
}

void DrawShape(QPainter &P, const std::string &Resource, int Width, int Height) {
    P.setRenderHint(QPainter::Antialiasing, false);
    if (Resource.rfind("CIRCLE", 0) == 0)
        P.drawEllipse(QRect(0, 0, Width - 1, Height - 1));
    else
        P.drawPolygon(ThumbShape(Resource, Width, Height));
}

// Replaces the 4-connected silver area around Seed by Pattern (tiled from
// the picture's corner); nothing when Seed is not on silver.
void FloodWithPattern(QImage &Picture, QPoint Seed, const QImage &Pattern) {
    if (!Picture.rect().contains(Seed) || Picture.pixel(Seed) != Silver)
        return;
    const QRgb from = Silver;
    std::vector<bool> done(size_t(Picture.width() * Picture.height()), false);
    std::vector<QPoint> todo{Seed};
    while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        if (!Picture.rect().contains(p))
            continue;
        const size_t at = size_t(p.y() * Picture.width() + p.x());
        if (done[at] || Picture.pixel(p) != from)
            continue;
        done[at] = true;
        Picture.setPixel(p, Pattern.pixel(p.x() % 8, p.y() % 8));
        todo.insert(todo.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1),
                                 p - QPoint(0, 1)});
    }
}
} // namespace

TTrkBar::TTrkBar(QWidget *Parent) : QWidget(Parent) {
    FModel.OnChange = [this] {
        update();
        if (OnChange)
            OnChange();
    };
    if (FModel.TrkColorDivide == 0)
        FModel.TrkColorDivide = 1;
    // From the colours the bar has now, whatever a form sets later.
    FPattern = MakeDisabledPattern(TrkColortop, TrkColorbottom, FModel.TrkColorDivide);
    setMouseTracking(true); // the cursor over the thumb
    resize(200, 50);
    LoadThumb();
}

QImage TTrkBar::MakeDisabledPattern(uint32_t Top, uint32_t Bottom, int Divide) {
    QImage pattern(8, 8, QImage::Format_RGB32);
    const int topRows =
        Divide == 0 ? 8 : std::clamp(int(std::nearbyint(8.0 * 100 / Divide)), 0, 8);
    const QRgb odd = (Top & 0xFFFFFF) == 0xC0C0C0 ? Maroon : Silver;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, (x + y) % 2 ? odd : ToQ(y < topRows ? Top : Bottom).rgb());
    return pattern;
}

QImage TTrkBar::ThumbPicture(const std::string &Resource, int Width, int Height) {
    QImage picture(Width, Height, QImage::Format_RGB32);
    picture.fill(Qt::black); // masked away around the shape
    QPainter p(&picture);
    p.setPen(Qt::black);
    p.setBrush(QColor::fromRgb(Silver)); // the face
    DrawShape(p, Resource, Width, Height);
    return picture;
}

QImage TTrkBar::MaskPicture(const std::string &Resource, int Width, int Height) {
    QImage mask(Width, Height, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QPainter p(&mask);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    DrawShape(p, Resource, Width, Height);
    return mask;
}

void TTrkBar::LoadThumb() {
    const std::string name = FModel.ThumbResource(), mask = FModel.MaskResource();
    const int w = FModel.ThumbBitmapWidth(), h = FModel.ThumbBitmapHeight();
    FThumbName = QString::fromStdString(name);
    FThumb = QPixmap::fromImage(ThumbPicture(name, w, h));
    FMaskName = QString::fromStdString(mask);
    FMask = mask.empty() ? QImage() : MaskPicture(mask.substr(0, mask.size() - 1), w, h);
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

void TTrkBar::SetTickStyle(TTickStyle Value) {
    FTickStyle = Value;
    update();
}

void TTrkBar::resizeEvent(QResizeEvent *) {
    TTrackOrientation before = FModel.Orientation();
    FModel.Resize(width(), height());
    if (FModel.Orientation() != before || FThumbName.isEmpty())
        LoadThumb();
}

void TTrkBar::changeEvent(QEvent *Event) {
    if (Event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(Event);
}

void TTrkBar::paintEvent(QPaintEvent *) {
    QPainter p(this);
    if (!FTransparent)
        p.fillRect(rect(), palette().color(QPalette::Base));
    DrawTrack(p);
    if (TLTicks || BRTicks)
        DrawTicks(p);
    DrawThumb(p);
}

void TTrkBar::DrawTrack(QPainter &P) {
    const bool on = isEnabled();
    const QBrush pattern(FPattern);
    P.setBrushOrigin(0, 0);
    P.fillRect(ToQ(FModel.GrooveRect()), on ? QBrush(ToQ(TrkColortop)) : pattern);
    P.fillRect(ToQ(FModel.LowerColourRect()), on ? QBrush(ToQ(TrkColorbottom)) : pattern);
}

void TTrkBar::DrawTicks(QPainter &P) {
    const bool vertical = FModel.Orientation() == toVertical;
    const int across = vertical ? width() : height();
    const int margin = TTrkBarModel::Margin;
    const std::vector<int> offsets = FModel.TickOffsets();
    P.setPen(Qt::black);
    for (size_t k = 0; k < offsets.size(); ++k) {
        const int offset = offsets[k];
        if (FTickStyle == tkOwnerDraw) {
            if (OnDrawTick)
                OnDrawTick(this, P, vertical ? QPoint(0, offset) : QPoint(offset, 0),
                           FModel.Min() + int(k));
            continue;
        }
        if (TLTicks)
            vertical ? P.drawLine(margin, offset, 10, offset)
                     : P.drawLine(offset, margin, offset, 10);
        if (BRTicks)
            vertical ? P.drawLine(across - 10, offset, across - margin, offset)
                     : P.drawLine(offset, across - 10, offset, across - margin);
    }
}

void TTrkBar::DrawThumb(QPainter &P) {
    const TTrkRect t = FModel.ThumbRect();
    QImage thumb = FThumb.toImage().convertToFormat(QImage::Format_RGB32);
    if (!isEnabled())
        FloodWithPattern(thumb, QPoint(thumb.width() - 4, thumb.height() - 4), FPattern);
    if (FMask.isNull()) {
        P.drawImage(t.Left, t.Top, thumb);
        return;
    }
    // What lies under the thumb stays where the mask is white: background
    // AND mask, then OR the thumb (black around its shape).
    P.save();
    P.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    P.drawImage(t.Left, t.Top, FMask);
    P.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    P.drawImage(t.Left, t.Top, thumb);
    P.restore();
}

void TTrkBar::UpdateCursor(QPoint At) {
    if (FModel.OverThumb(At.x(), At.y()))
        setCursor(FModel.Orientation() == toVertical ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    else
        unsetCursor();
}

void TTrkBar::mousePressEvent(QMouseEvent *Event) {
    if (Event->button() == Qt::LeftButton)
        FModel.MouseDown(Event->position().toPoint().x(), Event->position().toPoint().y());
}

void TTrkBar::mouseMoveEvent(QMouseEvent *Event) {
    const QPoint at = Event->position().toPoint();
    FModel.MouseMove(at.x(), at.y());
    UpdateCursor(at);
}

void TTrkBar::mouseReleaseEvent(QMouseEvent *) {
    FModel.MouseUp();
}

} // namespace orv
