#pragma once
// "Enter new name": one edit (FileName) with OK and Cancel, for the name of
// a copied machine.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace orv {

class TData_entry : public QDialog {
    Q_OBJECT
public:
    explicit TData_entry(QWidget *Parent = nullptr);

    QLineEdit *FileName;
    QPushButton *OKButton;
    QPushButton *CancelButton;
};

} // namespace orv
