#include "shell/ui/ask_for_token_form.h"

#include "engine/core/Mess.h"
#include "platform/ui/QtPos_size.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <climits>

namespace orv {

TGet_token_form::TGet_token_form(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("Get_token_form");
    setWindowTitle(QString::fromStdString(Mess().Translate("Request")));
    auto *layout = new QVBoxLayout(this);
    description = new QLabel(this);
    Token = new QLineEdit(this);
    Token->setObjectName("Token");
    number = new QSpinBox(this);
    number->setObjectName("number");
    number->setRange(INT_MIN, INT_MAX);
    number->hide();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromStdString(Mess().Translate("OK")));
    buttons->button(QDialogButtonBox::Cancel)
        ->setText(QString::fromStdString(Mess().Translate("Cancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(description);
    layout->addWidget(Token);
    layout->addWidget(number);
    layout->addWidget(buttons);
    adjustSize();
    new TQtPos_size(this, "TGet_token_form", TPosBorder::Fixed);
}

void TGet_token_form::Load(const TRequestValues &Values)
{
    description->setText(QString::fromStdString(Values.Description));
    Token->setText(QString::fromLatin1(Values.Token.c_str()));
    Token->setVisible(!Values.NumberShown);
    number->setVisible(Values.NumberShown);
    if (Values.Maximum != 0 || Values.Minimum != 0)
        number->setRange(Values.Minimum, Values.Maximum);
    number->setValue(Values.Number);
}

void TGet_token_form::Store(TRequestValues &Values) const
{
    const QByteArray token = Token->text().toLatin1();
    Values.Token.assign(token.constData(), (size_t)token.size());
    Values.Number = number->value();
}

} // namespace orv
