#pragma once
// The "Machine Error" dialog: the message, and the detail text behind a
// "Details >" toggle. The engine form fills it for every machine error.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace orv {

struct TMachineProblem;

class TMachProbDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMachProbDlg(QWidget *Parent = nullptr);

    // Caption (empty keeps "Machine Error"), message and detail text.
    void SetProblem(const TMachineProblem &Problem);

    QLabel *Panel1;       // the message
    QToolButton *Details; // "Details >", toggling
    QPushButton *OKBtn;
    QPushButton *CancelBtn; // hidden
    QFrame *Panel2;         // hidden until Details is down
    QLabel *DetailsLabel;

private:
    void DetailsClick(bool Down);
};

// Shows machine problems in TMachProbDlg, dwell countdowns in their window
// and asks every tool's Z offset with the "Set Offset" dialog from now on.
void InstallMachineWindows();

} // namespace orv
