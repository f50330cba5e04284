#include "machine/ui/ControlPanelStdForm.h"

#include "components/trkbar/ui/TrkBar.h"
#include "engine/chain/ui/MDIMemo.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "localise/ui/LxQtTranslator.h"
#include "machine/ui/McodeEntry.h"
#include "machine/ui/QtText.h"
#include "platform/ui/ColourDialog.h"
#include "platform/ui/ModalRunner.h"
#include "platform/ui/VirtualKeys.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orv {

namespace {

QString Tr(const char *Text) { return Q(Mess().Translate(Text)); }

// Colours are stored as 0x00BBGGRR.
QColor ToQColor(TColor C) { return QColor(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF); }

QString ColourStyle(const char *Property, TColor C)
{
    return QString("%1: %2;").arg(Property, ToQColor(C).name());
}

QToolButton *ToolButton(QWidget *Parent, const char *Name, const char *Caption, const char *Hint)
{
    auto *b = new QToolButton(Parent);
    b->setObjectName(Name);
    b->setText(Caption);
    if (*Hint)
        b->setToolTip(Hint);
    return b;
}

// The panel's vertical bars: box thumbs of the largest size on a 6-pixel
// maroon groove, no ticks, over the page's background. Tag is the request
// kind the bar sends.
TTrkBar *Bar(QWidget *Parent, const char *Name, int Min, int Max, int Tag, const char *Hint)
{
    auto *b = new TTrkBar(Parent);
    b->setObjectName(Name);
    b->setFixedWidth(40);
    b->setMinimumHeight(140);
    b->SetThumbStyle(tsBox);
    b->SetThumbSize(tsSize5);
    b->TrkColortop = 0x000080; // maroon
    b->SetTrkWidth(6);
    b->TLTicks = false;
    b->BRTicks = false;
    b->SetTransparent(true);
    b->SetMax(Max);
    b->SetMin(Min);
    b->Tag = Tag;
    b->setToolTip(Hint);
    return b;
}

// New ends in an order that never puts Min above Max on the way.
void SetRange(TTrkBar &Bar, int Min, int Max)
{
    if (Min > Bar.Max()) {
        Bar.SetMax(Max);
        Bar.SetMin(Min);
    } else {
        Bar.SetMin(Min);
        Bar.SetMax(Max);
    }
}

// A bar moved by the operator (not by the panel's own refresh) goes to the panel.
void OnMoved(TTrkBar *Bar, const bool &Refreshing, std::function<void(int)> Moved)
{
    Bar->OnChange = [Bar, &Refreshing, Moved] {
        if (!Refreshing)
            Moved(Bar->Position());
    };
}

QLabel *Label(QWidget *Parent, const char *Name, const QString &Text = {})
{
    auto *l = new QLabel(Text, Parent);
    l->setObjectName(Name);
    return l;
}

} // namespace

TControlPanelStdForm::TControlPanelStdForm(TControlPanelStd &Panel, QWidget *Parent)
    : QWidget(Parent, Qt::Window), FPanel(Panel)
{
    setObjectName(TControlPanelStd::FormName);
    setWindowTitle("Control Panel");
    auto *layout = new QVBoxLayout(this);
    CreateToolbar();
    CreateReadout();
    PageControl = new QTabWidget(this);
    PageControl->setObjectName("PageControl");
    PageControl->setUsesScrollButtons(false);
    PageControl->addTab(CreateHomePage(), "Home");
    PageControl->addTab(CreateJogPage(), "Jog");
    PageControl->addTab(CreateAutoPage(), "Auto");
    PageControl->addTab(CreateMDIPage(), "MDI");
    CreateStatus();
    FToolRow = new QWidget(this);
    FToolRow->setObjectName("ToolRow");
    auto *tools = new QHBoxLayout(FToolRow);
    tools->setContentsMargins(0, 0, 0, 0);
    for (QToolButton *b : {Mcode_but, View_CoOrds, ZToolOffsets, Coolant, Turbo, TChangeButt})
        tools->addWidget(b);
    tools->addStretch();
    auto *readout = new QHBoxLayout;
    readout->addWidget(MachDisp);
    readout->addWidget(ProgDisp);
    layout->addWidget(FToolRow);
    layout->addLayout(readout);
    layout->addWidget(OffsetDataPanel);
    layout->addWidget(PageControl);
    layout->addWidget(MachStatusBar);
    layout->addWidget(StatusBar);
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int Index) {
        if (FRefreshing)
            return;
        FPanel.PageChosen(Index);
        if (Index == pgJog && FPanel.Shown().Page == pgJog)
            JogTrap->setFocus();
    });
    FPanel.MemoFactory = [this]() -> std::unique_ptr<TMDIMemoView> {
        auto memo = std::make_unique<TMDIMemo>(OverRidePanel);
        static_cast<QVBoxLayout *>(OverRidePanel->layout())->insertWidget(0, memo.get());
        return memo;
    };
    WatchKeys();
    // The status and the cycle state are words the panel translates: made
    // again in a new language.
    AttachTranslator(this, "TControlPanelStdForm")->Translator().OnAfterTranslate =
        [this](auto &) {
            KeepRoom();
            FPanel.LanguageChanged();
        };
    KeepRoom(); // for the captions as the translator left them
}

// The frame is fixed and sized while the Home page shows only its tab and
// two buttons: room is kept for the most a page shows (all four tabs; the
// Jog and MDI pages' buttons with Tool Change), in the captions' language.
// A window already shown widens when a new language needs more.
void TControlPanelStdForm::KeepRoom()
{
    const int tabs = PageControl->tabBar()->sizeHint().width() +
                     PageControl->style()->pixelMetric(QStyle::PM_TabBarTabHSpace);
    PageControl->setMinimumWidth(std::max(PageControl->minimumWidth(), tabs));
    int row = 4 * FToolRow->layout()->spacing();
    for (QToolButton *b : {Mcode_but, View_CoOrds, ZToolOffsets, Coolant, TChangeButt})
        row += b->sizeHint().width();
    FToolRow->setMinimumWidth(row);
    if (!isVisible())
        return;
    layout()->activate();
    const int missing = minimumSizeHint().width() - width();
    QWidget *frame = isWindow() ? this : parentWidget();
    if (missing > 0 && frame)
        frame->resize(frame->width() + missing, frame->height());
}

// --- Construction ---

void TControlPanelStdForm::CreateToolbar()
{
    Mcode_but = ToolButton(this, "Mcode_but", "M Codes", "Perform M code Functions");
    View_CoOrds = ToolButton(this, "View_CoOrds", "Co Ordinates",
                             "Change Co-ordinates system between Program Units and True "
                             "Machine Position");
    ZToolOffsets = ToolButton(this, "ZToolOffsets", "Z Offset", "Set Z offset for current Tool");
    Coolant = ToolButton(this, "Coolant", "Coolant", "Turn Coolant on or Off");
    Turbo = ToolButton(this, "Turbo", "Turbo Mode", "");
    TChangeButt = ToolButton(this, "TChangeButt", "Tool Change", "Perform M code Functions");
    Coolant->setCheckable(true);
    Turbo->setCheckable(true);
    TChangeButt->setCheckable(true);
    Mcode_popup = new QMenu(this);
    Mcode_popup->setObjectName("Mcode_popup");
    ToolPopup = new QMenu(this);
    ToolPopup->setObjectName("ToolPopup");
    connect(Mcode_but, &QToolButton::clicked, this, [this] {
        BuildMcodePopup();
        Mcode_popup->popup(Mcode_but->mapToGlobal(QPoint(0, Mcode_but->height())));
    });
    connect(View_CoOrds, &QToolButton::clicked, this, [this] { FPanel.ToggleCoordinates(); });
    connect(ZToolOffsets, &QToolButton::clicked, this, [this] { FPanel.ZToolOffsetsClick(); });
    connect(Coolant, &QToolButton::clicked, this, [this] { FPanel.CoolantClick(); });
    connect(TChangeButt, &QToolButton::clicked, this, [this] {
        BuildToolPopup();
        ToolPopup->popup(TChangeButt->mapToGlobal(QPoint(0, TChangeButt->height())));
    });
    // Turbo goes by the mouse release inside the button, not by its toggle.
    Turbo->installEventFilter(this);
    auto *info = new QToolButton(this);
    info->setObjectName("VersionInfo");
    info->setText("Machine Information");
    info->hide();
    connect(info, &QToolButton::clicked, this, [this] { FPanel.VersionInfoClick(); });
    auto *control = new QMenu("Control", this);
    control->setObjectName("MainMenu");
    control->addAction("Machine Information", this, [this] { FPanel.VersionInfoClick(); });
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addAction(control->menuAction());
}

void TControlPanelStdForm::CreateReadout()
{
    auto makeDisplay = [this](const char *Name, const char *Caption,
                              std::array<QLabel *, 3> &Values, const char *const ValueNames[3],
                              QLabel *&Cycle, const char *CycleName) {
        auto *frame = new QFrame(this);
        frame->setObjectName(Name);
        frame->setFrameShape(QFrame::Panel);
        frame->setAutoFillBackground(true);
        auto *grid = new QGridLayout(frame);
        grid->addWidget(Label(frame, "", Caption), 0, 0, 1, 2);
        const char *axes[3] = {"X", "Y", "Z"};
        for (int i = 0; i < 3; ++i) {
            grid->addWidget(Label(frame, "", axes[i]), i + 1, 0);
            Values[i] = Label(frame, ValueNames[i], "0.000");
            Values[i]->setAlignment(Qt::AlignRight);
            grid->addWidget(Values[i], i + 1, 1);
        }
        Cycle = Label(frame, CycleName, Tr("Stop"));
        grid->addWidget(Cycle, 4, 0, 1, 2);
        frame->setContextMenuPolicy(Qt::PreventContextMenu);
        frame->installEventFilter(this);
        return frame;
    };
    static const char *const machNames[3] = {"XValue", "YValue", "ZValue"};
    static const char *const progNames[3] = {"XProg", "YProg", "ZProg"};
    MachDisp = makeDisplay("MachDisp", "Machine", MachValues, machNames, CycleState1, "CycleState1");
    ProgDisp = makeDisplay("ProgDisp", "Program", ProgValues, progNames, CycleState2, "CycleState2");
    OffsetDataPanel = Label(this, "OffsetDataPanel", "H: 0.000  D: 0.000");
    OffsetDataPanel->setAutoFillBackground(true);
    OffsetDataPanel->installEventFilter(this);
}

QWidget *TControlPanelStdForm::CreateHomePage()
{
    auto *page = new QWidget;
    page->setObjectName("Home");
    auto *grid = new QGridLayout(page);
    const struct {
        QPushButton *&Button;
        const char *Name, *Caption;
        int Code;
    } homes[] = {{XHome, "XHome", "X Axis Only", HomeX},
                 {YHome, "YHome", "Y Axis Only", HomeY},
                 {ZHome, "ZHome", "Z Axis Only", HomeZ},
                 {BothHome, "BothHome", "Home All", HomeAll}};
    static const char *const shapeNames[3] = {"XShape", "YShape", "ZShape"};
    int row = 0;
    for (const auto &h : homes) {
        h.Button = new QPushButton(h.Caption, page);
        h.Button->setObjectName(h.Name);
        h.Button->setEnabled(false);
        const int code = h.Code;
        connect(h.Button, &QPushButton::released, this, [this, code] { FPanel.HomeClick(code); });
        grid->addWidget(h.Button, row, 0);
        if (row < 3) {
            Shapes[row] = Label(page, shapeNames[row]);
            Shapes[row]->setFixedSize(16, 16);
            grid->addWidget(Shapes[row], row, 1);
        }
        ++row;
    }
    SecretHome = new QFrame(page);
    SecretHome->setObjectName("SecretHome");
    SecretHome->setFixedSize(8, 8);
    SecretHome->installEventFilter(this);
    grid->addWidget(SecretHome, row, 1);
    return page;
}

QWidget *TControlPanelStdForm::CreateJogPage()
{
    auto *page = new QWidget;
    page->setObjectName("Jog");
    auto *grid = new QGridLayout(page);
    JogPanel = Label(page, "JogPanel", "Jog");
    JogPanel->setAutoFillBackground(true);
    JogTrap = new QLineEdit(page);
    JogTrap->setObjectName("JogTrap");
    JogTrap->setReadOnly(true);
    JogFeed = Bar(page, "JogFeed", 1, 1000, 1, "Set Jog Feed Rate");
    Jog_step = Bar(page, "Jog_step", 0, 6, 7, "Alter Jog Step  value");
    Jog_step->hide();
    jog_button = ToolButton(page, "jog_button", "Jog", "");
    SpeedBar = Bar(page, "SpeedBar", 0, 0, 4, "Set Spindle Speed");
    Speed_button = ToolButton(page, "Speed_button", "M5", "");
    FeedDisplayNew = Label(page, "FeedDisplayNew");
    SpeedDisplayNew = Label(page, "SpeedDisplayNew");
    // The jog field and its button above; the feed (or step) bar and the
    // speed bar side by side, each over its display.
    grid->addWidget(JogPanel, 0, 0);
    grid->addWidget(JogTrap, 0, 1);
    grid->addWidget(jog_button, 0, 2);
    grid->addWidget(JogFeed, 1, 0, Qt::AlignHCenter);
    grid->addWidget(Jog_step, 1, 0, Qt::AlignHCenter);
    grid->addWidget(SpeedBar, 1, 1, Qt::AlignHCenter);
    grid->addWidget(Speed_button, 1, 2, Qt::AlignBottom);
    grid->addWidget(FeedDisplayNew, 2, 0, Qt::AlignHCenter);
    grid->addWidget(SpeedDisplayNew, 2, 1, Qt::AlignHCenter);
    OnMoved(JogFeed, FRefreshing, [this](int P) { FPanel.JogFeedMoved(P); });
    OnMoved(Jog_step, FRefreshing, [this](int P) { FPanel.JogStepMoved(P); });
    OnMoved(SpeedBar, FRefreshing, [this](int P) { FPanel.SpeedBarMoved(P); });
    connect(jog_button, &QToolButton::clicked, this, [this] { FPanel.JogButtonClick(); });
    connect(Speed_button, &QToolButton::clicked, this, [this] { FPanel.SpeedButtonClick(); });
    JogTrap->installEventFilter(this);
    return page;
}

QWidget *TControlPanelStdForm::CreateAutoPage()
{
    auto *page = new QWidget;
    page->setObjectName("Auto");
    auto *grid = new QGridLayout(page);
    FeedBar = Bar(page, "FeedBar", 0, 150, 3, "Set Feed Rate Override %");
    SpindleBar = Bar(page, "SpindleBar", 50, 120, 6, "Not in use at the moment");
    FeedBar->SetPosition(100);
    SpindleBar->SetPosition(100);
    FeedOverrideValue = Label(page, "FeedOverrideValue", "100%");
    SpindleOverrideValue = Label(page, "SpindleOverrideValue", "100%");
    // The two override bars side by side, each over its value.
    grid->addWidget(FeedBar, 0, 0, Qt::AlignHCenter);
    grid->addWidget(SpindleBar, 0, 1, Qt::AlignHCenter);
    grid->addWidget(FeedOverrideValue, 1, 0, Qt::AlignHCenter);
    grid->addWidget(SpindleOverrideValue, 1, 1, Qt::AlignHCenter);
    OnMoved(FeedBar, FRefreshing, [this](int P) { FPanel.FeedBarMoved(P); });
    OnMoved(SpindleBar, FRefreshing, [this](int P) { FPanel.SpindleBarMoved(P); });
    return page;
}

QWidget *TControlPanelStdForm::CreateMDIPage()
{
    auto *page = new QWidget;
    page->setObjectName("MDI");
    auto *layout = new QVBoxLayout(page);
    OverRidePanel = new QWidget(page);
    OverRidePanel->setObjectName("OverRidePanel");
    auto *inner = new QVBoxLayout(OverRidePanel);
    inner->setContentsMargins(4, 4, 4, 4);
    MessageLabel = Label(OverRidePanel, "MessageLabel");
    MessageLabel->hide();
    inner->addWidget(MessageLabel);
    layout->addWidget(OverRidePanel);
    return page;
}

void TControlPanelStdForm::CreateStatus()
{
    MachStatusBar = Label(this, "MachStatusBar", " " + Tr("Initialising . . ."));
    MachStatusBar->setAutoFillBackground(true);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = Label(StatusBar, "");
        StatusBar->addWidget(StatusPanels[i], 1);
    }
    // The window's frame is fixed while the panels are still empty: room
    // is kept for each at its longest (feed, spindle speed, tool,
    // overrides).
    const char *longest[] = {"F:00000.000 inch/min ", "S:00000 RPM ", "T 000 ", "F:000% S:000% "};
    for (int i = 0; i < 4; ++i)
        StatusPanels[i]->setMinimumWidth(StatusPanels[i]->fontMetrics().horizontalAdvance(longest[i]));
}

// The key preview: every child's keys pass the form first.
void TControlPanelStdForm::WatchKeys()
{
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

// --- Menus ---

void TControlPanelStdForm::BuildMcodePopup()
{
    Mcode_popup->clear();
    Mcode_popup->addAction(Tr("Manual M code entry"), this,
                           [this] { ChooseManualMCode(); });
    for (const auto &[caption, code] : FPanel.Shown().MCodeItems) {
        const int c = code;
        Mcode_popup->addAction(Q(caption), this, [this, c] { FPanel.MCodeChosen(c); });
    }
}

void TControlPanelStdForm::ChooseManualMCode()
{
    TMcodeManual dialog(this);
    if (RunModal(dialog) == QDialog::Accepted)
        FPanel.MCodeChosen(dialog.Code);
}

void TControlPanelStdForm::BuildToolPopup()
{
    ToolPopup->clear();
    for (const auto &[caption, position] : FPanel.ToolMenuItems()) {
        const int p = position < 0 ? -position : position;
        QAction *a = ToolPopup->addAction(Q(caption), this, [this, p] {
            TChangeButt->setChecked(false);
            FPanel.ToolChosen(p);
        });
        a->setEnabled(position > 0);
    }
}

void TControlPanelStdForm::PickColour(bool Background)
{
    const TControlPanelStd::TShown &s = FPanel.Shown();
    // The program's colour dialog, in the operator's language, with the
    // custom colours the other colour dialogs keep beside the program.
    uint32_t colour = static_cast<uint32_t>(Background ? s.ReadOutPanelColor : s.ReadOutAxesColor);
    const bool chosen = ChooseColour(this, colour, ExeFileWithExt("col"));
    FPanel.ColourPicked(Background, chosen ? static_cast<TColor>(colour) : 0, chosen);
}

// --- Events ---

bool TControlPanelStdForm::KeyEvent(QEvent *Event)
{
    auto *key = static_cast<QKeyEvent *>(Event);
    if (key->isAutoRepeat() && Event->type() == QEvent::KeyRelease)
        return false;
    const int vk = VirtualKeyOf(*key);
    if (Event->type() == QEvent::KeyPress)
        return FPanel.KeyDown(vk, JogTrap->hasFocus());
    FPanel.KeyUp(vk);
    return false;
}

bool TControlPanelStdForm::eventFilter(QObject *Watched, QEvent *Event)
{
    switch (Event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return KeyEvent(Event);
    case QEvent::MouseButtonRelease:
        if (Watched == Turbo) {
            auto *mouse = static_cast<QMouseEvent *>(Event);
            FPanel.TurboReleased(mouse->position().toPoint().x(), mouse->position().toPoint().y());
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (Watched == MachDisp || Watched == ProgDisp || Watched == OffsetDataPanel) {
            // The dialog opens once the press is over: a modal loop inside
            // the press would keep the button held for the dialog's clicks.
            const bool background = static_cast<QMouseEvent *>(Event)->button() == Qt::RightButton;
            QMetaObject::invokeMethod(
                this, [this, background] { PickColour(background); }, Qt::QueuedConnection);
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (Watched == SecretHome) {
            FPanel.SecretHomeDoubleClick();
            return true;
        }
        break;
    case QEvent::FocusIn:
        if (Watched == JogTrap)
            FPanel.JogTrapFocused();
        break;
    default: break;
    }
    return QWidget::eventFilter(Watched, Event);
}

void TControlPanelStdForm::closeEvent(QCloseEvent *Event) { Event->ignore(); }

void TControlPanelStdForm::changeEvent(QEvent *Event)
{
    if (Event->type() == QEvent::ActivationChange) {
        if (!isActiveWindow())
            FPanel.FocusLost();
        else if (PageControl->currentIndex() == pgJog)
            JogTrap->setFocus();
    }
    QWidget::changeEvent(Event);
}

// --- Drawing the panel's state ---

void TControlPanelStdForm::Refresh()
{
    if (FRefreshing)
        return;
    FRefreshing = true;
    const TControlPanelStd::TShown &s = FPanel.Shown();
    Mcode_but->setVisible(s.McodeButton);
    ZToolOffsets->setVisible(s.ZOffsetsButton);
    Coolant->setVisible(s.CoolantButton);
    Coolant->setChecked(s.Coolant);
    Turbo->setVisible(s.TurboButton);
    Turbo->setChecked(s.TurboDown);
    TChangeButt->setVisible(s.ToolChangeButton);
    RefreshReadout();
    RefreshPages();
    RefreshSliders();
    for (int i = 0; i < 4; ++i)
        StatusPanels[i]->setText(Q(s.StatusPanels[i]));
    MachStatusBar->setText(Q(s.Status.Text));
    QString style = ColourStyle("color", s.Status.Font);
    if (s.Status.Background >= 0)
        style += ColourStyle("background-color", s.Status.Background);
    MachStatusBar->setStyleSheet(style);
    MessageLabel->setText(Q(s.MDIMessage));
    MessageLabel->setVisible(!s.MDIMessage.empty());
    FRefreshing = false;
}

void TControlPanelStdForm::RefreshReadout()
{
    const TControlPanelStd::TShown &s = FPanel.Shown();
    for (int i = 0; i < 3; ++i) {
        MachValues[i]->setText(Q(s.Machine[i]));
        ProgValues[i]->setText(Q(s.Program[i]));
    }
    CycleState1->setText(Q(s.CycleText));
    CycleState2->setText(Q(s.CycleText));
    MachDisp->setVisible(!s.ProgramDisplay);
    ProgDisp->setVisible(s.ProgramDisplay);
    OffsetDataPanel->setText(Q(s.OffsetText));
    const QString colours = ColourStyle("background-color", s.ReadOutPanelColor) +
                            ColourStyle("color", s.ReadOutAxesColor);
    for (QWidget *w : {static_cast<QWidget *>(MachDisp), static_cast<QWidget *>(ProgDisp),
                       static_cast<QWidget *>(OffsetDataPanel)})
        w->setStyleSheet(colours);
}

void TControlPanelStdForm::RefreshPages()
{
    const TControlPanelStd::TShown &s = FPanel.Shown();
    for (int tab = pgJog; tab <= pgMDI; ++tab)
        PageControl->setTabVisible(tab, s.TabsVisible);
    PageControl->setCurrentIndex(s.Page);
    for (QPushButton *b : {XHome, YHome, ZHome, BothHome})
        b->setEnabled(s.HomeButtonsEnabled);
    for (int i = 0; i < 3; ++i)
        Shapes[i]->setStyleSheet(ColourStyle("background-color", s.Lamps[i]));
    JogFeed->setVisible(!s.Incremental);
    Jog_step->setVisible(s.Incremental);
    jog_button->setChecked(false);
    JogPanel->setStyleSheet(s.JogPanelGreen ? ColourStyle("background-color", 65280) : QString());
    FeedDisplayNew->setText(Q(s.JogText));
    SpeedDisplayNew->setText(Q(s.SpeedText));
}

void TControlPanelStdForm::RefreshSliders()
{
    const TControlPanelStd::TShown &s = FPanel.Shown();
    SetRange(*JogFeed, 1, std::max(1, s.JogFeedMax));
    JogFeed->SetPosition(s.JogFeedPosition);
    Jog_step->SetPosition(s.JogStepPosition);
    SetRange(*SpeedBar, s.SpeedMin, s.SpeedMax);
    SpeedBar->SetPosition(s.SpeedPosition);
    FeedBar->SetPosition(s.FeedBarPosition);
    FeedBar->setEnabled(s.FeedBarEnabled);
    SpindleBar->SetPosition(s.SpindleBarPosition);
    SpindleBar->setEnabled(s.SpindleBarEnabled);
    FeedOverrideValue->setText(Q(s.FeedOverrideText));
    FeedOverrideValue->setStyleSheet(ColourStyle("color", s.FeedOverrideColour));
    SpindleOverrideValue->setText(Q(s.SpindleOverrideText));
}

std::unique_ptr<TControlPanelStd> MakeControlPanelStd(QWidget *Parent)
{
    auto panel = std::make_unique<TControlPanelStd>();
    auto form = std::make_unique<TControlPanelStdForm>(*panel, Parent);
    TControlPanelStdForm *shown = form.get();
    panel->SetForm(std::move(form));
    shown->show();
    return panel;
}

} // namespace orv
