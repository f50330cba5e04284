#pragma once
// The "Line Numbering" dialog: number string, start, increment, size and
// the removal of numbers.

#include "shell/EditorCommands.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace orv {

class TLine_numbering : public QDialog {
    Q_OBJECT
public:
    explicit TLine_numbering(QWidget *Parent = nullptr);
    void Load(const TNumbering &Numbering);
    TNumbering Values() const;

    QLineEdit *TokenN;
    QSpinBox *startN;
    QSpinBox *incN;
    QSpinBox *SizeN;
    QCheckBox *removeN;
    QPushButton *OK;
};

} // namespace orv
