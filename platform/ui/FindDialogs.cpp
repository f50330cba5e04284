#include "platform/ui/FindDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orv {

namespace {

template <typename T> T *Control(T *Widget, int Id, const char *Name)
{
    Widget->setProperty("lxControlId", Id);
    Widget->setObjectName(Name);
    return Widget;
}

} // namespace

TFindDialog::TFindDialog(QWidget *Parent, bool Replace) : QDialog(Parent)
{
    setObjectName(Replace ? "ReplaceDialog" : "FindDialog");
    setWindowTitle(Replace ? "Replace" : "Find");
    auto *grid = new QGridLayout;
    auto *findLabel = Control(new QLabel("Fi&nd what:", this), 65535, "FindLabel");
    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName("FindEdit");
    findLabel->setBuddy(FindEdit);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(FindEdit, 0, 1);
    if (Replace) {
        auto *replaceLabel =
            Control(new QLabel("Re&place with:", this), 65535, "ReplaceLabel");
        ReplaceEdit = new QLineEdit(this);
        ReplaceEdit->setObjectName("ReplaceEdit");
        replaceLabel->setBuddy(ReplaceEdit);
        grid->addWidget(replaceLabel, 1, 0);
        grid->addWidget(ReplaceEdit, 1, 1);
    }
    WholeWordBox =
        Control(new QCheckBox("Match &whole word only", this), 1040, "WholeWordBox");
    CaseBox = Control(new QCheckBox("Match &case", this), 1041, "CaseBox");
    auto *options = new QVBoxLayout;
    options->addWidget(WholeWordBox);
    options->addWidget(CaseBox);
    auto *lower = new QHBoxLayout;
    lower->addLayout(options);
    if (!Replace) {
        Direction = Control(new QGroupBox("Direction", this), 1072, "Direction");
        UpButton = Control(new QRadioButton("&Up", Direction), 1056, "UpButton");
        DownButton = Control(new QRadioButton("&Down", Direction), 1057, "DownButton");
        DownButton->setChecked(true);
        auto *row = new QHBoxLayout(Direction);
        row->addWidget(UpButton);
        row->addWidget(DownButton);
        lower->addWidget(Direction);
    }
    auto *left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(lower);
    auto *buttons = new QVBoxLayout;
    FindNextButton = Control(new QPushButton("&Find Next", this), 1, "FindNextButton");
    FindNextButton->setDefault(true);
    buttons->addWidget(FindNextButton);
    if (Replace) {
        ReplaceButton = Control(new QPushButton("&Replace", this), 1024, "ReplaceButton");
        ReplaceAllButton =
            Control(new QPushButton("Replace &All", this), 1025, "ReplaceAllButton");
        buttons->addWidget(ReplaceButton);
        buttons->addWidget(ReplaceAllButton);
        connect(ReplaceButton, &QPushButton::clicked, this, [this] {
            if (OnReplace)
                OnReplace();
        });
        connect(ReplaceAllButton, &QPushButton::clicked, this, [this] {
            if (OnReplaceAll)
                OnReplaceAll();
        });
    }
    CancelButton = Control(new QPushButton("Cancel", this), 2, "CancelButton");
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    auto *all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(buttons);
    connect(FindNextButton, &QPushButton::clicked, this, [this] { FindNextClick(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

// Without a handler the dialog is a question: "Find Next" answers it.
void TFindDialog::FindNextClick()
{
    if (OnFind)
        OnFind();
    else
        accept();
}

std::string TFindDialog::FindText() const
{
    return FindEdit->text().toStdString();
}

void TFindDialog::SetFindText(const std::string &Text)
{
    FindEdit->setText(QString::fromStdString(Text));
}

std::string TFindDialog::ReplaceText() const
{
    return ReplaceEdit ? ReplaceEdit->text().toStdString() : std::string();
}

bool TFindDialog::WholeWord() const
{
    return WholeWordBox->isChecked();
}

bool TFindDialog::MatchCase() const
{
    return CaseBox->isChecked();
}

bool TFindDialog::Down() const
{
    return !DownButton || DownButton->isChecked();
}

} // namespace orv
