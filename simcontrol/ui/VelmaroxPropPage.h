#pragma once
// The control's property page "General": one static text; it exchanges no
// property. The control's "Properties" verb opens it.

#include <QDialog>

namespace orv {

class CVelmaroxOCXPropPage : public QDialog {
public:
    explicit CVelmaroxOCXPropPage(QWidget *Parent = nullptr);
};

} // namespace orv
