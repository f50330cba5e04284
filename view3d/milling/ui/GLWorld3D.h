#pragma once
// TGLWorld3D, the window "Milling 3D Simulation": the billet's cut surface
// drawn as a lit height field with the tool, the coloured tool path, the
// datum marker and the measuring probe; camera control by mouse, Turbo,
// the "Measuring Info" readouts, the "Capture As Bitmap" window and the
// menu "&3D Setup". The output sink of slot 4 drives it through T3DView;
// the billet, path and readouts are held by TMillingView (core).

#include "view3d/milling/MillingView.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QImage;
class QLabel;
class QMenu;

namespace orv {

class TDock;
class TToolbar;
class TToolbarButton;
class TToolWindow;
class TFlatEdit;
class TLCDLabel;
class TGLWorldViewer;
class TG3D_setup;
class TMillingScene;

class TGLWorld3D : public QMainWindow, public TMillingView {
    Q_OBJECT
public:
    // Settings: the main settings file whose "3DGraphics" the view uses.
    explicit TGLWorld3D(const std::string &SettingsPath, QWidget *Parent = nullptr);
    ~TGLWorld3D() override;

    // The sink's view: the model below draws through the hooks at the end;
    // Turbo and the panel font are the window's.
    bool TurboDown() const override;
    int PanelTextWidth(const std::string &Text) const override;

    // Draws the view into a picture of the viewer's size times Scale with
    // the caption "Corvane 3D - Orvellan. " and the file's name at (1, 1),
    // shows it in "Capture As Bitmap" and, with a FileName, saves it there
    // as a 24-bit Windows bitmap. False (and the operator is told) when the
    // picture cannot be drawn or the file cannot be written.
    bool CaptureBitmap(const std::string &FileName, float Scale);

    TMillingView &Model() { return *this; }
    TG3D_setup &Setup() { return *FSetup; }
    TMillingScene &Scene() { return *FScene; }
    const QImage &CapturedPicture() const;
    QString PanelCaption(int Index) const;

    // --- handlers (the operator's actions end here) ---
    void Window3DMouseDown(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X, int Y);
    void Window3DMouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X, int Y);
    void Window3DMouseUp();
    void ResetButtClick();
    void PathsButtClick();
    void Show3DClick();
    void MeasureButtClick();
    void TurboButtMouseDown();
    void Options1Click();
    void SaveBitmapAs1Click();
    void UseOffsets1Click();
    void SaveAsClick();
    void ReCaptureClick();
    void CancelClick();
    void EditXOffsetChange();

    // Components, by their form names.
    TDock *DockTop;
    TToolbar *ViewingTBar, *ToolBarDatum;
    TToolbarButton *ResetButt, *TurboButt, *PathsButt, *Show3D, *MeasureButt;
    TFlatEdit *EditXOffset, *EditYOffset, *EditZOffset;
    TGLWorldViewer *SceneViewer;
    TToolWindow *MeasureWin, *SaveABMP;
    TLCDLabel *Xmeas, *YMeas, *ZMeas;
    QLabel *Image1;
    QAction *Options1, *SaveBitmapAs1, *UseOffsets1;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void FormCreate(const std::string &SettingsPath);
    void FormDestroy();
    void BuildMenu();
    void BuildToolbars();
    void BuildStatusBar();
    void BuildMeasureWin();
    void BuildCaptureWin();
    void ApplySetup();
    void ShowMeasurement();
    void PlaceDatumSymbol();
    void UnitsChanged() override;
    void PathChanged() override;
    void SurfaceReset() override;
    void RunFinished() override;
    void PanelChanged(int Index) override;

    std::unique_ptr<TG3D_setup> FSetup;
    std::unique_ptr<TMillingScene> FScene;
    std::unique_ptr<QImage> FCaptured;
    QLabel *FPanelLabels[15];
    QMenu *FSetupMenu = nullptr;
    int FMouseX = 0, FMouseY = 0;
    int FProbeMouseX = 0, FProbeMouseY = 0;
    bool FMeasuring = false;
    bool FUpdating = false;
    size_t FPathShown = 0; // path nodes handed to the scene
};

} // namespace orv
