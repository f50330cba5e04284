#include "machine/ui/tooling_form.h"
#include "localise/ui/LxQtTranslator.h"

#include "engine/core/DUtils.h"
#include "machine/ToolingMessages.h"
#include "machine/ui/CutterPicture.h"
#include "machine/ui/QtText.h"
#include "machine/ui/ToolEdit.h"
#include "platform/MessageService.h"
#include "platform/ui/ColourDialog.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QTreeWidget>
#include <QVBoxLayout>


namespace orv {

namespace {

constexpr int HelpContext = 3040;
constexpr int DetailRole = Qt::UserRole + 1; // detail row number 1 to 7 (0 for other nodes)
constexpr const char *LibraryFilter = "Miller Tooling DataBase File|*.MTD";

TFileRequest LibraryFileRequest(TFileDialogKind Kind)
{
    TFileRequest request;
    request.Kind = Kind;
    request.Filter = LibraryFilter;
    request.DefaultExt = "MTD";
    return request;
}

// A TColor holds blue, green and red from the high byte down.
QColor FromTColor(TColor C) { return QColor(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF); }

// The 12 x 12 dot of a tool's colour.
QIcon ColourDot(TColor Colour)
{
    QPixmap dot(12, 12);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FromTColor(Colour));
    painter.drawEllipse(0, 2, 10, 10);
    return QIcon(dot);
}

} // namespace

TTooling_setup_form::TTooling_setup_form(TTooling_Library &Library, QWidget *Parent)
    : QWidget(Parent), FLibrary(Library)
{
    FormCreate();
}

void TTooling_setup_form::FormCreate()
{
    setWindowTitle("Tooling Library");
    setProperty("HelpContext", HelpContext);
    FTree = new QTreeWidget(this);
    FTree->header()->hide();
    FTree->setObjectName("ToolTree");
    MarkAsData(FTree); // tool names, read back as the tools' keys
    // Tools are dragged from here onto the carousel's positions.
    FTree->setDragEnabled(true);
    FTree->setDragDropMode(QAbstractItemView::DragOnly);
    FTree->viewport()->installEventFilter(this);
    FPicture = new QLabel(this);
    FPicture->installEventFilter(this);
    FTypeName = new QLabel(this);
    auto *side = new QVBoxLayout;
    side->addWidget(FPicture);
    side->addWidget(FTypeName);
    side->addStretch();
    auto *body = new QHBoxLayout;
    body->addWidget(FTree, 1);
    body->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    CreateMenus();
    layout->setMenuBar(findChild<QMenuBar *>());
    layout->addLayout(body);
    connect(FTree, &QTreeWidget::itemExpanded, this, &TTooling_setup_form::NodeExpanded);
    connect(FTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *Node) { NodeActivated(Node); });
    connect(FTree, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *Node) { EditDetail(Node); });
    connect(FTree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *Node) { EditDetail(Node); });
    connect(FTree, &QTreeWidget::itemChanged, this, &TTooling_setup_form::NodeRenamed);
    resize(420, 360);
    AttachTranslator(this, "TTooling_setup_form")->Translator().OnAfterTranslate =
        [this](auto &) { LanguageChanged(); };
}

// The tree's own texts (its root, a tool's detail rows: a translated name
// and a value) made again in the language now in use.
void TTooling_setup_form::LanguageChanged()
{
    QTreeWidgetItem *root = FTree->topLevelItem(0);
    if (!root)
        return;
    FFilling = true;
    root->setText(0, Q(Tr("TOOLS")));
    FFilling = false;
    for (int i = 0; i < root->childCount(); ++i)
        if (root->child(i)->childCount() > 0)
            ShowDetails(root->child(i));
}

void TTooling_setup_form::CreateMenus()
{
    auto *bar = new QMenuBar(this);
    QMenu *files = bar->addMenu("Files");
    files->addAction("Import Tool Data File...", this, &TTooling_setup_form::ImportClick);
    files->addAction("Export Tool Data File...", this, &TTooling_setup_form::ExportClick);
    files->addAction("New Tool data File", this, [this] { FLibrary.NewDataFile(); });
}

std::string TTooling_setup_form::ToolName(QTreeWidgetItem *Node)
{
    return Node ? Node->data(0, Qt::UserRole).toString().toStdString() : std::string();
}

bool TTooling_setup_form::IsToolNode(QTreeWidgetItem *Node)
{
    return Node && Node->parent() && !Node->parent()->parent();
}

void TTooling_setup_form::FillTree()
{
    FFilling = true;
    FTree->clear();
    auto *root = new QTreeWidgetItem(FTree, QStringList(Q(Tr("TOOLS"))));
    for (const auto &tool : FLibrary.ListTools()) {
        auto *node = new QTreeWidgetItem(root, QStringList(Q(tool.Name)));
        node->setData(0, Qt::UserRole, Q(tool.Name));
        node->setIcon(0, ColourDot(tool.Colour));
        node->setFlags(node->flags() | Qt::ItemIsEditable);
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    FTree->setCurrentItem(root);
    root->setExpanded(true);
    FFilling = false;
    show();
}

void TTooling_setup_form::ShowCutterType(TCutter_types Type)
{
    FPicture->setPixmap(CutterPicture(Type));
    FTypeName->setText(Q(Tr(CutterTypeName(Type))));
}

void TTooling_setup_form::NodeExpanded(QTreeWidgetItem *Node)
{
    if (!IsToolNode(Node) || Node->childCount() > 0)
        return;
    FFilling = true;
    for (int row = 1; row <= 7; ++row) {
        auto *detail = new QTreeWidgetItem(Node);
        detail->setData(0, DetailRole, row);
    }
    FFilling = false;
    ShowDetails(Node);
}

void TTooling_setup_form::NodeActivated(QTreeWidgetItem *Node)
{
    if (IsToolNode(Node))
        ShowDetails(Node);
    else if (Node && Node->parent() && IsToolNode(Node->parent()))
        ShowDetails(Node->parent());
}

void TTooling_setup_form::ShowDetails(QTreeWidgetItem *ToolNode)
{
    std::vector<std::string> rows = FLibrary.DetailTexts(ToolName(ToolNode));
    FFilling = true;
    for (int i = 0; i < ToolNode->childCount() && i < static_cast<int>(rows.size()); ++i)
        ToolNode->child(i)->setText(0, Q(rows[i]));
    FFilling = false;
}

void TTooling_setup_form::EditDetail(QTreeWidgetItem *Row)
{
    const int number = Row ? Row->data(0, DetailRole).toInt() : 0;
    if (number == 0)
        return;
    const std::string name = ToolName(Row->parent());
    TToolEditForm dialog(this, FLibrary.Units, number, name, FLibrary.DataFile());
    dialog.move(pos() + QPoint(60, 38));
    if (dialog.exec() != QDialog::Accepted)
        return;
    FLibrary.ToolEdited(name);
    ShowDetails(Row->parent());
}

void TTooling_setup_form::NodeRenamed(QTreeWidgetItem *Node)
{
    if (FFilling || !IsToolNode(Node))
        return;
    const std::string oldName = ToolName(Node);
    const std::string newName = Node->text(0).toStdString();
    if (newName == oldName)
        return;
    FFilling = true;
    if (FLibrary.RenameTool(oldName, newName))
        Node->setData(0, Qt::UserRole, Q(newName));
    else
        Node->setText(0, Q(oldName));
    FFilling = false;
}

QMenu *TTooling_setup_form::BuildContextMenu(QTreeWidgetItem *Node)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(Q(Tr("Add Tool")), this, &TTooling_setup_form::AddToolClick);
    if (!IsToolNode(Node))
        return menu;
    const std::string name = ToolName(Node);
    menu->addAction(Q(Tr("Delete Tool")), this, [this, Node] { DeleteToolClick(Node); });
    menu->addSeparator();
    menu->addAction(Q(Tr("Set Tool Colour")), this, [this, name] { SetColourClick(name); });
    menu->addMenu(TypeMenu(name, menu));
    menu->addAction(Q(Tr("Clear Tool in Use Flag")), this,
                    [this, name] { FLibrary.ClearToolInUse(name); });
    return menu;
}

QMenu *TTooling_setup_form::TypeMenu(const std::string &Name, QWidget *Parent)
{
    auto *menu = new QMenu(Q(Tr("Set Tool Type")), Parent);
    for (int t = SlotMill; t <= Unknown; ++t) {
        auto type = static_cast<TCutter_types>(t);
        menu->addAction(Q(Tr(CutterTypeName(type))), this,
                        [this, Name, type] { FLibrary.SetToolType(Name, type); });
    }
    return menu;
}

void TTooling_setup_form::AddToolClick()
{
    if (!FLibrary.AddTool())
        return;
    QTreeWidgetItem *root = FTree->topLevelItem(0);
    FFilling = true;
    auto *node = new QTreeWidgetItem(root, QStringList(Q(FLibrary.NewToolName())));
    node->setData(0, Qt::UserRole, Q(FLibrary.NewToolName()));
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    FFilling = false;
    FTree->setCurrentItem(node);
    FTree->editItem(node);
}

void TTooling_setup_form::DeleteToolClick(QTreeWidgetItem *Node)
{
    if (FLibrary.DeleteTool(ToolName(Node)))
        delete Node;
}

void TTooling_setup_form::SetColourClick(const std::string &Name)
{
    FLibrary.ReadTool(Name);
    uint32_t colour = static_cast<uint32_t>(FLibrary.Colour);
    const bool chosen = ChooseColour(this, colour, ExeFileWithExt("col"));
    FLibrary.SetToolColour(Name, static_cast<TColor>(colour), chosen);
    FillTree();
}

void TTooling_setup_form::ImportClick()
{
    const auto file = Messages().ChooseFile(LibraryFileRequest(TFileDialogKind::Open));
    if (file && !file->empty())
        FLibrary.ImportFile(*file);
}

void TTooling_setup_form::ExportClick()
{
    const auto file = Messages().ChooseFile(LibraryFileRequest(TFileDialogKind::Save));
    if (file && !file->empty())
        FLibrary.ExportFile(*file);
}

bool TTooling_setup_form::eventFilter(QObject *Watched, QEvent *Event)
{
    const bool press = Event->type() == QEvent::MouseButtonPress;
    auto *mouse = press ? static_cast<QMouseEvent *>(Event) : nullptr;
    if (Watched == FPicture && press && IsToolNode(FTree->currentItem())) {
        TypeMenu(ToolName(FTree->currentItem()), this)->popup(mouse->globalPosition().toPoint());
        return true;
    }
    const bool menuClick = mouse && (mouse->button() == Qt::RightButton ||
                                     (mouse->button() == Qt::LeftButton &&
                                      (mouse->modifiers() & Qt::ShiftModifier)));
    if (Watched == FTree->viewport() && menuClick) {
        QTreeWidgetItem *node = FTree->itemAt(mouse->position().toPoint());
        if (node && (IsToolNode(node) || !node->parent())) {
            FTree->setCurrentItem(node);
            BuildContextMenu(node)->popup(mouse->globalPosition().toPoint());
        }
        return true;
    }
    return QWidget::eventFilter(Watched, Event);
}

void InstallToolingLibraryWindow()
{
    TTooling_Library::WindowFactory = [](TTooling_Library &Library) {
        return std::make_unique<TTooling_setup_form>(Library);
    };
}

} // namespace orv
