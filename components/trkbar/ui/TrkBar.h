#pragma once
// TTrkBar: the bitmap track bar. A two-coloured groove, optional ticks
// (standard lines or drawn by the owner) and a thumb picture named like its
// resource ("POINTER_VSIZE3") with, for the rounded shapes, its mask
// ("POINTER_VSIZE3M"): the thumb covers only where the mask is black. The
// rules live in TTrkBarModel. A disabled bar fills its groove and the
// thumb's face with an 8 x 8 pattern made when the bar is created.

#include "components/trkbar/TrkBarModel.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>

class QPainter;

namespace orv {

class TTrkBar : public QWidget {
    Q_OBJECT
public:
    explicit TTrkBar(QWidget *Parent = nullptr);

    TTrkBarModel &Model() { return FModel; }
    int Position() const { return FModel.Position(); }
    void SetPosition(int Value) { FModel.SetPosition(Value); }
    int Max() const { return FModel.Max(); }
    void SetMax(int Value) { FModel.SetMax(Value); }
    int Min() const { return FModel.Min(); }
    void SetMin(int Value) { FModel.SetMin(Value); }
    // Shape and size reload the thumb picture and its mask.
    void SetThumbStyle(TThumbStyle Value);
    void SetThumbSize(TThumbSize Value);
    // Groove thickness, at least 6 pixels.
    void SetTrkWidth(int Value);
    // A transparent bar leaves its background to its parent; an opaque one
    // fills it with the window colour.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle Value);
    bool TLTicks = true;
    bool BRTicks = false;
    uint32_t TrkColortop = 0xC0C0C0;
    uint32_t TrkColorbottom = 0x000000;
    int Tag = 0;
    // The thumb picture in use, its resource name, its mask (white where
    // the background shows; null for box and square thumbs) and the mask's
    // name.
    const QPixmap &Thumb() const { return FThumb; }
    QString ThumbName() const { return FThumbName; }
    const QImage &Mask() const { return FMask; }
    QString MaskName() const { return FMaskName; }
    // The disabled look's 8 x 8 pattern.
    const QImage &DisabledPattern() const { return FPattern; }

    std::function<void()> OnChange;
    // With tkOwnerDraw, once per value Min..Max while the ticks are drawn:
    // Location (0, offset) on a vertical bar, (offset, 0) on a horizontal
    // one, the offset from the top or left as TickOffsets gives it.
    std::function<void(TTrkBar *Bar, QPainter &Canvas, QPoint Location, int Index)> OnDrawTick;

    // Our own thumb picture for a resource name and size (black outside the
    // shape of a masked thumb), and the mask for a mask resource name.
    static QImage ThumbPicture(const std::string &Resource, int Width, int Height);
    static QImage MaskPicture(const std::string &Resource, int Width, int Height);
    // The pattern for the colours a bar has when it is made.
    static QImage MakeDisabledPattern(uint32_t Top, uint32_t Bottom, int Divide);

protected:
    void paintEvent(QPaintEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    void changeEvent(QEvent *Event) override;

private:
    void LoadThumb();
    void DrawTrack(QPainter &P);
    void DrawTicks(QPainter &P);
    void DrawThumb(QPainter &P);
    void UpdateCursor(QPoint At);
    TTrkBarModel FModel;
    QPixmap FThumb;
    QString FThumbName;
    QImage FMask;
    QString FMaskName;
    QImage FPattern;
    bool FTransparent = true;
    TTickStyle FTickStyle = tkStandard;
};

} // namespace orv
