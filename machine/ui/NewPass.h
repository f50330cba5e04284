#pragma once
// "Change Password" / "Password": asks for the settings password (mode 0:
// 1 right, 7 wrong, 2 cancelled) or changes it (mode 1: old, new and
// confirmation). OK is enabled only when the fields it needs are filled.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orv {

class TNewPassword : public QDialog {
    Q_OBJECT
public:
    // SettingsFile empty: the settings file beside the program.
    explicit TNewPassword(QWidget *Parent = nullptr, std::string SettingsFile = "");

    // Shows the dialog modally in Mode (0 ask, 1 change); its result.
    int Execute(int Mode);
    // Sets up the window for Mode without showing it.
    void Prepare(int Mode);
    // The OK button's work; the result Execute returns.
    int OkClick();

    QLabel *OldLabel, *NewLabel, *ConfirmLabel;
    QLineEdit *OldPassword, *NewPassEdit, *ConfirmPassword;
    QPushButton *OKButton, *CancelButton;

private:
    void UpdateOk();

    std::string FSettingsFile;
    int FMode = 1;
};

// Makes the machine editor, its password dialog and the editor's windows
// the ones the machine data and the engine use.
void InstallMachineEditorWindows();

} // namespace orv
