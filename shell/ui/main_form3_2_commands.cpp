// The main window's commands: menus, run, output, machine and option
// buttons, the choice of source, the open routine and the engine's
// callbacks; and the windows and outputs it makes for the engine.
#include "shell/ui/main_form3_2.h"

#include "engine/simlink/SimLink.h"
#include "engine/simlink/ui/ThreeDWindow.h"

#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "engine/chain/BasicInput.h"
#include "engine/chain/BasicOutput.h"
#include "engine/core/Mess.h"
#include "engine/core/ui/MacroVarsForm.h"
#include "engine/form/FanucScreen.h"
#include "fanuc/ui/Fanuc21Form.h"
#include "engine/form/EditorInput.h"
#include "engine/form/TextInput.h"
#include "shell/ui/editor.h"
#include "engine/form/base.h"
#include "engine/form/ui/EngineWindows.h"
#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/Draw_2D.h"
#include "engine/view2d/ui/Form2DWindow.h"
#include "links/MachLink.h"
#include "links/ui/LineDebugForm.h"
#include "links/ui/MintFindForm.h"
#include "engine/core/NetUtil.h"
#include "machine/BasicControlPanel.h"
#include "machine/BasicMachine.h"
#include "machine/ControlPanelStd.h"
#include "machine/DummyLinkMill.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/ui/ControlPanelStdForm.h"
#include "machine/ui/Progress.h"
#include "machine/ui/Work_piece_offsets_form2.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/ui/MdiHost.h"
#include "platform/ui/ModalRunner.h"
#include "platform/ui/QtPos_size.h"
#include "platform/ui/ScreenSaver.h"
#include "shell/ProjectFile.h"
#include "view3d/milling/ui/GLWorld3D.h"
#include "shell/ui/Billet_size.h"
#include "shell/ui/Choice_From.h"
#include "shell/ui/Mach_Warn.h"
#include "localise/ui/LxQtTranslator.h"
#include "shell/ui/RecentMenuMW.h"
#include "shell/ui/ShellGlyphs.h"
#include "shell/ui/ShellStatusBar.h"
#include "shell/ui/key_setup.h"
#include "shell/ui/splash.h"
#include "shell/ui/TranslatedText.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QToolButton>

namespace orv {

namespace {

const TMainButton RunButtonsOrder[] = {TMainButton::Start, TMainButton::Pause, TMainButton::Stop,
                                       TMainButton::Rewind};

} // namespace

// --- Menus ------------------------------------------------------------------
// Menus and items carry their English texts; the window's translator gives
// them the language.

QMenu *TMainForm::NewMenu(QMenu *Parent, const char *Name, const char *Caption) {
    QMenu *m = Parent ? Parent->addMenu(Caption) : menuBar()->addMenu(Caption);
    m->setObjectName(Name);
    FMenus[Name] = m;
    return m;
}

QAction *TMainForm::NewItem(QMenu *Parent, const char *Name, const char *Caption,
                            std::function<void()> Action) {
    QAction *a = Parent->addAction(Caption);
    a->setObjectName(Name);
    FActions[Name] = a;
    if (Action)
        connect(a, &QAction::triggered, this, [Action] { Action(); });
    return a;
}

void TMainForm::BuildMenus() {
    BuildFileMenu();
    BuildSetupMenu();
    QMenu *windows = NewMenu(nullptr, "Windows", "Windows");
    NewItem(windows, "WindowsCascade", "Cascade", [this] { FMdi->cascadeSubWindows(); });
    NewItem(windows, "WindowsTile", "Tile", [this] { FMdi->tileSubWindows(); });
    windows->addSeparator();
    connect(windows, &QMenu::aboutToShow, this, [this] { ListWindows(); });
    NewMenu(nullptr, "Utilities", "Utilities");
    QMenu *help = NewMenu(nullptr, "Help", "&Help");
    NewItem(help, "HelpProduct", "&Orvellan", [this] { HelpClick(false); });
    NewItem(help, "HelpProgramming", "CNC &Programming", [this] { HelpClick(true); });
    NewItem(help, "HelpAbout", "&About...", [] {
        MessageDlg(Mess().Translate("About"), "Orvellan\nTarnwick", mtInformation, mbOK);
    });
    BuildPopupMenus();
    BuildToolbarSetupMenus();
}

void TMainForm::BuildFileMenu() {
    QMenu *file = NewMenu(nullptr, "File", "File");
    NewItem(file, "FileNew", "New...", [this] {
        if (FEngine && FEngine->Source())
            FEngine->Source()->NewFile();
    });
    NewItem(file, "FileOpen", "Open...", [this] { FileOpenClick(); });
    NewItem(file, "FileOpenProject", "Open Project...", [this] { OpenProject1Click(); });
    NewMenu(file, "ReOpen", "ReOpen");
    NewItem(file, "FileSave", "Save", [this] {
        if (FEngine && FEngine->Source())
            FEngine->Source()->SaveFile();
    });
    NewItem(file, "FileSaveAs", "Save As...", [this] { SaveAsClick(); });
    NewItem(file, "FileSaveProject", "Save Project...", [this] { SaveProjectMnuClick(); });
    NewMenu(file, "Source", "Source");
    file->addSeparator();
    NewItem(file, "FileExit", "Exit", [this] { close(); });
}

void TMainForm::BuildSetupMenu() {
    QMenu *setup = NewMenu(nullptr, "Setup", "Set&up");
    QMenu *units = NewMenu(setup, "Units", "Units");
    NewItem(units, "UnitsMetric", "Metric", [this] { UnitsClick(); })->setCheckable(true);
    NewItem(units, "UnitsInch", "Inch", [this] { UnitsClick(); })->setCheckable(true);
    QMenu *view = NewMenu(setup, "View", "View");
    QAction *expansion = NewItem(view, "CycleExpansion", "Cycle Expansion", nullptr);
    expansion->setCheckable(true);
    connect(expansion, &QAction::toggled, this, [this](bool On) {
        if (FEngine)
            FEngine->ShowExpanded = On;
    });
    NewItem(view, "DDEConnection", "DDE Connection...", nullptr)->setVisible(false);
    QMenu *mode = NewMenu(setup, "ExecuteMode", "Execute Mode");
    // The items only show the mode (the Continuous button sets it): a click
    // puts the tick back where the mode is. The run starts continuous.
    const auto showMode = [this] {
        const bool step = FEngine && FEngine->SingleStep();
        MenuItem("ModeStep")->setChecked(step);
        MenuItem("ModeContinuous")->setChecked(!step);
    };
    NewItem(mode, "ModeContinuous", "Continuous", showMode)->setCheckable(true);
    NewItem(mode, "ModeStep", "Step", showMode)->setCheckable(true);
    MenuItem("ModeContinuous")->setChecked(true);
    // The machine list and parameter editor, behind the settings password.
    NewItem(setup, "SetupMachine", "Setup Machine Parameters...", [this] {
        if (FEngine)
            FEngine->SetupClick();
        UpdateCaption();
    });
    NewItem(setup, "SelectLanguage", "Select Language", [this] { SelectLanguageClick(); });
    NewItem(setup, "JogKeys", "Jog Keys", [this] {
        if (FEngine)
            FEngine->JogKeySetup();
    });
    NewItem(setup, "CIMSettings", "CIM RS232 Input Settings...", nullptr)->setVisible(false);
    NewItem(setup, "MacroVariables", "Macro Variables", [this] { ShowMacroVariables(); });
    NewItem(setup, "BilletSize", "Default Billet Size...", [this] { BilletSizeClick(); });
}

// The 3D Simulation button's choice and the Machine button's menu.
void TMainForm::BuildPopupMenus() {
    QMenu *choose3D = new QMenu(this);
    choose3D->setObjectName("Select3Dpopup");
    FMenus["Select3Dpopup"] = choose3D;
    auto *group = new QActionGroup(choose3D);
    FStandard3D = choose3D->addAction("Standard 3D");
    FOpenGL3D = choose3D->addAction("OpenGL enhanced 3D");
    for (QAction *a : {FStandard3D, FOpenGL3D}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    TIniFile ini(FMainIni);
    (ini.ReadBool("3DGraphics", "Use OpenGl", false) ? FOpenGL3D : FStandard3D)->setChecked(true);
    connect(FStandard3D, &QAction::triggered, this, [this] { OpenGlClick(false); });
    connect(FOpenGL3D, &QAction::triggered, this, [this] { OpenGlClick(true); });

    QMenu *machine = new QMenu(this);
    machine->setObjectName("MachPopup");
    FMenus["MachPopup"] = machine;
    NewItem(machine, "WarnOnPlay", "Warn User When Play is Pressed",
            [this] { TIniFile(FMainIni).WriteBool("Default Settings", "Warn ON Play", true); });
    NewItem(machine, "SearchMachine", "Search for machine . . .", [this] { SearchForMachine(); });
}

// The Windows menu lists the MDI children after its own items.
void TMainForm::ListWindows() {
    QMenu *windows = Menu("Windows");
    for (QAction *a : FWindowItems) {
        windows->removeAction(a);
        a->deleteLater();
    }
    FWindowItems.clear();
    int n = 0;
    for (QMdiSubWindow *sub : FMdi->subWindowList()) {
        QAction *a = windows->addAction(QString("&%1 %2").arg(++n).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == FMdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { BringBack(sub); });
        FWindowItems.push_back(a);
    }
}

// A window picked from the Windows menu comes back whatever hid it: its
// content, its frame, a minimised frame.
void TMainForm::BringBack(QMdiSubWindow *Sub) {
    if (Sub->widget() && Sub->widget()->isHidden())
        Sub->widget()->show();
    if (Sub->isMinimized())
        Sub->showNormal();
    else
        Sub->show();
    FMdi->setActiveSubWindow(Sub);
}

void TMainForm::SetMenuItemVisible(TMainMenuItem Item, bool Visible) {
    QAction *a = MenuItem(Item == TMainMenuItem::CimSettings ? "CIMSettings" : "DDEConnection");
    if (a)
        a->setVisible(Visible);
}

void TMainForm::SetMenuEnabled(TMainMenu Which, bool Enabled) {
    Menu(Which == TMainMenu::File ? "File" : "Setup")->setEnabled(Enabled);
}

void TMainForm::FileOpenClick() {
    TIniFile ini(FMainIni);
    std::string folder =
        IncludeTrailingDelimiter(ini.ReadString("directories", "FNC Folder", ProgramFolder()));
    if (!OpenProgramFile(0, folder))
        return;
    ini.WriteString("directories", "FNC Folder", ExtractFilePath(folder));
    FRecent->AddFile(folder);
    TranslateAgain(this);
}

// --- Project files -----------------------------------------------------------

namespace {

TFileRequest ProjectRequest(TFileDialogKind Kind, const std::string &Folder)
{
    TFileRequest request;
    request.Kind = Kind;
    request.Title = Mess().Translate(Kind == TFileDialogKind::Save ? "Save Corvane CNC Project"
                                                                   : "Open Corvane CNC Project");
    request.Filter = "Corvane CNC Project File (*.prj)|*.PRJ";
    request.DefaultExt = "PRJ";
    request.InitialDir = Folder;
    return request;
}

} // namespace

void TMainForm::SaveProjectMnuClick()
{
    if (!FEngine)
        return;
    TIniFile ini(FMainIni);
    std::optional<std::string> chosen = Messages().ChooseFile(ProjectRequest(
        TFileDialogKind::Save, ini.ReadString("directories", "FNC Folder", ProgramFolder())));
    if (!chosen || chosen->empty())
        return;
    // With no program loaded the folder stays: an empty one would send the
    // next file dialog to the current directory.
    if (!FEngine->ProgramFile().empty())
        ini.WriteString("directories", "FNC Folder", ExtractFilePath(FEngine->ProgramFile()));
    TProjectData data;
    data.Filename = FEngine->ProgramFile();
    if (FEngine->Tooling())
        data.ToolSetup = FEngine->Tooling()->DataFile();
    if (FEngine->WorkOffsets()) {
        data.MachineWorkPiece = FEngine->WorkOffsets()->CurrentMOffset();
        data.SimulationWorkPiece = FEngine->WorkOffsets()->CurrentSOffset();
    }
    data.Metric = !FEngine->Inch();
    data.ExpandedCycles = MenuItem("CycleExpansion")->isChecked();
    WriteProjectFile(*chosen, data);
}

void TMainForm::OpenProject1Click()
{
    TIniFile ini(FMainIni);
    std::optional<std::string> chosen = Messages().ChooseFile(ProjectRequest(
        TFileDialogKind::Open, ini.ReadString("directories", "FNC Folder", ProgramFolder())));
    if (chosen && !chosen->empty())
        OpenProject(*chosen);
}

void TMainForm::OpenProject(const std::string &FileName)
{
    if (!FEngine)
        return;
    class TApply : public TProjectTarget {
    public:
        explicit TApply(TMainForm &Form) : F(Form) {}
        void OpenProgram(std::string FileName) override { F.OpenProgramFile(0, FileName); }
        void SetToolFile(const std::string &FileName) override
        {
            if (F.FEngine && F.FEngine->Tooling())
                F.FEngine->Tooling()->SetDataFile(FileName);
        }
        void SetMachineOffset(const std::string &Name) override
        {
            if (!F.FEngine || !F.FEngine->WorkOffsets())
                return;
            F.FEngine->WorkOffsets()->SetCurrentMOffset(Name);
            F.SetStatusText(2, 1, F.FEngine->WorkOffsets()->CurrentMOffset(), false);
        }
        void SetSimulationOffset(const std::string &Name) override
        {
            if (F.FEngine && F.FEngine->WorkOffsets())
                F.FEngine->WorkOffsets()->SetCurrentSOffset(Name);
        }
        void SetInch(bool Inch) override
        {
            if (F.FEngine)
                F.FEngine->SetUnits(Inch);
            F.ShowUnits();
        }
        void SetCycleExpansion(bool On) override { F.MenuItem("CycleExpansion")->setChecked(On); }

    private:
        TMainForm &F;
    } apply(*this);
    ApplyProject(ReadProjectFile(FileName), apply);
}

void TMainForm::OpenCommand()
{
    QPointer<TMainForm> self(this);
    EventLoop().Post([self] {
        if (self)
            self->FileOpenClick();
    });
}

void TMainForm::RecentClick(const std::string &FileName) {
    TranslateAgain(this); // the list was made again
    if (FileExists(FileName)) {
        std::string name = FileName;
        OpenProgramFile(0, name);
    } else if (FEngine && FEngine->Source()) {
        FEngine->Source()->NewFile();
    }
}

void TMainForm::SaveAsClick() {
    if (!FEngine || !FEngine->Source())
        return;
    std::string name;
    FEngine->Source()->SaveFileAs(name);
    // A cancelled save leaves the program as it was.
    if (name.empty())
        return;
    FEngine->SetProgramFile(name);
    FRecent->AddFile(name);
    TranslateAgain(this);
}

void TMainForm::BilletSizeClick() {
    TB_Size dialog(this, FEngine && FEngine->Inch());
    dialog.Values[0] = FDefaultBillet.XSize;
    dialog.Values[1] = FDefaultBillet.YSize;
    dialog.Values[2] = FDefaultBillet.ZSize;
    dialog.Values[3] = FDefaultBillet.XPos;
    dialog.Values[4] = FDefaultBillet.YPos;
    dialog.FormShow();
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    FDefaultBillet.XSize = dialog.Values[0];
    FDefaultBillet.YSize = dialog.Values[1];
    FDefaultBillet.ZSize = dialog.Values[2];
    FDefaultBillet.XPos = dialog.Values[3];
    FDefaultBillet.YPos = dialog.Values[4];
    UpdateBillet();
}

// The finder searches at once and closes; a port found goes into the
// machine data and the active machine's file.
void TMainForm::SearchForMachine() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TToolbarButton *machine = Button(TMainButton::MachineOutput);
    bool enabled = machine->isEnabled();
    machine->setEnabled(false);
    FFoundPort = orv::SearchForMachine(this, FEngine ? FEngine->MachineData() : nullptr,
                                       NetUtil().Param1);
    machine->setEnabled(enabled);
    QApplication::restoreOverrideCursor();
}

// --- Open routine -----------------------------------------------------------

bool TMainForm::OpenProgramFile(int Mode, std::string &FileName) {
    return orv::OpenProgramFile(*this, Mode, FileName);
}

bool TMainForm::EngineStopped() const {
    return FEngine && FEngine->RunState() == csStopped;
}

TRunButtons TMainForm::DisableRunButtons() {
    const TRunButtons before = RunButtons();
    for (TMainButton b : RunButtonsOrder)
        Button(b)->setEnabled(false);
    return before;
}

void TMainForm::RestoreRunButtons(const TRunButtons &Before) {
    SetRunButtons(Before);
}

int TMainForm::SourceTag() const {
    return FEngine ? FEngine->SourceKind() : 0;
}

void TMainForm::ReportNotFound(const std::string &FileName) {
    MessageDlg(Mess().Translate(TMess::DialogCaption(mtError)),
               Mess().MessageText(1) + "\n" + FileName, mtError, mbOK);
}

bool TMainForm::LoadInSource(std::string &FileName) {
    return FEngine->Source() && FEngine->Source()->LoadFile(FileName);
}

void TMainForm::ShowProgramPath(const std::string &FileName) {
    SetStatusPanel(2, 3, FileName);
}

void TMainForm::AfterProgramLoaded(const std::string &FileName) {
    FEnded = false;
    Button(TMainButton::Compiled)->SetDown(false);
    FEngine->ProgramLoaded(FileName, true, 0);
    Button(TMainButton::Start)->setEnabled(true);
    Button(TMainButton::Stop)->setEnabled(true);
}

void TMainForm::AfterCompiledLoaded(const std::string &FileName) {
    FEnded = false;
    Button(TMainButton::Compiled)->SetDown(false);
    FEngine->CompiledProgramLoaded(FileName);
    Button(TMainButton::Start)->setEnabled(true);
    Button(TMainButton::Stop)->setEnabled(true);
}

std::string TMainForm::ProgramFile() const {
    return FEngine->ProgramFile();
}
void TMainForm::SetProgramFile(const std::string &FileName) {
    FEngine->SetProgramFile(FileName);
}
void TMainForm::UpdateBillet() {
    if (FEngine)
        FEngine->UpdateBillet();
}

bool TMainForm::SelectSourceByTag(int Tag) {
    for (QAction *a : FSourceItems)
        if (a->data().toInt() == Tag)
            return SourceSelectClick(a);
    return false;
}

bool TMainForm::SourceSelectClick(QAction *Item) {
    for (QAction *a : FSourceItems)
        a->setChecked(a == Item);
    FEngine->SelectSource(static_cast<uint8_t>(Item->data().toInt()));
    FEngine->OnProgramEnded = [this](TObject *) { ProgramEnded(); };
    if (FEngine->ProgramFile().empty())
        return false;
    std::string name = FEngine->ProgramFile();
    return OpenProgramFile(1, name);
}

// --- Run buttons ------------------------------------------------------------

TRunButtons TMainForm::RunButtons() const {
    TRunButtons b;
    b.Start = Button(TMainButton::Start)->isEnabled();
    b.Pause = Button(TMainButton::Pause)->isEnabled();
    b.Stop = Button(TMainButton::Stop)->isEnabled();
    b.Rewind = Button(TMainButton::Rewind)->isEnabled();
    return b;
}

void TMainForm::SetRunButtons(const TRunButtons &B) {
    Button(TMainButton::Start)->setEnabled(B.Start);
    Button(TMainButton::Pause)->setEnabled(B.Pause);
    Button(TMainButton::Stop)->setEnabled(B.Stop);
    Button(TMainButton::Rewind)->setEnabled(B.Rewind);
}

TRunContext TMainForm::RunContext() const {
    TRunContext c;
    c.SingleStep = FEngine->SingleStep();
    c.SourceState = FEngine->Source() ? FEngine->Source()->GetState() : 0;
    c.HasMachine = FEngine->Machine() != nullptr;
    c.MachineInRunMode = FEngine->MachineInRunMode();
    for (int slot = slot2D; slot <= slotPost; ++slot)
        c.AnySinkInSlots0To3 = c.AnySinkInSlots0To3 || FEngine->Output(slot);
    c.Stopped = FEngine->RunState() == csStopped;
    c.Ended = FEnded;
    return c;
}

void TMainForm::StartCycleTimer(bool On) {
    FStatUpdate->SetEnabled(On);
}

void TMainForm::ToolbarbuttonClick(TToolbarButton *Sender) {
    if (!FEngine || !Sender)
        return;
    const int tag = Sender->Tag;
    const TRunButtons before = RunButtons();
    const int stateChanges = FCycleStateChanges;
    SetRunButtons(RunButtonsForClick(tag, FEngine->SingleStep()));
    switch (tag) {
    case tagStart: {
        // The cycle time counts from the first Start after a rewind.
        const bool counting = FCycleClock.Started();
        if (!counting)
            FCycleClock.Update(EventLoop().NowMs(), "");
        StartCycleTimer(true);
        FEngine->CycleStart();
        // A start the engine refused (no output chosen, the machine warning
        // answered "Stop") leaves the buttons and the clock as they were, so
        // the operator can try again and the time counts from the start
        // that runs.
        if (FEngine && FCycleStateChanges == stateChanges) {
            StartCycleTimer(false);
            if (!counting)
                FCycleClock.Reset();
            SetRunButtons(before);
            return;
        }
        break;
    }
    case tagPause:
        StartCycleTimer(false);
        FEngine->CyclePause();
        break;
    case tagStop:
        StartCycleTimer(false);
        FEngine->CycleStop();
        FStatusBar2->Panel(4).OwnerDrawn = false;
        SetStatusPanel(2, 4, "");
        UpdateStatusBar();
        break;
    case tagRewind:
        FEnded = false;
        FCycleClock.Reset();
        StartCycleTimer(false);
        FEngine->CycleRewind();
        break;
    default:
        break;
    }
    if (!FEngine)
        return;
    TRunButtons b = RunButtons();
    FinishRunButtons(b, RunContext());
    SetRunButtons(b);
    const TMachineButtonsEnabled m = MachineButtonsEnabled(
        Button(TMainButton::VROutput)->Down(), Button(TMainButton::MachineOutput)->Down());
    if (!m.VR)
        Button(TMainButton::VROutput)->setEnabled(false);
    if (!m.Machine)
        Button(TMainButton::MachineOutput)->setEnabled(false);
}

bool TMainForm::PressButton(TMainButton Which) {
    TToolbarButton *b = Button(Which);
    if (!b || !b->isEnabled())
        return false;
    b->Click();
    return true;
}

void TMainForm::EscapePressedDuringRun() {
    PressButton(TMainButton::Stop);
}

// --- Engine callbacks -------------------------------------------------------

void TMainForm::InputStateChanged() {
    TRunButtons b = RunButtons();
    InputStateButtons(b, RunContext());
    SetRunButtons(b);
}

void TMainForm::CycleStateChanged() {
    if (!FEngine)
        return;
    ++FCycleStateChanges;
    const TCycleState state = FEngine->RunState();
    if (state == csStopped || state == csPaused)
        StartCycleTimer(false);
    if (state == csRunning) {
        for (TMainButton b : {TMainButton::ToolLibrary, TMainButton::Tooling}) {
            if (Button(b)->Down()) {
                Button(b)->SetDown(false);
                if (b == TMainButton::ToolLibrary)
                    ToolLibraryClick(Button(b));
            }
        }
        StartCycleTimer(true);
    }
    const TOutputEnabling e =
        CycleStateEnabling(state, FEngine->SingleStep(), FOutputsEnabled,
                           FEngine->Machine() != nullptr, FEngine->MachineInRunMode());
    FOutputsEnabled = e.OutputsEnabled;
    Button(TMainButton::Output3D)->setEnabled(e.OutputsEnabled);
    Button(TMainButton::Output2D)->setEnabled(e.OutputsEnabled);
    for (TMainButton b : {TMainButton::Compiled, TMainButton::PostOutput, TMainButton::BlockSearch})
        Button(b)->setEnabled(e.Others);
    for (TMainButton b :
         {TMainButton::Units, TMainButton::Offsets, TMainButton::Tooling, TMainButton::ToolLibrary})
        Button(b)->setEnabled(e.Others);
    for (TMainButton b : {TMainButton::VROutput, TMainButton::MachineOutput})
        if (b != TMainButton::VROutput || FButtons[b]->property("available").toBool())
            Button(b)->setEnabled(e.Others);
    Menu("File")->setEnabled(e.Others);
    Menu("Setup")->setEnabled(e.Others);
}

void TMainForm::ProgramEnded() {
    FEnded = true;
    TRunButtons b = RunButtons();
    ProgramEndedButtons(b);
    SetRunButtons(b);
    Button(TMainButton::Compiled)->SetDown(false);
}

// --- Outputs, machine and options -------------------------------------------

void TMainForm::OutputClick(TToolbarButton *Sender) {
    if (!FEngine)
        return;
    const bool on = Sender->Down();
    switch (Sender->Tag) {
    case 0:
        FEngine->Set2DOutput(on);
        if (on)
            Show2DWindow();
        break;
    case 1:
        if (FStandard3D->isChecked())
            FEngine->Set3DSimOutput(on);
        else
            FEngine->SetOpenGLOutput(on);
        break;
    case 2:
        FEngine->SetCompiledOutput(on);
        break;
    case 3:
        FEngine->SetPostOutput(on);
        break;
    case 5:
        FEngine->SetBlockSearchOutput(on);
        break;
    default:
        break; // the hidden OpenGL button does nothing
    }
}

// The 2D window is shown once the output has sized it for its picture.
void TMainForm::Show2DWindow() {
    auto *draw = dynamic_cast<TDraw_2D *>(FEngine->Output(slot2D));
    auto *window =
        draw && draw->Window() ? dynamic_cast<QWidget *>(draw->Window()->View()) : nullptr;
    if (!window)
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        sub->resize(window->size() + (sub->size() - sub->contentsRect().size()) + QSize(0, 24));
    ShowWindowOrChild(window);
}

void TMainForm::OpenGlClick(bool OpenGL) {
    TIniFile(FMainIni).WriteBool("3DGraphics", "Use OpenGl", OpenGL);
    Button(TMainButton::Output3D)->Click();
}

// The "Machine" button puts the machine into the engine while it is down,
// with the standard control panel ("Control Panel") to drive it; "VR
// Machine" puts the VR link there. A link that cannot connect (its error
// shown) lets the button up. The two buttons keep each other out.
void TMainForm::MachineClick(TToolbarButton *Sender)
{
    TToolbarButton *machine = Button(TMainButton::MachineOutput);
    if (Sender == Button(TMainButton::VROutput) && FEngine)
        VRClick(Sender);
    if (Sender == machine && FEngine) {
        if (!machine->Down()) {
            FEngine->FreeMachine();
            FEngine->FreeStandardPanel();
        } else if (FEngine->MakeMachineLink()) {
            if (FEngine->SourceKind() != skFanuc21 && FEngine->SourceKind() != skFanuc0M)
                FEngine->MakeStandardPanel();
        } else {
            FEngine->FreeMachine();
            machine->SetDown(false);
        }
    }
    const TMachineButtonsEnabled m = MachineButtonsEnabled(
        Button(TMainButton::VROutput)->Down(), Button(TMainButton::MachineOutput)->Down());
    if (Button(TMainButton::VROutput)->property("available").toBool())
        Button(TMainButton::VROutput)->setEnabled(m.VR);
    Button(TMainButton::MachineOutput)->setEnabled(m.Machine);
    (void)Sender;
}

// A machine whose parameters say no real machine is available (the bench
// mill) is driven as the simulated machine; any other through the link.
std::unique_ptr<TBasicMachine> TMainForm::CreateMachineLink(TBaseForm &Engine)
{
    const TRead_Machinedata_file *data = Engine.MachineData();
    if (data && !data->MachineCapability.RealMachineAvailable)
        return std::make_unique<TDummyLinkMill>(&Engine);
    InstallLinkViews(); // the controllers' debug windows and splash
    auto link = std::make_unique<TMachLink>(&Engine);
    link->NotifyWindow = [&Engine](int Message) { Engine.PostControllerMessage(Message); };
    // A controller whose program does not answer gets it downloaded; the
    // operator sees the lines go in "Setting Up Machine [file]".
    link->ProgressFactory = [this]() -> std::unique_ptr<TProgressView> {
        return std::make_unique<Tprogress>(this);
    };
    return link;
}

void TMainForm::UnitsClick()
{
    if (!FEngine)
        return;
    FEngine->SetUnits(!FEngine->Inch());
    ShowUnits();
}

void TMainForm::ShowUnits() {
    const bool inch = FEngine && FEngine->Inch();
    FStatusBar1->Panel(0).Text = QTr(inch ? "Inch" : "Metric");
    FStatusBar1->update();
    SetButtonGlyph(Button(TMainButton::Units), inch ? glUnitsInch : glUnits);
    MenuItem("UnitsInch")->setChecked(inch);
    MenuItem("UnitsMetric")->setChecked(!inch);
}

void TMainForm::skipBlockClick() {
    TToolbarButton *b = Button(TMainButton::BlockSkip);
    b->Tag = b->Tag == 0 ? 1 : 0;
    FStatusBar1->Panel(2).Fill = b->Tag == 1 ? QColor(Qt::red) : QColor();
    FStatusBar1->SetFitted(2, QTr(b->Tag == 1 ? "Skip Block ON" : "Skip Block OFF"));
    if (FEngine)
        FEngine->SetBlockSkip(b->Tag == 1);
}

void TMainForm::progContClick() {
    if (!FEngine)
        return;
    FEngine->SetSingleStep(Button(TMainButton::SingleBlock)->Down());
    ShowExecuteMode(FEngine->SingleStep());
    CycleStateChanged();
}

void TMainForm::ShowExecuteMode(bool SingleStep) {
    TToolbarButton *b = Button(TMainButton::SingleBlock);
    b->SetDown(SingleStep);
    b->SetCaption(QTr(SingleStep ? "Single Step" : "Continuous"));
    SetButtonGlyph(b, SingleStep ? glSingleStep : glContinuous);
    FStatusBar1->Panel(1).Text = b->Caption();
    FStatusBar1->update();
    MenuItem("ModeStep")->setChecked(SingleStep);
    MenuItem("ModeContinuous")->setChecked(!SingleStep);
    if (SingleStep && FEngine && FEngine->RunState() == csRunning)
        PressButton(TMainButton::Start);
}

void TMainForm::OffsetsClick() {
    if (FEngine)
        FEngine->WorkPieceOffsetClick();
}

// The macro variables' window: made once, an MDI child; its OK hides it.
void TMainForm::ShowMacroVariables() {
    if (!FEngine || !FEngine->MacroVars())
        return;
    if (!FMacroForm) {
        FMacroForm = new TMacroVarsForm(*FEngine->MacroVars());
        FMacroForm->setObjectName("MacroVarsForm");
        KeepPosition(FMacroForm, "TMacroVarsForm", TPosBorder::Fixed);
    }
    ShowWindowOrChild(FMacroForm);
}

// Zeroes an axis of the current work offset: the offsets' window opens
// (Offsets goes down) and its set button for the axis is clicked.
void TMainForm::SetOffsetClick(int Axis) {
    TToolbarButton *offsets = Button(TMainButton::Offsets);
    if (!offsets->Down())
        offsets->Click();
    if (auto *form = qobject_cast<TWPiece_form *>(FOffsetsForm.data()))
        form->SetAxis[Axis]->click();
}

// The "Machine Tooling" window follows the button: down shows it, up closes it.
void TMainForm::ToolingClick(TToolbarButton *Sender)
{
    if (FEngine)
        FEngine->ShowMachineTooling(Sender->Down());
}

// The tool library's window follows the button: down shows it, up closes it.
void TMainForm::ToolLibraryClick(TToolbarButton *Sender) {
    if (FEngine)
        FEngine->ShowToolLibrary(Sender->Down());
}

// An output waits for a tool the changer lacks: the Tooling button goes
// down and the carousel shows, where the operator puts the tool in.
void TMainForm::ShowMachineTooling()
{
    Button(TMainButton::Tooling)->SetDown(true);
    if (FEngine)
        FEngine->ShowMachineTooling(true);
}

// The "Control Panel" opens as an MDI child and keeps its place.
std::unique_ptr<TBasicControlPanel> TMainForm::CreateStandardPanel(TBaseForm &)
{
    std::unique_ptr<TControlPanelStd> panel = MakeControlPanelStd();
    if (auto *form = dynamic_cast<QWidget *>(panel->Form())) {
        if (QMdiSubWindow *sub = AdoptChild(form))
            new TQtPos_size(sub, "TControlPanelStdForm", TPosBorder::Fixed, "ControlPanelStd");
        ShowWindowOrChild(form);
    }
    return panel;
}

// --- Status bars ------------------------------------------------------------

void TMainForm::SetStatusPanel(int Bar, int Index, const std::string &Text) {
    StatusBar(Bar)->SetFitted(Index, QString::fromStdString(Text));
}

std::string TMainForm::StatusPanelText(int Bar, int Index) const {
    return StatusBar(Bar)->Text(Index).toStdString();
}

void TMainForm::SetStatusText(int Bar, int Panel, const std::string &Text, bool OwnerDrawn) {
    TShellStatusBar *bar = StatusBar(Bar);
    bar->Panel(Panel).OwnerDrawn = OwnerDrawn || (Bar == 1 && Panel == 2);
    if (Bar == 2 && Panel == 4)
        bar->Panel(Panel).Fill = OwnerDrawn && !Text.empty() ? QColor(Qt::red) : QColor();
    SetStatusPanel(Bar, Panel, Text);
}

void TMainForm::UpdateStatusBar() {
    const bool wasOn = FStatUpdate->Enabled();
    FStatUpdate->SetEnabled(false);
    SetStatusPanel(1, 3, FCycleClock.Update(EventLoop().NowMs(), Mess().Translate("Cycle time")));
    FStatUpdate->SetEnabled(wasOn);
}

void TMainForm::ResetCycleTime() {
    FCycleClock.Reset();
    StartCycleTimer(false);
}

bool TMainForm::ModalDataVisible() const {
    return FDataInfo && FDataInfo->Visible();
}

void TMainForm::SetModalLabel(int Index, const std::string &Text) {
    if (Index >= 1 && Index <= static_cast<int>(FModalLabels.size())) {
        FModalLabels[Index - 1]->setProperty("GroupNumber", QVariant());
        FModalLabels[Index - 1]->setText(QString::fromStdString(Text));
    }
}

void TMainForm::ShowTransformPanels(const TTransformPanels &Panels) {
    const bool mirror = Panels.MirrorX || Panels.MirrorY;
    FMirror->setVisible(mirror);
    FMirrorText->setText(QString("X: %1  Y: %2").arg(Panels.MirrorX).arg(Panels.MirrorY));
    FScaling->setVisible(Panels.ScalingVisible);
    FScalingText->setText(QString::fromStdString(Panels.ScalingText));
    FRotation->setVisible(Panels.RotationVisible);
    FRotationText->setText(QString::fromStdString(Panels.RotationText));
    FTransformations->setVisible(mirror || Panels.ScalingVisible || Panels.RotationVisible);
}

// --- Host services for the engine -------------------------------------------

bool TMainForm::ButtonDown(TMainButton Which) const {
    TToolbarButton *b = Button(Which);
    return b && b->Down();
}

void TMainForm::ClickButton(TMainButton Which) {
    if (TToolbarButton *b = Button(Which))
        b->Click();
}

bool TMainForm::Choice3DChecked(int Item) const {
    return (Item == Choice3DOpenGL ? FOpenGL3D : FStandard3D)->isChecked();
}

void TMainForm::SetButtonEnabled(TMainButton Which, bool Enabled) {
    if (TToolbarButton *b = Button(Which))
        b->setEnabled(Enabled);
}

void TMainForm::SetKeyHandler(std::function<void(int Key)> Handler) {
    FKeyHandler = std::move(Handler);
}

bool TMainForm::ScreenSaverActive() const {
    return FScreenSaver->Active();
}

void TMainForm::SetScreenSaverActive(bool Active) {
    FScreenSaver->SetActive(Active);
}

bool TMainForm::ChooseOutputs(std::vector<TMainButton> &Chosen) {
    TChoice_From choice(this);
    if (RunModal(choice) != QDialog::Accepted)
        return false;
    const std::pair<TToolbarButton *, TMainButton> toggles[] = {
        {choice.threeD, TMainButton::Output3D},
        {choice.twoD, TMainButton::Output2D},
        {choice.compiles, TMainButton::Compiled},
        {choice.Post_out, TMainButton::PostOutput}};
    for (const auto &[toggle, button] : toggles)
        if (toggle->Down())
            Chosen.push_back(button);
    return !Chosen.empty();
}

bool TMainForm::ConfirmMachineRun(bool &DontShowAgain) {
    TMach_Warn warn(this);
    const int result = RunModal(warn);
    DontShowAgain = warn.ShowAGain->isChecked();
    return result == QDialog::Accepted;
}

TJogKeyTable *TMainForm::CreateJogKeyForm() {
    if (!FKeyForm)
        FKeyForm = new TKey_def_form(this, FMainIni);
    return &FKeyForm->Table();
}

void TMainForm::ShowJogKeySetup() {
    if (FKeyForm)
        RunModal(*FKeyForm);
}

std::unique_ptr<TSplashView> TMainForm::CreateSplash() {
    return std::make_unique<TSplash_form>();
}

std::unique_ptr<TProgressView> TMainForm::CreateProgressView() {
    return std::make_unique<TProgressWindow>();
}

std::unique_ptr<TBlockSearchView> TMainForm::CreateBlockSearchView() {
    auto view = std::make_unique<TBlockSearchForm>();
    if (QMdiSubWindow *sub = AdoptChild(view.get()))
        new TQtPos_size(sub, "TBlockSearchForm", TPosBorder::Fixed, "BlockSearchForm");
    return view;
}

std::unique_ptr<TBasicOutput> TMainForm::CreateOutput(int Slot)
{
    if (Slot == slotSimulation) {
        auto output = std::make_unique<TSimLink>();
        output->ViewFactory = [this] {
            auto window = std::make_unique<TThreeDWindow>();
            window->setObjectName("ThreeD_form");
            AdoptChild(window.get());
            ReleaseOnClose(window.get(), TMainButton::Output3D);
            // The operator pressed the button to see the simulation.
            ShowWindowOrChild(window.get());
            return window;
        };
        return output;
    }
    if (Slot == slotOpenGL) {
        // The milling window: an MDI child with its "&3D Setup" menu merged
        // while it is active; the sink owns it.
        auto window = std::make_unique<TGLWorld3D>(FMainIni);
        if (QMdiSubWindow *sub = AdoptChild(window.get()))
            new TQtPos_size(sub, "TGLWorld3D", TPosBorder::Sizeable);
        ReleaseOnClose(window.get(), TMainButton::Output3D);
        ShowWindowOrChild(window.get());
        return std::make_unique<T3DOutput>(std::move(window));
    }
    if (Slot != slot2D)
        return nullptr;
    auto output = std::make_unique<TDraw_2D>();
    output->ViewFactory = [this] {
        auto window = std::make_unique<TForm2DWindow>();
        window->setObjectName("Form2D");
        AdoptChild(window.get());
        ReleaseOnClose(window.get(), TMainButton::Output2D);
        return window;
    };
    return output;
}

std::unique_ptr<TBasicInput> TMainForm::CreateEditorInput(TBaseForm &)
{
    // Each editor window opens as an MDI child; its Editor menu joins the
    // main menu while it is active.
    return std::make_unique<TEditorInput>(nullptr, [this]() -> std::unique_ptr<TEditorWindow> {
        auto form = std::make_unique<TEditorForm>();
        KeepPosition(form.get(), "TEditorForm", TPosBorder::Sizeable);
        return form;
    });
}

std::unique_ptr<TFanucScreen> TMainForm::CreateFanucScreen(TBaseForm &, int Kind) {
    // The station's window is an MDI child of this window.
    return fanuc::CreateFanucStation(Kind, [this](QWidget *Window) { AdoptChild(Window); });
}

} // namespace orv
