#pragma once
// TScrollPanel: a container that scrolls its children and looks like a
// panel: outer and inner bevels, a border ring in the panel colour. Aligned
// children (SetClient) fill the client area less the frame.

#include "components/scpanel/ScPanelFrame.h"

#include <QScrollArea>

#include <functional>

namespace orv {

class TScrollPanel : public QScrollArea {
    Q_OBJECT
public:
    explicit TScrollPanel(QWidget *Parent = nullptr);

    const TScrollPanelFrame &Frame() const { return FFrame; }
    void SetBevelOuter(TBevelCut Value);
    void SetBevelInner(TBevelCut Value);
    void SetBevelWidth(int Value);
    void SetBorderWidth(int Value);
    bool FullRepaint = true;
    QString Caption;
    // The child that fills the area for aligned children.
    void SetClient(QWidget *Child);
    // The strips the last resize marked for repainting (empty: everything).
    const std::vector<TPanelRect> &LastRepaint() const { return FLastRepaint; }

    std::function<void(TScrollPanel *)> OnResize;

protected:
    bool event(QEvent *Event) override;

private:
    void Realign();
    void Resized(QResizeEvent *Event);
    TScrollPanelFrame FFrame;
    QWidget *FClient = nullptr;
    std::vector<TPanelRect> FLastRepaint;
};

} // namespace orv
