#pragma once
// The find and replace dialogs (Qt has none): the text to find, whole word
// and letter case, the direction, and for replacing the new text. Each
// control carries its control id (property "lxControlId": 1 Find Next,
// 2 Cancel, 1024 Replace, 1025 Replace All, 1038 Help, 1040 whole word,
// 1041 case, 1056/1057 up/down, 1072 direction, 65535 the labels in order),
// by which the program's dialog texts are set.

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orv {

class TFindDialog : public QDialog {
public:
    explicit TFindDialog(QWidget *Parent = nullptr, bool Replace = false);

    std::string FindText() const;
    void SetFindText(const std::string &Text);
    std::string ReplaceText() const;
    bool WholeWord() const;
    bool MatchCase() const;
    bool Down() const;

    // "Find Next" (the dialog stays open), "Replace", "Replace All".
    std::function<void()> OnFind;
    std::function<void()> OnReplace;
    std::function<void()> OnReplaceAll;

    QLineEdit *FindEdit = nullptr;
    QLineEdit *ReplaceEdit = nullptr; // replace dialog only
    QPushButton *FindNextButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *ReplaceButton = nullptr;
    QPushButton *ReplaceAllButton = nullptr;
    QCheckBox *WholeWordBox = nullptr;
    QCheckBox *CaseBox = nullptr;
    QGroupBox *Direction = nullptr; // find dialog only
    QRadioButton *UpButton = nullptr;
    QRadioButton *DownButton = nullptr;

private:
    void FindNextClick();
};

class TReplaceDialog : public TFindDialog {
public:
    explicit TReplaceDialog(QWidget *Parent = nullptr) : TFindDialog(Parent, true) {}
};

} // namespace orv
