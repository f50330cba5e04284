#include "machine/ui/MachProbDialog.h"

#include "localise/ui/LxQtTranslator.h"

#include "machine/Machine_Tooling.h"
#include "machine/MachineProblem.h"
#include "machine/ui/DownCounterWindow.h"
#include "machine/ui/zoffset_.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

TMachProbDlg::TMachProbDlg(QWidget *Parent) : QDialog(Parent) {
    setWindowTitle("Machine Error");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    resize(305, 212);
    Panel1 = new QLabel(this);
    Panel1->setWordWrap(true);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setMinimumHeight(60);
    Details = new QToolButton(this);
    Details->setText("Details >");
    Details->setCheckable(true);
    OKBtn = new QPushButton("OK", this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->hide();
    Panel2 = new QFrame(this);
    Panel2->setFrameShape(QFrame::Panel);
    DetailsLabel = new QLabel(Panel2);
    DetailsLabel->setWordWrap(true);
    DetailsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *detailsLayout = new QVBoxLayout(Panel2);
    detailsLayout->addWidget(DetailsLabel);
    Panel2->hide();

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Details);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    layout->addLayout(buttons);
    layout->addWidget(Panel2);
    layout->setSizeConstraint(QLayout::SetFixedSize); // sized to its contents

    connect(Details, &QToolButton::toggled, this, [this](bool Down) { DetailsClick(Down); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TMachProbDlg::SetProblem(const TMachineProblem &Problem) {
    if (!Problem.Caption.empty())
        setWindowTitle(QString::fromStdString(Problem.Caption));
    Panel1->setText(QString::fromStdString(Problem.Message));
    DetailsLabel->setText(QString::fromStdString(Problem.Details));
}

void TMachProbDlg::DetailsClick(bool Down) {
    Panel2->setVisible(Down);
}

void InstallMachineWindows() {
    SetMachineProblemPresenter([](const TMachineProblem &Problem) {
        TMachProbDlg dialog;
        dialog.SetProblem(Problem);
        // In the user's language, texts of the problem as well.
        AttachTranslator(&dialog, "TMachProbDlg");
        dialog.exec();
    });
    SetDownCounterViewFactory([] { return std::make_unique<TDownCounterWindow>(); });
    SetDefaultZOffsetPrompt(ZOffsetPrompt);
}

} // namespace orv
