#pragma once
// The orientation viewer (tool window) with its block view and the push
// buttons "XYZ", "X" and "Light" that pick what a drag in the view sets.

#include "simcontrol/CubeView.h"

#include <QDialog>

#include <functional>

namespace orv {

class CPaletteTable;
struct CViewerValues;

class CCubeViewWidget : public QWidget {
public:
    CCubeViewWidget(CViewerValues &Values, const CPaletteTable *Palette, QWidget *Parent);
    CCubeView &View() { return FView; }
    // Called when a drag ends (the control repaints with its current flags).
    std::function<void()> OnDragEnd;

protected:
    void paintEvent(QPaintEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;

private:
    CCubeView FView;
    const CPaletteTable *FPalette;
    bool FDragging = false;
};

class CViewerWnd : public QDialog {
public:
    CViewerWnd(CViewerValues &Values, const CPaletteTable *Palette, QWidget *Owner);
    CCubeViewWidget *CubeView() const { return FCube; }
    void Refresh();

private:
    CViewerValues &FValues;
    CCubeViewWidget *FCube;
};

} // namespace orv
