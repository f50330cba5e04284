#pragma once
// The "Request" dialog: a description, a text field and, when a caller
// shows it, a whole-number field.

#include "shell/ui/EditorDialogs.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QSpinBox;

namespace orv {

class TGet_token_form : public QDialog {
    Q_OBJECT
public:
    explicit TGet_token_form(QWidget *Parent = nullptr);
    void Load(const TRequestValues &Values);
    void Store(TRequestValues &Values) const;

    QLabel *description;
    QLineEdit *Token;
    QSpinBox *number;
};

} // namespace orv
