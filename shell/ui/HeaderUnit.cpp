#include "shell/ui/HeaderUnit.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "localise/ui/LxQtTranslator.h"
#include "shell/ui/TranslatedText.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace orv {

THeaderForm::THeaderForm(const THeaderValues &Values, QWidget *Parent)
    : QDialog(Parent), FValues(Values)
{
    setObjectName("HeaderForm");
    setWindowTitle("Header Wizard");
    auto *form = new QFormLayout(this);
    Author = new QLineEdit(QString::fromStdString(Values.Author), this);
    Description = new QLineEdit(QString::fromStdString(Values.Description), this);
    DateTime = new QDateEdit(QDate::currentDate(), this);
    DateTime->setCalendarPopup(true);
    Metric = new QRadioButton("Metric", this);
    InchUnits = new QRadioButton("Inch", this);
    (Values.Units == Inch ? InchUnits : Metric)->setChecked(true);
    form->addRow("Author", Author);
    form->addRow("Description", Description);
    form->addRow("Date", DateTime);
    auto *units = new QHBoxLayout;
    units->addWidget(Metric);
    units->addWidget(InchUnits);
    form->addRow("Units", units);
    for (auto [edit, caption] : {std::pair{&XBillet, "X"}, {&YBillet, "Y"}, {&ZBillet, "Z"}}) {
        *edit = new QLineEdit(this);
        auto *row = new QHBoxLayout;
        row->addWidget(*edit);
        auto *unit = new QLabel(this);
        FUnitLabels.push_back(unit);
        row->addWidget(unit);
        form->addRow(caption, row);
    }
    connect(InchUnits, &QRadioButton::toggled, this, [this] { ShowBillet(); });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("&OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("&Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    ShowBillet();
    // English texts; the translator gives the window its language.
    AttachTranslator(this, "THeaderForm");
}

void THeaderForm::ShowBillet()
{
    const bool inch = InchUnits->isChecked();
    XBillet->setText(QString::fromStdString(FloatToUnitsText(inch, FValues.BilletX)));
    YBillet->setText(QString::fromStdString(FloatToUnitsText(inch, FValues.BilletY)));
    ZBillet->setText(QString::fromStdString(FloatToUnitsText(inch, FValues.BilletZ)));
    for (QLabel *label : FUnitLabels)
        label->setText(inch ? QTr("inches") : QTr("mm"));
}

THeaderValues THeaderForm::Values() const
{
    THeaderValues values = FValues;
    values.Author = Author->text().toStdString();
    values.Description = Description->text().toStdString();
    values.Date = QLocale::c().toString(DateTime->date(), "dd MMMM yyyy").toStdString();
    values.Units = InchUnits->isChecked() ? Inch : orv::Metric;
    const uint8_t units = InchUnits->isChecked() ? 1 : 0;
    values.BilletX = UnitsTextToMM(XBillet->text().toStdString(), units);
    values.BilletY = UnitsTextToMM(YBillet->text().toStdString(), units);
    values.BilletZ = UnitsTextToMM(ZBillet->text().toStdString(), units);
    return values;
}

} // namespace orv
