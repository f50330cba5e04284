#include "machine/ui/data_entty_form.h"

#include "machine/ui/QtText.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

TData_entry::TData_entry(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("data_entry");
    setWindowTitle("Enter new name");
    FileName = new QLineEdit(this);
    FileName->setObjectName("FileName");
    OKButton = new QPushButton("OK", this);
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Cancel", this);
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
