#pragma once
// The "Work Piece Offsets" window: the tree of named offsets, the current
// machine offset's name, the X, Y, Z edits of the selected offset with the
// buttons that zero an axis at the machine position, and the circle-centre
// finder. All work is done by TWork_piece_offset.

#include "machine/Work_piece_offset.h"

#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

class TWPiece_form : public QWidget, public TWorkOffsetView {
    Q_OBJECT
public:
    explicit TWPiece_form(TWork_piece_offset &Offsets, QWidget *Parent = nullptr);

    void Refresh() override;

    QTreeWidget *TreeView1 = nullptr;
    QLabel *CURRENT_OFFSET = nullptr;
    QDoubleSpinBox *Spin[3] = {nullptr, nullptr, nullptr}; // Xo, Yo, Zo
    QToolButton *SetAxis[3] = {nullptr, nullptr, nullptr}; // setX, setY, setZ
    QPushButton *FindCentre = nullptr;
    QWidget *FindCentrePanel = nullptr;

    // The popup menu of the selected node, as a right click builds it.
    QMenu *BuildPopupMenu();

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void FormCreate();
    QWidget *CreateEditPanel();
    QWidget *CreateCentrePanel();
    void RefreshTree();
    void RefreshCentre();
    void LanguageChanged();
    void NodeRenamed(QTreeWidgetItem *Node);
    void SetAxisClick(int Axis);

    TWork_piece_offset &FOffsets;
    QLabel *FPointLabels[3] = {nullptr, nullptr, nullptr};
    QLabel *FCentreLabel = nullptr;
    QLabel *FDiameterLabel = nullptr;
    QLabel *FLamp = nullptr;
    bool FRefreshing = false;
};

// Makes TWPiece_form the window of every work offsets component.
void InstallWorkOffsetWindow();

} // namespace orv
