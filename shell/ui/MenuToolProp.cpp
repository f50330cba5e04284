#include "shell/ui/MenuToolProp.h"

#include "engine/core/Mess.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

namespace {
QString Tr(const char *Text)
{
    return QString::fromStdString(Mess().Translate(Text));
}

// An edit with its "..." button beside it.
QWidget *WithBrowse(QWidget *Parent, QLineEdit *Edit, QPushButton *&Button, const char *Name)
{
    auto *row = new QWidget(Parent);
    auto *line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(Edit, 1);
    Button = new QPushButton("...", row);
    Button->setObjectName(Name);
    Button->setFixedWidth(28);
    line->addWidget(Button);
    return row;
}
} // namespace

TToolPropForm::TToolPropForm(QWidget *Owner, std::vector<std::string> Titles, std::string Own)
    : QDialog(Owner), FTitles(std::move(Titles)), FOwn(std::move(Own))
{
    setObjectName("ToolPropForm");
    setWindowTitle(Tr("Utility Properties"));
    auto *form = new QFormLayout(this);
    auto edit = [this](const char *Name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(Name);
        return e;
    };
    TitleEdit = edit("TitleEdit");
    ProgramEdit = edit("ProgramEdit");
    WorkEdit = edit("WorkEdit");
    ParamEdit = edit("ParamEdit");
    form->addRow(Tr("&Title:"), TitleEdit);
    form->addRow(Tr("&Program:"), WithBrowse(this, ProgramEdit, BrowseProgram, "BrowseProgram"));
    form->addRow(Tr("&Working dir:"), WithBrowse(this, WorkEdit, BrowseFolder, "BrowseFolder"));
    form->addRow(Tr("P&arameters:"), ParamEdit);
    auto *buttons = new QDialogButtonBox(this);
    OKBtn = buttons->addButton(Tr("&OK"), QDialogButtonBox::AcceptRole);
    OKBtn->setObjectName("OK");
    OKBtn->setDefault(true);
    CancelBtn = buttons->addButton(Tr("&Cancel"), QDialogButtonBox::RejectRole);
    CancelBtn->setObjectName("Cancel");
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(TitleEdit, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
    connect(ProgramEdit, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
    connect(BrowseProgram, &QPushButton::clicked, this, [this] { BrowseProgramClick(); });
    connect(BrowseFolder, &QPushButton::clicked, this, [this] { BrowseFolderClick(); });
    UpdateOk();
}

void TToolPropForm::SetUtility(const TUtility &Utility)
{
    TitleEdit->setText(QString::fromStdString(Utility.Title));
    ProgramEdit->setText(QString::fromStdString(Utility.Program));
    WorkEdit->setText(QString::fromStdString(Utility.WorkFolder));
    ParamEdit->setText(QString::fromStdString(Utility.Parameters));
    UpdateOk();
}

TUtility TToolPropForm::Utility() const
{
    return {TitleEdit->text().toStdString(), ProgramEdit->text().toStdString(),
            WorkEdit->text().toStdString(), ParamEdit->text().toStdString()};
}

void TToolPropForm::UpdateOk()
{
    OKBtn->setEnabled(UtilityPropertiesValid(TitleEdit->text().toStdString(),
                                             ProgramEdit->text().toStdString(), FTitles, FOwn));
}

void TToolPropForm::BrowseProgramClick()
{
    const std::string program = ProgramEdit->text().toStdString();
    TFileRequest request;
    request.Filter = "Any file (*.*)|*.*";
    request.InitialDir = ExtractFilePath(program);
    request.FileName = program;
    if (std::optional<std::string> chosen = Messages().ChooseFile(request))
        ProgramEdit->setText(QString::fromStdString(*chosen));
}

void TToolPropForm::BrowseFolderClick()
{
    TFileRequest request;
    request.Kind = TFileDialogKind::Folder;
    request.Title = Mess().Translate("Select Working Directory");
    request.InitialDir = WorkEdit->text().toStdString();
    if (std::optional<std::string> chosen = Messages().ChooseFile(request))
        WorkEdit->setText(QString::fromStdString(*chosen));
}

} // namespace orv
