#include "machine/ui/NewPass.h"

#include "engine/core/Mess.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/SettingsPassword.h"
#include "machine/ui/QtText.h"
#include "platform/ui/ModalRunner.h"
#include "machine/ui/property_editor.h"
#include "platform/MessageService.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

namespace {
QString Tr(const char *Text) { return Q(Mess().Translate(Text)); }
constexpr int ResultOk = 1, ResultCancel = 2;
} // namespace

TNewPassword::TNewPassword(QWidget *Parent, std::string SettingsFile)
    : QDialog(Parent), FSettingsFile(std::move(SettingsFile))
{
    setObjectName("NewPassword");
    auto edit = [this](const char *Name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(Name);
        e->setEchoMode(QLineEdit::Password);
        connect(e, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
        return e;
    };
    OldPassword = edit("OldPassword");
    NewPassEdit = edit("NewPassEdit");
    ConfirmPassword = edit("ConfirmPassword");
    OldLabel = new QLabel(this);
    NewLabel = new QLabel("&New password:", this);
    ConfirmLabel = new QLabel("Con&firm new password:", this);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    auto *grid = new QGridLayout(this);
    grid->addWidget(OldLabel, 0, 0);
    grid->addWidget(OldPassword, 0, 1);
    grid->addWidget(NewLabel, 1, 0);
    grid->addWidget(NewPassEdit, 1, 1);
    grid->addWidget(ConfirmLabel, 2, 0);
    grid->addWidget(ConfirmPassword, 2, 1);
    grid->addWidget(OKButton, 3, 0);
    grid->addWidget(CancelButton, 3, 1);
    connect(OKButton, &QPushButton::clicked, this, [this] { done(OkClick()); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(ResultCancel); });
    Prepare(1);
}

void TNewPassword::Prepare(int Mode)
{
    FMode = Mode;
    const bool ask = Mode == 0;
    for (QWidget *w : {static_cast<QWidget *>(NewLabel), static_cast<QWidget *>(NewPassEdit),
                       static_cast<QWidget *>(ConfirmLabel),
                       static_cast<QWidget *>(ConfirmPassword)})
        w->setVisible(!ask);
    OldLabel->setText(ask ? Tr("Enter Password:") : Tr("&Old password:"));
    setWindowTitle(ask ? Tr("Password") : Tr("Change Password"));
    if (ask)
        setFixedSize(266, 120);
    UpdateOk();
}

void TNewPassword::UpdateOk()
{
    bool filled = !OldPassword->text().isEmpty();
    if (FMode != 0)
        filled = filled && !NewPassEdit->text().isEmpty() && !ConfirmPassword->text().isEmpty();
    OKButton->setEnabled(filled);
}

int TNewPassword::OkClick()
{
    const std::string old = OldPassword->text().toStdString();
    if (FMode == 0)
        return PasswordAnswer(true, old, FSettingsFile);
    std::string problem = ChangePassword(old, NewPassEdit->text().toStdString(),
                                         ConfirmPassword->text().toStdString(), FSettingsFile);
    if (!problem.empty())
        ShowMessage(Mess().Translate(problem));
    return ResultOk;
}

int TNewPassword::Execute(int Mode)
{
    Prepare(Mode);
    return RunModal(*this);
}

void InstallMachineEditorWindows()
{
    SetPasswordDialog([](int Mode) {
        TNewPassword dialog;
        return dialog.Execute(Mode);
    });
    TRead_Machinedata_file::EditorWindow = [](TRead_Machinedata_file &Data, bool ReadOnly) {
        TVis_form editor(Data.MainSettingsFile);
        editor.SetReadOnly(ReadOnly);
        RunModal(editor);
    };
}

} // namespace orv
