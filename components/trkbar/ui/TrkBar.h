#pragma once
// TTrkBar: the bitmap track bar. A two-coloured groove, optional ticks and
// a thumb picture named like its resource ("POINTER_VSIZE3"), drawn by our
// own thumb painter; the rules live in TTrkBarModel.

#include "components/trkbar/TrkBarModel.h"

#include <QPixmap>
#include <QWidget>

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
    // Shape and size reload the thumb picture.
    void SetThumbStyle(TThumbStyle Value);
    void SetThumbSize(TThumbSize Value);
    // Groove thickness, at least 6 pixels.
    void SetTrkWidth(int Value);
    // A transparent bar leaves its background to its parent; an opaque one
    // fills it with the window colour.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool TLTicks = true;
    bool BRTicks = false;
    uint32_t TrkColortop = 0xC0C0C0;
    uint32_t TrkColorbottom = 0x000000;
    int Tag = 0;
    // The thumb picture in use and its resource name.
    const QPixmap &Thumb() const { return FThumb; }
    QString ThumbName() const { return FThumbName; }

    std::function<void()> OnChange;

    // Our own thumb picture for a resource name and size.
    static QPixmap ThumbPicture(const std::string &Resource, int Width, int Height);

protected:
    void paintEvent(QPaintEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;

private:
    void LoadThumb();
    TTrkBarModel FModel;
    QPixmap FThumb;
    QString FThumbName;
    bool FTransparent = true;
};

} // namespace orv
