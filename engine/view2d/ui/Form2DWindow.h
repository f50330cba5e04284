#pragma once
// The "2D Simulation" window: menus, the paint box in a scroll panel, the
// Z gauge strip in its depth bar, the datum panel and the status bar around
// the drawing window's pictures. It only shows what the form (TForm2D) computed and
// hands mouse and menu actions back to it.

#include "engine/view2d/ui/View2dImageView.h"

#include <QMainWindow>

class QAction;
class QDoubleSpinBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolButton;
class QWidget;

namespace orv {

class TScrollPanel;

class TForm2DWindow : public QMainWindow, public TImageView2D {
    Q_OBJECT
public:
    TForm2DWindow();
    ~TForm2DWindow() override;

    void Attach(TForm2D &Form) override;
    TForm2D *Form() const { return FForm; }

    // The room the picture is fitted in: the drawing area the window has
    // (at least the one it opened with), no larger than the window can get
    // inside its MDI area.
    int ScrollClientWidth() const override { return Room().width(); }
    int ScrollClientHeight() const override { return Room().height(); }
    void SetScrollPosition(double AnchorX, double AnchorY) override;
    void SetStatusText(int Panel, const std::string &Text) override;
    int GaugeHeight() const override;
    void GaugeChanged() override;
    void ShowDatumEdits(double X, double Y) override;
    void SetDatumEditsEnabled(bool Enabled) override;
    void ShowDatumPanel(bool Visible) override;
    bool DatumLocked() const override;
    void ShowDatumPointer(bool Dragging) override;
    void FitToPicture(bool WithDatumPanel) override;
    TWindowBounds Bounds() const override;
    void SetBounds(const TWindowBounds &Bounds) override;
    TElementInfoResult ShowElementInfo(const TDD_Type &Element, int Decimals, double AreaHeight,
                                       const std::string &FileName) override;
    bool ShowSetupDialog(const std::string &FileName, TGraphicSettings &Settings) override;

    QString StatusText(int Panel) const;
    // The scrolling drawing area (the paint box scrolls in it).
    TScrollPanel *DrawingArea() const { return FScroll; }

    QMenu *PopupMenu() const { return FPopup; }
    // Enables the popup's items as the form allows (done on opening).
    void UpdatePopup();

protected:
    void CompositeChanged() override;
    void showEvent(QShowEvent *Event) override;

private:
    class TPaintBox;
    class TGaugeBox;
    void BuildMenus();
    void BuildDatumPanel();
    void FillSaveMenu(QMenu *Menu);
    void SizePaintBox();
    void FitSplitter();
    QSize Room() const;
    // What the window has around its drawing area (menu, status bar, depth
    // bar, datum panel) and, in the MDI area, its frame.
    QSize Chrome() const;

    TForm2D *FForm = nullptr;
    TScrollPanel *FClientArea = nullptr;
    TScrollPanel *FScroll = nullptr;
    TScrollPanel *FDepthBar = nullptr;
    QSplitter *FSplitter = nullptr;
    TPaintBox *FPaintBox = nullptr;
    TGaugeBox *FGauge = nullptr;
    QWidget *FDatumPanel = nullptr;
    QDoubleSpinBox *FDatumX = nullptr;
    QDoubleSpinBox *FDatumY = nullptr;
    QToolButton *FLock = nullptr;
    QLabel *FStatus[5] = {};
    QMenu *FPopup = nullptr;
    QMenu *FPopupSave = nullptr;
    QMenu *FMainSave = nullptr;
    QAction *FZoomIn = nullptr, *FZoomOut = nullptr, *FShowAll = nullptr;
    QAction *FObjectData = nullptr, *FSaveAs = nullptr, *FMainSaveAs = nullptr;
    QAction *FAutoSave = nullptr, *FUseOffsets = nullptr;
};

} // namespace orv
