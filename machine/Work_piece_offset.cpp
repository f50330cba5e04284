#include "machine/Work_piece_offset.h"

#include "engine/core/ResStrings.h"
#include "engine/core/DUtils.h"
#include "machine/IniSections.h"
#include "machine/Machine_Tooling.h"
#include "machine/ShapeUtils.h"
#include "machine/ToolingMessages.h"
#include "platform/NumberText.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr const char *AxisKeys[3] = {"X", "Y", "Z"};
constexpr int AllFields = 4;
constexpr unsigned AllFieldBits = 7;

bool IsWorkOffsetCode(int N) { return N > 53 && N < 60; }

bool IsOffsetField(int Field) { return Field >= 1 && Field <= 3; }

// Flags of the settings file beside the program read "TRUE"/"1" and "FALSE"/"0".
bool ReadFlag(const TIniFile &Ini, const std::string &Section, const std::string &Key, bool Default)
{
    std::string text = Trim(Ini.ReadString(Section, Key, ""));
    if (SameText(text, "TRUE") || text == "1")
        return true;
    if (SameText(text, "FALSE") || text == "0")
        return false;
    return Default;
}

// Side factor of the reference picture: on the edge (1), beside it (2), the other side (3).
double SideFactor(int Picture)
{
    switch (Picture) {
    case 2:
        return 1;
    case 3:
        return -1;
    default:
        return 0;
    }
}

} // namespace

std::function<std::unique_ptr<TWorkOffsetView>(TWork_piece_offset &)>
    TWork_piece_offset::WindowFactory;

TWork_piece_offset::TWork_piece_offset(TComponent *Owner)
    : TComponent(Owner), NewOffsetName(Tr("New Offset")), FFilename(ExeFileWithExt("MOL"))
{
    Names = ReadNames();
    FEditTime.SetInterval(EditDelayMs);
    FEditTime.OnTimer = [this] { FlushEdits(); };
}

TWork_piece_offset::~TWork_piece_offset()
{
    FlushEdits();
    FView.reset();
}

bool TWork_piece_offset::SimUseWorkOffset()
{
    return ReadFlag(TIniFile(ProgramSettingsFile()), "Default Settings", "SimUseWorkOffset", true);
}

void TWork_piece_offset::SetCycleState(TCycleState Value)
{
    FCycleState = Value;
    RefreshView();
}

void TWork_piece_offset::SetUnits(TUnits Value)
{
    FlushEdits();
    FUnits = Value;
    if (FWindowOpen && !FSelected.empty())
        LoadOffset(FSelected);
    RefreshView();
}

double TWork_piece_offset::ToDisplay(double Mm) const { return RoundToUnits(FUnits, Mm); }

double TWork_piece_offset::ToMm(double Display) const { return UnitsToMM(FUnits, Display); }

std::vector<std::string> TWork_piece_offset::ReadNames() const
{
    return TIniFile(FFilename).ReadSections();
}

void TWork_piece_offset::SelectOffset(const std::string &Name, bool Simulation)
{
    if (Simulation) {
        FCurrentS = Name;
    } else {
        FCurrentM = Name;
        if (SimUseWorkOffset())
            FCurrentS = Name;
    }
    LoadOffset(Name);
    RefreshView();
    FireWorkDataChanged(Name);
}

void TWork_piece_offset::LoadOffset(const std::string &Name)
{
    if (Name.empty())
        return;
    TIniFile ini(FFilename);
    TPoint3D values;
    values.X = ini.ReadFloat(Name, AxisKeys[0], 0);
    values.Y = ini.ReadFloat(Name, AxisKeys[1], 0);
    values.Z = ini.ReadFloat(Name, AxisKeys[2], 0);
    // A section without "Type" fills both sets.
    if (SameText(ini.ReadString(Name, TypeKey, MachineType), MachineType))
        FM = values;
    if (SameText(ini.ReadString(Name, TypeKey, SimulationType), SimulationType) ||
        SimUseWorkOffset())
        FS = values;
    // The edits show the values only for the node they belong to.
    if (FWindowOpen && SameText(Name, FSelected)) {
        FEdit[0] = ToDisplay(values.X);
        FEdit[1] = ToDisplay(values.Y);
        FEdit[2] = ToDisplay(values.Z);
    }
}

bool TWork_piece_offset::SelectByCode(int N)
{
    if (!IsWorkOffsetCode(N))
        return false;
    const std::string code = "G" + IntToStr(N);
    if (!FWindowOpen)
        Names = ReadNames();
    for (const auto &name : Names) {
        if (UpperCase(name) != code)
            continue;
        // The shown name and the active values change together.
        if (FWindowOpen)
            SelectNode(name);
        SelectOffset(name, false);
        return true;
    }
    return false;
}

void TWork_piece_offset::ShowWindow(bool SelectCurrent)
{
    if (!FView && WindowFactory)
        FView = WindowFactory(*this);
    FWindowOpen = true;
    FillTree(SelectCurrent);
}

void TWork_piece_offset::CloseWindow()
{
    FlushEdits();
    FWindowOpen = false;
    FSelected.clear();
    FCentre = TCentreFinder();
    FView.reset();
}

void TWork_piece_offset::FillTree(bool SelectCurrent)
{
    Names = ReadNames();
    if (SimUseWorkOffset())
        FCurrentS = FCurrentM;
    bool currentListed = NameExists(FCurrentM);
    if (SelectCurrent && currentListed) {
        SelectNode(FCurrentM);
        SelectOffset(FCurrentM, false);
        return;
    }
    if (!NameExists(FSelected))
        FSelected.clear();
    RefreshView();
}

bool TWork_piece_offset::NameExists(const std::string &Name) const
{
    return !Name.empty() && std::any_of(Names.begin(), Names.end(), [&](const std::string &N) {
        return SameText(N, Name);
    });
}

void TWork_piece_offset::WriteOffset(const std::string &Name, int Field)
{
    if (!FWindowOpen || FSelected.empty())
        return;
    std::string section = Name;
    if (section.empty()) {
        FEdit[0] = FEdit[1] = FEdit[2] = 0;
        section = NewOffsetName;
    }
    TIniFile ini(FFilename);
    for (int f = 1; f <= 3; ++f)
        if (Field == f || Field == AllFields)
            ini.WriteString(section, AxisKeys[f - 1], FloatToStr(ToMm(FEdit[f - 1])));
    // Every offset of the tree is a machine offset; a section written as a
    // simulation offset by another program keeps its type.
    std::string type = ini.ReadString(section, TypeKey, MachineType);
    if (!SameText(type, SimulationType))
        ini.WriteString(section, TypeKey, MachineType);
}

void TWork_piece_offset::SelectNode(const std::string &Name)
{
    FlushEdits();
    FSelected = NameExists(Name) ? Name : std::string();
    if (!FSelected.empty())
        LoadOffset(FSelected);
    RefreshView();
}

void TWork_piece_offset::ChangeEdit(int Field, double DisplayValue)
{
    if (!IsOffsetField(Field) || !EditingEnabled())
        return;
    FEdit[Field - 1] = DisplayValue;
    FPendingFields |= 1u << (Field - 1);
    FEditTime.SetEnabled(false);
    FEditTime.SetEnabled(true);
}

void TWork_piece_offset::FlushEdits()
{
    FEditTime.SetEnabled(false);
    const unsigned pending = FPendingFields;
    FPendingFields = 0;
    if (pending == 0 || FSelected.empty())
        return;
    // Every edit changed since the last write is written, not only the last one.
    if (pending == AllFieldBits) {
        WriteOffset(FSelected, AllFields);
    } else {
        for (int f = 1; f <= 3; ++f)
            if (pending & (1u << (f - 1)))
                WriteOffset(FSelected, f);
    }
    CommitCurrentValues();
}

void TWork_piece_offset::CommitCurrentValues()
{
    const TPoint3D values{ToMm(FEdit[0]), ToMm(FEdit[1]), ToMm(FEdit[2])};
    if (SameText(FSelected, FCurrentS))
        FS = values;
    if (!SameText(FSelected, FCurrentM))
        return;
    FM = values;
    FireWorkDataChanged(FSelected);
}

void TWork_piece_offset::FireWorkDataChanged(const std::string &Name)
{
    if (WorkDataChanged)
        WorkDataChanged(this, Name, Name);
}

void TWork_piece_offset::NameExistsMessage(const std::string &Name) const
{
    ShowToolingMessage(Tr("The name ") + "\"" + Name + "\"" + Tr(" already exists"), mtError, mbOK);
}

bool TWork_piece_offset::AddOffset()
{
    FlushEdits();
    if (NameExists(NewOffsetName)) {
        NameExistsMessage(NewOffsetName);
        return false;
    }
    Names.push_back(NewOffsetName);
    FSelected = NewOffsetName;
    WriteOffset("", AllFields);
    FillTree(false);
    return true;
}

void TWork_piece_offset::DeleteOffset()
{
    FlushEdits();
    if (FSelected.empty())
        return;
    auto it = std::find_if(Names.begin(), Names.end(),
                           [&](const std::string &N) { return SameText(N, FSelected); });
    std::string before = (it == Names.end() || it == Names.begin()) ? "" : *(it - 1);
    TIniFile(FFilename).EraseSection(FSelected);
    FSelected.clear();
    FillTree(false);
    SelectNode(before);
}

bool TWork_piece_offset::RenameOffset(const std::string &OldName, const std::string &NewName)
{
    FlushEdits();
    if (OldName.empty() || Trim(NewName).empty() || !NameExists(OldName))
        return false;
    if (NameExists(NewName)) {
        NameExistsMessage(NewName);
        return false;
    }
    TIniFile ini(FFilename);
    RenameSection(ini, OldName, NewName);
    if (SameText(FSelected, OldName))
        FSelected = NewName;
    Names = ReadNames();
    if (SameText(FCurrentM, OldName))
        SelectOffset(NewName, false);
    if (SameText(FCurrentS, OldName))
        SelectOffset(NewName, true);
    FillTree(false);
    return true;
}

void TWork_piece_offset::CopyOffset()
{
    for (int i = 0; i < 3; ++i)
        FClipboard[i] = ToMm(FEdit[i]);
    FClipboardFilled = true;
    RefreshView();
}

void TWork_piece_offset::PasteOffset()
{
    if (!FClipboardFilled || FSelected.empty())
        return;
    for (int f = 1; f <= 3; ++f)
        ChangeEdit(f, ToDisplay(FClipboard[f - 1]));
    RefreshView();
}

void TWork_piece_offset::MakeCurrent()
{
    FlushEdits();
    if (!FSelected.empty())
        SelectOffset(FSelected, false);
}

// Radius and length offset (mm) of the tool at the changer's current
// position; both 0 when the changer holds no usable tool there.
static void CurrentToolSize(TMachine_Tooling *Tooling, double &Radius, double &LengthOffset)
{
    Radius = LengthOffset = 0;
    if (!Tooling || !Tooling->HasTool(Tooling->CurrentTool()))
        return;
    TTool_data tool;
    Tooling->GetToolData(Tooling->CurrentTool(), tool);
    if (tool.Diameter < 0)
        return;
    Radius = tool.Diameter / 2;
    LengthOffset = tool.LengthOffset;
}

bool TWork_piece_offset::ZeroAxis(int Axis, int Picture, bool UseCutterRadius,
                                  const std::string &OtherValue)
{
    TPoint3D position;
    if (!IsOffsetField(Axis) || !CanZero() || !EditingEnabled() || !MachinePosition(position))
        return false;
    double factor = SideFactor(Picture);
    double radius = 0, lengthOffset = 0;
    CurrentToolSize(Tooling, radius, lengthOffset);
    double value = radius;
    if (!UseCutterRadius) {
        double typed = 0;
        if (!TryStrToFloat(OtherValue, typed)) {
            ShowToolingMessage(ResString(SInvalidFloat, {OtherValue}), mtError, mbOK);
            return false;
        }
        value = ToMm(typed);
        if (Axis == 3)
            factor = 1;
    }
    // The spindle carries the tool: Z is zeroed at the tool's end.
    const double result = Axis == 1   ? position.X + factor * value
                          : Axis == 2 ? position.Y + factor * value
                                      : position.Z - lengthOffset - factor * value;
    ChangeEdit(Axis, ToDisplay(result));
    RefreshView();
    return true;
}

void TWork_piece_offset::ShowCentreFinder()
{
    FCentre = TCentreFinder();
    FCentre.Visible = true;
    RefreshView();
}

void TWork_piece_offset::TakeCentrePoint(int Index)
{
    TPoint3D position;
    if (Index < 0 || Index > 2 || !HasMachine() || !MachinePosition(position))
        return;
    FCentre.Points[Index] = TPoint3D{position.X, position.Y, 0};
    FCentre.PointSet[Index] = true;
    UpdateCentre();
    RefreshView();
}

void TWork_piece_offset::UpdateCentre()
{
    FCentre.HasCentre = false;
    FCentre.Lamp = 0;
    if (!(FCentre.PointSet[0] && FCentre.PointSet[1] && FCentre.PointSet[2]))
        return;
    const TPoint3D *p = FCentre.Points;
    if (!CircleFrom3Points(p[0], p[1], p[2], FCentre.Centre)) {
        FCentre.Lamp = TCentreFinder::LampRed;
        return;
    }
    FCentre.HasCentre = true;
    FCentre.Diameter = 2 * std::hypot(FCentre.Centre.X - p[0].X, FCentre.Centre.Y - p[0].Y);
    FCentre.Lamp = FCentre.Diameter < TCentreFinder::MaximumDiameter ? TCentreFinder::LampGreen
                                                                      : TCentreFinder::LampRed;
}

void TWork_piece_offset::AcceptCentre()
{
    if (FCentre.Lamp == TCentreFinder::LampGreen && !FSelected.empty() && EditingEnabled()) {
        FEdit[0] = ToDisplay(FCentre.Centre.X);
        FEdit[1] = ToDisplay(FCentre.Centre.Y);
        FPendingFields |= AllFieldBits;
        FlushEdits();
    }
    CancelCentre();
}

void TWork_piece_offset::CancelCentre()
{
    FCentre.Visible = false;
    RefreshView();
}

void TWork_piece_offset::RefreshView()
{
    if (FView)
        FView->Refresh();
}

} // namespace orv
