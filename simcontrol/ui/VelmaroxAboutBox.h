#pragma once
// The control's About box (dialog 1): its icon, "Velmarox OCX Control,
// Version 1.0" and OK. The AboutBox method opens it.

#include <QDialog>

namespace orv {

class CVelmaroxAboutBox : public QDialog {
public:
    explicit CVelmaroxAboutBox(QWidget *Parent = nullptr);
};

} // namespace orv
