#pragma once
// "Warning": the support files that start-up did not find.
#include <QDialog>

class QPlainTextEdit;

namespace orv {

class TFile_warn : public QDialog {
public:
    explicit TFile_warn(QWidget *Owner = nullptr);
    QPlainTextEdit *List = nullptr;
};

} // namespace orv
