#pragma once
// "Warning" before a run on the real machine: "Run" or "Stop", and "Don't
// Show This Again".
#include <QDialog>

class QCheckBox;
class QPushButton;

namespace orv {

class TMach_Warn : public QDialog {
public:
    explicit TMach_Warn(QWidget *Owner = nullptr);
    QCheckBox *ShowAGain = nullptr;
    QPushButton *Button1 = nullptr; // "Run"
    QPushButton *Button2 = nullptr; // "Stop"
};

} // namespace orv
