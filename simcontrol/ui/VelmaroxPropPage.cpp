#include "simcontrol/ui/VelmaroxPropPage.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace orv {

CVelmaroxOCXPropPage::CVelmaroxOCXPropPage(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("CVelmaroxOCXPropPage");
    setWindowTitle("General");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Properties Page...", this));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace orv
