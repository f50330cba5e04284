#pragma once
// The simulation control's window: a child widget of the host's panel that
// runs the control's draw hook, shows its 8-bit picture through the
// palette's colour table, passes the mouse on, and makes the orientation
// viewer, the progress window and the About box.

#include "simcontrol/SimScene.h"
#include "simcontrol/VelmaroxOCXCtrl.h"

#include <QImage>
#include <QWidget>

#include <memory>

namespace orv {

class CViewerWnd;

// The picture as a QImage of Format_Indexed8 (top row first): pixel
// values 10..225 take the palette's entries, the others the system's.
QImage PictureImage(const CDibSurface &Image, const CPaletteTable &Palette);
QVector<QRgb> PictureColourTable(const CPaletteTable &Palette);

class CVelmaroxWidget : public QWidget, public CControlWindow, public CSceneWindows {
public:
    CVelmaroxWidget(CVelmaroxOCXCtrl &Ctrl, QWidget *Parent);
    ~CVelmaroxWidget() override;

    void RepaintNow() override;
    void *Handle() override { return this; }
    void DrainMouseMoves() override;
    // The About box (dialog 1), modal to the host's window, without holding
    // the caller (it closes itself).
    void ShowAboutBox() override;
    // The "Properties" verb: the property page, modal to the host's window,
    // without holding the caller (it closes itself).
    void ShowPropertyPage();

    void CreateViewer() override;
    void ShowViewer(bool Visible) override;
    void ViewerChanged() override;
    std::unique_ptr<CReplayProgress> CreateProgress(long long Count) override;
    void ServeProgressMessage() override;
    void PaletteChanged() override;

    // The control is being freed: the widget lets go of it and goes later.
    void Detach();

    CViewerWnd *Viewer() const { return FViewer; }
    // The picture as last shown.
    QImage Picture() const;

protected:
    void paintEvent(QPaintEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    // Not taken: the request goes on to the host's panel.
    void contextMenuEvent(QContextMenuEvent *Event) override;

private:
    CVelmaroxOCXCtrl *FCtrl;
    CViewerWnd *FViewer = nullptr;
    bool FFresh = false;
};

} // namespace orv
