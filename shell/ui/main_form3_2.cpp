#include "shell/ui/main_form3_2.h"

#include "components/toolbar/TbGlyphImage.h"
#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbHooks.h"
#include "components/toolbar/ui/TbPaint.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "engine/chain/BasicInput.h"
#include "engine/chain/BasicOutput.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "engine/form/FanucScreen.h"
#include "engine/form/base.h"
#include "engine/simlink/SimLink.h"
#include "engine/form/ui/EngineWindows.h"
#include "localise/LxTextDictionary.h"
#include "localise/ui/LxQtTranslator.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/Work_piece_offset.h"
#include "machine/ui/NewPass.h"
#include "machine/ui/Tool_Holder2.h"
#include "machine/ui/Work_piece_offsets_form2.h"
#include "machine/ui/tooling_form.h"
#include "machine/Work_piece_offset.h"
#include "platform/ComServer.h"
#include "platform/EventLoop.h"
#include "platform/HelpService.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"
#include "platform/ui/MdiHost.h"
#include "platform/ui/ModalRunner.h"
#include "platform/ui/QtPos_size.h"
#include "platform/ui/ScreenSaver.h"
#include "platform/ui/VirtualKeys.h"
#include "shell/CodeHelp.h"
#include "shell/RemoteInputs.h"
#include "shell/ShellSettings.h"
#include "shell/SourceMenu.h"
#include "shell/SupportCheck.h"
#include "shell/UtilityMenu.h"
#include "shell/ui/RecentMenuMW.h"
#include "shell/ui/ShellGlyphs.h"
#include "shell/ui/ShellStatusBar.h"
#include "shell/ui/TranslatedText.h"
#include "shell/ui/editor.h"
#include "shell/ui/file_warning.h"
#include "shell/ui/key_setup.h"

#include <QApplication>
#include <filesystem>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QShortcutEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace orv {

namespace {

TMainForm *gMainForm = nullptr;

// Files of a drop that are on this machine.
std::vector<std::string> LocalFiles(const QMimeData *Data) {
    std::vector<std::string> files;
    if (!Data)
        return files;
    for (const QUrl &url : Data->urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile().toStdString());
    return files;
}

// Labels 1 to 22 are the modal G groups; 23 to 25 the last M, S and T.
std::string ModalHint(int Index) {
    switch (Index) {
    case 23:
        return Mess().Translate("Last M Code");
    case 24:
        return Mess().Translate("Last Speed Value");
    case 25:
        return Mess().Translate("Last Tool Value");
    default:
        return Mess().Translate("Modal Group ") + std::to_string(Index);
    }
}

// A panel's designed width, or wider when its text needs it.
void FitInitialPanel(TShellStatusBar *Bar, int Index, const QString &Text, int Width) {
    Bar->SetFitted(Index, Text);
    Bar->Panel(Index).Width = std::max(Bar->Panel(Index).Width, Width);
}

} // namespace

namespace {

// The help page in the desktop's viewer; when it cannot be shown the
// operator is told, and why.
void OpenHelp(const THelpDocument &Document) {
    const std::string path = Document.Path.empty() ? Help().HelpFile() : Document.Path;
    std::string reason;
    if (path.empty() || !FileExists(path))
        reason = "The help file was not found.";
    else if (!OpenDocument(Document.Path, Document.Anchor))
        reason = "The desktop has no viewer for the help file.";
    else
        return;
    const TMess &mess = Mess();
    MessageDlg(mess.Translate("Help"),
               mess.Translate("Help could not be opened.") + "\n" + path + "\n" + mess.Translate(reason),
               mtWarning, mbOK);
}

} // namespace

TMainForm *MainForm() {
    return gMainForm;
}

TMainForm::TMainForm(QWidget *Parent) : QMainWindow(Parent) {
    gMainForm = this;
    setObjectName("MainForm");
    // Help of every window opens in the desktop's viewer.
    Help().SetViewer([](const THelpDocument &Document) { OpenHelp(Document); });
    FormCreate();
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
    disconnect(FMdi, nullptr, this, nullptr);
    TTooling_Library::WindowFactory = nullptr;
    TWork_piece_offset::WindowFactory = nullptr;
    TMachine_Tooling::DeckFactory = nullptr;
    SetMdiAdopter(nullptr);
    SetModalPreparer(nullptr);
    Help().SetViewer(nullptr);
    if (!FClosed)
        FormClose();
    FreeRemoteInputs();
    FRecent.reset();
    if (FKeyForm)
        FKeyForm->hide();
    // The engine's windows live in the MDI area: the engine goes first,
    // after the windows over its data.
    delete FMacroForm;
    FMacroForm = nullptr;
    FEngine.reset();
    if (gMainForm == this)
        gMainForm = nullptr;
}

// --- Creation ---------------------------------------------------------------

void TMainForm::FormCreate() {
    EnsureQtHookBackend();
    FMainIni = FindFileNoCase(NetUtil().MainIniFileName());
    OpenMessageDictionary();
    resize(756, 490);
    AssignCommandTags();
    BuildMenus();
    CreateRemoteInputs();
    BuildStatusBars();
    auto *centre = new QWidget(this);
    auto *column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    FClient = new QWidget(centre);
    FClient->setObjectName("Client");
    FClient->installEventFilter(this);
    column->addWidget(FClient, 1);
    column->addWidget(FStatusBar2);
    column->addWidget(FStatusBar1);
    setCentralWidget(centre);
    FMdi = new QMdiArea(FClient);
    FMdi->setObjectName("MdiArea");
    connect(FMdi, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow *W) { MergeChildMenus(W); });
    BuildToolbars();
    SetUpToolbarPopups();
    BuildModalLabels();
    BuildTransformations();
    ReadBackground();
    qApp->installEventFilter(this);
    setAcceptDrops(true);
    FScreenSaver = new TScreenSaver(QApplication::applicationName(), this);
    FStatUpdate = std::make_unique<TTimer>();
    FStatUpdate->SetInterval(500);
    FStatUpdate->OnTimer = [this] { UpdateStatusBar(); };
    FRecent = std::make_unique<TMenu2>(ChangeFileExt(FMainIni, ".HST"));
    FRecent->SetMaxItems(10);
    FRecent->TheMenu = Menu("ReOpen");
    FRecent->OnRecentclick = [this](QAction *, const std::string &File) { RecentClick(File); };
    SetMdiAdopter([this](QWidget *W) { return AdoptChild(W) != nullptr; });
    InstallChildWindows();
    FPos = new TQtPos_size(this, "TMainForm", TPosBorder::Sizeable);
    if (!FPos->Component().PositionStored()) {
        // The designed 756 x 490 leaves most windows partly outside the MDI
        // area: a first start opens at a size for the toolbars and the
        // usual windows, or fills a screen too small for it.
        const QSize first(1024, 768);
        const QRect room = screen() ? screen()->availableGeometry() : QRect(QPoint(0, 0), first);
        if (room.width() < first.width() || room.height() < first.height())
            setWindowState(windowState() | Qt::WindowMaximized);
        else
            resize(first);
    }
    LayOutClient();
}

void TMainForm::OpenMessageDictionary() {
    TIniFile ini(FMainIni);
    const std::string folder = ProgramFolder();
    std::string error;
    if (!Mess().OpenDictionary(
            ini.ReadString("directories", "Language File", folder + "language.txt"),
            ini.ReadString("directories", "Translate File", folder + "translat.txt"),
            ini.ReadInteger("Default Settings", "PrimaryLanguage", -1), error))
        std::fprintf(stderr, "%s\n", error.c_str()); // the support check lists missing files
}

// The tool library's and the work offsets' windows open as MDI children.
void TMainForm::InstallChildWindows() {
    TTooling_Library::WindowFactory = [this](TTooling_Library &Library) {
        auto form = std::make_unique<TTooling_setup_form>(Library);
        AdoptChild(form.get());
        ReleaseOnClose(form.get(), TMainButton::ToolLibrary);
        ShowWindowOrChild(form.get());
        return form;
    };
    TWork_piece_offset::WindowFactory = [this](TWork_piece_offset &Offsets) {
        auto form = std::make_unique<TWPiece_form>(Offsets);
        FOffsetsForm = form.get();
        AdoptChild(form.get());
        ReleaseOnClose(form.get(), TMainButton::Offsets);
        ShowWindowOrChild(form.get());
        return form;
    };
    TMachine_Tooling::DeckFactory = [this](TMachine_Tooling &Tooling) {
        auto deck = std::make_unique<TTool_Deck>(Tooling);
        KeepPosition(deck.get(), "TTool_Deck", TPosBorder::Sizeable);
        ReleaseOnClose(deck.get(), TMainButton::Tooling);
        return deck;
    };
    // The machine editor and its password dialog.
    InstallMachineEditorWindows();
}

void TMainForm::ReadBackground() {
    TIniFile ini(FMainIni);
    FBackgroundOn =
        UpperCase(ini.ReadString("Default Settings", "BackGround On", "FALSE")) == "TRUE";
    FBackgroundPicture = ini.ReadString("Default Settings", "BackGround Picture", "");
    if (!FBackgroundOn)
        return;
    QImage picture;
    if (!FBackgroundPicture.empty())
        picture.load(QString::fromStdString(FindFileNoCase(FBackgroundPicture)));
    if (picture.isNull()) {
        picture = QImage(64, 64, QImage::Format_RGB32);
        picture.fill(QColor(0, 96, 128));
    }
    FBackground = picture;
    PaintBackground();
}

// The hidden command buttons that the engine, the Keplin console and the
// remote inputs press; their tags are the engine's panel command codes.
void TMainForm::AssignCommandTags() {
    FDummyButtons = new QWidget(this);
    FDummyButtons->setObjectName("Dummy_Buttons");
    FDummyButtons->hide();
    struct TCommand {
        const char *Name, *Caption;
        int Tag;
    };
    static const TCommand jogs[] = {{"JogXPButt", "JogX+", 4},  {"JogXMButt", "JogX-", 5},
                                    {"JogZPButt", "JogZ+", 6},  {"JogZMButt", "JogZ-", 7},
                                    {"JogYPButt", "JogY+", 40}, {"JogYMButt", "JogY-", 41}};
    static const TCommand commands[] = {{"JogModeButt", "JogMode", 1},
                                        {"HomeModeButt", "Home", 2},
                                        {"AutoModeButt", "Auto", 3},
                                        {"FeedPButt", "Feed+", 8},
                                        {"FeedMButt", "Feed-", 9},
                                        {"SpeedPButt", "Speed+", 10},
                                        {"SpeedMButt", "Speed-", 11},
                                        {"IncModeButt", "IncMode", 12},
                                        {"SpindleStopButt", "M05", 13},
                                        {"CoolantOnButt", "M08", 15},
                                        {"CoolantOffButt", "M09", 16},
                                        {"HomeXButt", "HomeX", 17},
                                        {"HomeZButt", "HomeZ", 18},
                                        {"HomeAllButt", "HomeAll", 19},
                                        {"CoordButt", "Coords", 20},
                                        {"SpindleCWButt", "M03", 24},
                                        {"SpindleCCWButt", "m04", 25},
                                        {"HomeYButt", "HomeY", 42},
                                        {"SetZOffsetButt", "SetZOffset", 43},
                                        {"TurboButt", "Turbo", 44}};
    auto button = [this](const char *Name, const char *Caption, int Tag) {
        auto *b = new QPushButton(Caption, FDummyButtons);
        b->setObjectName(Name);
        b->setProperty("Tag", Tag);
        return b;
    };
    for (const TCommand &c : jogs) {
        QPushButton *b = button(c.Name, c.Caption, c.Tag);
        connect(b, &QPushButton::pressed, this, [this, b] { PanelButton(b, true); });
        connect(b, &QPushButton::released, this, [this, b] { PanelButton(b, false); });
    }
    for (const TCommand &c : commands) {
        QPushButton *b = button(c.Name, c.Caption, c.Tag);
        connect(b, &QPushButton::clicked, this, [this, b] { PanelButton(b, true); });
    }
    for (const char *name : {"setup", "Key_Setup", "jog_button", "SourceSel"})
        button(name, name, 0);
    connect(button("FileM", "FileM", 0), &QPushButton::clicked, this, [this] { FileOpenClick(); });
    connect(button("ButtonEditor", "ButtonEditor", 0), &QPushButton::clicked, this,
            [this] { SelectSourceByTag(skEditor); });
    const char *offsets[] = {"SetXOffset", "SetYOffset", "SetZOffset"};
    for (int axis = 0; axis < 3; ++axis)
        connect(button(offsets[axis], offsets[axis], axis), &QPushButton::clicked, this,
                [this, axis] { SetOffsetClick(axis); });
}

void TMainForm::PanelButton(QPushButton *Button, bool Down) {
    if (!FEngine)
        return;
    if (Down)
        FEngine->PanelCommand(Button->property("Tag").toInt());
    else
        FEngine->StopJog();
}

bool TMainForm::PressCommand(const QString &Name) {
    auto *b = FDummyButtons->findChild<QPushButton *>(Name);
    if (!b)
        return false;
    b->click();
    return true;
}

TToolbarButton *TMainForm::AddButton(TToolbar *Bar, const char *Name, const char *Caption,
                                     const char *Hint, int Tag, int Glyph, bool Toggle) {
    auto *b = new TToolbarButton(Bar);
    b->setObjectName(Name);
    b->SetCaption(Caption);
    b->setToolTip(Hint);
    b->Tag = Tag;
    b->SetLayout(blGlyphTop);
    SetButtonGlyph(b, Glyph);
    const int width = std::max(44, b->fontMetrics().horizontalAdvance(b->Caption()) + 12);
    b->resize(width, 44);
    if (Toggle) {
        static int group = 100;
        b->SetGroupIndex(++group);
        b->SetAllowAllUp(true);
    }
    return b;
}

void TMainForm::BuildToolbars() {
    const TDockPosition sides[4] = {dpTop, dpLeft, dpBottom, dpRight};
    const char *names[4] = {"Dock1", "Dock2", "Dock3", "Dock4"};
    for (int i = 0; i < 4; ++i) {
        FDocks[i] = new TDock(FClient, sides[i]);
        FDocks[i]->setObjectName(names[i]);
        FDocks[i]->OnResize = [this](TDock *) { LayOutClient(); };
    }
    BuildRunButtons();
    BuildOutputButtons();
    BuildMachineButtons();
    BuildOptionButtons();
    FDataInfo = AddToolbar("dataInfo", "Modal Data", 1, 1);
    // Each bar of a row starts where the one before it ends.
    FOutputsBar->SetDockPos(FFileControl->width());
    FMachineBar->SetDockPos(FOutputsBar->DockPos() + FOutputsBar->width());
    FDataInfo->SetDockPos(FOptionsBar->width());
}

TToolbar *TMainForm::AddToolbar(const char *Name, const char *Caption, int Row, int Pos) {
    auto *t = new TToolbar(this);
    t->setObjectName(Name);
    t->SetCaption(Caption);
    t->SetDockRow(Row);
    t->SetDockPos(Pos);
    t->SetDockedTo(FDocks[0]);
    return t;
}

void TMainForm::AddButtons(TToolbar *Bar, std::initializer_list<TButtonDef> Buttons) {
    for (const TButtonDef &d : Buttons) {
        TToolbarButton *b = AddButton(Bar, d.Name, d.Caption, d.Hint, d.Tag, d.Glyph, d.Toggle);
        b->OnClick = d.Click;
        FButtons[d.Which] = b;
    }
}

void TMainForm::BuildRunButtons() {
    FFileControl = AddToolbar("Toolbar_File_Control", "File Control", 0, 0);
    auto run = [this](TToolbarButton *B) { ToolbarbuttonClick(B); };
    AddButtons(FFileControl,
               {{TMainButton::Start, "startbutton", "", "Start", 1, glStart, false, run},
                {TMainButton::Pause, "pauseButton", "", "Pause", 2, glPause, false, run},
                {TMainButton::Stop, "stopbutton", "", "Stop", 3, glStop, false, run},
                {TMainButton::Rewind, "rewindbutton", "", "Rewind", 4, glRewind, false, run}});
    for (TMainButton b :
         {TMainButton::Start, TMainButton::Pause, TMainButton::Stop, TMainButton::Rewind})
        FButtons[b]->resize(30, 30);
    FButtons[TMainButton::Start]->SetRepeating(true);
}

void TMainForm::BuildOutputButtons() {
    FOutputsBar = AddToolbar("Toolbar_output", "Outputs", 0, 1);
    auto out = [this](TToolbarButton *B) { OutputClick(B); };
    AddButtons(FOutputsBar, {{TMainButton::Output3D, "sim3d_output", "3D Simulation",
                              "Show 3D simulation window", 1, gl3D, true, out},
                             {TMainButton::Output2D, "sim2d_output", "2D Simulation",
                              "Show 2D simulation window", 0, gl2D, true, out},
                             {TMainButton::Compiled, "Comp_output", "Compiled",
                              "Select Compiled Output", 2, glCompiled, true, out},
                             {TMainButton::PostOutput, "Post_output", "Post Output",
                              "Select Post Processor output", 3, glPost, true, out},
                             {TMainButton::BlockSearch, "BlockSearchButt", "Block Search",
                              "Block Search", 5, glSearch, true, out}});
    FButtons[TMainButton::BlockSearch]->hide();
    for (auto [name, tag] : {std::pair{"Pellora_output", 0}, std::pair{"OpenGLoutput", 4}}) {
        auto *hidden =
            AddButton(FOutputsBar, name, tag == 4 ? "OpenGL" : "", "", tag, glOpenGL, true);
        hidden->hide();
        hidden->setEnabled(tag == 4);
        hidden->OnClick = out;
    }
    FButtons[TMainButton::Output3D]->OnMouseDown = [this](TToolbarButton *B, Qt::MouseButton Button,
                                                          Qt::KeyboardModifiers, int, int) {
        if (Button == Qt::RightButton && !B->Down())
            Menu("Select3Dpopup")->popup(B->mapToGlobal(QPoint(0, B->height())));
    };
}

void TMainForm::BuildMachineButtons() {
    FMachineBar = AddToolbar("Toolbar_machine", "Machine Control", 0, 2);
    auto machine = [this](TToolbarButton *B) { MachineClick(B); };
    AddButtons(FMachineBar, {{TMainButton::VROutput, "VR_Output", "VR Machine",
                              "Select virtual machine", 0, glVR, true, machine},
                             {TMainButton::MachineOutput, "Mach_output", "Machine",
                              "Select real machine", 1, glMachine, true, machine}});
    FButtons[TMainButton::MachineOutput]->OnMouseDown =
        [this](TToolbarButton *B, Qt::MouseButton Button, Qt::KeyboardModifiers, int, int) {
            if (Button == Qt::RightButton)
                Menu("MachPopup")->popup(B->mapToGlobal(QPoint(0, B->height())));
        };
}

void TMainForm::BuildOptionButtons() {
    FOptionsBar = AddToolbar("toolbar_modal", "Options", 1, 0);
    AddButtons(FOptionsBar,
               {{TMainButton::Units, "level2mm", "Units", "Units", 0, glUnits, false,
                 [this](TToolbarButton *) { UnitsClick(); }},
                {TMainButton::Offsets, "mat_offset", "Offsets", "Offsets", 0, glOffsets, true,
                 [this](TToolbarButton *) { OffsetsClick(); }},
                {TMainButton::Tooling, "Tooling_but", "Tooling", "Tooling", 0, glTooling, true,
                 [this](TToolbarButton *B) { ToolingClick(B); }},
                {TMainButton::ToolLibrary, "ToolLib_but", "Tool Library", "Tool Library", 0,
                 glToolLib, true, [this](TToolbarButton *B) { ToolLibraryClick(B); }},
                {TMainButton::BlockSkip, "skipBlock", "Block Skip ", "Block Skip", 0, glSkip, false,
                 [this](TToolbarButton *) { skipBlockClick(); }},
                {TMainButton::SingleBlock, "progCont", "Continuous", "Execute Mode", 0,
                 glContinuous, true, [this](TToolbarButton *) { progContClick(); }}});
}

void TMainForm::BuildModalLabels() {
    for (int i = 1; i <= 25; ++i) {
        auto *label = new QLabel(QTr("Group ") + QString::number(i), FDataInfo);
        label->setObjectName(QString("ModalLabel%1").arg(i));
        label->setFixedSize(40, 15);
        label->setAlignment(Qt::AlignCenter);
        label->setToolTip(QString::fromStdString(ModalHint(i)));
        label->setProperty("GroupNumber", i);
        QFont f = label->font();
        f.setPixelSize(9);
        label->setFont(f);
        FModalLabels.push_back(label);
    }
}

// The modal labels' tips, and the labels that no modal value has replaced
// yet ("Group n").
void TMainForm::RefreshModalLabels() {
    for (int i = 1; i <= static_cast<int>(FModalLabels.size()); ++i) {
        QLabel *label = FModalLabels[i - 1];
        label->setToolTip(QString::fromStdString(ModalHint(i)));
        if (label->property("GroupNumber").isValid())
            label->setText(QTr("Group ") + QString::number(i));
    }
}

void TMainForm::BuildTransformations() {
    FTransformations = new QWidget(this, Qt::Tool);
    FTransformations->setObjectName("Transformations");
    FTransformations->setWindowTitle("Coordinate Transformations");
    auto *column = new QVBoxLayout(FTransformations);
    auto group = [&](QGroupBox *&Box, QLabel *&Text, const char *Name, const char *Title) {
        Box = new QGroupBox(Title, FTransformations);
        Box->setObjectName(Name);
        Text = new QLabel("0", Box);
        (new QVBoxLayout(Box))->addWidget(Text);
        Box->hide();
        column->addWidget(Box);
    };
    group(FMirror, FMirrorText, "Mirror", "Mirror");
    group(FScaling, FScalingText, "Scaling", "Scaling");
    group(FRotation, FRotationText, "Rotation", "Rotation");
    FTransformations->resize(199, 211);
    FTransformations->hide();
}

void TMainForm::BuildStatusBars() {
    FStatusBar1 = new TShellStatusBar(this);
    FStatusBar1->setObjectName("StatusBar1");
    FStatusBar2 = new TShellStatusBar(this);
    FStatusBar2->setObjectName("StatusBar2");
    const struct {
        const char *Text;
        int Width;
    } bar1[] = {{"Metric", 50},
                {"Continuous Mode", 100},
                {"Skip Block OFF", 85},
                {"Cycle time 00:00:00", 110},
                {"", 50}};
    for (int i = 0; i < 5; ++i)
        FitInitialPanel(FStatusBar1, i, QTr(bar1[i].Text), bar1[i].Width);
    FStatusBar1->Panel(2).OwnerDrawn = true;
    FStatusBar1->Panel(4).Bevel = false;
    const struct {
        const char *Text;
        int Width;
        bool Bevel;
    } bar2[] = {{"Offsets:", 40, false},
                {"", 50, true},
                {"File:", 25, false},
                {"", 50, true},
                {"", 50, false}};
    for (int i = 0; i < 5; ++i) {
        FitInitialPanel(FStatusBar2, i, QTr(bar2[i].Text), bar2[i].Width);
        FStatusBar2->Panel(i).Bevel = bar2[i].Bevel;
    }
}

void TMainForm::LayOutClient() {
    if (!FClient || !FMdi)
        return;
    TDock::AlignDocks(FClient);
    FMdi->setGeometry(TDock::FormClientRect(FClient));
    PaintBackground();
}

// A picture wider than 399 pixels is stretched over the area; a narrower
// one is tiled from the top-left corner.
void TMainForm::PaintBackground() {
    if (!FBackgroundOn || FBackground.isNull())
        return;
    if (FBackground.width() > 399)
        FMdi->setBackground(QBrush(FBackground.scaled(FMdi->size().expandedTo(QSize(1, 1)))));
    else
        FMdi->setBackground(QBrush(FBackground));
}

void TMainForm::resizeEvent(QResizeEvent *Event) {
    QMainWindow::resizeEvent(Event);
    LayOutClient();
}

// --- First show -------------------------------------------------------------

void TMainForm::showEvent(QShowEvent *Event) {
    QMainWindow::showEvent(Event);
    if (!FShown)
        FormShow();
}

void TMainForm::FormShow() {
    if (FShown)
        return;
    FShown = true;
    FEngine = std::make_unique<TBaseForm>(*this);
    FEngine->FormCreate();
    FEngine->OnInputStateChanged = [this](TObject *) { InputStateChanged(); };
    FEngine->OnCycleStateChanged = [this](TObject *) { CycleStateChanged(); };
    StartRemoteInputs();
    FRecent->LoadHistory();
    RestoreToolbarLayout(FMainIni);
    HideListedButtons(FMainIni);
    TIniFile ini(FMainIni);
    FDefaultBillet = ReadDefaultBillet(FMainIni);
    FStatusBar1->hide();
    FStatusBar1->Panel(2).Text = QTr("Skip Block OFF");
    FStatusBar1->Panel(1).Text = QTr("Continuous Mode");
    CheckSupportFiles();
    FStatusBar1->show();
    const bool expanded = ini.ReadBool("Data", "Expanded Cycles", true);
    MenuItem("CycleExpansion")->setChecked(expanded);
    FEngine->ShowExpanded = expanded;
    BuildSourceMenu();
    FHelpPath = ProgramFolder() + ini.ReadString("Default Settings", "Help File", "mill.hlp");
    BuildUtilitiesMenu(ReadUtilityTitles(FMainIni));
    UpdateCaption();
    ShowUnits();
    const std::string first = NetUtil().Param1;
    if (!first.empty() && FileExists(first)) {
        std::string name = std::filesystem::absolute(first).lexically_normal().string();
        OpenProgramFile(0, name);
    }
    SetUserDecimalSeparator(".");
    BindHelpItems();
    UpdateCaption();
    CycleStateChanged();
    LayOutClient();
    AttachFormTranslator();
}

void TMainForm::BuildSourceMenu() {
    QMenu *source = Menu("Source");
    QAction *editor = nullptr;
    for (const TSourceItem &item : ReadSourceMenu(FMainIni)) {
        QAction *a = source->addAction(QString::fromStdString(item.Caption));
        a->setObjectName(QString::fromStdString(item.Name));
        a->setData(item.Tag);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a] { SourceSelectClick(a); });
        FSourceItems.push_back(a);
        if (item.Tag == skEditor && !editor)
            editor = a;
    }
    if (editor)
        SourceSelectClick(editor);
}

void TMainForm::UpdateCaption() {
    std::string machine;
    if (FEngine && FEngine->MachineData())
        machine = FEngine->MachineData()->ActiveMachine;
    setWindowTitle(QTr("Orvellan  -  ") + QString::fromStdString(machine));
}

bool TMainForm::CheckSupportFiles()
{
    TSupportProbes probes;
    // The VR control is the simulated world of the links. The simulation
    // control is made by its class id; registration takes "Velmarox.OCX"
    // from the program folder, or from beside the binary when the program's
    // files live apart.
    probes.CreateVR = [] { return CanCreateVRControl(); };
    probes.CreateSimulation = [] {
        TComPtr control;
        return CreateInstance(VelmaroxControlClassId, control) == S_OK;
    };
    probes.RegisterSimulation = [] {
        std::error_code ec;
        const std::string binaryFolder =
            std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string() + "/";
        return RegisterActiveXServer(ProgramFolder() + "Velmarox.OCX") ||
               RegisterActiveXServer(binaryFolder + "Velmarox.OCX");
    };
    const TSupportResult result = orv::CheckSupportFiles(
        ReadSupportPaths(FMainIni, ProgramFolder(), FEngine ? FEngine->MachineData() : nullptr),
        probes);
    ApplySupportResult(result.VRAvailable, result.Sim3DAvailable);
    if (result.Missing.empty())
        return true;
    TFile_warn warn(this);
    QStringList lines;
    for (const std::string &m : result.Missing)
        lines << QString::fromStdString(m);
    warn.List->setPlainText(lines.join("\n"));
    RunModal(warn);
    return true;
}

void TMainForm::ApplySupportResult(bool VRAvailable, bool Sim3DAvailable) {
    Button(TMainButton::VROutput)->setProperty("available", VRAvailable);
    if (!VRAvailable)
        Button(TMainButton::VROutput)->setEnabled(false);
    if (!Sim3DAvailable)
        Button(TMainButton::Output3D)->hide();
    FOutputsBar->Arrange();
}

void TMainForm::BindHelpItems() {
    const std::string language = HelpLanguageName(Mess().Dictionary());
    const THelpFiles help = HelpFilesFor(language, ProgramFolder(), ProgramFileName(), FHelpPath);
    Help().SetHelpFile(help.ApplicationHelpFile);
    MenuItem("HelpProduct")->setData(QString::fromStdString(help.ProductHelp));
    MenuItem("HelpProgramming")->setData(QString::fromStdString(help.ProgrammingHelp));
}

void TMainForm::HelpClick(bool Programming) {
    const QString file =
        MenuItem(Programming ? "HelpProgramming" : "HelpProduct")->data().toString();
    Help().ShowContents(file.toStdString());
}

// --- Close ------------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent *Event) {
    if (!FClosed && !EditorsMayClose()) {
        Event->ignore();
        return;
    }
    FormClose();
    Event->accept();
}

// Every editor window with unsaved work is asked before anything closes;
// Cancel in any of them keeps the program and all the work.
bool TMainForm::EditorsMayClose() {
    std::vector<TEditorForm *> editors;
    for (QMdiSubWindow *sub : FMdi->subWindowList())
        if (auto *editor = qobject_cast<TEditorForm *>(sub->widget()))
            editors.push_back(editor);
    for (TEditorForm *editor : editors)
        if (!editor->CloseQuery())
            return false;
    // Saved or not wanted: the source's farewell asks no more.
    for (TEditorForm *editor : editors)
        editor->ForgetChanges();
    return true;
}

void TMainForm::FormClose() {
    if (FClosed)
        return;
    FClosed = true;
    FMachineBar->SetVisible(true);
    FOutputsBar->SetVisible(true);
    TIniFile ini(FMainIni);
    if (!ini.ReadBool("Default Settings", "NFM", false))
        SaveToolWindowPositions(this, FMainIni);
    WriteDefaultBillet(FMainIni, FDefaultBillet);
    TCloseKeys keys;
    if (FEngine && FEngine->WorkOffsets()) {
        keys.MachineOffset = FEngine->WorkOffsets()->CurrentMOffset();
        keys.SimulationOffset = FEngine->WorkOffsets()->CurrentSOffset();
    }
    keys.ExpandedCycles = MenuItem("CycleExpansion")->isChecked();
    if (FEngine)
        WriteCloseKeys(FMainIni, keys);
    if (FEngine)
        FEngine->StopAll();
}

// --- Application event filter: dropped files, Escape, the engine's keys -----

bool TMainForm::eventFilter(QObject *Watched, QEvent *Event) {
    if (Watched == FClient && Event->type() == QEvent::Resize) {
        LayOutClient();
        return false;
    }
    auto *widget = qobject_cast<QWidget *>(Watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(Watched, Event);
    switch (Event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(Event);
        if (!LocalFiles(drag->mimeData()).empty()) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(Event);
        const std::vector<std::string> files = LocalFiles(drop->mimeData());
        if (files.empty())
            break;
        drop->acceptProposedAction();
        DropFiles(files);
        return true;
    }
    case QEvent::Shortcut: {
        // A window's button with the same hot key as a menu of the bar (the
        // window lies in the main window, so both are asked): the menu wins,
        // as it does in every other window.
        auto *shortcut = static_cast<QShortcutEvent *>(Event);
        if (!shortcut->isAmbiguous() || Watched == menuBar())
            break;
        for (QAction *title : menuBar()->actions())
            if (title->isVisible() && title->isEnabled() && title->menu() &&
                QKeySequence::mnemonic(title->text()) == shortcut->key()) {
                menuBar()->setActiveAction(title);
                return true;
            }
        break;
    }
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(Event);
        const QWidget *focus = QApplication::focusWidget();
        if (widget != (focus ? focus : this))
            break;
        if (key->key() == Qt::Key_Escape && FEngine && FEngine->RunState() == csRunning) {
            EscapePressedDuringRun();
            return true;
        }
        if (FKeyHandler)
            FKeyHandler(VirtualKeyOf(*key));
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TMainForm::DropFiles(const std::vector<std::string> &Files) {
    if (Files.empty() || (FEngine && FEngine->RunState() == csRunning))
        return;
    std::string name = Files.front();
    OpenProgramFile(0, name);
    if (Files.size() > 1)
        Mess().ShowMessageByIndex(27, mtError, mbOK);
}

// --- MDI children -----------------------------------------------------------

namespace {
// Closing the sub-window of an output's or a tool window's button releases
// that button, which frees the window (after the close has finished).
class TReleaseOnClose : public QObject {
public:
    TReleaseOnClose(QMdiSubWindow *Sub, TToolbarButton *Button) : QObject(Sub), FButton(Button) {
        Sub->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override {
        if (Event->type() == QEvent::Close && FButton && FButton->Down()) {
            QPointer<TToolbarButton> button = FButton;
            EventLoop().Post([button] {
                if (button && button->Down())
                    button->Click();
            });
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    QPointer<TToolbarButton> FButton;
};
} // namespace

namespace {
// A window hidden by its own command hides its sub-window too.
class TFollowChild : public QObject {
public:
    TFollowChild(QMdiSubWindow *Sub, QWidget *Child) : QObject(Sub), FSub(Sub) {
        Child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override {
        if (Event->type() == QEvent::HideToParent && FSub->isVisible())
            FSub->hide();
        return QObject::eventFilter(Watched, Event);
    }

private:
    QMdiSubWindow *FSub;
};
} // namespace

namespace {
// The room a sub-window has: its MDI area's viewport.
QRect Room(const QMdiSubWindow *Sub) {
    return Sub->parentWidget() ? Sub->parentWidget()->rect() : QRect();
}

// A window opens inside the MDI area: one placed or stored past its edge
// comes in, one larger than the area gets the area's size (not below its
// minimum).
void FitInArea(QMdiSubWindow *Sub) {
    const QRect room = Room(Sub);
    if (room.isEmpty() || Sub->isMaximized() || Sub->isMinimized())
        return;
    const QSize size = Sub->size().boundedTo(room.size()).expandedTo(Sub->minimumSize());
    if (size != Sub->size())
        Sub->resize(size);
    Sub->move(std::clamp(Sub->x(), 0, std::max(0, room.width() - size.width())),
              std::clamp(Sub->y(), 0, std::max(0, room.height() - size.height())));
}

// Each show of a sub-window fits it in the area; a borderless one (no
// title bar to take) moves with a drag on any spot of it that no control
// takes, and stays inside the area.
class TKeepInArea : public QObject {
public:
    explicit TKeepInArea(QMdiSubWindow *Sub) : QObject(Sub), FSub(Sub) {
        Sub->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *Event) override {
        switch (Event->type()) {
        case QEvent::Show:
            FitInArea(FSub);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return (FSub->windowFlags() & Qt::FramelessWindowHint) &&
                   Drag(static_cast<QMouseEvent *>(Event));
        default:
            break;
        }
        return false;
    }

private:
    bool Drag(QMouseEvent *Event) {
        const QPoint at = FSub->parentWidget()->mapFromGlobal(Event->globalPosition().toPoint());
        if (Event->type() == QEvent::MouseButtonPress) {
            if (Event->button() != Qt::LeftButton)
                return false;
            FDragging = true;
            FGrip = at - FSub->pos();
            return true;
        }
        if (!FDragging)
            return false;
        if (Event->type() == QEvent::MouseButtonRelease)
            FDragging = false;
        const QRect room = Room(FSub);
        const QPoint to = at - FGrip;
        FSub->move(std::clamp(to.x(), 0, std::max(0, room.width() - FSub->width())),
                   std::clamp(to.y(), 0, std::max(0, room.height() - FSub->height())));
        return true;
    }

    QMdiSubWindow *FSub;
    bool FDragging = false;
    QPoint FGrip; // the pointer less the window's position at the press (area pixels)
};
} // namespace

void TMainForm::ReleaseOnClose(QWidget *Window, TMainButton Which) {
    if (auto *sub = qobject_cast<QMdiSubWindow *>(Window->parentWidget()))
        new TReleaseOnClose(sub, Button(Which));
}

// An MDI child whose frame keeps its position, under the window's name.
QMdiSubWindow *TMainForm::KeepPosition(QWidget *Window, const std::string &ClassName,
                                       TPosBorder Border) {
    QMdiSubWindow *sub = AdoptChild(Window);
    if (sub)
        new TQtPos_size(sub, ClassName, Border, Window->objectName().toStdString());
    return sub;
}

QMdiSubWindow *TMainForm::AdoptChild(QWidget *Window) {
    if (!Window)
        return nullptr;
    if (auto *existing = qobject_cast<QMdiSubWindow *>(Window->parentWidget()))
        return existing;
    const QSize size = Window->size();
    QMdiSubWindow *sub = FMdi->addSubWindow(Window);
    // A window whose frame has a title and no close button (the editor
    // minimises and maximises only) keeps that frame in the MDI area.
    const Qt::WindowFlags own = Window->windowFlags();
    if ((own & Qt::WindowTitleHint) && !(own & Qt::WindowCloseButtonHint))
        sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            (own & Qt::WindowMinMaxButtonsHint));
    sub->setWindowTitle(Window->windowTitle());
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->hide();
    sub->resize(size.expandedTo(QSize(200, 150)) + QSize(8, 30));
    // The window goes with its owner, and hides itself (an "OK" that hides
    // the form): the sub-window follows it.
    connect(Window, &QObject::destroyed, sub, [sub] { sub->deleteLater(); });
    new TFollowChild(sub, Window);
    new TKeepInArea(sub);
    // A child without a translator of its own gets one with its class name.
    if (!TranslatorOf(Window)) {
        const QString name = QString(Window->metaObject()->className()).section("::", -1);
        AttachTranslator(Window, name.toStdString());
    }
    return sub;
}

void TMainForm::MergeChildMenus(QMdiSubWindow *Window) {
    for (const QPointer<QAction> &a : FMergedActions)
        if (a)
            menuBar()->removeAction(a);
    FMergedActions.clear();
    auto *child = Window ? qobject_cast<QMainWindow *>(Window->widget()) : nullptr;
    if (!child || !child->menuWidget())
        return;
    auto *own = qobject_cast<QMenuBar *>(child->menuWidget());
    if (!own)
        return;
    own->hide();
    QAction *before = Menu("Windows")->menuAction();
    for (QAction *a : own->actions()) {
        menuBar()->insertAction(before, a);
        FMergedActions.push_back(a);
    }
    // The child's menus as they are now, in the language, with hot keys.
    TranslateAgain(child);
}

// --- Menus ------------------------------------------------------------------

QAction *TMainForm::MenuItem(const QString &Name) const {
    auto it = FActions.find(Name);
    return it == FActions.end() ? nullptr : it->second;
}

QMenu *TMainForm::Menu(const QString &Name) const {
    auto it = FMenus.find(Name);
    return it == FMenus.end() ? nullptr : it->second;
}

TToolbarButton *TMainForm::Button(TMainButton Which) const {
    auto it = FButtons.find(Which);
    return it == FButtons.end() ? nullptr : it->second;
}

TToolbarButton *TMainForm::ButtonByName(const QString &Name) const {
    return findChild<TToolbarButton *>(Name);
}

} // namespace orv
