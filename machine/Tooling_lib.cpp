#include "machine/Tooling_lib.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/IniSections.h"
#include "machine/ToolingMessages.h"
#include "platform/NumberText.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace orv {

namespace {

constexpr const char *ToolingSection = "Tooling";
constexpr const char *LibraryKey = "Tool Library";

// Read defaults of a tool's keys (the flute length defaults to the length text).
constexpr const char *DefaultDiameter = "-1";
constexpr const char *DefaultLength = "1";
constexpr const char *DefaultOffset = "1";
constexpr int32_t DefaultFluteCount = 2;
constexpr int32_t DefaultMaximumLife = 50;
constexpr int32_t DefaultCurrentLife = 0;

// A section named exactly "tool" (the placeholder of old files) never reads.
bool IsReadableName(const std::string &Name) { return !Name.empty() && Name != "tool"; }

TCutter_types CutterTypeOf(int32_t Ordinal)
{
    if (Ordinal < SlotMill || Ordinal > Unknown)
        return Unknown;
    return static_cast<TCutter_types>(Ordinal);
}

} // namespace

std::function<std::unique_ptr<TToolingLibraryView>(TTooling_Library &)>
    TTooling_Library::WindowFactory;

std::string CutterTypeName(TCutter_types Type) { return CutterTypeNames[CutterTypeOf(Type)]; }

std::string ToolingFilePath(const std::string &Name)
{
    const bool isPath = Name.find_first_of("\\/:") != std::string::npos;
    return isPath ? NormalisePath(Name) : ExeFolder() + Name;
}

TTooling_Library::TTooling_Library(TComponent *Owner) : TComponent(Owner) {}

TTooling_Library::~TTooling_Library()
{
    FWindow.reset();
    RememberLibraryFile();
}

void TTooling_Library::ResetToDefaults()
{
    Diameter = -1;
    Length = 1;
    FOffSet = 1;
    FluteLength = 1;
    FluteCount = DefaultFluteCount;
    MaximumToolLife = DefaultMaximumLife;
    CurrentToolLife = DefaultCurrentLife;
    Colour = DefaultColour;
    FCutterType = SlotMill;
    FOffsetSet = false;
    FToolInUse = false;
}

bool TTooling_Library::ReadLengths(const TIniFile &Ini, const std::string &Name)
{
    const std::string length = Ini.ReadString(Name, KeyLength, DefaultLength);
    const std::string texts[4] = {Ini.ReadString(Name, KeyDiameter, DefaultDiameter), length,
                                  Ini.ReadString(Name, KeyOffset, DefaultOffset),
                                  Ini.ReadString(Name, KeyFluteLength, length)};
    double *targets[4] = {&Diameter, &Length, &FOffSet, &FluteLength};
    for (int i = 0; i < 4; ++i)
        if (!TryStrToFloat(texts[i], *targets[i]) || !std::isfinite(*targets[i]))
            return false;
    return true;
}

void TTooling_Library::ReadWholeNumbers(const TIniFile &Ini, const std::string &Name)
{
    FluteCount = Ini.ReadInteger(Name, KeyFluteCount, DefaultFluteCount);
    MaximumToolLife = Ini.ReadInteger(Name, KeyMaximumLife, DefaultMaximumLife);
    CurrentToolLife = Ini.ReadInteger(Name, KeyCurrentLife, DefaultCurrentLife);
    Colour = Ini.ReadInteger(Name, KeyColour, DefaultColour);
    FCutterType = CutterTypeOf(Ini.ReadInteger(Name, KeyType, 0));
    FOffsetSet = Ini.ReadBool(Name, KeyOffsetSet, false);
    FToolInUse = Ini.ReadBool(Name, KeyInUse, false);
}

// Reads the section into the held values, starting from the read defaults so
// that a failed read never leaves another tool's values mixed in. True when
// every value converted and the diameter is not below 0.
bool TTooling_Library::ReadValues(const std::string &Name)
{
    ResetToDefaults();
    FHeldTool.clear();
    TIniFile ini(FDataFile);
    if (!ReadLengths(ini, Name))
        return false;
    ReadWholeNumbers(ini, Name);
    FHeldTool = Name; // held exactly as stored, also with a negative diameter
    return Diameter >= 0;
}

bool TTooling_Library::ReadTool(const std::string &Name, bool WithPicture)
{
    if (!IsReadableName(Name))
        return false;
    bool ok = ReadValues(Name);
    if (WithPicture && FWindow)
        FWindow->ShowCutterType(FCutterType);
    return ok;
}

bool TTooling_Library::WriteTool(const std::string &Name, const std::string &FileName, bool Reread)
{
    if (Name.empty())
        return false;
    bool holdsThisTool = !FHeldTool.empty() && SameText(FHeldTool, Name);
    if ((Reread || !holdsThisTool) && !ReadTool(Name))
        return false;
    TIniFile ini(FileName);
    ini.WriteString(Name, KeyDiameter, FloatToStr(Diameter));
    ini.WriteString(Name, KeyLength, FloatToStr(Length));
    ini.WriteString(Name, KeyOffset, FloatToStr(FOffSet));
    ini.WriteString(Name, KeyFluteLength, FloatToStr(FluteLength));
    ini.WriteInteger(Name, KeyFluteCount, FluteCount);
    ini.WriteInteger(Name, KeyMaximumLife, MaximumToolLife);
    ini.WriteInteger(Name, KeyCurrentLife, CurrentToolLife);
    ini.WriteInteger(Name, KeyColour, Colour);
    ini.WriteInteger(Name, KeyType, FCutterType);
    ini.WriteBool(Name, KeyOffsetSet, FOffsetSet);
    ini.WriteBool(Name, KeyInUse, FToolInUse);
    SectionNames();
    return ini.LastWriteOk();
}

bool TTooling_Library::HoldCurrentTool()
{
    if (FCurrentTool.empty())
        return false;
    if (FHeldTool == FCurrentTool)
        return true;
    ReadValues(FCurrentTool);
    return FHeldTool == FCurrentTool;
}

bool TTooling_Library::WriteCurrentTool()
{
    return WriteTool(FCurrentTool, FDataFile, false);
}

bool TTooling_Library::SetCurrentTool(const std::string &Name)
{
    if (Name == FCurrentTool && FHeldTool == Name)
        return true;
    if (!ReadTool(Name))
        return false;
    FCurrentTool = Name;
    return true;
}

bool TTooling_Library::SetOffSet(double Value)
{
    if (!HoldCurrentTool())
        return false;
    if (Value == FOffSet)
        return true;
    FOffSet = Value;
    return SetOffsetSet(true);
}

bool TTooling_Library::SetToolInUse(bool Value)
{
    if (!HoldCurrentTool())
        return false;
    FToolInUse = Value;
    return WriteCurrentTool();
}

bool TTooling_Library::SetOffsetSet(bool Value)
{
    if (!HoldCurrentTool())
        return false;
    FOffsetSet = Value;
    return WriteCurrentTool();
}

void TTooling_Library::SetCutterType(TCutter_types Value)
{
    FCutterType = CutterTypeOf(Value);
    if (FWindow)
        FWindow->ShowCutterType(FCutterType);
}

void TTooling_Library::SetDataFile(const std::string &Name)
{
    std::string path = ToolingFilePath(Name);
    if (path == FDataFile)
        return;
    FDataFile = path;
    // The held values and the current tool belong to the previous file.
    FHeldTool.clear();
    FCurrentTool.clear();
    SectionNames();
}

std::vector<std::string> TTooling_Library::SectionNames()
{
    FSections = TIniFile(FDataFile).ReadSections();
    return FSections;
}

bool TTooling_Library::ToolExists(const std::string &Name)
{
    return !Name.empty() && TIniFile(FDataFile).SectionExists(Name);
}

void TTooling_Library::ShowWindow()
{
    if (!FWindow && WindowFactory)
        FWindow = WindowFactory(*this);
    RefreshWindow();
}

void TTooling_Library::CloseWindow() { FWindow.reset(); }

void TTooling_Library::RefreshWindow()
{
    if (FWindow)
        FWindow->FillTree();
}

std::vector<TToolListEntry> TTooling_Library::ListTools()
{
    std::vector<TToolListEntry> tools;
    for (const auto &name : SectionNames())
        if (ReadTool(name) && Diameter > 0)
            tools.push_back({name, Colour});
    if (FileExists(FDataFile))
        CopyFileTo(FDataFile, ExtractFilePath(FDataFile) + "data.tmp");
    return tools;
}

void TTooling_Library::SetUnits(TUnits Value)
{
    Units = Value;
    if (FWindow)
        FWindow->UnitsChanged();
}

std::vector<std::string> TTooling_Library::DetailTexts(const std::string &Name)
{
    ReadTool(Name, true);
    TIniFile ini(FDataFile);
    const bool inch = Units == Inch;
    const std::string values[7] = {
        FloatToUnitsText(inch, Diameter),
        FloatToUnitsText(inch, Length),
        FloatToUnitsText(inch, FOffSet),
        FloatToUnitsText(inch, FluteLength),
        ini.ReadString(Name, KeyFluteCount, "-1"),
        ini.ReadString(Name, KeyMaximumLife, "-1"),
        ini.ReadString(Name, KeyCurrentLife, "-1")};
    std::vector<std::string> rows;
    for (int i = 0; i < 7; ++i)
        rows.push_back(Tr(ToolDataNames[i]) + " = " + values[i]);
    return rows;
}

std::string TTooling_Library::NewToolName() const { return Tr("New Tool"); }

void TTooling_Library::NameExistsError(const std::string &Name) const
{
    ShowToolingMessage(NumberedText(13) + Name + NumberedText(14), mtError, mbOK);
}

bool TTooling_Library::AddTool()
{
    const std::string name = NewToolName();
    if (ToolExists(name)) {
        NameExistsError(name);
        return false;
    }
    ResetToDefaults();
    FHeldTool = name;
    WriteTool(name, FDataFile, false);
    RefreshWindow();
    return true;
}

bool TTooling_Library::DeleteTool(const std::string &Name)
{
    TIniFile ini(FDataFile);
    if (ini.ReadBool(Name, KeyInUse, false)) {
        Mess().ShowMessageByIndex(15, mtWarning, mbOK);
        return false;
    }
    ini.EraseSection(Name);
    if (SameText(Name, FCurrentTool))
        FCurrentTool.clear();
    if (SameText(Name, FHeldTool))
        FHeldTool.clear();
    SectionNames();
    return true;
}

bool TTooling_Library::RenameTool(const std::string &OldName, const std::string &NewName)
{
    if (Trim(NewName).empty() || !ToolExists(OldName))
        return false;
    if (ToolExists(NewName)) {
        NameExistsError(NewName);
        return false;
    }
    TIniFile ini(FDataFile);
    RenameSection(ini, OldName, NewName);
    if (SameText(OldName, FCurrentTool))
        FCurrentTool = NewName;
    if (SameText(OldName, FHeldTool))
        FHeldTool = NewName;
    SectionNames();
    FireToolDataChanged(OldName, NewName);
    return true;
}

void TTooling_Library::SetToolColour(const std::string &Name, TColor Value, bool Changed)
{
    if (Changed && ToolExists(Name)) {
        TIniFile(FDataFile).WriteInteger(Name, KeyColour, Value);
        if (SameText(Name, FHeldTool))
            Colour = Value;
    }
    FireToolDataChanged(Name, "");
}

bool TTooling_Library::SetToolType(const std::string &Name, TCutter_types Value)
{
    if (!SetCurrentTool(Name))
        return false;
    SetCutterType(Value);
    return WriteCurrentTool();
}

bool TTooling_Library::ClearToolInUse(const std::string &Name)
{
    return SetCurrentTool(Name) && SetToolInUse(false);
}

// Copies every key of a tool's section from another library file, replacing
// the tool of that name; the copy is not in any changer yet.
void TTooling_Library::CopySection(const std::string &FromFile, const std::string &Name)
{
    const auto values = SectionPairs(TIniFile(FromFile), Name);
    TIniFile ini(FDataFile);
    // The flag tells whether this library's changer holds the tool; the
    // other file's flag says nothing about that.
    const bool inUse = ini.ReadBool(Name, KeyInUse, false);
    // The tool keeps its place in the file; keys the copy lacks are dropped.
    for (const auto &key : ini.ReadSection(Name)) {
        auto same = [&](const auto &V) { return SameText(V.first, key); };
        if (std::none_of(values.begin(), values.end(), same))
            ini.DeleteKey(Name, key);
    }
    for (const auto &[key, value] : values)
        ini.WriteString(Name, key, value);
    ini.WriteBool(Name, KeyInUse, inUse);
    if (SameText(Name, FHeldTool))
        FHeldTool.clear();
    SetCurrentTool(Name);
}

void TTooling_Library::ImportFile(const std::string &FileName)
{
    bool all = false;
    bool copied = false;
    for (const auto &name : TIniFile(FileName).ReadSections()) {
        if (ToolExists(name) && !all) {
            int answer = ShowToolingMessage(NumberedText(10) + name + NumberedText(11), mtWarning,
                                            mbYes | mbNo | mbCancel | mbAll);
            if (answer == mrCancel)
                break;
            if (answer == mrNo)
                continue;
            all = answer == mrAll;
        }
        CopySection(FileName, name);
        copied = true;
    }
    SectionNames();
    RefreshWindow();
    RememberLibraryFile();
    // A tool in the changer may have new values: the changer takes them again.
    if (copied)
        FireToolDataChanged("", "");
}

void TTooling_Library::ExportFile(const std::string &FileName)
{
    for (const auto &tool : ListTools())
        WriteTool(tool.Name, FileName, true);
    if (FileExists(FileName))
        SetDataFile(FileName);
    RefreshWindow();
}

void TTooling_Library::NewDataFile()
{
    if (Mess().ShowMessageByIndex(12, mtWarning, mbYesNo) != mrYes)
        return;
    TIniFile ini(FDataFile);
    bool keptToolInUse = false;
    for (const auto &name : ini.ReadSections()) {
        if (ini.ReadBool(name, KeyInUse, false)) {
            keptToolInUse = true;
            continue;
        }
        ini.EraseSection(name);
        if (SameText(name, FCurrentTool))
            FCurrentTool.clear();
    }
    FHeldTool.clear();
    SectionNames();
    if (keptToolInUse)
        Mess().ShowMessageByIndex(15, mtWarning, mbOK);
    RefreshWindow();
    FireToolDataChanged("", "");
}

void TTooling_Library::ToolEdited(const std::string &Name)
{
    FHeldTool.clear();
    ReadTool(Name, true);
    FireToolDataChanged(Name, "");
}

void TTooling_Library::FireToolDataChanged(const std::string &OldName,
                                           const std::string &NewName)
{
    if (ToolDataChanged)
        ToolDataChanged(this, OldName, NewName);
}

void TTooling_Library::RememberLibraryFile() const
{
    if (!FDataFile.empty() && FileExists(FDataFile))
        TIniFile(MainIniPath()).WriteString(ToolingSection, LibraryKey, FDataFile);
}

} // namespace orv
