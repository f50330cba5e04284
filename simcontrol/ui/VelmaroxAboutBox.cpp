#include "simcontrol/ui/VelmaroxAboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace orv {

CVelmaroxAboutBox::CVelmaroxAboutBox(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("CVelmaroxAboutBox");
    setWindowTitle("About VelmaroxOCX");
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setObjectName("Icon");
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    row->addWidget(icon);
    row->addWidget(new QLabel("Velmarox OCX Control, Version 1.0", this));
    layout->addLayout(row);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace orv
