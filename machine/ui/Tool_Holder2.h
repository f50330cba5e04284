#pragma once
// The "Machine Tooling" window: the tool changer as a carousel of numbered
// position buttons with colour strips, a pointer to the position whose
// data the information panel shows, and the "Machine Tooling" menu. The
// tooling (TMachine_Tooling) does all the work; this window draws its
// DeckShown() and forwards clicks, menus and drops.

#include "machine/Machine_Tooling.h"

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QToolButton;

namespace orv {

class TTool_Deck : public QWidget, public TToolDeckView {
    Q_OBJECT
public:
    static constexpr int HelpContext = 3050;

    explicit TTool_Deck(TMachine_Tooling &Tooling, QWidget *Parent = nullptr);

    void Refresh() override;
    void Show() override { show(); }

    QToolButton *PositionButton(int Position) const { return FButtons[Position - 1]; }
    QFrame *Strip(int Position) const { return FStrips[Position - 1]; }
    // The context menu of a position as the right button would pop it up.
    QMenu *PositionMenu(int Position);
    QMenuBar *Menu() const { return FMenu; }
    QToolButton *DetailsButton() const { return FDetails; }
    QLabel *NumberLabel() const { return FNumber; }
    QLabel *FileNameLabel() const { return FFileName; }
    QWidget *SummaryPanel() const { return FSummaryPanel; }
    QWidget *DetailPanel() const { return FDetailPanel; }

protected:
    void paintEvent(QPaintEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;
    void dragEnterEvent(QDragEnterEvent *Event) override;
    void dropEvent(QDropEvent *Event) override;

private:
    void CreateMenu();
    void CreateInfoPanel();
    void CreatePositions();
    void AddToolMenus(QMenu &Menu, int Position);
    void EditToolData(int Position);
    void ExportClick();
    void EditToolOffsets();
    int PositionAt(const QPoint &WindowPoint) const;
    bool PositionMouse(int Position, QEvent *Event);

    TMachine_Tooling &FTooling;
    std::array<QToolButton *, TMachine_Tooling::MaxPositions> FButtons{};
    std::array<QFrame *, TMachine_Tooling::MaxPositions> FStrips{};
    QMenuBar *FMenu = nullptr;
    QMenu *FPositionMenu = nullptr;
    QWidget *FSummaryPanel = nullptr, *FDetailPanel = nullptr;
    QLabel *FSummary = nullptr, *FName = nullptr, *FLargeName = nullptr, *FNumber = nullptr;
    std::array<QLabel *, 8> FRows{};
    QToolButton *FDetails = nullptr;
    QLabel *FFileName = nullptr;
    QPoint FPressAt;
    int FPressed = 0;
};

// Makes TTool_Deck the "Machine Tooling" window of every tool changer.
void InstallMachineToolingWindow();

} // namespace orv
