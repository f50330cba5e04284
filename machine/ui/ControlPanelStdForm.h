#pragma once
// The "Control Panel" window of the standard panel: mode pages (Home, Jog,
// Auto, MDI), the position readout, vertical track bars, M-code, coolant, turbo, tool
// change and Z-offset buttons, the machine status line and the status bar.
// It draws TControlPanelStd's state and hands every operator action to it;
// jog and override keys go through its key preview. It refuses to close.

#include "machine/ControlPanelStd.h"

#include <QWidget>

#include <array>
#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QPushButton;

namespace orv {

class TTrkBar;

class TControlPanelStdForm : public QWidget, public TControlPanelStdView {
    Q_OBJECT
public:
    explicit TControlPanelStdForm(TControlPanelStd &Panel, QWidget *Parent = nullptr);

    void Refresh() override;

    // Toolbar.
    QToolButton *Mcode_but, *View_CoOrds, *ZToolOffsets, *Coolant, *Turbo, *TChangeButt;
    QLabel *MessageLabel;
    QFrame *MachDisp, *ProgDisp;
    std::array<QLabel *, 3> MachValues, ProgValues; // XValue.., XProg..
    QLabel *CycleState1, *CycleState2;
    QTabWidget *PageControl;
    // Home page.
    QPushButton *XHome, *YHome, *ZHome, *BothHome;
    std::array<QLabel *, 3> Shapes; // XShape, YShape, ZShape
    QFrame *SecretHome;
    // Jog page.
    QLineEdit *JogTrap;
    QLabel *JogPanel; // "Jog"
    TTrkBar *JogFeed, *Jog_step, *SpeedBar;
    QToolButton *jog_button, *Speed_button;
    QLabel *FeedDisplayNew, *SpeedDisplayNew;
    // Auto page.
    TTrkBar *FeedBar, *SpindleBar;
    QLabel *FeedOverrideValue, *SpindleOverrideValue;
    // MDI page.
    QWidget *OverRidePanel;
    QStatusBar *StatusBar;
    std::array<QLabel *, 4> StatusPanels;
    QLabel *OffsetDataPanel, *MachStatusBar;
    QMenu *Mcode_popup, *ToolPopup;

    // The menus as they would pop up now.
    void BuildMcodePopup();
    void BuildToolPopup();

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;
    void closeEvent(QCloseEvent *Event) override;
    void changeEvent(QEvent *Event) override;

private:
    void CreateToolbar();
    void CreateReadout();
    QWidget *CreateHomePage();
    QWidget *CreateJogPage();
    QWidget *CreateAutoPage();
    QWidget *CreateMDIPage();
    void CreateStatus();
    void KeepRoom();
    void WatchKeys();
    bool KeyEvent(QEvent *Event);
    void PickColour(bool Background);
    void ChooseManualMCode();
    void RefreshReadout();
    void RefreshPages();
    void RefreshSliders();

    TControlPanelStd &FPanel;
    QWidget *FToolRow = nullptr;
    bool FRefreshing = false;
};

// The standard panel with its window, as the main window's host makes it.
std::unique_ptr<TControlPanelStd> MakeControlPanelStd(QWidget *Parent = nullptr);

} // namespace orv
