#include "machine/ui/data_entty_form.h"

#include "engine/core/Mess.h"
#include "machine/ui/QtText.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

TData_entry::TData_entry(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("data_entry");
    setWindowTitle(Q(Mess().Translate("Enter new name")));
    FileName = new QLineEdit(this);
    FileName->setObjectName("FileName");
    OKButton = new QPushButton(Q(Mess().Translate("OK")), this);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(Q(Mess().Translate("Cancel")), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FileName);
    layout->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace orv
