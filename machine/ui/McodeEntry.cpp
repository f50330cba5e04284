#include "machine/ui/McodeEntry.h"

#include "machine/ControlPanelStd.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

TMcodeManual::TMcodeManual(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("McodeManual");
    setWindowTitle("Enter an M code");
    McodeText = new QLineEdit(this);
    McodeText->setObjectName("McodeText");
    McodeText->setToolTip("Enter the M code you wish to execute here");
    DoIt = new QPushButton("Do It", this);
    DoIt->setObjectName("DoIt");
    DoIt->setToolTip("This will execute your M code");
    DoIt->setDefault(true);
    Cancel = new QPushButton("Cancel", this);
    Cancel->setObjectName("Cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(DoIt);
    buttons->addWidget(Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(McodeText);
    layout->addLayout(buttons);
    connect(DoIt, &QPushButton::clicked, this, &TMcodeManual::DoItClick);
    connect(McodeText, &QLineEdit::returnPressed, this, &TMcodeManual::DoItClick);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TMcodeManual::DoItClick()
{
    Code = ManualMCode(McodeText->text().toStdString());
    accept();
}

} // namespace orv
