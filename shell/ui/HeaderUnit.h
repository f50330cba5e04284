#pragma once
// The "Header Wizard" dialog: author, description, date, units and billet
// of the program's header lines.

#include "shell/WizardText.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace orv {

class THeaderForm : public QDialog {
    Q_OBJECT
public:
    explicit THeaderForm(const THeaderValues &Values, QWidget *Parent = nullptr);
    // The values, billet in millimetres, date as "dd mmmm yyyy".
    THeaderValues Values() const;

    QLineEdit *Author;
    QLineEdit *Description;
    QDateEdit *DateTime;
    QRadioButton *Metric;
    QRadioButton *InchUnits;
    QLineEdit *XBillet;
    QLineEdit *YBillet;
    QLineEdit *ZBillet;

private:
    void ShowBillet();
    THeaderValues FValues;
    std::vector<QLabel *> FUnitLabels;
};

} // namespace orv
