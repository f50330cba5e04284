// The engine form's tooling: the tool library, the tool changer (which owns
// the library) and the work offsets, their files from the [Tooling] settings
// and the changer's size and current tool from the machine data; the
// changer's and the offsets' notifications, which keep the converter's tool
// length and work offset (mm) in step with the tool in the spindle and the
// current machine offset.

#include "engine/form/base.h"

#include "engine/chain/BasicInput.h"
#include "engine/expand/Cutter_comp.h"
#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "engine/form/FanucScreen.h"
#include "machine/BasicControlPanel.h"
#include "machine/BasicMachine.h"
#include "machine/Machine_Tooling.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/ToolingMessages.h"
#include "machine/Tooling_lib.h"
#include "machine/Work_piece_offset.h"
#include "machine/convert.h"
#include "platform/NumberText.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

namespace orv {

namespace {

constexpr int MessageNoToolingFile = 20;
constexpr int MessageNoValidTool = 40;
constexpr int MessageEditToolingNow = 41;

std::unique_ptr<TTooling_Library> MakeToolLibrary(TComponent *Owner)
{
    auto library = std::make_unique<TTooling_Library>(Owner);
    library->SetCutterType(SlotMill);
    return library;
}

} // namespace

void TBaseForm::CreateTooling()
{
    FTooling = std::make_unique<TMachine_Tooling>(this);
    FTooling->ConfirmationToolChange = false;
    FTooling->WarnBeforeToolChange = false;
    FTooling->UseToolInUseFlag = false;
    FTooling->SetDirectionOfToolLayout(ClockWise);
    FTooling->SetUnits(Metric);
    FTooling->SetToolLibrary(MakeToolLibrary(this));
    FWorkOffsets = std::make_unique<TWork_piece_offset>(this);
    FWorkOffsets->SetGraphicStyle(Gs_2d);
    WireTooling();
}

void TBaseForm::WireTooling()
{
    FTooling->OnDataChanged = [this](TObject *Sender, int Position) {
        Machine_tooling1DataChanged(Sender, Position);
    };
    FTooling->ToolChangeRequiredNotify = [this](TObject *Sender, int Tool) {
        Machine_tooling1ToolChangeRequiredNotify(Sender, Tool);
    };
    FTooling->Tool_Z_offsetChanged = [this](TObject *Sender) {
        Machine_tooling1Tool_Z_offsetChanged(Sender);
    };
    FWorkOffsets->WorkDataChanged = [this](TObject *Sender, const std::string &OldName,
                                           const std::string &NewName) {
        Work_piece_offset1WorkDataChanged(Sender, OldName, NewName);
    };
}

// The library file defaults to the settings file's name with ".MTD"; a
// missing changer file is asked for (message 20) or noted in the settings.
void TBaseForm::LoadToolFiles(TDIniFile &Settings)
{
    TTooling_Library &library = *FTooling->ToolLibrary();
    std::string libraryFile = Settings.ReadString("Tooling", "Tool Library", "");
    library.SetDataFile(libraryFile);
    if (libraryFile.empty() || !FileExists(library.DataFile()))
        library.SetDataFile(ChangeFileExt(MainIniPath(), ".MTD"));
    FTooling->SetDataFile(Settings.ReadString("Tooling", "Tool File name", ""));
    if (!FileExists(FTooling->DataFile())) {
        int answer = ShowToolingMessage(NumberedText(MessageNoToolingFile), mtWarning, mbYesNo);
        if (answer == mrYes)
            FTooling->OpenToolingFile();
        else
            Settings.WriteString("Tooling", "Tool File Name", "Tooling File not Found (MTF)");
    }
    FTooling->UseToolInUseFlag = true;
    FWorkOffsets->Tooling = FTooling.get();
    FWorkOffsets->SetCurrentMOffset(Settings.ReadString("Default Settings", "Machine Offset", ""));
    FWorkOffsets->SetCurrentSOffset(
        Settings.ReadString("Default Settings", "Simulation Offset", ""));
    ResetWorkShift();
    FHost.SetStatusText(2, 1, FWorkOffsets->CurrentMOffset(), false);
}

// The changer's size from the machine data, the last tool back in the
// spindle, and the cutter compensation reads its diameter.
void TBaseForm::ApplyToolCount()
{
    // Without machine data (no tool count) the changer keeps all its
    // positions rather than holding no tool at all.
    int count = FMachineData->ToolChange.MaximumNumber;
    if (count <= 0)
        count = TMachine_Tooling::MaxPositions;
    FTooling->SetToolCapacity(count);
    FTooling->SetMachineToolCount(count);
    const int lastTool = TDIniFile(MainIniPath()).ReadInteger("tooling", "Last Tool", 1);
    FTooling->SetCurrentTool(lastTool);
    FTooling->RequestToolChange(lastTool, true);
    FCutter->Tooling = FTooling.get();
}

// At exit: the tool in the spindle, and the changer file while it exists.
void TBaseForm::SaveToolSettings(TDIniFile &Settings)
{
    if (!FTooling)
        return;
    Settings.WriteInteger("Tooling", "last tool", FTooling->CurrentTool());
    if (FileExists(FTooling->DataFile()))
        Settings.WriteString("Tooling", "Tool File name", FTooling->DataFile());
}

// --- Notifications of the changer and the work offsets ---

bool TBaseForm::FanucScreenIsSource() const
{
    return FFanucScreen && FSource && FSource == FFanucScreen->Input();
}

// A tool change the machine did not make (the operator cancelled the manual
// change, the guard was open) is not committed: the changer would otherwise
// give the converter the length offset of a tool that is not in the spindle.
void TBaseForm::Machine_tooling1ToolChangeRequiredNotify(TObject *Sender, int Tool)
{
    if (FMachine) {
        FMachine->ToolChange(Tool);
        bool changed = FMachine && FMachine->GetCurrentTool() == Tool;
        if (!changed) {
            FTooling->CancelToolChange();
            return;
        }
    }
    FTooling->CommitToolChange();
    FHost.SetModalLabel(25, "T" + IntToStr(Tool));
    FModalShownValid = false;
}

void TBaseForm::Machine_tooling1Tool_Z_offsetChanged(TObject *Sender)
{
    if (FConvertor)
        FConvertor->ToolLength = FTooling->CurrentLengthOffset;
    if (FPanel) {
        FPanel->SetLengthOffset(FTooling->CurrentTool(), FTooling->CurrentLengthOffset);
        FPanel->SetDiameterOffset(FTooling->CurrentTool(), FTooling->CurrentDiameter);
    }
    if (FMachine)
        FMachine->ForcePositionReport = true;
    // The Fanuc offset page shows the length offsets too.
    if (FanucScreenIsSource())
        FFanucScreen->RefreshOffsetPage();
}

void TBaseForm::Machine_tooling1DataChanged(TObject *Sender, int Position)
{
    Machine_tooling1Tool_Z_offsetChanged(Sender);
    if (!FMachine)
        return;
    FMachine->ToolDataChanged(Position);
    FMachine->ForcePositionReport = true;
    if (FanucScreenIsSource())
        FFanucScreen->RefreshOffsetPage();
}

void TBaseForm::Work_piece_offset1WorkDataChanged(TObject *Sender, const std::string &OldWorkName,
                                                  const std::string &NewWorkName)
{
    ResetWorkShift();
    UpdateBillet();
    if (FMachine)
        FMachine->ForcePositionReport = true;
    if (FanucScreenIsSource())
        FFanucScreen->RefreshWorkShiftPage();
    FHost.SetStatusText(2, 1, FWorkOffsets->CurrentMOffset(), false);
}

// The shift the machine works with is the current machine offset's (mm);
// nothing else may leave another shift in the converter.
void TBaseForm::ResetWorkShift()
{
    if (!FConvertor || !FWorkOffsets)
        return;
    FConvertor->OffsetX = FWorkOffsets->MX();
    FConvertor->OffsetY = FWorkOffsets->MY();
    FConvertor->OffsetZ = FWorkOffsets->MZ();
}

// Only the record that programs G54 to G59 selects; every later record
// still carries the code (it is modal) and must not select again. The
// offsets announce the selection through WorkDataChanged, which runs the
// change handler above.
void TBaseForm::SelectWorkOffsetByCode(const TCNC_data &Data)
{
    bool selects = Data.Motion >= 54 && Data.Motion <= 59;
    if (selects && FWorkOffsets)
        FWorkOffsets->SelectByCode(Data.WorkOffset);
}

void TBaseForm::OutputNeedsToolPage(TObject *Sender) { FHost.ShowMachineTooling(); }

void TBaseForm::ShowToolLibrary(bool Show)
{
    TTooling_Library *library = FTooling ? FTooling->ToolLibrary() : nullptr;
    if (!library)
        return;
    if (Show)
        library->ShowWindow();
    else
        library->CloseWindow();
}

void TBaseForm::ShowMachineTooling(bool Show)
{
    if (!FTooling)
        return;
    if (Show)
        FTooling->ShowDeck();
    else
        FTooling->CloseDeck();
}

// M06 with a T: every tool change of a run goes through the changer, whatever
// outputs are on, so the length offset the machine moves with and the
// diameter cutter compensation offsets by are the new tool's. A position
// without a tool is asked for first (messages 40 and 41): on Yes the run
// waits while the operator puts the tool in through "Machine Tooling"; on
// No, or when the wait ends without the tool, the tool in the spindle stays.
// A skipped block-delete line changes nothing.
void TBaseForm::ChangeToolForRun(const TCNC_data &Data)
{
    const bool skipped = Data.BlockDelete && FBlockSkip;
    if (Data.MCode != 6 || Data.Tool <= 0 || skipped || !FTooling)
        return;
    // A block search only reads the program up to its target: it changes nothing.
    if (FHost.ButtonDown(TMainButton::BlockSearch))
        return;
    if (Data.Tool == FTooling->CurrentTool() || FRunState == csStopped)
        return;
    if (!FTooling->HasTool(Data.Tool)) {
        const std::string text = Mess().MessageText(MessageNoValidTool) + IntToStr(Data.Tool) +
                                 "\n" + Mess().MessageText(MessageEditToolingNow);
        const TCycleState stateAtAsk = FRunState;
        if (MessageDlg("", text, mtInformation, mbYesNo) != mrYes)
            return;
        OutputNeedsToolPage(this);
        if (!WaitForToolInChanger(Data.Tool, stateAtAsk))
            return;
    }
    FTooling->RequestToolChange(Data.Tool, true);
}

// Sleeps in the event loop until the position holds a tool; a stop or
// another change of the run state ends the wait. True when the tool is there.
bool TBaseForm::WaitForToolInChanger(int Tool, TCycleState StateAtAsk)
{
    while (!FTooling->HasTool(Tool)) {
        if (FRunState != StateAtAsk)
            return false;
        EventLoop().WaitForMessages();
    }
    return true;
}

// --- The "Work Piece Offsets" window ---

void TBaseForm::WorkPieceOffsetClick()
{
    if (FHost.ButtonDown(TMainButton::Offsets)) {
        AttachMachineToOffsets();
        FWorkOffsets->ShowWindow(true);
    } else {
        FWorkOffsets->CloseWindow();
    }
    FHost.SetStatusText(2, 1, FWorkOffsets->CurrentMOffset(), false);
}

// The offsets read the machine's position through the engine's converter
// (steps to mm, machine coordinates); without a machine they have none.
void TBaseForm::AttachMachineToOffsets()
{
    if (!FWorkOffsets)
        return;
    if (!FMachine) {
        FWorkOffsets->MachinePosition = nullptr;
        return;
    }
    FWorkOffsets->MachinePosition = [this](TPoint3D &Position) {
        if (!FMachine || !FConvertor)
            return false;
        TMachinePosition p;
        FMachine->GetPosition(p);
        FConvertor->FromMachine(p);
        Position = TPoint3D{p.X, p.Y, p.Z};
        return true;
    };
}

} // namespace orv
