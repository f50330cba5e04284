#include "shell/ui/Config_Menu_Tools.h"

#include "engine/core/Mess.h"
#include "localise/ui/LxQtTranslator.h"
#include "platform/MessageService.h"
#include "platform/ui/ModalRunner.h"
#include "shell/ui/MenuToolProp.h"
#include "shell/ui/TranslatedText.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace orv {

namespace {
} // namespace

TMenuConfigTools::TMenuConfigTools(QWidget *Owner, const std::string &SettingsFile)
    : QDialog(Owner), FList(SettingsFile)
{
    setObjectName("MenuConfigTools");
    setWindowTitle("Configure Utilities");
    auto *grid = new QGridLayout(this);
    auto *label = new QLabel("&Utilities:", this);
    ToolList = new QListWidget(this);
    MarkAsData(ToolList); // the utilities' titles
    ToolList->setObjectName("ToolList");
    label->setBuddy(ToolList);
    grid->addWidget(label, 0, 0);
    grid->addWidget(ToolList, 1, 0, 6, 1);
    auto button = [this, grid](const char *Name, const QString &Caption, int Row) {
        auto *b = new QPushButton(Caption, this);
        b->setObjectName(Name);
        b->setAutoDefault(false);
        grid->addWidget(b, Row, 1);
        return b;
    };
    AddBtn = button("AddBtn", "&Add...", 1);
    EditBtn = button("EditBtn", "&Edit...", 2);
    DeleteBtn = button("DeleteBtn", "&Delete", 3);
    UpBtn = button("UpBtn", QString::fromUtf8("\u25B2"), 4);
    DownBtn = button("DownBtn", QString::fromUtf8("\u25BC"), 5);
    CloseBtn = button("CloseBtn", "&Close", 6);
    CloseBtn->setDefault(true);
    connect(AddBtn, &QPushButton::clicked, this, [this] { AddClick(); });
    connect(EditBtn, &QPushButton::clicked, this, [this] { EditClick(); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { DeleteClick(); });
    connect(UpBtn, &QPushButton::clicked, this, [this] { MoveClick(-1); });
    connect(DownBtn, &QPushButton::clicked, this, [this] { MoveClick(1); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ToolList, &QListWidget::currentRowChanged, this, [this] { SelectionChanged(); });
    FillList(-1);
}

void TMenuConfigTools::FillList(int Selected)
{
    ToolList->clear();
    for (const std::string &title : FList.Titles())
        ToolList->addItem(QString::fromStdString(title));
    ToolList->setCurrentRow(Selected);
    SelectionChanged();
}

void TMenuConfigTools::SelectionChanged()
{
    const bool selected = ToolList->currentRow() >= 0;
    EditBtn->setEnabled(selected);
    DeleteBtn->setEnabled(selected);
}

void TMenuConfigTools::AddClick()
{
    TToolPropForm properties(this, FList.Titles(), "");
    if (RunModal(properties) != QDialog::Accepted)
        return;
    FList.Add(properties.Utility());
    FillList(int(FList.Titles().size()) - 1);
}

void TMenuConfigTools::EditClick()
{
    const int row = ToolList->currentRow();
    if (row < 0)
        return;
    TToolPropForm properties(this, FList.Titles(), FList.Titles()[row]);
    properties.SetUtility(FList.Utility(row));
    if (RunModal(properties) != QDialog::Accepted)
        return;
    FList.Edit(row, properties.Utility());
    FillList(row);
}

void TMenuConfigTools::DeleteClick()
{
    const int row = ToolList->currentRow();
    if (row < 0)
        return;
    const std::string title = FList.Titles()[row];
    if (MessageDlg(Mess().Translate("Confirm"),
                   Mess().Translate("Delete the item entitled ") + title + "?", mtConfirmation,
                   mbYesNo) != mrYes)
        return;
    FList.Delete(row);
    FillList(-1);
}

void TMenuConfigTools::MoveClick(int Direction)
{
    const int row = ToolList->currentRow();
    if (row < 0)
        return;
    FillList(Direction < 0 ? FList.MoveUp(row) : FList.MoveDown(row));
}

} // namespace orv
