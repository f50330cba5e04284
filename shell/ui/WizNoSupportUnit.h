#pragma once
// Tells that the wizard knows a code but cannot edit it; "Help" opens the
// code help for it.

#include <QDialog>

class QLabel;

namespace orv {

class TWizNoSuportForm : public QDialog {
    Q_OBJECT
public:
    explicit TWizNoSuportForm(QWidget *Parent = nullptr);
    // Caption "G76 Not Supported" and its text.
    void Show(char Letter, int Code);
    bool HelpAsked() const { return FHelpAsked; }

    QLabel *Text;

private:
    bool FHelpAsked = false;
};

} // namespace orv
