#include "fanuc/ui/Fanuc21Form.h"

#include "engine/core/Mess.h"
#include "fanuc/FanucButtons.h"
#include "localise/ui/LxQtTranslator.h"
#include "fanuc/FanucOffsets.h"
#include "fanuc/fanuc0m/FanucOMScreen.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "fanuc/ui/FanucKnob.h"
#include "fanuc/ui/FanucLedButton.h"
#include "platform/ui/MdiHost.h"
#include "platform/ui/VirtualKeys.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <map>

namespace orv::fanuc {

namespace {

constexpr int FormHeight = 630;
constexpr int FullWidth = 732, NarrowWidth = 508;

// The soft keys under the CRT by Tag (1 return, 2 to 6, 7 continue), from
// the display picture's left edge: the 21's are 30 x 15, the 0M's 25 x 25.
QRect SoftKeyRect(bool ZeroM, int Tag)
{
    if (ZeroM)
        return {Tag == 1 ? 39 : Tag == 7 ? 432 : Tag * 66 - 28, 310, 25, 25};
    return {Tag == 1 ? 56 : Tag == 7 ? 422 : Tag * 65 - Tag / 2 - 20, Tag == 1 ? 314 : 315, 30, 15};
}

const char *const SoftKeyLabelNames[5] = {"Softkey1", "SoftKey2", "SoftKey3", "SoftKey4", "SoftKey5"};

// Where each text of the screen model stands on the CRT; Group: the panel
// that must be visible too; Big: the large readout type.
struct TPlace {
    const char *Name;
    int X, Y;
    const char *Group;
    bool Big;
};

const TPlace Places[] = {
    {"TopLabel", 10, 6, nullptr, false},
    {"BigXorU", 60, 70, "BigReadout", true},     {"XRObig", 120, 70, "BigReadout", true},
    {"BigYorV", 60, 120, "BigReadout", true},    {"YROBig", 120, 120, "BigReadout", true},
    {"BigZorW", 60, 170, "BigReadout", true},    {"ZRObig", 120, 170, "BigReadout", true},
    {"RelX", 40, 60, "AllReadout", false},       {"RelY", 40, 76, "AllReadout", false},
    {"RelZ", 40, 92, "AllReadout", false},       {"AbsX", 260, 60, "AllReadout", false},
    {"AbsY", 260, 76, "AllReadout", false},      {"AbsZ", 260, 92, "AllReadout", false},
    {"ActX", 40, 140, "AllReadout", false},      {"ActY", 40, 156, "AllReadout", false},
    {"ActZ", 40, 172, "AllReadout", false},      {"ToGoX", 260, 140, "AllReadout", false},
    {"ToGoY", 260, 156, "AllReadout", false},    {"ToGoZ", 260, 172, "AllReadout", false},
    {"USmall", 300, 200, "SmallReadout", false}, {"VSmall", 360, 200, "SmallReadout", false},
    {"WSmall", 420, 200, "SmallReadout", false}, {"CheckType", 330, 30, "ProgramCheck", false},
    {"UCheck", 350, 50, "ProgramCheck", false},  {"VCheck", 350, 66, "ProgramCheck", false},
    {"WCheck", 350, 82, "ProgramCheck", false},  {"XTogoCheck", 350, 110, "ProgramCheck", false},
    {"YTogoCheck", 350, 126, "ProgramCheck", false}, {"ZTogoCheck", 350, 142, "ProgramCheck", false},
    {"EditLine", 10, 232, nullptr, false},       {"ErrorLabel", 300, 232, nullptr, false},
    {"StatDisp1", 10, 270, nullptr, false},      {"StatDisp2", 60, 270, nullptr, false},
    {"StatDisp3", 110, 270, nullptr, false},     {"StatDisp4", 160, 270, nullptr, false},
    {"StatDisp5", 210, 270, nullptr, false},     {"TimeLabel", 250, 270, nullptr, false},
    {"OverrideLabel", 330, 270, nullptr, false}, {"ToolLabel", 410, 270, nullptr, false},
    {"OffsetLabel", 440, 270, nullptr, false},
    // The 0M's program and block numbers.
    {"BigO", 300, 40, "BigReadout", false},      {"BigN", 380, 40, "BigReadout", false},
    {"SmallOffsetToolL", 330, 6, nullptr, false},
};

// The faces of the 44 keypad keys.
const char *const KeyFaces[44] = {
    "O P", "N Q", "G R", "7 A", "8 B", "9 D", "X U", "Y V", "Z W", "4 [", "5 ]", "6 SP",
    "M I", "S J", "T K", "1 ,", "2 #", "3 =", "F L", "H D", "EOB E", "- +", "0 *", ". /",
    "POS", "PROG", "OFS SET", "SHIFT", "CAN", "INPUT", "SYS TEM", "MESS AGE", "GRAPH", "ALTER",
    "INSERT", "DELETE", "PAGE up", "PAGE dn", "<-", "->", "up", "down", "HELP", "RESET"};

QColor FromBgr(uint32_t Color) { return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF); }

// The CRT in the station's colours: grey with black text (21), black with
// green text (0M).
class TCrt : public QWidget {
public:
    TCrt(TFanucScreen &Station, QWidget *Parent)
        : QWidget(Parent), FStation(Station), FBack(FromBgr(Station.ProgramPane.BackColor)),
          FText(FromBgr(Station.ProgramPane.TextColor)),
          FZeroM(dynamic_cast<TFanucScreenOM *>(&Station) != nullptr)
    {
    }

    // What the last paint showed under a label's name ("Row0" ...: the pane's rows).
    QString Shown(const std::string &Name) const
    {
        auto it = FShown.find(Name);
        return it == FShown.end() ? QString() : it->second;
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        FShown.clear();
        QPainter p(this);
        p.fillRect(rect(), FBack);
        QFont normal("Courier", 10);
        normal.setStyleHint(QFont::TypeWriter);
        QFont big("MS Serif", 22, QFont::Bold);
        for (const TPlace &place : Places) {
            if (!FStation.Visible(place.Name) || (place.Group && !FStation.Visible(place.Group)))
                continue;
            p.setFont(place.Big ? big : normal);
            FShown[place.Name] = QString::fromLatin1(FStation.Text(place.Name).c_str());
            DrawText(p, place.X, place.Y, QString::fromLatin1(FStation.Text(place.Name).c_str()),
                     FStation.Labels.count(place.Name) && FStation.Labels.at(place.Name).Inverted);
        }
        p.setFont(normal);
        PaintSoftKeyLabels(p);
        if (FStation.Visible("HelpPanel") && FStation.FunctionPage == fpHelp)
            PaintHelp(p);
        PaintPane(p);
        PaintPages(p);
    }

private:
    void DrawText(QPainter &P, int X, int Y, const QString &Text, bool Inverted)
    {
        const QFontMetrics m(P.font());
        QRect box(X, Y, m.horizontalAdvance(Text), m.height());
        if (Inverted)
            P.fillRect(box, FText);
        P.setPen(Inverted ? FBack : FText);
        P.drawText(box, Qt::AlignVCenter | Qt::AlignLeft, Text);
    }
    // Each label centred over its soft key (Tags 2 to 6).
    void PaintSoftKeyLabels(QPainter &P)
    {
        const QFontMetrics m(P.font());
        for (int i = 0; i < 5; ++i) {
            const std::string name = SoftKeyLabelNames[i];
            const QString text = QString::fromLatin1(FStation.Text(name).c_str());
            const QRect key = SoftKeyRect(FZeroM, i + 2);
            DrawText(P, key.center().x() - m.horizontalAdvance(text) / 2, key.top() - m.height() - 3,
                     text, FStation.Labels.count(name) && FStation.Labels.at(name).Inverted);
            FShown[name] = text;
        }
    }
    // The help panel's lines one below the other; a long line wraps.
    void PaintHelp(QPainter &P)
    {
        int y = 50;
        P.setPen(FText);
        for (int i = 1; FStation.Labels.count("HelpText" + std::to_string(i)); ++i) {
            const std::string name = "HelpText" + std::to_string(i);
            const QString text = QString::fromLatin1(FStation.Text(name).c_str());
            const QRect box = P.boundingRect(QRect(30, y, width() - 60, 200),
                                             Qt::AlignLeft | Qt::TextWordWrap, text);
            P.drawText(box, Qt::AlignLeft | Qt::TextWordWrap, text);
            FShown[name] = text;
            y = box.bottom() + 8;
        }
    }
    void PaintPane(QPainter &P)
    {
        if (FStation.FunctionPage != fpProgram)
            return;
        const TFScreen &pane = *FStation.CurrentPane;
        const int left = 86, top = 30;
        for (int r = 0; r < int(pane.Rows.size()); ++r) {
            const TLabelList &row = pane.Rows[r];
            const int y = top + r * pane.RowHeight + pane.Margin;
            if (row.Filled && !row.Labels.empty()) {
                const TScreenWord &last = row.Labels.back();
                P.fillRect(QRect(left + pane.Margin, y,
                                 last.X + int(last.Text.size()) * pane.CharWidth, pane.RowHeight),
                           FText);
            }
            QString &shown = FShown["Row" + std::to_string(r)];
            for (const TScreenWord &word : row.Labels) {
                const QString text = QString::fromLatin1(word.Text.c_str());
                DrawText(P, left + pane.Margin + word.X, y, text, word.Inverted);
                shown += (shown.isEmpty() ? "" : " ") + text;
            }
        }
    }
    void PaintPages(QPainter &P)
    {
        if (!FStation.Visible("MainDisplay"))
            return;
        if (FStation.FunctionPage == fpOffset && FStation.OffsetPage) {
            const TFanucOffs &page = *FStation.OffsetPage;
            DrawText(P, 20, 28, "NO.      GEOM(H)    GEOM(D)", false);
            for (int t = 0; t < TFanucOffs::ToolCount; ++t) {
                const int y = 46 + 14 * t;
                DrawText(P, 28, y, QString::fromStdString(page.Numbers[t]), false);
                DrawText(P, 90, y, QString::fromStdString(page.Cells[t]), page.Cursor == t);
                DrawText(P, 180, y, QString::fromStdString(page.Cells[t + TFanucOffs::ToolCount]),
                         page.Cursor == t + TFanucOffs::ToolCount);
            }
        }
        if (FStation.FunctionPage == fpWorkShift && FStation.WorkShiftPage) {
            const TFanucWShiftForm &page = *FStation.WorkShiftPage;
            DrawText(P, 40, 28, "(SHIFT VALUE)", false);
            DrawText(P, 210, 28, "(MEASUREMENT)", false);
            const char *const axes[] = {"X", "Y", "Z"};
            for (int a = 0; a < 3; ++a) {
                DrawText(P, 32, 60 + 16 * a, axes[a], false);
                DrawText(P, 200, 60 + 16 * a, axes[a], false);
                DrawText(P, 50, 60 + 16 * a, QString::fromStdString(page.Cells[a]), page.Cursor == a);
            }
        }
    }

    TFanucScreen &FStation;
    QColor FBack, FText;
    bool FZeroM;
    std::map<std::string, QString> FShown;
};

// The 0M's knob in a window of its own while the right panel is hidden
// ("Feed Override", an MDI child in Tarnwick); its keys work the station.
class TFloatKnob : public QWidget {
public:
    explicit TFloatKnob(TFanucScreen &Station) : QWidget(nullptr, Qt::Tool), FStation(Station)
    {
        setWindowTitle("Feed Override");
        setObjectName("FloatKnob");
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void keyPressEvent(QKeyEvent *Event) override
    {
        const TPCKeyPress key = PCKeyOf(*Event);
        if (key.Key == 0 && key.Character == 0)
            return QWidget::keyPressEvent(Event);
        FStation.KeyDown(key.Key, key.Character);
    }
    void keyReleaseEvent(QKeyEvent *) override { FStation.KeyUp(); }

private:
    TFanucScreen &FStation;
};

// The frame a window is placed by: its MDI sub-window, or the window itself.
QWidget *FrameOf(QWidget *Window)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(Window->parentWidget());
    return sub ? static_cast<QWidget *>(sub) : Window;
}

} // namespace

TPCKeyPress PCKeyOf(const QKeyEvent &Event)
{
    const QString text = Event.text();
    const char c = text.size() == 1 && text[0].unicode() > 32 && text[0].unicode() < 127
                       ? char(text[0].unicode())
                       : 0;
    int key = VirtualKeyOf(Event);
    // A symbol the layout types with a shift ("#", "*", "+") is its plain key's.
    if (key == 0 && c)
        key = VirtualKeyOfSymbol(c);
    return {key, key == 0 ? c : char(0)};
}

TFanuc21Form::TFanuc21Form(TFanucScreen &Station, QWidget *Parent)
    : QMainWindow(Parent), FStation(Station), FZeroM(dynamic_cast<TFanucScreenOM *>(&Station))
{
    setObjectName(FZeroM ? "FanucScreenOM" : "FanucScreen");
    setWindowTitle(FZeroM ? "Fanuc OM" : "Fanuc 21i MA");
    setWindowFlag(FZeroM ? Qt::Tool : Qt::FramelessWindowHint);
    setFocusPolicy(Qt::StrongFocus);
    if (FZeroM)
        setMinimumHeight(611), setMaximumHeight(FormHeight);
    else
        setFixedHeight(FormHeight);
    setMinimumWidth(NarrowWidth);
    setMaximumWidth(FullWidth);
    resize(FStation.Width, FormHeight);
    auto *client = new QWidget(this);
    setCentralWidget(client);
    const int displayHeight = FZeroM ? 340 : 330;
    FDisplay = new TCrt(FStation, client);
    FDisplay->setObjectName("DisplayPanel");
    FDisplay->setGeometry(0, 0, 500, displayHeight);
    FOps = new QWidget(client);
    FOps->setObjectName("OpsPanel");
    FOps->setGeometry(0, displayHeight + 5, 500, 215);
    FOutputs = new QWidget(client);
    FOutputs->setObjectName("OutputsPanel");
    FOutputs->setGeometry(505, 0, FullWidth - 505, FormHeight);
    if (FZeroM)
        BuildKeypadOM(FOutputs, *FZeroM);
    else
        BuildKeypad(FOutputs);
    BuildOperatorButtons(FOps);
    BuildSoftKeys();
    BuildEstopPanel();
    BuildMenus();
    FStation.OnScreenChange = [this] { Refresh(); };
    FStation.ControlOrigin = [this](THelpControl Control, int Index) {
        const QPoint corner = HelpControl(Control, Index)->mapToGlobal(QPoint(0, 0));
        return std::pair<int, int>(corner.x(), corner.y());
    };
    Refresh();
}

TFanuc21Form::~TFanuc21Form()
{
    FStation.OnScreenChange = nullptr;
    FStation.ControlOrigin = nullptr;
    delete FFloatKnob; // with the knob, when it floats
}

QString TFanuc21Form::ShownText(const std::string &Name) const
{
    FDisplay->grab();
    return static_cast<TCrt *>(FDisplay)->Shown(Name);
}

// The control a help popup asks about; the form itself when the index is
// none of its controls.
QWidget *TFanuc21Form::HelpControl(int Control, int Index) const
{
    auto pick = [this, Index](const auto &List, int First) -> QWidget * {
        const int i = Index - First;
        return i >= 0 && i < int(List.size()) ? static_cast<QWidget *>(List[i])
                                              : const_cast<TFanuc21Form *>(this);
    };
    switch (Control) {
    case hcKeypadKey: return pick(FKeys, 0);
    case hcOperatorButton: return pick(FButtons, 0);
    case hcSoftKey: return pick(FSoftKeys, 1);
    default: return FEstop;
    }
}

// The 0M keypad: seven rows of five, without the first key of rows 1 and 4;
// those two places hold the "CURSOR" and "PAGE" legends of the keys below them.
void TFanuc21Form::BuildKeypadOM(QWidget *Parent, TFanucScreenOM &Station)
{
    int k = 0;
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column) {
            if ((row == 1 || row == 4) && column == 0)
                continue;
            auto *key = new TToolbarButton(Parent);
            key->Tag = k;
            const QString name = QString::fromLatin1(FanucOMKeypad()[k].Name);
            key->SetCaption(name);
            key->setToolTip(name);
            key->SetWordWrap(true);
            const int left = column * 36 + 8 + (column >= 1 && column <= 3 ? 15 : column == 4 ? 30 : 0);
            const int top = row * 35 + (row <= 4 ? 35 : 50);
            key->setGeometry(left, top, 32, 32);
            key->OnMouseDown = [&Station, k](TToolbarButton *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
                Station.KeypadMouseDown(k);
            };
            key->OnMouseUp = [&Station, k](TToolbarButton *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
                Station.KeypadMouseUp(k);
            };
            FKeys.push_back(key);
            ++k;
        }
    QFont legend = font();
    legend.setPointSize(6);
    const struct {
        const char *Name, *Text;
        int Top;
    } legends[] = {{"LabelCursor", "CURSOR", 1 * 35 + 35}, {"LabelPage", "PAGE", 4 * 35 + 35}};
    for (const auto &l : legends) {
        auto *label = new QLabel(l.Text, Parent);
        label->setObjectName(l.Name);
        MarkAsData(label); // printed on the control as it stands
        label->setFont(legend);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        label->setGeometry(2, l.Top, 44, 30);
    }
}

void TFanuc21Form::BuildKeypad(QWidget *Parent)
{
    for (int k = 0; k < 44; ++k) {
        auto *key = new TToolbarButton(Parent);
        key->Tag = k;
        key->SetCaption(KeyFaces[k]);
        MarkAsData(key); // the key's face, printed on the control as it stands
        key->SetWordWrap(true);
        key->SetColor(2894892);
        key->SetNoBorder(true);
        int left = (k % 6) * 36 + 6, top = (k / 6) * 35 + 45;
        if (k >= 36) {
            static const int places[8][2] = {{6, 255}, {6, 290}, {42, 273}, {114, 273},
                                             {78, 255}, {78, 290}, {186, 255}, {186, 290}};
            left = places[k - 36][0];
            top = places[k - 36][1];
        }
        key->setGeometry(left, top, 32, 32);
        key->OnMouseDown = [this, k](TToolbarButton *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            FStation.KeypadMouseDown(k);
        };
        key->OnMouseUp = [this, k](TToolbarButton *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            FStation.KeypadMouseUp(k);
        };
        FKeys.push_back(key);
    }
}

void TFanuc21Form::BuildOperatorButtons(QWidget *Parent)
{
    const auto &table = FStation.Buttons();
    for (int i = 0; i < int(table.size()); ++i) {
        const TButtType &row = table[i];
        auto *button = new TLedButton(Parent, FZeroM != nullptr);
        button->Background(OperatorFace(row.Face));
        button->SetFlat(false);
        button->move(row.Left, row.Top);
        button->Text1 = QString::fromStdString(row.Text1);
        button->Text2 = QString::fromStdString(row.Text2);
        button->FontColor = row.FontColor;
        button->Tag = row.Tag;
        button->OnMouseDown = [this, i](TToolbarButton *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            FStation.OpButtMouseDown(i);
        };
        button->OnMouseUp = [this, i](TToolbarButton *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            FStation.OpButtMouseUp(i);
        };
        FButtons.push_back(button);
    }
}

void TFanuc21Form::BuildSoftKeys()
{
    for (int tag = 1; tag <= 7; ++tag) {
        auto *key = new TToolbarButton(FDisplay);
        key->Tag = tag;
        key->SetCaption(tag == 1 ? "<" : tag == 7 ? ">" : "");
        key->SetNoBorder(!FZeroM);
        key->setGeometry(SoftKeyRect(FZeroM != nullptr, tag));
        key->OnClick = [this, tag](TToolbarButton *) { FStation.SoftKey(tag); };
        FSoftKeys.push_back(key);
    }
}

// The emergency stop and the knob; on the 0M also the button that hides
// the right panel.
void TFanuc21Form::BuildEstopPanel()
{
    FEstopPanel = new QWidget(FOutputs);
    FEstopPanel->setObjectName("EstopPanel");
    FEstopPanel->setGeometry(0, 330, FOutputs->width(), FormHeight - 330);
    FEstop = new TToolbarButton(FEstopPanel);
    FEstop->setObjectName("EstopImage");
    FEstop->SetCaption("E-STOP");
    MarkAsData(FEstop);
    FEstop->setGeometry(20, 90, 80, 80);
    FEstop->OnClick = [this](TToolbarButton *) { FStation.EstopClick(); };
    FKnobPanel = new QWidget(FEstopPanel);
    FKnobPanel->setObjectName("KnobPanel");
    FKnobPanel->setGeometry(120, 80, 64, 64);
    FKnob = new TFanucKnob(FStation, FKnobPanel);
    FKnob->move(0, 0);
    if (!FZeroM)
        return;
    FShowHide = new TToolbarButton(FEstopPanel);
    FShowHide->setObjectName("ShowHideBtn");
    FShowHide->setGeometry(198, 216, 25, 25);
    FShowHide->OnClick = [this](TToolbarButton *) { FStation.ToggleRightPanel(); };
}

// The "Editor" menu joins Tarnwick's menu bar while the station is active;
// the 21's popup menu hides and shows the right panel.
void TFanuc21Form::BuildMenus()
{
    QMenu *editor = menuBar()->addMenu("Editor");
    editor->setObjectName("Editor1");
    QMenu *view = editor->addMenu("View Buttons");
    view->setObjectName("ViewButtons1");
    FHideButtons = view->addAction("Hide Buttons");
    FHideButtons->setObjectName("ShowHideButtons");
    connect(FHideButtons, &QAction::triggered, this, [this] { FStation.HideButtons(); });
    auto *side = new QActionGroup(this);
    FOnTheLeft = view->addAction("On the Left");
    FOnTheLeft->setObjectName("OntheLeft1");
    FOnTheRight = view->addAction("On the Right");
    FOnTheRight->setObjectName("OntheRight1");
    for (QAction *a : {FOnTheLeft, FOnTheRight}) {
        a->setCheckable(true);
        side->addAction(a);
    }
    connect(FOnTheLeft, &QAction::triggered, this, [this] { FStation.LeftSide = true; });
    connect(FOnTheRight, &QAction::triggered, this, [this] { FStation.LeftSide = false; });
    menuBar()->hide(); // shown in the main window's bar, never in the station
    if (FZeroM)
        return;
    FPopup = new QMenu(this);
    FPopup->setObjectName("PopupMenu1");
    FHideRightPanel = FPopup->addAction("Hide -->");
    FHideRightPanel->setObjectName("HideRightPanel");
    FHideRightPanel->setCheckable(true);
    connect(FHideRightPanel, &QAction::triggered, this, [this] { FStation.ToggleRightPanel(); });
}

void TFanuc21Form::contextMenuEvent(QContextMenuEvent *Event)
{
    if (!FPopup)
        return QMainWindow::contextMenuEvent(Event);
    FPopup->popup(Event->globalPos());
}

void TFanuc21Form::Refresh()
{
    for (int i = 0; i < int(FButtons.size()) && i < int(FStation.Leds.size()); ++i)
        FButtons[i]->SetLedOn(FStation.Leds[i]);
    FOutputs->setVisible(!FStation.RightPanelHidden);
    if (FAppliedWidth != FStation.Width)
        SetWidth(FStation.Width);
    static_cast<TFanucKnob *>(FKnob)->ShowFrame(FStation.KnobFrame);
    FOnTheLeft->setChecked(FStation.LeftSide);
    FOnTheRight->setChecked(!FStation.LeftSide);
    if (FHideRightPanel)
        FHideRightPanel->setChecked(FStation.RightPanelHidden);
    if (FZeroM) {
        PlaceKnob(FZeroM->FloatKnobShown);
        PlaceShowHideButton(FStation.RightPanelHidden);
    }
    FDisplay->update();
}

// The station's own width (732 or 508), once per change: a size the user
// or the main window gives it later stays. In Tarnwick the sub-window
// narrows and widens with it and stays inside the MDI area.
void TFanuc21Form::SetWidth(int Width)
{
    FAppliedWidth = Width;
    QWidget *frame = FrameOf(this);
    resize(Width, height());
    if (frame == this)
        return;
    const int border = frame->width() - frame->contentsRect().width();
    const QRect room = frame->parentWidget() ? frame->parentWidget()->rect() : QRect();
    int w = Width + border;
    if (!room.isEmpty())
        w = std::max(std::min(w, room.width()), frame->minimumWidth());
    frame->resize(w, frame->height());
    if (!room.isEmpty())
        frame->move(std::clamp(frame->x(), 0, std::max(0, room.width() - w)), frame->y());
}

// Hidden right panel: the knob moves into its "Feed Override" window, at
// the station's right edge and bottom-aligned with it; shown again: back on
// the knob panel, and the window goes.
void TFanuc21Form::PlaceKnob(bool Floating)
{
    if (Floating == (FFloatKnob != nullptr))
        return;
    if (!Floating) {
        FKnob->setParent(FKnobPanel);
        FKnob->move(0, 0);
        FKnob->show();
        delete FFloatKnob;
        FFloatKnob = nullptr;
        return;
    }
    FFloatKnob = new TFloatKnob(FStation);
    FKnob->setParent(FFloatKnob);
    FKnob->move(-2, -2);
    FKnob->show();
    FFloatKnob->setFixedSize(FKnob->width() - 4, FKnob->height() - 4);
    AdoptAsMdiChild(FFloatKnob);
    QWidget *station = FrameOf(this), *knob = FrameOf(FFloatKnob);
    if (knob != FFloatKnob)
        knob->adjustSize();
    ShowWindowOrChild(FFloatKnob);
    // An MDI child is placed in the MDI area, a window of its own on the
    // screen; either way it stays inside the room it has.
    const bool child = knob != FFloatKnob;
    const QRect edge = child ? station->geometry() : station->frameGeometry();
    const QSize size = child ? knob->size() : knob->frameGeometry().size();
    QRect room = child ? knob->parentWidget()->rect() : QRect();
    if (!child && knob->screen())
        room = knob->screen()->availableGeometry();
    QPoint at(edge.right() + 1, edge.bottom() + 1 - size.height());
    if (!room.isEmpty())
        at = QPoint(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width())),
                    std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
    knob->move(at);
    // The station stays the active window (its keys, its menu in the bar).
    if (auto *sub = qobject_cast<QMdiSubWindow *>(station); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
}

// The 0M's hide button: on the emergency-stop panel with the panel shown,
// on the operator panel with it hidden; its hint says what it will do.
void TFanuc21Form::PlaceShowHideButton(bool Hidden)
{
    QWidget *parent = Hidden ? FOps : FEstopPanel;
    if (FShowHide->parentWidget() != parent) {
        FShowHide->setParent(parent);
        FShowHide->move(Hidden ? QPoint(472, 190) : QPoint(198, 216));
        FShowHide->show();
    }
    FShowHide->SetCaption(Hidden ? ">" : "<");
    FShowHide->setToolTip(QString::fromStdString(Mess().Translate(FStation.Text("ShowHideBtn"))));
}

void TFanuc21Form::keyPressEvent(QKeyEvent *Event)
{
    const TPCKeyPress key = PCKeyOf(*Event);
    if (key.Key == 0 && key.Character == 0)
        return QMainWindow::keyPressEvent(Event);
    FStation.KeyDown(key.Key, key.Character);
}

void TFanuc21Form::keyReleaseEvent(QKeyEvent *Event)
{
    if (Event->isAutoRepeat())
        return;
    FStation.KeyUp();
}

} // namespace orv::fanuc
