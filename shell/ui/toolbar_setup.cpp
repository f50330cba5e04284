#include "shell/ui/toolbar_setup.h"

#include "components/toolbar/ui/TbCore.h"
#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "shell/ToolbarSetup.h"
#include "shell/ui/TranslatedText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orv {

namespace {

constexpr int ControlRole = Qt::UserRole;
constexpr int VisibleRole = Qt::UserRole + 1;

// Image 0 hidden (a grey box), image 1 visible (a green one).
QIcon StateImage(bool Visible)
{
    QPixmap picture(12, 12);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setPen(Qt::black);
    p.setBrush(Visible ? QColor(0, 160, 0) : QColor(190, 190, 190));
    p.drawRect(1, 1, 9, 9);
    return QIcon(picture);
}

QWidget *ControlOf(const QTreeWidgetItem *Node)
{
    return static_cast<QWidget *>(Node->data(0, ControlRole).value<void *>());
}

bool ControlVisible(QWidget *Control)
{
    if (auto *bar = qobject_cast<TToolbar *>(Control))
        return bar->Visible();
    return !Control->isHidden();
}

} // namespace

TToolbar_SetupForm::TToolbar_SetupForm(QWidget *MainForm, std::vector<TToolbar *> Toolbars,
                                       std::string MainSettingsFile, std::string ProgramFolder)
    : QDialog(MainForm), FMainForm(MainForm), FMainSettingsFile(std::move(MainSettingsFile)),
      FProgramFolder(std::move(ProgramFolder))
{
    setObjectName("Toolbar_SetupForm");
    setWindowTitle("ToolBar Setup");
    auto *column = new QVBoxLayout(this);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    column->addWidget(TreeView1, 1);
    Hidden = new QCheckBox("Hidden", this);
    Hidden->setObjectName("Hidden");
    column->addWidget(Hidden);
    auto *row = new QHBoxLayout;
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OK");
    ShowAllBtn = new QPushButton("Show All", this);
    ShowAllBtn->setObjectName("ShowAll");
    SaveBtn = new QPushButton("Save", this);
    SaveBtn->setObjectName("Save");
    SaveMenu = new QMenu(SaveBtn);
    const char *levels[] = {"Main Default", "Level 1 Default", "Level 2 Default",
                            "Level 3 Default"};
    for (int tag = 0; tag < 4; ++tag) {
        QAction *item = SaveMenu->addAction(levels[tag]);
        item->setData(tag);
        connect(item, &QAction::triggered, this, [this, tag] { SaveClick(tag); });
    }
    SaveBtn->setMenu(SaveMenu);
    for (QPushButton *b : {OKBtn, ShowAllBtn, SaveBtn})
        row->addWidget(b);
    column->addLayout(row);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this] { TreeMouseUp(); });
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] { TreeMouseUp(); });
    connect(Hidden, &QCheckBox::clicked, this, [this] { HiddenMouseUp(); });
    connect(ShowAllBtn, &QPushButton::clicked, this, [this] { ShowAllClick(); });
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKClick(); });
    Fill(Toolbars);
    resize(300, 380);
}

bool IsPlaceholderButton(const TToolbarButton &Button)
{
    return Button.Caption().trimmed().isEmpty() && Button.toolTip().trimmed().isEmpty();
}

// A toolbar with at least one button or label gets a node, its buttons
// nodes under it (the caption, else the hint); a placeholder has none.
void TToolbar_SetupForm::Fill(const std::vector<TToolbar *> &Toolbars)
{
    for (TToolbar *bar : Toolbars) {
        const auto buttons = bar->findChildren<TToolbarButton *>(Qt::FindDirectChildrenOnly);
        if (buttons.isEmpty() && bar->findChildren<QLabel *>(Qt::FindDirectChildrenOnly).isEmpty())
            continue;
        auto *root = new QTreeWidgetItem(TreeView1, QStringList(bar->Caption()));
        root->setData(0, ControlRole, QVariant::fromValue<void *>(bar));
        root->setData(0, Qt::AccessibleDescriptionRole, bar->objectName());
        SetNode(root, ControlVisible(bar));
        for (TToolbarButton *b : buttons) {
            if (IsPlaceholderButton(*b))
                continue;
            const QString text = b->Caption().isEmpty() ? b->toolTip() : b->Caption();
            auto *node = new QTreeWidgetItem(root, QStringList(text));
            node->setData(0, ControlRole, QVariant::fromValue<void *>(b));
            node->setData(0, Qt::AccessibleDescriptionRole, b->objectName());
            SetNode(node, ControlVisible(b));
        }
    }
    TreeView1->expandAll();
}

bool TToolbar_SetupForm::NodeVisible(const QTreeWidgetItem *Node)
{
    return Node->data(0, VisibleRole).toBool();
}

QTreeWidgetItem *TToolbar_SetupForm::FindNode(const QString &ControlName) const
{
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
        if ((*it)->data(0, Qt::AccessibleDescriptionRole).toString() == ControlName)
            return *it;
    return nullptr;
}

void TToolbar_SetupForm::SetNode(QTreeWidgetItem *Node, bool Visible)
{
    Node->setData(0, VisibleRole, Visible);
    Node->setIcon(0, StateImage(Visible));
}

// The control follows its node; a button's toolbar lays itself out again.
void TToolbar_SetupForm::ApplyNode(QTreeWidgetItem *Node)
{
    QWidget *control = ControlOf(Node);
    const bool visible = NodeVisible(Node);
    if (auto *bar = qobject_cast<TToolbar *>(control)) {
        bar->SetVisible(visible);
        return;
    }
    control->setVisible(visible);
    if (auto *bar = qobject_cast<TToolbar *>(control->parentWidget()))
        bar->Arrange();
}

void TToolbar_SetupForm::TreeMouseUp()
{
    if (QTreeWidgetItem *node = TreeView1->currentItem())
        Hidden->setChecked(!NodeVisible(node));
}

void TToolbar_SetupForm::HiddenMouseUp()
{
    QTreeWidgetItem *node = TreeView1->currentItem();
    if (!node)
        return;
    SetNode(node, !Hidden->isChecked());
    ApplyNode(node);
}

void TToolbar_SetupForm::ShowAllClick()
{
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it) {
        SetNode(*it, true);
        ApplyNode(*it);
    }
    TreeMouseUp();
}

void TToolbar_SetupForm::OKClick()
{
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
        ApplyNode(*it);
    accept();
}

void TToolbar_SetupForm::SaveClick(int Tag)
{
    const std::string file =
        Tag == 0 ? FMainSettingsFile : PresetLayoutFile(FProgramFolder, Tag);
    SaveToolWindowPositions(FMainForm, file);
}

} // namespace orv
