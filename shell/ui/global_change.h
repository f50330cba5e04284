#pragma once
// The "Change " dialog of Alter values: a percentage for every value, or a
// shift of the values above, below or at ß, with or without confirmation.

#include "shell/EditorCommands.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QRadioButton;
class QSpinBox;

namespace orv {

class TGlobal_changer : public QDialog {
    Q_OBJECT
public:
    // Tag 1 to 5: feed rates, spindle speeds, X, Y, Z values.
    TGlobal_changer(int Tag, QWidget *Parent = nullptr);
    void Store(TAlterValues &Values) const;

    QCheckBox *Confirm;
    QRadioButton *PercentMode;
    QRadioButton *ShiftMode;
    QGroupBox *Upper;
    QGroupBox *Lower;
    QSpinBox *Percentage;
    QDoubleSpinBox *Shift;
    QDoubleSpinBox *Beta;
    QCheckBox *Above;
    QCheckBox *Below;
    QCheckBox *At;
};

} // namespace orv
