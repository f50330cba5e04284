#pragma once
// TScrollPanel: a container that scrolls its children and looks like a
// panel: outer and inner bevels, a border ring in the panel colour. Aligned
// children (SetClient) fill the client area less the frame; a scrolled
// child (SetScrolled) moves under the two scroll bars, whose Range its
// owner sets.

#include "components/scpanel/ScPanelFrame.h"
#include "platform/BorderStyle.h"

#include <QScrollArea>

#include <functional>

class QScrollBar;

namespace orv {

class TScrollPanel;

// HorzScrollBar or VertScrollBar of a scroll panel: the rules of
// TControlScrollBar shown on the panel's scroll bar, in pixels.
class TPanelScrollBar {
public:
    int Range() const { return FModel.Range(); }
    void SetRange(int Value);
    int Position() const { return FModel.Position(); }
    void SetPosition(int Value);
    bool Smooth() const { return FModel.Smooth; }
    void SetSmooth(bool Value);
    bool Tracking() const { return FModel.Tracking; }
    void SetTracking(bool Value);
    const TControlScrollBar &Model() const { return FModel; }

private:
    friend class TScrollPanel;
    TPanelScrollBar(TScrollPanel &Panel, QScrollBar &Bar) : FPanel(Panel), FBar(Bar) {}
    void Show();
    TScrollPanel &FPanel;
    QScrollBar &FBar;
    TControlScrollBar FModel;
};

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
    // The window border: bsSingle draws a sunken 2-pixel edge around the
    // panel, outside its bevels; a change re-creates the window (the
    // children are aligned again).
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // Kept for the caption, which the panel does not draw; a change repaints.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // A locked panel is no tool control: an object activated in place
    // covers it instead of leaving it shown.
    bool Locked = false;
    bool IsToolControl() const { return !Locked; }
    // The child that fills the area for aligned children.
    void SetClient(QWidget *Child);
    // The child that scrolls: its top left corner is at minus the positions.
    void SetScrolled(QWidget *Child);
    TPanelScrollBar &HorzScrollBar() { return FHorz; }
    TPanelScrollBar &VertScrollBar() { return FVert; }
    // The client area without the scroll bars, frame included (the window
    // border is not part of it).
    int ClientWidth() const;
    int ClientHeight() const;
    // The strips the last resize marked for repainting (empty: everything).
    const std::vector<TPanelRect> &LastRepaint() const { return FLastRepaint; }

    std::function<void(TScrollPanel *)> OnResize;

protected:
    bool event(QEvent *Event) override;
    bool viewportEvent(QEvent *Event) override;
    void scrollContentsBy(int DX, int DY) override;

private:
    friend class TPanelScrollBar;
    void Realign();
    void UpdateBars();
    void PlaceScrolled();
    void Resized(QResizeEvent *Event);
    TScrollPanelFrame FFrame;
    QWidget *FClient = nullptr;
    QWidget *FScrolled = nullptr;
    TPanelScrollBar FHorz, FVert;
    bool FUpdatingBars = false;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
    std::vector<TPanelRect> FLastRepaint;
};

} // namespace orv
