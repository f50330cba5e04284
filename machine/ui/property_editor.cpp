#include "machine/ui/property_editor.h"
#include "localise/ui/LxQtTranslator.h"

#include "engine/core/Mess.h"
#include "machine/ui/NewPass.h"
#include "machine/ui/Progress.h"
#include "machine/ui/QtText.h"
#include "platform/ui/ModalRunner.h"
#include "machine/ui/data_entty_form.h"
#include "platform/NumberText.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>

#include <algorithm>
#include <QVBoxLayout>

namespace orv {

namespace {

QString Tr(const char *Text) { return Q(Mess().Translate(Text)); }

constexpr int RowStep = 21, RowTop = 30;

enum TNodeLevel { nlRoot, nlMachine, nlSection, nlKey };

int Level(QTreeWidgetItem *Node)
{
    int level = 0;
    for (QTreeWidgetItem *p = Node ? Node->parent() : nullptr; p; p = p->parent())
        ++level;
    return level;
}

std::string Text(QTreeWidgetItem *Node) { return Node->text(0).toStdString(); }

} // namespace

TVis_form::TVis_form(const std::string &MainSettingsFile, QWidget *Parent)
    : QDialog(Parent), FList(MainSettingsFile)
{
    setObjectName("Vis_form");
    setWindowTitle("Machine Properties Editor");
    setProperty("HelpContext", HelpContext);
    TV = new QTreeWidget(this);
    TV->setObjectName("TV");
    TV->setHeaderHidden(true);
    MarkAsData(TV); // machines, sections and keys, read back as names
    TV->setContextMenuPolicy(Qt::CustomContextMenu);
    TV->installEventFilter(this);
    // Room for the machine, section and key names beside the value panel:
    // the deepest section name whole in the window's font.
    TV->setMinimumWidth(std::max(200, TV->fontMetrics().horizontalAdvance("Input/Output Devices") +
                                          3 * TV->indentation() + 24));
    Display_Panel = new QWidget(this);
    Display_Panel->setObjectName("Display_Panel");
    Display_Panel->setMinimumSize(320, RowTop + RowCount * RowStep);
    Title = new QLabel("Millers", Display_Panel);
    Title->setObjectName("Title");
    Title->setGeometry(3, 4, 300, 20);
    CreateRows();
    auto *splitter = new QSplitter(this);
    splitter->addWidget(TV);
    splitter->addWidget(Display_Panel);
    OKButton = new QPushButton("OK", this);
    OKButton->setDefault(true);
    NewPass = new QPushButton("Change Password", this);
    NewPass->setObjectName("NewPass");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(NewPass);
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    layout->addLayout(buttons);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    CopyItem = PopupMenu1->addAction("Copy...", this, [this] { CopyClick(); });
    DeleteItem = PopupMenu1->addAction("Delete", this, [this] { DeleteClick(); });
    PopupMenu1->addSeparator();
    ActiveItem = PopupMenu1->addAction("Set As Active Machine", this, [this] { ActiveClick(); });
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(NewPass, &QPushButton::clicked, this, [this] { ChangePasswordClick(); });
    connect(TV, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *Node) { ShowNode(Node); });
    connect(TV, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &At) {
        QTreeWidgetItem *node = TV->itemAt(At);
        if (Level(node) == nlMachine)
            MachineMenu(node)->popup(mapToGlobal(TV->mapTo(this, At) + QPoint(20, 30)));
    });
}

void TVis_form::CreateRows()
{
    for (int i = 0; i < RowCount; ++i) {
        const int top = RowTop + i * RowStep;
        Labels[i] = new QLabel(Display_Panel);
        Labels[i]->setGeometry(3, top + 4, 106, 17);
        MarkAsData(Labels[i]); // the settings' keys
        Checks[i] = new QCheckBox(Display_Panel);
        Checks[i]->setGeometry(160, top, 17, 17);
        Edits[i] = new QLineEdit(Display_Panel);
        Edits[i]->setGeometry(125, top, 180, 18);
        connect(Checks[i], &QCheckBox::clicked, this, [this, i](bool On) { RowChecked(i, On); });
        // Written when the edit is finished (Enter or leaving it), never
        // on each keystroke.
        connect(Edits[i], &QLineEdit::editingFinished, this, [this, i] { RowEdited(i); });
    }
    HideRows();
}

void TVis_form::HideRows()
{
    for (int i = 0; i < RowCount; ++i) {
        Labels[i]->hide();
        Checks[i]->hide();
        Edits[i]->hide();
        FRowKeys[i].clear();
    }
}

void TVis_form::SetReadOnly(bool ReadOnly)
{
    FReadOnly = ReadOnly;
    for (int i = 0; i < RowCount; ++i) {
        Checks[i]->setEnabled(!ReadOnly);
        Edits[i]->setEnabled(!ReadOnly);
    }
    for (QAction *a : {CopyItem, DeleteItem, ActiveItem})
        a->setEnabled(!ReadOnly);
    NewPass->setEnabled(!ReadOnly);
}

void TVis_form::showEvent(QShowEvent *Event)
{
    QDialog::showEvent(Event);
    if (!FBuilt)
        BuildTree();
}

// --- The tree ---

void TVis_form::BuildTree()
{
    FBuilt = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Tprogress progress(this);
    progress.Message->setText(Tr("Collecting Information"));
    progress.show();
    TV->clear();
    HideRows();
    auto *root = new QTreeWidgetItem(TV, QStringList("MILLERS"));
    const std::vector<std::string> machines = FList.Machines();
    for (size_t n = 0; n < machines.size(); ++n) {
        const std::string &name = machines[n];
        progress.SetCaption(Mess().Translate("Collecting Information ") + std::to_string(n + 1) +
                            "/" + std::to_string(machines.size()));
        auto *node = new QTreeWidgetItem(root, QStringList(Q(name)));
        const bool active = FList.IsActive(name);
        node->setData(0, PictureRole, active ? picActiveMachine : picMachine);
        const std::vector<std::string> sections = FList.Sections(name);
        progress.SetMaximum((long long)sections.size());
        for (size_t s = 0; s < sections.size(); ++s) {
            auto *section = new QTreeWidgetItem(node, QStringList(Q(sections[s])));
            section->setData(0, PictureRole, FList.SectionPicture(name, int(s)));
            progress.SetPosition((long long)s + 1);
        }
        if (active) {
            TV->setCurrentItem(node);
            node->setExpanded(true);
        }
    }
    root->setExpanded(true);
    progress.close();
    QApplication::restoreOverrideCursor();
}

QTreeWidgetItem *TVis_form::ChildNode(QTreeWidgetItem *Parent, const std::string &Name) const
{
    for (int i = 0; Parent && i < Parent->childCount(); ++i)
        if (Text(Parent->child(i)) == Name)
            return Parent->child(i);
    return nullptr;
}

QTreeWidgetItem *TVis_form::MachineNode(const std::string &Name) const
{
    return ChildNode(TV->topLevelItem(0), Name);
}

std::string TVis_form::MachineOf(QTreeWidgetItem *Node) const
{
    while (Node && Level(Node) > nlMachine)
        Node = Node->parent();
    return Node && Level(Node) == nlMachine ? Text(Node) : std::string();
}

void TVis_form::ShowNode(QTreeWidgetItem *Node)
{
    switch (Level(Node)) {
    case nlRoot: Title->setText(Tr("List of Available Machines")); break;
    case nlMachine:
        Title->setText(FList.IsActive(Text(Node)) ? Tr("Active Machine")
                                                  : Tr("Available [Non Active] Machine"));
        break;
    case nlSection: ShowSection(Node); break;
    default: ShowKey(Node); break;
    }
}

void TVis_form::AddKeys(QTreeWidgetItem *Section)
{
    if (Section->childCount() > 0)
        return;
    for (const TMachineKey &key : FList.Keys(MachineOf(Section), Text(Section))) {
        auto *node = new QTreeWidgetItem(Section, QStringList(Q(key.Name)));
        node->setData(0, PictureRole, key.Picture);
    }
}

void TVis_form::ShowSection(QTreeWidgetItem *Node)
{
    AddKeys(Node);
    HideRows();
    FMachine = MachineOf(Node);
    FSection = Text(Node);
    Title->setText(Q(FSection));
    int row = 0;
    for (const TMachineKey &key : FList.Keys(FMachine, FSection)) {
        if (row >= RowCount)
            break;
        if (key.Kind != TRowKind::None)
            ShowRow(row++, key);
    }
}

void TVis_form::ShowKey(QTreeWidgetItem *Node)
{
    HideRows();
    FMachine = MachineOf(Node);
    FSection = Text(Node->parent());
    for (const TMachineKey &key : FList.Keys(FMachine, FSection))
        if (key.Name == Text(Node))
            ShowRow(0, key);
}

void TVis_form::ShowRow(int Row, const TMachineKey &Key)
{
    if (Key.Kind == TRowKind::None)
        return; // a text list ("1,2") is not edited here
    FRowKeys[Row] = Key.Name;
    Labels[Row]->setText(Q(Key.Name));
    Labels[Row]->show();
    if (Key.Kind == TRowKind::Check) {
        Checks[Row]->setChecked(UpperCase(Key.Value) == "TRUE");
        Checks[Row]->show();
    } else {
        Edits[Row]->setText(Q(Key.Value));
        Edits[Row]->show();
    }
}

bool TVis_form::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Watched == TV && Event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(Event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right)
            ShowNode(TV->currentItem());
    }
    return QDialog::eventFilter(Watched, Event);
}

// --- Saving ---

void TVis_form::RowChecked(int Row, bool On)
{
    if (FReadOnly || FRowKeys[Row].empty())
        return;
    FList.WriteFlag(FMachine, FSection, FRowKeys[Row], On);
}

void TVis_form::RowEdited(int Row)
{
    if (FReadOnly || FRowKeys[Row].empty())
        return;
    FList.WriteValue(FMachine, FSection, FRowKeys[Row], Edits[Row]->text().toStdString());
}

// --- Machine menu ---

QMenu *TVis_form::MachineMenu(QTreeWidgetItem *Machine)
{
    FMenuMachine = Machine;
    const bool active = Machine && FList.IsActive(Text(Machine));
    CopyItem->setEnabled(!FReadOnly);
    DeleteItem->setEnabled(!FReadOnly && !active);
    ActiveItem->setEnabled(!FReadOnly);
    return PopupMenu1;
}

void TVis_form::CopyClick()
{
    if (!FMenuMachine || FReadOnly)
        return;
    TData_entry entry(this);
    entry.FileName->setText(FMenuMachine->text(0));
    if (RunModal(entry) != QDialog::Accepted)
        return;
    FList.Copy(Text(FMenuMachine), entry.FileName->text().toStdString());
    BuildTree();
}

void TVis_form::DeleteClick()
{
    if (!FMenuMachine || FReadOnly)
        return;
    if (FList.Delete(Text(FMenuMachine)))
        BuildTree();
}

void TVis_form::ActiveClick()
{
    if (!FMenuMachine || FReadOnly)
        return;
    FList.SetActive(Text(FMenuMachine));
    BuildTree();
}

void TVis_form::ChangePasswordClick()
{
    TNewPassword dialog(this);
    dialog.Execute(1);
}

} // namespace orv
