#include "machine/Machine_Tooling.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/ToolingMessages.h"
#include "machine/Tooling_lib.h"
#include "platform/NumberText.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <algorithm>

namespace orv {

namespace {

std::function<bool(const std::string &, std::string &)> &DefaultZOffsetPrompt()
{
    static std::function<bool(const std::string &, std::string &)> prompt;
    return prompt;
}

} // namespace

void SetDefaultZOffsetPrompt(std::function<bool(const std::string &Prompt, std::string &Value)> Prompt)
{
    DefaultZOffsetPrompt() = std::move(Prompt);
}

namespace {

constexpr const char *GlobalSection = "Global";
constexpr const char *CurrentToolKey = "Current Tool";
constexpr const char *ToolNameKey = "Tool Name";

bool IsChangerPosition(int Position)
{
    return Position >= 1 && Position <= TMachine_Tooling::MaxPositions;
}

} // namespace

std::string ToolSection(int Position) { return "Tool" + IntToStr(Position); }

TMachine_Tooling::TMachine_Tooling(TComponent *Owner) : TComponent(Owner) {}

TMachine_Tooling::~TMachine_Tooling()
{
    WriteCurrentToolToFile();
    FLibrary.reset();
}

void TMachine_Tooling::SetToolCapacity(int Value)
{
    FToolCapacity = std::clamp(Value, 1, MaxPositions);
    if (FMachineToolCount > FToolCapacity)
        FMachineToolCount = FToolCapacity;
    if (FCurrentTool > FMachineToolCount)
        FCurrentTool = FMachineToolCount;
}

void TMachine_Tooling::SetMachineToolCount(int Value)
{
    FMachineToolCount = std::clamp(Value, 1, FToolCapacity);
}

void TMachine_Tooling::SetCurrentTool(int Value)
{
    // Below 1 first, then the count, so the position stays 0 while no count is set.
    int position = std::max(Value, 1);
    FCurrentTool = std::min(position, FMachineToolCount);
}

void TMachine_Tooling::SetDataFile(const std::string &Name)
{
    FDataFile = ToolingFilePath(Name);
    SetCurrentTool(TIniFile(FDataFile).ReadInteger(GlobalSection, CurrentToolKey, 1));
}

std::string TMachine_Tooling::PositionName(int Position) const
{
    if (!IsChangerPosition(Position) || FDataFile.empty())
        return "";
    return TIniFile(FDataFile).ReadString(ToolSection(Position), ToolNameKey, "");
}

bool TMachine_Tooling::HasTool(int Position) const { return !PositionName(Position).empty(); }

bool TMachine_Tooling::GetToolName(int Position, std::string &Name, bool ShowError) const
{
    Name = PositionName(Position);
    if (!Name.empty())
        return true;
    if (ShowError)
        Mess().ShowMessageByIndex(2, mtWarning, mbOK);
    return false;
}

// Reads the tool at Position into the library's held values; false when the
// position is empty, no library is bound or the library does not hold it.
bool TMachine_Tooling::ReadUsableTool(int Position, std::string &Name)
{
    Name = PositionName(Position);
    return !Name.empty() && FLibrary && FLibrary->ReadTool(Name);
}

void TMachine_Tooling::GetToolData(int Position, TTool_data &Data)
{
    std::string name;
    bool usable = ReadUsableTool(Position, name);
    if (!name.empty() && FLibrary) {
        const TTooling_Library &lib = *FLibrary;
        Data.TypeName = Tr(CutterTypeName(lib.CutterType()));
        Data.Diameter = usable ? lib.Diameter : -1.0;
        Data.Length = lib.Length;
        Data.LengthOffset = lib.OffSet();
        Data.FluteLength = lib.FluteLength;
        Data.FluteCount = lib.FluteCount;
        Data.MaximumToolLife = lib.MaximumToolLife;
        Data.CurrentToolLife = lib.CurrentToolLife;
        Data.Colour = lib.Colour;
    } else {
        Data.Diameter = -1.0;
    }
    if (Position != FCurrentTool)
        return;
    CurrentLengthOffset = usable ? Data.LengthOffset : 0;
    CurrentDiameter = usable ? Data.Diameter : 0;
}

double TMachine_Tooling::ToolLengthOffset(int Position)
{
    std::string name = PositionName(Position);
    if (name.empty() || !FLibrary || !FLibrary->SetCurrentTool(name)) {
        ClearCachedTool();
        return 0;
    }
    CurrentLengthOffset = FLibrary->OffSet();
    CurrentDiameter = FLibrary->Diameter;
    return CurrentLengthOffset;
}

void TMachine_Tooling::ClearCachedTool()
{
    CurrentLengthOffset = 0;
    CurrentDiameter = 0;
}

bool TMachine_Tooling::RequestToolChange(int Position, bool Notify)
{
    if (WarnBeforeToolChange && Mess().ShowMessageByIndex(9, mtWarning, mbYesNo) != mrYes)
        return false;
    FPendingTool = Position;
    if (Notify && ToolChangeRequiredNotify)
        ToolChangeRequiredNotify(this, Position);
    if (!ConfirmationToolChange)
        CommitToolChange();
    return true;
}

void TMachine_Tooling::CommitToolChange()
{
    if (FPendingTool == 0)
        return;
    const int position = FPendingTool;
    FPendingTool = 0;
    FCurrentTool = position;
    std::string name;
    const bool usable = ReadUsableTool(position, name);
    if (usable) {
        CurrentLengthOffset = FLibrary->OffSet();
        CurrentDiameter = FLibrary->Diameter;
    } else {
        // Never run on with the previous tool's length offset.
        ClearCachedTool();
    }
    FireToolZOffsetChanged();
    WriteCurrentToolToFile();
    if (FDeck)
        LayoutCarousel(); // the tool in the spindle comes to the top
    if (!usable)
        ShowToolingMessage(NumberedText(40) + IntToStr(position), mtWarning, mbOK);
}

void TMachine_Tooling::EditZOffset(int Position, double Value)
{
    std::string name;
    if (!GetToolName(Position, name, true))
        return;
    if (!FLibrary || !FLibrary->SetCurrentTool(name)) {
        ShowToolingMessage(NumberedText(40) + IntToStr(Position), mtWarning, mbOK);
        return;
    }
    std::string prompt = Tr("Set Z offset for tool : ") + IntToStr(Position) + " \n" + name;
    std::string text = FloatToUnitsText(FUnits == Inch, Value);
    const auto &ask = ZOffsetPrompt ? ZOffsetPrompt : DefaultZOffsetPrompt();
    bool ok = ask ? ask(prompt, text) : Messages().InputQuery(Tr("Set Offset"), prompt, text);
    if (!ok)
        return;
    double typed = 0;
    if (!TryStrToFloat(text, typed)) {
        Mess().ShowMessageByIndex(2, mtError, mbOK);
        return;
    }
    const double mm = UnitsToMM(FUnits, typed);
    if (!FLibrary->SetOffSet(mm))
        return;
    if (Position == FCurrentTool)
        CurrentLengthOffset = mm;
    FireToolZOffsetChanged();
}

void TMachine_Tooling::SetToolLibrary(std::unique_ptr<TTooling_Library> Library)
{
    FLibrary = std::move(Library);
    if (!FLibrary)
        return;
    FLibrary->ToolDataChanged = [this](TObject *, const std::string &OldName,
                                       const std::string &NewName) {
        LibraryToolDataChanged(OldName, NewName);
    };
}

void TMachine_Tooling::LibraryToolDataChanged(const std::string &OldName,
                                              const std::string &NewName)
{
    // A renamed tool stays in the positions that hold it.
    if (!OldName.empty() && !NewName.empty() && OldName != NewName && !FDataFile.empty()) {
        TIniFile ini(FDataFile);
        for (int p = 1; p <= MaxPositions; ++p)
            if (ini.ReadString(ToolSection(p), ToolNameKey, "") == OldName)
                ini.WriteString(ToolSection(p), ToolNameKey, NewName);
    }
    // The current tool's values may have been edited: take them again.
    TTool_data data;
    GetToolData(FCurrentTool, data);
    FireDataChanged(-1);
    FireToolZOffsetChanged();
}

void TMachine_Tooling::SetToolName(int Position, const std::string &Name)
{
    if (FLibrary && IsChangerPosition(Position) && !FDataFile.empty())
        TIniFile(FDataFile).WriteString(ToolSection(Position), ToolNameKey, Name);
}

bool TMachine_Tooling::ToolNameUsed(const std::string &Name, int N) const
{
    if (Name.empty() || FDataFile.empty())
        return false;
    TIniFile ini(FDataFile);
    int found = 0;
    for (int p = 1; p <= MaxPositions && found < N; ++p)
        if (ini.ReadString(ToolSection(p), ToolNameKey, "") == Name)
            ++found;
    return found >= N;
}

void TMachine_Tooling::ClearPosition(int Position)
{
    if (!IsChangerPosition(Position) || FDataFile.empty())
        return;
    TIniFile(FDataFile).EraseSection(ToolSection(Position));
    FireDataChanged(Position);
}

void TMachine_Tooling::OpenToolingFile()
{
    TIniFile main(MainIniPath());
    TFileRequest request;
    request.Kind = TFileDialogKind::Open;
    request.Title = Tr("Open Tooling File");
    request.Filter = FileFilter;
    request.DefaultExt = DefaultExt;
    request.InitialDir = main.ReadString("directories", "Last Tooling", ExeFolder());
    std::optional<std::string> chosen = Messages().ChooseFile(request);
    if (!chosen || chosen->empty())
        return;
    // The file's own "Current Tool" is not read: the spindle keeps its tool.
    FDataFile = NormalisePath(*chosen);
    main.WriteString("directories", "Last Tooling", ExtractFilePath(FDataFile));
    main.WriteString("Tooling", "Tool File Name", FDataFile);
    if (FDeck) {
        ShowToolInfo(0);
        RefreshPositions();
    }
    TTool_data data;
    GetToolData(FCurrentTool, data);
    FireDataChanged(-1);
}

void TMachine_Tooling::WriteCurrentToolToFile()
{
    // Only into an existing changer file: a missing one is never made here.
    if (!FDataFile.empty() && FileExists(FDataFile))
        TIniFile(FDataFile).WriteInteger(GlobalSection, CurrentToolKey, FCurrentTool);
}

void TMachine_Tooling::FireToolZOffsetChanged()
{
    if (Tool_Z_offsetChanged)
        Tool_Z_offsetChanged(this);
}

void TMachine_Tooling::FireDataChanged(int Position)
{
    if (OnDataChanged)
        OnDataChanged(this, Position);
}

} // namespace orv
