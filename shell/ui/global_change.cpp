#include "shell/ui/global_change.h"

#include "shell/ui/TranslatedText.h"


#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orv {

namespace {
QDoubleSpinBox *RealSpin(QWidget *Parent)
{
    auto *spin = new QDoubleSpinBox(Parent);
    spin->setRange(-1e9, 1e9);
    spin->setDecimals(4);
    return spin;
}
} // namespace

TGlobal_changer::TGlobal_changer(int Tag, QWidget *Parent) : QDialog(Parent)
{
    static const char *What[] = {"feed rates", "spindle speeds", "X values", "Y values",
                                 "Z values"};
    const std::string what = What[std::clamp(Tag, 1, 5) - 1];
    setObjectName("Global_changer");
    setWindowTitle(QTr("Change "));
    auto *layout = new QVBoxLayout(this);
    Confirm = new QCheckBox(QTr("Confirm Changes?"), this);
    PercentMode = new QRadioButton(this);
    ShiftMode = new QRadioButton(this);
    Upper = new QGroupBox(QTr("Alter all " + what + " by %"), this);
    Lower = new QGroupBox(QTr("Alter " + what + " at \xc3\x9f"), this);
    Percentage = new QSpinBox(Upper);
    Percentage->setRange(1, 1000);
    Percentage->setValue(100);
    auto *upper = new QFormLayout(Upper);
    upper->addRow(Percentage, new QLabel(QTr("% (1 - 1000)"), Upper));
    Shift = RealSpin(Lower);
    Beta = RealSpin(Lower);
    Above = new QCheckBox(QTr("Change Values Above \xc3\x9f"), Lower);
    Below = new QCheckBox(QTr("Change Values Below \xc3\x9f"), Lower);
    At = new QCheckBox(QTr("Change Values At \xc3\x9f"), Lower);
    auto *lower = new QFormLayout(Lower);
    lower->addRow(QTr("Shift (+/-)"), Shift);
    lower->addRow(QTr("\xc3\x9f Value"), Beta);
    lower->addRow(Above);
    lower->addRow(Below);
    lower->addRow(At);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QTr("&OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QTr("&Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(Confirm);
    layout->addWidget(PercentMode);
    layout->addWidget(Upper);
    layout->addWidget(ShiftMode);
    layout->addWidget(Lower);
    layout->addWidget(buttons);
    connect(PercentMode, &QRadioButton::toggled, this, [this](bool On) {
        Upper->setEnabled(On);
        Lower->setEnabled(!On);
    });
    PercentMode->setChecked(true);
    Lower->setEnabled(false);
}

void TGlobal_changer::Store(TAlterValues &Values) const
{
    Values.Confirm = Confirm->isChecked();
    Values.Percentage = Percentage->value();
    Values.Shift = Shift->value();
    Values.Beta = Beta->value();
    Values.Above = Above->isChecked();
    Values.Below = Below->isChecked();
    Values.At = At->isChecked();
}

} // namespace orv
