#include "machine/ui/Work_piece_offsets_form2.h"
#include "localise/ui/LxQtTranslator.h"

#include "machine/ToolingMessages.h"
#include "machine/ui/QtText.h"
#include "machine/ui/offset_type_form.h"
#include "platform/NumberText.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orv {

namespace {

constexpr int HelpContext = 3080;
constexpr const char *AxisHints[3] = {"Zero X axis at current position",
                                      "Zero Y axis at current position",
                                      "Zero Z axis at current position"};

} // namespace

TWPiece_form::TWPiece_form(TWork_piece_offset &Offsets, QWidget *Parent)
    : QWidget(Parent), FOffsets(Offsets)
{
    FormCreate();
}

void TWPiece_form::FormCreate()
{
    setWindowTitle("Work Piece Offsets");
    setProperty("HelpContext", HelpContext);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setHeaderHidden(true);
    MarkAsData(TreeView1); // offset names, read back as the offsets' keys
    TreeView1->setItemsExpandable(false);
    TreeView1->viewport()->installEventFilter(this);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *Node) {
        FOffsets.SelectNode(Node->parent() ? Node->text(0).toStdString() : std::string());
    });
    connect(TreeView1, &QTreeWidget::itemChanged, this, &TWPiece_form::NodeRenamed);
    CURRENT_OFFSET = new QLabel(Q(Tr("No Offset")), this);
    MarkAsData(CURRENT_OFFSET);
    auto *current = new QHBoxLayout;
    current->addWidget(new QLabel("Machine Offset:", this));
    current->addWidget(CURRENT_OFFSET, 1);
    FindCentre = new QPushButton("Circle Centre ?", this);
    connect(FindCentre, &QPushButton::clicked, this, [this] { FOffsets.ShowCentreFinder(); });
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(current);
    layout->addWidget(TreeView1, 1);
    layout->addWidget(CreateEditPanel());
    layout->addWidget(FindCentre);
    layout->addWidget(CreateCentrePanel());
    resize(300, 420);
    AttachTranslator(this, "TWPiece_form")->Translator().OnAfterTranslate = [this](auto &) {
        LanguageChanged();
    };
}

// The texts made from a translated part and a name or value (the tree's
// root, the current offset, the centre finder's) made again in the
// language now in use.
void TWPiece_form::LanguageChanged()
{
    if (QTreeWidgetItem *root = TreeView1->topLevelItem(0)) {
        FRefreshing = true;
        root->setText(0, Q(Tr("Machine Offsets")));
        FRefreshing = false;
    }
    const std::string &current = FOffsets.CurrentMOffset();
    CURRENT_OFFSET->setText(current.empty() ? Q(Tr("No Offset")) : Q(current));
    RefreshCentre();
}

QWidget *TWPiece_form::CreateEditPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName("PanelEdit");
    auto *grid = new QGridLayout(panel);
    const char *names[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        Spin[i] = new QDoubleSpinBox(panel);
        Spin[i]->setRange(-1e6, 1e6);
        Spin[i]->setProperty("Tag", i + 1);
        SetAxis[i] = new QToolButton(panel);
        SetAxis[i]->setText(QString("0%1").arg(names[i]));
        SetAxis[i]->setToolTip(AxisHints[i]);
        grid->addWidget(new QLabel(names[i], panel), i, 0);
        grid->addWidget(Spin[i], i, 1);
        grid->addWidget(SetAxis[i], i, 2);
        connect(Spin[i], &QDoubleSpinBox::valueChanged, this, [this, i](double Value) {
            if (!FRefreshing)
                FOffsets.ChangeEdit(i + 1, Value);
        });
        connect(SetAxis[i], &QToolButton::clicked, this, [this, i] { SetAxisClick(i + 1); });
    }
    return panel;
}

QWidget *TWPiece_form::CreateCentrePanel()
{
    FindCentrePanel = new QWidget(this);
    auto *grid = new QGridLayout(FindCentrePanel);
    grid->addWidget(new QLabel("Touch then click the 3 points of a circle", this), 0, 0, 1, 3);
    for (int i = 0; i < 3; ++i) {
        auto *button = new QPushButton(QString::number(i + 1), FindCentrePanel);
        connect(button, &QPushButton::clicked, this, [this, i] { FOffsets.TakeCentrePoint(i); });
        FPointLabels[i] = new QLabel(FindCentrePanel);
        grid->addWidget(button, i + 1, 0);
        grid->addWidget(FPointLabels[i], i + 1, 1, 1, 2);
    }
    FCentreLabel = new QLabel(FindCentrePanel);
    FDiameterLabel = new QLabel(FindCentrePanel);
    FLamp = new QLabel(FindCentrePanel);
    FLamp->setFixedSize(16, 16);
    auto *ok = new QPushButton("&Ok", FindCentrePanel);
    auto *cancel = new QPushButton("&Cancel", FindCentrePanel);
    connect(ok, &QPushButton::clicked, this, [this] { FOffsets.AcceptCentre(); });
    connect(cancel, &QPushButton::clicked, this, [this] { FOffsets.CancelCentre(); });
    grid->addWidget(FCentreLabel, 4, 0, 1, 2);
    grid->addWidget(FLamp, 4, 2);
    grid->addWidget(FDiameterLabel, 5, 0, 1, 3);
    grid->addWidget(ok, 6, 0);
    grid->addWidget(cancel, 6, 1);
    FindCentrePanel->hide();
    return FindCentrePanel;
}

void TWPiece_form::Refresh()
{
    FRefreshing = true;
    RefreshTree();
    const bool stopped = FOffsets.EditingEnabled();
    const int decimals = FOffsets.Units() == Inch ? 4 : 2;
    for (int i = 0; i < 3; ++i) {
        Spin[i]->setDecimals(decimals);
        Spin[i]->setValue(FOffsets.EditValue(i + 1));
        Spin[i]->setEnabled(stopped && !FOffsets.SelectedName().empty());
        SetAxis[i]->setVisible(FOffsets.CanZero());
    }
    TreeView1->setEnabled(stopped);
    const std::string &current = FOffsets.CurrentMOffset();
    CURRENT_OFFSET->setText(current.empty() ? Q(Tr("No Offset")) : Q(current));
    FindCentre->setEnabled(FOffsets.HasMachine() && stopped);
    RefreshCentre();
    FRefreshing = false;
}

// The tree is built again only when the names changed, so that a refresh
// that a click on a node causes never deletes the node being clicked.
void TWPiece_form::RefreshTree()
{
    QTreeWidgetItem *root = TreeView1->topLevelItem(0);
    bool same = root && root->childCount() == static_cast<int>(FOffsets.Names.size());
    for (int i = 0; same && i < root->childCount(); ++i)
        same = root->child(i)->data(0, Qt::UserRole).toString() == Q(FOffsets.Names[i]);
    if (!same) {
        TreeView1->clear();
        root = new QTreeWidgetItem(TreeView1, QStringList(Q(Tr("Machine Offsets"))));
        for (const auto &name : FOffsets.Names) {
            auto *node = new QTreeWidgetItem(root, QStringList(Q(name)));
            node->setData(0, Qt::UserRole, Q(name));
            node->setFlags(node->flags() | Qt::ItemIsEditable);
        }
        TreeView1->expandAll();
    }
    TreeView1->setCurrentItem(root);
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem *node = root->child(i);
        const std::string name = node->data(0, Qt::UserRole).toString().toStdString();
        node->setText(0, Q(name));
        QFont font = node->font(0);
        font.setBold(SameText(name, FOffsets.CurrentMOffset()) ||
                     SameText(name, FOffsets.CurrentSOffset())); // the "current" image
        node->setFont(0, font);
        if (SameText(name, FOffsets.SelectedName()))
            TreeView1->setCurrentItem(node);
    }
}

void TWPiece_form::RefreshCentre()
{
    const TCentreFinder &finder = FOffsets.CentreFinder();
    FindCentrePanel->setVisible(finder.Visible);
    for (int i = 0; i < 3; ++i)
        FPointLabels[i]->setText(finder.PointSet[i]
                                     ? QString("X: %1  Y: %2")
                                           .arg(finder.Points[i].X, 0, 'f', 3)
                                           .arg(finder.Points[i].Y, 0, 'f', 3)
                                     : QString());
    FCentreLabel->setText(finder.HasCentre ? Q(Tr("Centre:")) + QString(" X: %1  Y: %2")
                                                                    .arg(finder.Centre.X, 0, 'f', 3)
                                                                    .arg(finder.Centre.Y, 0, 'f', 3)
                                           : Q(Tr("Centre:")));
    const bool green = finder.Lamp == TCentreFinder::LampGreen;
    FDiameterLabel->setText(Q(Tr("Diameter:")) +
                            (green ? QString(" %1").arg(finder.Diameter, 0, 'f', 3) : QString()));
    const QString colour = finder.Lamp == 0 ? "#c0c0c0" : green ? "#008000" : "#ff0000";
    FLamp->setStyleSheet("background:" + colour + "; border-radius: 8px;");
}

QMenu *TWPiece_form::BuildPopupMenu()
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(Q(Tr("Add Offset")), this, [this] { FOffsets.AddOffset(); });
    if (FOffsets.SelectedName().empty())
        return menu;
    menu->addAction(Q(Tr("Delete Offset")), this, [this] { FOffsets.DeleteOffset(); });
    menu->addSeparator();
    menu->addAction(Q(Tr("Copy Offset")), this, [this] { FOffsets.CopyOffset(); });
    QAction *paste = menu->addAction(Q(Tr("Paste Offset")), this, [this] { FOffsets.PasteOffset(); });
    paste->setEnabled(FOffsets.CanPaste());
    menu->addSeparator();
    menu->addAction(Q(Tr("Make Current")), this, [this] { FOffsets.MakeCurrent(); });
    return menu;
}

bool TWPiece_form::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Watched != TreeView1->viewport() || Event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(Watched, Event);
    auto *mouse = static_cast<QMouseEvent *>(Event);
    if (mouse->button() != Qt::RightButton)
        return QWidget::eventFilter(Watched, Event);
    QTreeWidgetItem *node = TreeView1->itemAt(mouse->position().toPoint());
    FOffsets.SelectNode(node && node->parent() ? node->text(0).toStdString() : std::string());
    BuildPopupMenu()->popup(mouse->globalPosition().toPoint());
    return true;
}

void TWPiece_form::NodeRenamed(QTreeWidgetItem *Node)
{
    if (FRefreshing || !Node->parent())
        return;
    const std::string oldName = Node->data(0, Qt::UserRole).toString().toStdString();
    const std::string newName = Node->text(0).toStdString();
    if (newName != oldName && !FOffsets.RenameOffset(oldName, newName))
        Refresh();
}

void TWPiece_form::SetAxisClick(int Axis)
{
    TOffset_type dialog(Axis, FOffsets.FirstPicture(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    FOffsets.ZeroAxis(Axis, dialog.Picture(), dialog.UseCutterRadius(), dialog.OtherValue());
}

void InstallWorkOffsetWindow()
{
    TWork_piece_offset::WindowFactory = [](TWork_piece_offset &Offsets) {
        auto form = std::make_unique<TWPiece_form>(Offsets);
        form->show();
        return form;
    };
}

} // namespace orv
