#include "shell/ui/global_change.h"

#include "engine/core/Mess.h"

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
QString Tr(const std::string &Text) { return QString::fromStdString(Mess().Translate(Text)); }

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
    setWindowTitle(Tr("Change "));
    auto *layout = new QVBoxLayout(this);
    Confirm = new QCheckBox(Tr("Confirm Changes?"), this);
    PercentMode = new QRadioButton(this);
    ShiftMode = new QRadioButton(this);
    Upper = new QGroupBox(Tr("Alter all " + what + " by %"), this);
    Lower = new QGroupBox(Tr("Alter " + what + " at \xc3\x9f"), this);
    Percentage = new QSpinBox(Upper);
    Percentage->setRange(1, 1000);
    Percentage->setValue(100);
    auto *upper = new QFormLayout(Upper);
    upper->addRow(Percentage, new QLabel(Tr("% (1 - 1000)"), Upper));
    Shift = RealSpin(Lower);
    Beta = RealSpin(Lower);
    Above = new QCheckBox(Tr("Change Values Above \xc3\x9f"), Lower);
    Below = new QCheckBox(Tr("Change Values Below \xc3\x9f"), Lower);
    At = new QCheckBox(Tr("Change Values At \xc3\x9f"), Lower);
    auto *lower = new QFormLayout(Lower);
    lower->addRow(Tr("Shift (+/-)"), Shift);
    lower->addRow(Tr("\xc3\x9f Value"), Beta);
    lower->addRow(Above);
    lower->addRow(Below);
    lower->addRow(At);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(Tr("&OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(Tr("&Cancel"));
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
