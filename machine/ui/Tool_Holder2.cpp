#include "machine/ui/Tool_Holder2.h"

#include "engine/core/Mess.h"
#include "localise/ui/LxQtTranslator.h"
#include "machine/ToolingMessages.h"
#include "machine/Tooling_lib.h"
#include "machine/ui/QtText.h"
#include "platform/ui/ModalRunner.h"
#include "machine/ui/ToolEdit.h"
#include "machine/ui/Tool_offsets_form.h"
#include "platform/MessageService.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orv {

namespace {

constexpr const char *PositionMime = "application/x-orvellan-changer-position";
constexpr int CutterTypeCount = 11;
constexpr int NameWidthLimit = 110; // pixels

QColor ToQColor(TColor C) { return QColor(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF); }

QString TrQ(const char *Text) { return Q(Tr(Text)); }

} // namespace

TTool_Deck::TTool_Deck(TMachine_Tooling &Tooling, QWidget *Parent)
    : QWidget(Parent, Qt::Window), FTooling(Tooling)
{
    setObjectName("Tool_Deck");
    setWindowTitle(TrQ("Machine Tooling"));
    setProperty("HelpContext", HelpContext);
    setAcceptDrops(true);
    setMinimumSize(TToolDeckShown::ImageLeft * 2 + TToolDeckShown::ImageWidth + 260,
                   TToolDeckShown::ImageTop * 2 + TToolDeckShown::ImageHeight + 70);
    CreateMenu();
    CreatePositions();
    CreateInfoPanel();
    // The positions' tips and the tool's details hold translated words with
    // names and values: made again in a new language.
    AttachTranslator(this, "TTool_Deck")->Translator().OnAfterTranslate = [this](auto &) {
        FTooling.LanguageChanged();
    };
}

// --- Construction ---

void TTool_Deck::CreateMenu()
{
    FMenu = new QMenuBar(this);
    FMenu->setObjectName("MainMenu");
    QMenu *file = FMenu->addMenu(TrQ("File"));
    file->addAction(TrQ("Import..."), this, [this] { FTooling.OpenToolingFile(); });
    file->addAction(TrQ("Export..."), this, [this] { ExportClick(); });
    file->addAction(TrQ("New"), this, [this] { FTooling.NewToolingFile(); });
    QMenu *layout = FMenu->addMenu(TrQ("Tool Layout Direction"));
    layout->addAction(TrQ("ClockWise"), this, [this] { FTooling.SetLayoutDirection(0); });
    layout->addAction(TrQ("Anti ClockWise"), this, [this] { FTooling.SetLayoutDirection(1); });
    QMenu *offsets = FMenu->addMenu(TrQ("Tool Offsets"));
    offsets->addAction(TrQ("Edit ToolOffsets..."), this, [this] { EditToolOffsets(); });
}

void TTool_Deck::CreatePositions()
{
    QFont font("MS Sans Serif", 14, QFont::Bold);
    for (int p = 1; p <= TMachine_Tooling::MaxPositions; ++p) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString("Position%1").arg(p));
        b->setText(QString::number(p));
        b->setFont(font);
        b->setFixedSize(TToolDeckShown::ButtonWidth, TToolDeckShown::ButtonHeight);
        b->hide();
        b->installEventFilter(this);
        auto *strip = new QFrame(this);
        strip->setObjectName(QString("Strip%1").arg(p));
        strip->setFrameShape(QFrame::NoFrame);
        strip->setFixedSize(TToolDeckShown::ButtonWidth, TToolDeckShown::StripHeight);
        strip->setAutoFillBackground(true);
        strip->hide();
        FButtons[p - 1] = b;
        FStrips[p - 1] = strip;
    }
}

void TTool_Deck::CreateInfoPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName("InfoPanel");
    panel->setGeometry(TToolDeckShown::ImageLeft * 2 + TToolDeckShown::ImageWidth,
                       TToolDeckShown::ImageTop + 24, 250, TToolDeckShown::ImageHeight);
    auto *layout = new QVBoxLayout(panel);
    auto *numberRow = new QHBoxLayout;
    FNumber = new QLabel(panel);
    FNumber->setObjectName("NumberPanel");
    FDetails = new QToolButton(panel);
    FDetails->setObjectName("Details");
    FDetails->setText(TrQ("Details"));
    FDetails->setCheckable(true);
    numberRow->addWidget(FNumber);
    numberRow->addStretch();
    numberRow->addWidget(FDetails);
    FName = new QLabel(panel);
    FName->setObjectName("ToolName");
    FSummaryPanel = new QWidget(panel);
    FSummaryPanel->setObjectName("SummaryPanel");
    auto *summary = new QVBoxLayout(FSummaryPanel);
    FLargeName = new QLabel(FSummaryPanel);
    FLargeName->setObjectName("LargeName");
    FSummary = new QLabel(FSummaryPanel);
    FSummary->setObjectName("Summary");
    summary->addWidget(FLargeName);
    summary->addWidget(FSummary);
    FDetailPanel = new QWidget(panel);
    FDetailPanel->setObjectName("DetailPanel");
    auto *rows = new QVBoxLayout(FDetailPanel);
    for (QLabel *&row : FRows) {
        row = new QLabel(FDetailPanel);
        rows->addWidget(row);
    }
    FDetailPanel->hide();
    auto *caption = new QLabel(TrQ("Current Filename:"), panel);
    FFileName = new QLabel(panel);
    FFileName->setObjectName("FileName");
    layout->addLayout(numberRow);
    layout->addWidget(FName);
    layout->addWidget(FSummaryPanel);
    layout->addWidget(FDetailPanel);
    layout->addStretch();
    layout->addWidget(caption);
    layout->addWidget(FFileName);
    connect(FDetails, &QToolButton::toggled, this, [this](bool) { Refresh(); });
}

// --- Drawing ---

void TTool_Deck::Refresh()
{
    const TToolDeckShown &s = FTooling.DeckShown();
    const int menuHeight = FMenu->sizeHint().height();
    for (int p = 1; p <= TMachine_Tooling::MaxPositions; ++p) {
        const TDeckButton &b = s.Buttons[p - 1];
        QToolButton *button = FButtons[p - 1];
        QFrame *strip = FStrips[p - 1];
        button->setVisible(b.Visible);
        strip->setVisible(b.Visible);
        button->move(b.Left, b.Top + menuHeight);
        strip->move(b.Left, b.Top + menuHeight + TToolDeckShown::ButtonHeight);
        button->setToolTip(Q(b.Hint));
        QPalette palette = strip->palette();
        palette.setColor(QPalette::Window, b.Occupied ? ToQColor(b.Strip)
                                                      : palette.color(QPalette::Button));
        strip->setPalette(palette);
    }
    const bool tool = s.DetailsVisible;
    FNumber->setText(Q(s.Number));
    const QFontMetrics metrics(FName->font());
    const bool wide = metrics.horizontalAdvance(Q(s.Name)) > NameWidthLimit;
    FName->setText(wide ? Q(s.Name.substr(0, 25)) + ".." : Q(s.Name));
    FLargeName->setText(wide ? Q(s.Name.substr(0, 20)) + ".." : Q(s.Name));
    FName->setToolTip(Q(s.NameHint));
    FSummary->setText(Q(s.Summary));
    for (size_t i = 0; i < FRows.size(); ++i)
        FRows[i]->setText(i < s.Rows.size() ? Q(s.Rows[i]) : QString());
    FName->setVisible(tool);
    FSummaryPanel->setVisible(tool && !FDetails->isChecked());
    FDetailPanel->setVisible(tool && FDetails->isChecked());
    FFileName->setText(Q(s.FileName));
    update();
}

void TTool_Deck::paintEvent(QPaintEvent *)
{
    const TToolDeckShown &s = FTooling.DeckShown();
    const int dy = FMenu->sizeHint().height();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(TToolDeckShown::DiscColour));
    painter.drawEllipse(TToolDeckShown::ImageLeft, TToolDeckShown::ImageTop + dy,
                        TToolDeckShown::ImageWidth, TToolDeckShown::ImageHeight);
    if (!s.PointerVisible)
        return;
    painter.setBrush(ToQColor(TToolDeckShown::PointerColour));
    QPolygon pointer;
    pointer << QPoint(s.Apex.X, s.Apex.Y + dy) << QPoint(s.BaseA.X, s.BaseA.Y + dy)
            << QPoint(s.BaseB.X, s.BaseB.Y + dy);
    painter.drawPolygon(pointer);
}

// --- Mouse on the positions ---

bool TTool_Deck::eventFilter(QObject *Watched, QEvent *Event)
{
    for (int p = 1; p <= TMachine_Tooling::MaxPositions; ++p)
        if (Watched == FButtons[p - 1])
            return PositionMouse(p, Event);
    return QWidget::eventFilter(Watched, Event);
}

bool TTool_Deck::PositionMouse(int Position, QEvent *Event)
{
    auto *mouse = dynamic_cast<QMouseEvent *>(Event);
    if (!mouse)
        return false;
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            FPressed = Position;
            FPressAt = mouse->position().toPoint();
            FTooling.PositionPressed(Position);
        } else if (mouse->button() == Qt::RightButton) {
            PositionMenu(Position)->popup(mouse->globalPosition().toPoint());
        }
        return true;
    case QEvent::MouseButtonRelease:
        if (mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::ControlModifier)
            FTooling.PositionCtrlReleased(Position);
        FPressed = 0;
        return true;
    case QEvent::MouseMove:
        // Positions drag themselves onto other positions.
        if (FPressed == Position && (mouse->buttons() & Qt::LeftButton) &&
            (mouse->position().toPoint() - FPressAt).manhattanLength() >=
                QApplication::startDragDistance()) {
            FPressed = 0;
            auto *drag = new QDrag(FButtons[Position - 1]);
            auto *data = new QMimeData;
            data->setData(PositionMime, QByteArray::number(Position));
            drag->setMimeData(data);
            drag->exec(Qt::MoveAction);
        }
        return true;
    default: return false;
    }
}

int TTool_Deck::PositionAt(const QPoint &WindowPoint) const
{
    for (int p = 1; p <= TMachine_Tooling::MaxPositions; ++p)
        if (FButtons[p - 1]->isVisible() && FButtons[p - 1]->geometry().contains(WindowPoint))
            return p;
    return 0;
}

void TTool_Deck::dragEnterEvent(QDragEnterEvent *Event)
{
    if (Event->mimeData()->hasFormat(PositionMime) || qobject_cast<QTreeWidget *>(Event->source()))
        Event->acceptProposedAction();
}

void TTool_Deck::dropEvent(QDropEvent *Event)
{
    const int target = PositionAt(Event->position().toPoint());
    if (target == 0)
        return;
    if (Event->mimeData()->hasFormat(PositionMime)) {
        FTooling.DropPosition(Event->mimeData()->data(PositionMime).toInt(), target);
    } else if (auto *tree = qobject_cast<QTreeWidget *>(Event->source())) {
        QTreeWidgetItem *item = tree->currentItem();
        if (item)
            FTooling.DropLibraryTool(target, item->data(0, Qt::UserRole).toString().toStdString());
    }
    Event->acceptProposedAction();
}

// --- The position menu ---

QMenu *TTool_Deck::PositionMenu(int Position)
{
    FTooling.MenuPosition = Position;
    delete FPositionMenu;
    FPositionMenu = new QMenu(this);
    FPositionMenu->setObjectName("PositionMenu");
    QMenu &menu = *FPositionMenu;
    menu.addAction(TrQ("Edit Tool Data"), this, [this, Position] { EditToolData(Position); });
    QMenu *types = menu.addMenu(TrQ("Change Tool Type"));
    for (int t = 0; t < CutterTypeCount; ++t) {
        auto type = TCutter_types(t);
        types->addAction(Q(Tr(CutterTypeName(type))), this,
                         [this, Position, type] { FTooling.ChangeToolType(Position, type); });
    }
    const bool holds = FTooling.HasTool(Position);
    if (holds && Position != FTooling.CurrentTool())
        menu.addAction(TrQ("Change To This Tool"), this,
                       [this, Position] { FTooling.RequestToolChange(Position, true); });
    else
        menu.addAction(TrQ("Set Z offset for this Tool"), this,
                       [this, Position] { FTooling.EditZOffset(Position, 0); });
    if (holds)
        AddToolMenus(menu, Position);
    QMenu *insert = menu.addMenu(TrQ("Insert Tool"));
    if (TTooling_Library *library = FTooling.ToolLibrary())
        for (const std::string &name : library->SectionNames())
            insert->addAction(Q(name), this,
                              [this, Position, name] { FTooling.InsertTool(Position, name); });
    return FPositionMenu;
}

void TTool_Deck::AddToolMenus(QMenu &Menu, int Position)
{
    Menu.addAction(TrQ("Remove Tool"), this, [this] {
        FTooling.RemoveToolFromPosition();
        FTooling.ShowToolInfo(FTooling.InfoPosition());
    });
    QMenu *move = Menu.addMenu(TrQ("Move Tool To"));
    QMenu *swap = Menu.addMenu(TrQ("Swap Tool with"));
    for (int q = 1; q <= FTooling.ToolCapacity(); ++q) {
        const QString caption = TrQ("Tool ") + QString::number(q);
        move->addAction(caption, this, [this, Position, q] { FTooling.MoveTool(Position, q); })
            ->setEnabled(q != Position);
        swap->addAction(caption, this, [this, Position, q] { FTooling.SwapTool(Position, q); })
            ->setEnabled(q != Position);
    }
}

void TTool_Deck::EditToolData(int Position)
{
    std::string name;
    TTooling_Library *library = FTooling.ToolLibrary();
    if (!FTooling.GetToolName(Position, name, true) || !library)
        return;
    TToolEditForm edit(this, FTooling.Units(), 1, name, library->DataFile());
    RunModal(edit);
    FTooling.PositionPressed(Position);
}

void TTool_Deck::ExportClick()
{
    TFileRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Filter = TMachine_Tooling::FileFilter;
    request.DefaultExt = TMachine_Tooling::DefaultExt;
    request.FileName = FTooling.DataFile();
    std::optional<std::string> chosen = Messages().ChooseFile(request);
    if (chosen && !chosen->empty())
        FTooling.ExportToolingFile(*chosen);
}

void TTool_Deck::EditToolOffsets()
{
    TTOffsets offsets(this);
    RunModal(offsets);
}

void InstallMachineToolingWindow()
{
    TMachine_Tooling::DeckFactory = [](TMachine_Tooling &Tooling) {
        return std::make_unique<TTool_Deck>(Tooling);
    };
}

} // namespace orv
