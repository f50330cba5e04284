// The engine form: construction, settings, sources and output slots. The
// run control and the pull loop are in base_run.cpp.

#include "engine/form/base.h"

#include "engine/chain/BasicInput.h"
#include "engine/chain/BasicOutput.h"
#include "engine/form/BlockSearchOutput.h"
#include "engine/core/CNCLineParser.h"
#include "engine/chain/CNC_ABS.h"
#include "engine/chain/CNC_Metric.h"
#include "engine/form/CNC_to_Generic.h"
#include "engine/chain/Calc_CNC.h"
#include "engine/expand/CircularExpand.h"
#include "engine/expand/Cutter_comp.h"
#include "engine/expand/CycleExpand.h"
#include "engine/expand/Optimise.h"
#include "engine/form/CompiledInput.h"
#include "engine/form/EditorInput.h"
#include "engine/form/CompilerOutput.h"
#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/form/FanucScreen.h"
#include "engine/chain/FileInput.h"
#include "engine/core/MacroVars.h"
#include "engine/core/Mess.h"
#include "platform/NumberText.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "machine/BasicControlPanel.h"
#include "machine/BasicMachine.h"
#include "machine/MachineCommands.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/Work_piece_offset.h"
#include "machine/convert.h"

namespace orv {

namespace {

std::string Translate(const std::string &Text) { return Mess().Translate(Text); }

// The output button that stands for a slot.
TMainButton ButtonOfSlot(int Slot)
{
    static const TMainButton buttons[SlotCount] = {
        TMainButton::Output2D,   TMainButton::Output3D, TMainButton::Compiled,
        TMainButton::PostOutput, TMainButton::Output3D, TMainButton::BlockSearch};
    return buttons[Slot];
}

bool TextIsTrue(const std::string &Text) { return SameText(Trim(Text), "TRUE"); }

// A stage's or source's error goes to the engine form's parser error event.
EErrorNotify ToParserErrorEvent(TBaseForm &Form)
{
    return [&Form](TObject *Sender, int Pos, const std::string &Detail,
                   const std::string &Message) {
        Form.FM_ParserErrorEvent(Sender, Pos, Detail, Message);
    };
}

} // namespace

TBaseForm::TBaseForm(TEngineHost &Host) : FHost(Host) {}

TBaseForm::~TBaseForm() { FormDestroy(); }

TBasicOutput *TBaseForm::Output(int Slot) const
{
    return Slot >= 0 && Slot < SlotCount ? FOutputs[Slot].get() : nullptr;
}

void TBaseForm::Splash(const std::string &Text)
{
    if (!FSplash)
        return;
    FSplash->ShowProgress(Translate(Text));
    DelayMs(10);
}

void TBaseForm::FormCreate()
{
    FSplash = FHost.CreateSplash();
    if (FSplash) {
        FSplash->ShowProgress(Translate("Just Started"));
        DelayMs(200);
    }
    TDIniFile settings(MainIniPath());
    Splash("Initialising Components");
    CreateStages();
    Splash("Initialising Data");
    FDecimals = 4;
    Splash("Creating Ops");
    FGroups = TCNC_Groups();
    Splash("Initialising Ops");
    FLookAhead = settings.ReadInteger("Default Settings", "Look Ahead", 30);
    FCutter->SetLookAhead(FLookAhead);
    Splash("Reseting Ops");
    ResetModalGroups();
    Splash("Initialising Modal Data");
    ShowModalData(FGroups);
    Splash("Reading User Level");
    Splash("Reading Units");
    ReadSettings(settings);
    Splash("Loading Machine Data");
    LoadMachineData();
    FConvertor = std::make_unique<TConvert>(this, FMachineData.get());
    Splash("Initialize main screen");
    Splash("Keplin Initialising");
    Splash("Tool library Initialising");
    LoadToolFiles(settings);
    Splash("Keplin Data Setup");
    ApplyMachineData();
    Splash("Continuing to setup please wait...");
    FSplash.reset();
    FCreated = true;
}

// Stage errors go to FM_ParserErrorEvent; each stage asks for its next
// block through the engine form, never through another stage.
void TBaseForm::CreateStages()
{
    FJogKeys = FHost.CreateJogKeyForm();
    FMacroVars = std::make_unique<TMacroVars>(MainIniPath());
    EErrorNotify onError = ToParserErrorEvent(*this);
    FParser = std::make_unique<CNCLineParser>(this);
    FParser->ShowErrorDialogueBox = false;
    FParser->OnErrorEvent = onError;
    FParser->SetMacrovars(FMacroVars.get());
    FABS = std::make_unique<TCNC_ABS>(this);
    FABS->ShowErrorDialogueBox = false;
    FABS->OnErrorEvent = onError;
    FABS->OnNextNotify = [this](TObject *Sender) { CNC_ABSNextNotify(Sender); };
    FMetric = std::make_unique<TCNC_Metric>(this);
    FMetric->MetricUnits = false;
    FMetric->ShowErrorDialogueBox = false;
    FCalc = std::make_unique<TCalc_CNC>(this);
    FCalc->MaximumListSize = 10;
    FCalc->ShowErrorDialogueBox = true;
    FCalc->OnErrorEvent = [this](TObject *Sender, int Pos, const std::string &Detail,
                                 const std::string &Message) {
        Calc_CNCErrorEvent(Sender, Pos, Detail, Message);
    };
    FCalc->OnNextNotify = [this](TObject *Sender) { Calc_CNCNextNotify(Sender); };
    CreateExpansions();
    CreateTooling();
}

// The chain above the parsed block: move calculator <- cutter compensation
// <- canned-cycle expansion <- arc expansion <- optimiser <- engine form.
void TBaseForm::CreateExpansions()
{
    EErrorNotify onError = ToParserErrorEvent(*this);
    FCutter = std::make_unique<TCutter_comp>(this);
    FCutter->CompensationAmount = 0;
    FCutter->ContourAngle = 0;
    FCutter->ContourFeed = 0;
    FCutter->CurrentComp = compOff;
    FCutter->LookAheadOn = false;
    FCutter->OnErrorEvent = onError;
    FCutter->OnNextCompNotify = [this](TObject *Sender, TCNC_Groups &Data) {
        Cutter_compNextCompNotify(Sender, Data);
    };
    FCycle = std::make_unique<TCycleExpand>(this);
    FCycle->ShowErrorDialogueBox = false;
    FCycle->OnErrorEvent = onError;
    FCycle->OnNextCycleNotify = [this](TObject *Sender, TCNC_Groups &Data) {
        CycleExpandNextCycleNotify(Sender, Data);
    };
    FCircular = std::make_unique<TCircularExpand>(this);
    FCircular->ShowErrorDialogueBox = false;
    FCircular->OnErrorEvent = onError;
    FCircular->OnNextCycleNotify = [this](TObject *Sender, TCNC_Groups &Data) {
        CircularExpandNextCycleNotify(Sender, Data);
    };
    FOptimise = std::make_unique<TOptimise>(this);
    FOptimise->OnNextOptimiseNotify = [this](TObject *Sender, TCNC_Groups &Data) {
        OptimiseNextNotify(Sender, Data);
    };
}

void TBaseForm::LoadMachineData()
{
    FMachineData = std::make_unique<TRead_Machinedata_file>(this);
    // Settings that name a machine get its data's problems (a missing file,
    // steps per mm that are zero or no number) shown as it is loaded, before
    // a move is converted with them; settings without a machine run with
    // no machine limits and nothing to say.
    const std::string machine =
        TDIniFile(MainIniPath()).ReadString("Default Settings", "Active Machine", "");
    FMachineData->ShowErrorDialogueBox = !Trim(machine).empty();
    FMachineData->Tag = 0;
    FMachineData->MainSettingsFile = MainIniPath();
    FMachineData->Load();
}

// The machine data's limits go into the chain (at start and after the
// machine properties were edited).
void TBaseForm::ApplyMachineData()
{
    const TRead_Machinedata_file &m = *FMachineData;
    FOptimise->SetLimits(m.Feed.MinimumRate, m.Feed.MaximumRateZ, m.Feed.MaximumRateY,
                         m.Feed.MaximumRateX, m.Feed.MaxContourAngle, m.Feed.ShortestContour);
    FCutter->ContourFeed = m.Feed.MaxContourFeed;
    FCutter->ContourAngle = m.Feed.MaxContourAngle;
    FCutter->ShortestContour = m.Feed.ShortestContour;
    FCutter->ShortestTime = m.Feed.ShortestTime;
    FCutter->ControlType = m.Communications.ControlType;
    FCycle->TravelX = m.MachineCapability.TravelXMinus;
    FCycle->TravelY = m.MachineCapability.TravelYMinus;
    FCycle->TravelZ = m.MachineCapability.TravelZMinus;
    if (m.MachineCapability.MinChordLength > 0) {
        FCircular->MinimumChordLength = m.MachineCapability.MinChordLength;
        FCircular->ExpandArcs = m.MachineCapability.ExpandArcs;
    } else {
        FCircular->ExpandArcs = false;
    }
    FHost.SetMenuItemVisible(TMainMenuItem::CimSettings, m.InputDevices.CIMRS232Input);
    FHost.SetMenuItemVisible(TMainMenuItem::DdeConnection, m.InputDevices.CIMDDEInput);
    ApplyToolCount();
    ResetModalGroups();
    ShowModalData(FGroups);
    FCalc->FourthAxis = m.MachineCapability.FourthAxisLetter;
    // The Keplin console, the CIM port and the DDE server belong to the
    // main window's remote inputs.
    FHost.MachineDataApplied();
}

void TBaseForm::ReadSettings(TDIniFile &Settings)
{
    FInch = Settings.ReadInteger("Default Settings", "Metric", 1) == 0;
    FResetOnRewind = TextIsTrue(Settings.ReadString("Default Settings", "Reset On Rewind", "TRUE"));
    SetUnits(FInch);
    FCurrentLine = -1;
    FSavedDecimalSeparator = GetUserDecimalSeparator();
    if (FSavedDecimalSeparator != ".")
        SetUserDecimalSeparator(".");
}

void TBaseForm::FormDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    if (FCreated) {
        TDIniFile settings(MainIniPath());
        settings.WriteInteger("Default Settings", "Metric", FInch ? 0 : 1);
        SaveToolSettings(settings);
    }
    for (auto &output : FOutputs)
        output.reset();
    FBuried.clear();
    FreeMachine();
    FPanel = nullptr;
    FFanucScreen.reset();
    FStandardPanel.reset();
    FSource = nullptr;
    FOwnedSource.reset();
    FSubPrograms.clear();
    FOptimise.reset();
    FCircular.reset();
    FCycle.reset();
    FCutter.reset();
    FCalc.reset();
    FConvertor.reset();
    FMachineData.reset();
    FMetric.reset();
    FABS.reset();
    FParser.reset();
    FMacroVars.reset();
    if (FCreated && FSavedDecimalSeparator != ".")
        SetUserDecimalSeparator(FSavedDecimalSeparator);
}

// --- Sources ---

void TBaseForm::SelectSource(uint8_t Kind)
{
    if (!FOperatorMachine && HasSimulatedMachine())
        FreeMachine();
    if (FFanucScreen) {
        if (FPanel == FFanucScreen->ControlPanel())
            FPanel = nullptr;
        FFanucScreen.reset();
        FSource = nullptr;
        if (FMachine)
            MakeStandardPanel();
    }
    TBasicInput *mdi = FMDISource;
    FSource = nullptr;
    FOwnedSource.reset();
    CreateSource(Kind);
    FSourceKind = Kind;
    WireSource();
    // While the MDI page is up its source stays current; the new one takes
    // over when the page is left.
    if (mdi) {
        FMDISource = nullptr;
        TBasicInput *input = mdi;
        MDISourceChanged(this, input, true);
    }
}

void TBaseForm::CreateSource(uint8_t Kind)
{
    switch (Kind) {
    case skFile:
        FOwnedSource =
            std::make_unique<TFileInput>(this, [this] { return FHost.CreateProgressView(); });
        if (UpperCase(ExtractFileExt(FProgramFile)) != ".FNC")
            FHost.OpenCommand();
        break;
    case skEditor:
        FOwnedSource = FHost.CreateEditorInput(*this);
        if (auto *editor = dynamic_cast<TEditorInput *>(FOwnedSource.get()))
            WireEditorInput(*editor);
        break;
    case skCompiled: {
        auto compiled = std::make_unique<TCompiledInput>(FHost.CreateProgressView());
        compiled->OnErrorEvent = ToParserErrorEvent(*this);
        FOwnedSource = std::move(compiled);
        if (UpperCase(ExtractFileExt(FProgramFile)) != ".XNC")
            FHost.OpenCommand();
        break;
    }
    case skFanuc21:
    case skFanuc0M:
        MakeSimulatedMachine();
        FFanucScreen = FHost.CreateFanucScreen(*this, Kind);
        if (FFanucScreen) {
            TakeOverPanel(FFanucScreen->ControlPanel());
            FFanucScreen->OnOpsCommand = [this](int Code) { PanelCommand(Code); };
            FFanucScreen->OnOpsCommandStop = [this] { StopJog(); };
            FFanucScreen->OnChange = [this] { EditorChanged(); };
            FFanucScreen->SetConvertor(FConvertor.get());
            FFanucScreen->Initialise();
            FFanucScreen->SetUnits(Units());
            FFanucScreen->SetMachineTooling(FTooling.get());
            FFanucScreen->SetWorkOffset(FWorkOffsets.get());
            FSource = FFanucScreen->Input();
        }
        break;
    default:
        break;
    }
    if (FOwnedSource)
        FSource = FOwnedSource.get();
}

void TBaseForm::WireSource()
{
    if (!FSource)
        return;
    if (FSourceKind == skEditor) {
        FSource->SetLineSelectChanged(
            [this](TObject *Sender, int Line) { BlockSearchLineSelected(Sender, Line); });
        FSource->ShowExpanded(false);
        UpdateBillet();
    }
    WireHiliteTo2D();
    FSource->SetCycleState(FRunState);
}

// The source shows the line it runs in the 2D output too, when there is one.
void TBaseForm::WireHiliteTo2D()
{
    TBasicOutput *view2D = FOutputs[slot2D].get();
    if (!FSource || !view2D)
        return;
    FSource->SetOnHiliteOutput(
        [view2D](TObject *Sender, int Line) { view2D->ShowLine(Sender, Line); });
}

// --- Output slots ---

void TBaseForm::Set2DOutput(bool On) { SwitchOutput(slot2D, On, &TBaseForm::Make2DOutput); }

void TBaseForm::Set3DSimOutput(bool On)
{
    SwitchOutput(slotSimulation, On, &TBaseForm::MakeSimOutput);
}

void TBaseForm::SetCompiledOutput(bool On)
{
    SwitchOutput(slotCompiled, On, &TBaseForm::MakeCompiledOutput);
}

void TBaseForm::SetPostOutput(bool On) { SwitchOutput(slotPost, On, &TBaseForm::MakePostOutput); }

void TBaseForm::SetOpenGLOutput(bool On)
{
    if (On && FOutputs[slotOpenGL])
        return; // the OpenGL switch keeps an existing view
    SwitchOutput(slotOpenGL, On, &TBaseForm::MakeOpenGLOutput);
}

void TBaseForm::SetBlockSearchOutput(bool On)
{
    SwitchOutput(slotBlockSearch, On, &TBaseForm::MakeBlockSearchOutput);
}

std::unique_ptr<TBasicOutput> TBaseForm::Make2DOutput() { return FHost.CreateOutput(slot2D); }

std::unique_ptr<TBasicOutput> TBaseForm::MakeSimOutput()
{
    return FHost.CreateOutput(slotSimulation);
}

std::unique_ptr<TBasicOutput> TBaseForm::MakeOpenGLOutput()
{
    return FHost.CreateOutput(slotOpenGL);
}

std::unique_ptr<TBasicOutput> TBaseForm::MakeCompiledOutput()
{
    auto output = std::make_unique<TCompilerOutput>();
    output->OnSaveCancelled = [this](TObject *) { OutputSaveCancelled(slotCompiled); };
    output->OnFileError = [this](TObject *, const std::string &Text) { OutputFileError(Text); };
    return output;
}

std::unique_ptr<TBasicOutput> TBaseForm::MakePostOutput()
{
    auto output = std::make_unique<TCNC_to_Generic>();
    output->OnSaveCancelled = [this](TObject *) { OutputSaveCancelled(slotPost); };
    output->OnFileError = [this](TObject *, const std::string &Text) { OutputFileError(Text); };
    return output;
}

std::unique_ptr<TBasicOutput> TBaseForm::MakeBlockSearchOutput()
{
    auto output = std::make_unique<TBlockSearchOutput>(FHost.CreateBlockSearchView());
    output->OnReached = [this](TObject *Sender) { BlockSearchReached(Sender); };
    return output;
}

void TBaseForm::SwitchOutput(int Slot, bool On, std::unique_ptr<TBasicOutput> (TBaseForm::*Make)())
{
    ReleaseOutput(Slot);
    if (!On) {
        OutputGone();
        return;
    }
    FOutputs[Slot] = (this->*Make)();
    if (!FOutputs[Slot])
        return;
    WireSink(Slot);
    if (Slot == slot2D)
        WireHiliteTo2D();
}

void TBaseForm::WireSink(int Slot)
{
    TBasicOutput &sink = *FOutputs[Slot];
    sink.Tooling = FTooling.get();
    sink.OwnerChangesTools = true;
    sink.MachineData = FMachineData.get();
    const TMaterialData &material = FMachineData->Material;
    if (material.MaximumX > 0 && material.MaximumY > 0 && material.MaximumZ > 0)
        sink.MaterialMaximum = {material.MaximumX, material.MaximumY, material.MaximumZ};
    sink.BlockSkip = FBlockSkip;
    sink.OnNeedEditor = [this](TObject *, int Line) {
        if (FSource)
            FSource->FlashLine(Line);
    };
    sink.OnNeedsToolPage = [this](TObject *Sender) { OutputNeedsToolPage(Sender); };
    sink.OnNextNotify = [this](TObject *Sender) { NextNotify(Sender); };
    sink.Initialise();
    sink.SetUnits(Units());
    TBilletBox b = FHost.DefaultBillet();
    sink.SetBillet(b.XPos, b.YPos, b.XSize, b.YSize, b.ZSize);
}

// Takes an output out of its slot. Its files are closed at once; the object
// itself is freed later, because the release can come from inside one of
// its own calls (a cancelled save dialog in its Start).
void TBaseForm::ReleaseOutput(int Slot)
{
    std::unique_ptr<TBasicOutput> output = std::move(FOutputs[Slot]);
    if (!output)
        return;
    if (Slot == slot2D && FSource)
        FSource->SetOnHiliteOutput(nullptr);
    if (auto *compiled = dynamic_cast<TCompilerOutput *>(output.get()))
        compiled->CloseFile();
    if (auto *post = dynamic_cast<TCNC_to_Generic *>(output.get()))
        post->CloseFile();
    output->OnNextNotify = nullptr;
    BuryOutput(std::move(output));
}

// The released output may have been the one the run waited for.
void TBaseForm::OutputGone()
{
    if (FRunState != csStopped)
        PullLoop();
}

void TBaseForm::BuryOutput(std::unique_ptr<TBasicOutput> Output)
{
    FBuried.push_back(std::move(Output));
    if (FBuryPosted)
        return;
    FBuryPosted = true;
    EventLoop().Post([this] { FreeBuriedOutputs(); });
}

void TBaseForm::FreeBuriedOutputs()
{
    FBuryPosted = false;
    if (FPulling)
        return;
    FBuried.clear();
}

// Raises the output's button as the operator would; the main window's
// button handler then switches the output off.
void TBaseForm::ReleaseThroughHost(int Slot)
{
    TMainButton button = ButtonOfSlot(Slot);
    if (FHost.ButtonDown(button))
        FHost.ClickButton(button);
    if (!FOutputs[Slot])
        return;
    ReleaseOutput(Slot);
    OutputGone();
}

void TBaseForm::OutputSaveCancelled(int Slot)
{
    std::string name = Slot == slotCompiled ? "Compiled Output" : "Post Output";
    MessageDlg(Translate(name),
               Translate("No file was chosen, so this output has been switched off."),
               mtInformation, mbOK);
    ReleaseThroughHost(Slot);
}

void TBaseForm::OutputFileError(const std::string &Text)
{
    FHost.SetStatusText(2, 4, Text, true);
    MessageDlg(Translate("File Error"), Text, mtError, mbOK);
    CycleStop();
}

// --- Units and billet ---

void TBaseForm::SetUnits(bool Inch)
{
    FInch = Inch;
    const TUnits units = Units();
    FDecimals = Inch ? 4 : 3;
    FGroups.Groups[gUnits] = Inch ? 20 : 21;
    ShowModalData(FGroups);
    for (auto &output : FOutputs)
        if (output)
            output->SetUnits(units);
    if (FMachine) {
        FMachine->SetUnits(units);
        FMachine->ForcePositionReport = true;
    }
    if (FPanel)
        FPanel->SetUnits(units);
    if (FTooling) {
        FTooling->SetUnits(units);
        if (FTooling->ToolLibrary())
            FTooling->ToolLibrary()->SetUnits(units);
    }
    if (FWorkOffsets)
        FWorkOffsets->SetUnits(units);
    if (auto *editor = dynamic_cast<TEditorInput *>(FSource))
        editor->SetUnits(units);
}

void TBaseForm::UpdateBillet()
{
    TBilletBox b = FHost.DefaultBillet();
    FBillet = b;
    for (auto &output : FOutputs)
        if (output)
            output->SetBillet(b.XPos, b.YPos, b.XSize, b.YSize, b.ZSize);
    if (FMachine)
        FMachine->SetBillet(b.XPos, b.YPos, b.XSize, b.YSize, b.ZSize);
    if (auto *editor = dynamic_cast<TEditorInput *>(FSource))
        editor->SetBillet({b.XSize, b.YSize, b.ZSize, 0});
}

// The editor window and its wizard learn the units, the machine, the
// billet and the tooling; its changes reach the main window.
void TBaseForm::WireEditorInput(TEditorInput &Editor)
{
    Editor.SetUnits(Units());
    Editor.SetMachineName(FMachineData ? FMachineData->ActiveMachine : std::string());
    Editor.SetBillet({FBillet.XSize, FBillet.YSize, FBillet.ZSize, 0});
    Editor.OnChange = [this](TObject *) { EditorChanged(); };
    Editor.SetToolCount(FMachineData ? FMachineData->ToolChange.MaximumNumber : 0);
    Editor.SetToolingFile(FTooling ? FTooling->DataFile() : std::string());
    Editor.UpdateEditor();
}

} // namespace orv
