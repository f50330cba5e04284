#pragma once
// The "3D Simulation" window on the screen: the control's panel
// (OleContainer1), the menu "3D Viewer" and the status bar with the
// position and tool panels.

#include "engine/simlink/ThreeD_form.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;

namespace orv {

class TStretchedPicture;

class TThreeDWindow : public QMainWindow, public TThreeDView {
public:
    TThreeDWindow();
    ~TThreeDWindow() override;

    void Attach(TThreeD_form &Form) override;
    void *ControlParent() override;
    void SetControlWindow(void *Window) override;
    void SetStatusText(int Panel, const std::string &Text) override;
    void TickDrawMode(int Mode) override;
    void SetAutoSaveTick(bool Ticked) override;
    void SetOffsetsTick(bool Ticked) override;
    bool ChooseColour(uint32_t &Colour) override;
    bool EditRapidFeed(double &Threshold) override;
    bool SavePicture(const std::string &FileName) override;
    std::string ChoosePictureFile(const std::string &Suggested) override;

    QWidget *Container() const { return FContainer; }
    // The stretched picture behind the container: it holds the control's
    // picture as last saved; a press on it shows the container again.
    QWidget *Picture() const;
    QAction *PropertiesAction() const { return FProperties; }
    QAction *AboutAction() const { return FAbout; }
    QWidget *ControlWindow() const { return FControlWindow; }
    QString StatusText(int Panel) const;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void BuildMenu();
    void FitControl();

    TThreeD_form *FForm = nullptr;
    QWidget *FContainer;
    TStretchedPicture *FPicture;
    QMenu *FVerbMenu;
    QAction *FProperties;
    QAction *FAbout;
    QWidget *FControlWindow = nullptr;
    QLabel *FPanels[5];
    QString FStatusTexts[5]; // as the link last set them
    bool FStatusGiven[5] = {};
    QAction *FDrawModes[3];
    QAction *FAutoSave;
    QAction *FOffsets;
    QAction *FSaveAsBitmap;
    QAction *FSaveBitmapAs;
};

} // namespace orv
