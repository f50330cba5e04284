#pragma once
// The "Set Offset" dialog of a tool's Z (length) offset: a prompt naming the
// tool and an edit with the value. ZOffsetPrompt shows it for the tool changer.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

namespace orv {

class TZoffset_form : public QDialog {
    Q_OBJECT
public:
    explicit TZoffset_form(QWidget *Parent = nullptr);

    QLabel *TextBox = nullptr;
    QLineEdit *ZOffSet = nullptr;
};

// Shows the dialog with Prompt and Value; true with the typed Value on OK.
bool ZOffsetPrompt(const std::string &Prompt, std::string &Value);

} // namespace orv
