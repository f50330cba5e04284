#pragma once
// The window of the Fanuc 21 station (and of the 0M, a tool window with its
// own keypad and green CRT): a borderless MDI child 630 px high, 732 px
// wide with the keypad panel and 508 px without, that paints the station's
// screen model (CRT texts, program pane, offset pages), its keypad, soft
// keys, LED operator buttons, emergency stop and override knob, and passes
// mouse and keys to the station. Its "Editor" menu ("View Buttons") joins
// the main window's menu bar; the 21's popup menu and the 0M's button hide
// the keypad panel (the 0M's knob then floats in a window of its own).

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QContextMenuEvent;
class QKeyEvent;
class QMenu;

namespace orv {
class TToolbarButton;
class TFanucScreen;
} // namespace orv

namespace orv::fanuc {

class TFanucScreen;
class TFanucScreenOM;
class TLedButton;

class TFanuc21Form : public QMainWindow {
public:
    explicit TFanuc21Form(TFanucScreen &Station, QWidget *Parent = nullptr);
    ~TFanuc21Form() override;
    // Re-reads the screen model.
    void Refresh();

    QWidget *Display() const { return FDisplay; }
    QWidget *Outputs() const { return FOutputs; }
    // The text the CRT shows under a label's name, as painted ("Row0" ...:
    // the program pane's rows, words joined by blanks); empty when hidden.
    QString ShownText(const std::string &Name) const;
    const std::vector<TToolbarButton *> &KeypadKeys() const { return FKeys; }
    const std::vector<TLedButton *> &OperatorButtons() const { return FButtons; }
    const std::vector<TToolbarButton *> &SoftKeyButtons() const { return FSoftKeys; }
    TToolbarButton *Estop() const { return FEstop; }
    QWidget *Knob() const { return FKnob; }
    // The 0M's "Feed Override" window while its right panel is hidden.
    QWidget *FloatKnob() const { return FFloatKnob; }
    // The 0M's button that hides and shows the right panel.
    TToolbarButton *ShowHideButton() const { return FShowHide; }
    // The 21's popup menu ("Hide -->"), none on the 0M.
    QMenu *PopupMenu() const { return FPopup; }

protected:
    void keyPressEvent(QKeyEvent *Event) override;
    void keyReleaseEvent(QKeyEvent *Event) override;
    void contextMenuEvent(QContextMenuEvent *Event) override;

private:
    void BuildKeypad(QWidget *Parent);
    void BuildKeypadOM(QWidget *Parent, TFanucScreenOM &Station);
    void BuildOperatorButtons(QWidget *Parent);
    void BuildSoftKeys();
    void BuildEstopPanel();
    void BuildMenus();
    void SetWidth(int Width);
    void PlaceKnob(bool Floating);
    void PlaceShowHideButton(bool Hidden);
    QWidget *HelpControl(int Control, int Index) const;

    TFanucScreen &FStation;
    TFanucScreenOM *FZeroM;
    int FAppliedWidth = 0; // the station's width last given to the window
    QWidget *FDisplay = nullptr;
    QWidget *FOps = nullptr;
    QWidget *FOutputs = nullptr;
    QWidget *FEstopPanel = nullptr;
    QWidget *FKnobPanel = nullptr;
    QWidget *FKnob = nullptr;
    QWidget *FFloatKnob = nullptr;
    TToolbarButton *FEstop = nullptr;
    TToolbarButton *FShowHide = nullptr;
    QMenu *FPopup = nullptr;
    QAction *FHideRightPanel = nullptr;
    QAction *FHideButtons = nullptr;
    QAction *FOnTheLeft = nullptr;
    QAction *FOnTheRight = nullptr;
    std::vector<TToolbarButton *> FKeys;
    std::vector<TLedButton *> FButtons;
    std::vector<TToolbarButton *> FSoftKeys;
};

// The station with its window, for Tarnwick's source menu (kind 4 the 21,
// 9 the 0M; others none). Adopt
// makes the window an MDI child of the main window (none: a window of its own).
std::unique_ptr<orv::TFanucScreen> CreateFanucStation(int Kind,
                                                      const std::function<void(QWidget *)> &Adopt);

// A key press as the stations take it: the virtual key (the program's one
// mapping of Qt keys, as ncrun's "PCn"), and Character only for a character
// that has no key of its own ("(", ":"; Key 0).
struct TPCKeyPress {
    int Key = 0;
    char Character = 0;
};
TPCKeyPress PCKeyOf(const QKeyEvent &Event);

} // namespace orv::fanuc
