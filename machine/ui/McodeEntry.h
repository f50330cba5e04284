#pragma once
// "Enter an M code": the operator types an M code for the panel to send.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace orv {

class TMcodeManual : public QDialog {
    Q_OBJECT
public:
    explicit TMcodeManual(QWidget *Parent = nullptr);

    QLineEdit *McodeText;
    QPushButton *DoIt;
    QPushButton *Cancel;
    // The code "Do It" read; -1 until then or when the text was no integer.
    int Code = -1;

private:
    void DoItClick();
};

} // namespace orv
