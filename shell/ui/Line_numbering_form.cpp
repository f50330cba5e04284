#include "shell/ui/Line_numbering_form.h"

#include "shell/ui/TranslatedText.h"


#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <climits>

namespace orv {

TLine_numbering::TLine_numbering(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("Line_numbering");
    setWindowTitle(QTr("Line Numbering"));
    auto *layout = new QFormLayout(this);
    TokenN = new QLineEdit(this);
    startN = new QSpinBox(this);
    startN->setRange(0, INT_MAX);
    incN = new QSpinBox(this);
    incN->setRange(1, 10000);
    SizeN = new QSpinBox(this);
    SizeN->setRange(0, 9);
    removeN = new QCheckBox(QTr("Remove Numbering"), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    OK = buttons->button(QDialogButtonBox::Ok);
    layout->addRow(QTr("Number String"), TokenN);
    layout->addRow(QTr("Start"), startN);
    layout->addRow(QTr("Increment"), incN);
    layout->addRow(QTr("Size"), SizeN);
    layout->addRow(removeN);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(TokenN, &QLineEdit::textChanged, this,
            [this](const QString &Text) { OK->setEnabled(!Text.isEmpty()); });
    connect(startN, &QSpinBox::valueChanged, this,
            [this](int Value) { SizeN->setValue((int)QString::number(Value).size()); });
}

void TLine_numbering::Load(const TNumbering &Numbering)
{
    TokenN->setText(QString::fromStdString(Numbering.NumberString));
    startN->setValue(Numbering.Start);
    incN->setValue(Numbering.Increment);
    SizeN->setValue(Numbering.Size);
    removeN->setChecked(false);
    OK->setEnabled(!TokenN->text().isEmpty());
}

TNumbering TLine_numbering::Values() const
{
    return {TokenN->text().toStdString(), startN->value(), incN->value(), SizeN->value(),
            removeN->isChecked()};
}

} // namespace orv
