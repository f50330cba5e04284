// The tool changer's "Machine Tooling" window: the carousel layout, the
// information panel, the position menu's actions, drops and the file menu.
// The window only draws DeckShown() and forwards the operator's actions.

#include "machine/Machine_Tooling.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/ToolingMessages.h"
#include "machine/Tooling_lib.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <cmath>

namespace orv {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr const char *ToolNameKey = "Tool Name";
constexpr const char *FileLocationKey = "File Location";

// Unit vector from the hub towards a position (screen y grows downwards).
void Direction(int Position, int Current, int Capacity, TCircularDirection Layout, double &DX,
               double &DY)
{
    double angle = (Position - Current) * 2 * Pi / std::max(Capacity, 1);
    DX = Layout == ClockWise ? std::sin(angle) : -std::sin(angle);
    DY = -std::cos(angle);
}

double CentreX() { return TToolDeckShown::ImageLeft + TToolDeckShown::ImageWidth / 2.0; }
double CentreY() { return TToolDeckShown::ImageTop + TToolDeckShown::ImageHeight / 2.0; }
double Radius() { return TToolDeckShown::ImageWidth / 2.0; }

} // namespace

TDeckPoint CarouselPoint(int Position, int Current, int Capacity, TCircularDirection Layout,
                         double OX, double OY, double R)
{
    double dx = 0, dy = 0;
    Direction(Position, Current, Capacity, Layout, dx, dy);
    return {Round(OX + R * dx), Round(OY + R * dy)};
}

// --- The window ---

std::function<std::unique_ptr<TToolDeckView>(TMachine_Tooling &)> TMachine_Tooling::DeckFactory;

void TMachine_Tooling::ShowDeck()
{
    // A window the operator closed is only hidden: it shows again.
    if (FDeck) {
        FDeck->Show();
        return;
    }
    if (!DeckFactory)
        return;
    EmptyHint = Tr("Tool Position Empty");
    for (TDeckButton &b : FShown.Buttons)
        b = TDeckButton{false, 0, 0, false, 0, EmptyHint};
    FDeck = DeckFactory(*this);
    if (!FDeck)
        return;
    RefreshPositions();
    FDeck->Show();
    LayoutCarousel();
    PositionPressed(FCurrentTool);
}

void TMachine_Tooling::CloseDeck() { FDeck.reset(); }

void TMachine_Tooling::RefreshDeck()
{
    if (FDeck)
        FDeck->Refresh();
}

void TMachine_Tooling::LayoutCarousel()
{
    FShown.Direction = FDirection;
    for (int p = 1; p <= MaxPositions; ++p) {
        TDeckButton &b = FShown.Buttons[p - 1];
        b.Visible = p <= FToolCapacity;
        TDeckPoint c = CarouselPoint(p, FCurrentTool, FToolCapacity, FDirection, CentreX(),
                                     CentreY(), Radius());
        b.Left = Round(c.X - TToolDeckShown::ButtonWidth / 2.0);
        b.Top = Round(c.Y - TToolDeckShown::ButtonHeight / 2.0);
    }
    DrawPointer();
}

// A silver triangle from the hub to the information position: its apex on
// the circle, its base 40 pixels wide through the hub.
void TMachine_Tooling::DrawPointer()
{
    FShown.PointerVisible = FInfoPosition > 0;
    if (FShown.PointerVisible) {
        double dx = 0, dy = 0;
        Direction(FInfoPosition, FCurrentTool, FToolCapacity, FDirection, dx, dy);
        double half = TToolDeckShown::PointerBase / 2.0;
        FShown.Apex = {Round(CentreX() + Radius() * dx), Round(CentreY() + Radius() * dy)};
        FShown.BaseA = {Round(CentreX() - half * dy), Round(CentreY() + half * dx)};
        FShown.BaseB = {Round(CentreX() + half * dy), Round(CentreY() - half * dx)};
    }
    RefreshDeck();
}

void TMachine_Tooling::RefreshPositions()
{
    for (int p = 1; p <= FToolCapacity; ++p) {
        std::string name = PositionName(p);
        if (!name.empty())
            ShowToolAtPosition(p, name);
    }
    if (FDeck)
        FShown.FileName = ExtractFileName(FDataFile);
    RefreshDeck();
}

void TMachine_Tooling::ClearShownPosition(int Position)
{
    if (Position < 1 || Position > MaxPositions)
        return;
    TDeckButton &b = FShown.Buttons[Position - 1];
    b.Occupied = false;
    b.Strip = 0;
    b.Hint = EmptyHint;
}

// Erases the position and shows it empty.
void TMachine_Tooling::EmptyPosition(int Position)
{
    ClearShownPosition(Position);
    ClearPosition(Position);
    RefreshDeck();
}

void TMachine_Tooling::ShowToolAtPosition(int Position, const std::string &Name)
{
    if (!FDeck || !FLibrary || Position < 1 || Position > MaxPositions)
        return;
    ClearShownPosition(Position);
    if (FLibrary->SetCurrentTool(Name) && FLibrary->Diameter >= 0) {
        TDeckButton &b = FShown.Buttons[Position - 1];
        b.Occupied = true;
        b.Strip = FLibrary->Colour;
        b.Hint = Name;
        FLibrary->SetToolInUse(true);
        return;
    }
    std::string text = NumberedText(7) + " [ " + Name + " ]" + "\n" + NumberedText(8);
    if (ShowToolingMessage(text, mtConfirmation, mbYesNo) == mrYes)
        EmptyPosition(Position);
}

// --- Information panel ---

void TMachine_Tooling::SetUnits(TUnits Value)
{
    FUnits = Value;
    if (FDeck)
        ShowToolInfo(FInfoPosition);
}

// The texts the deck made from translated words (the empty positions'
// hint, the tool's details) made again in the language now in use.
void TMachine_Tooling::LanguageChanged()
{
    EmptyHint = Tr("Tool Position Empty");
    for (TDeckButton &b : FShown.Buttons)
        if (!b.Occupied)
            b.Hint = EmptyHint;
    ShowToolInfo(FInfoPosition);
}

void TMachine_Tooling::ShowToolInfo(int Position)
{
    FInfoPosition = Position;
    FShown.DetailsVisible = false;
    FShown.Number.clear();
    FShown.Rows.clear();
    FShown.Summary.clear();
    FShown.Name.clear();
    std::string name;
    if (Position > 0) {
        FShown.Number = "T: " + IntToStr(Position);
        if (GetToolName(Position, name, false) && FLibrary && FLibrary->ReadTool(name))
            FillToolInfo(Position, name);
    }
    DrawPointer();
}

void TMachine_Tooling::FillToolInfo(int Position, const std::string &Name)
{
    const TTooling_Library &lib = *FLibrary;
    const bool inch = FUnits == Inch;
    auto length = [inch](double Mm) { return FloatToUnitsText(inch, Mm); };
    std::string type = Tr(CutterTypeName(lib.CutterType()));
    FShown.DetailsVisible = true;
    FShown.Name = Name;
    FShown.NameHint = Name;
    FShown.Rows = {
        Tr("Tool Type :") + " " + type,
        Tr("Tool Flute Count :") + " " + IntToStr(lib.FluteCount),
        Tr("Maximum Tool Life :") + " " + IntToStr(lib.MaximumToolLife),
        Tr("Current Tool Life :") + " " + IntToStr(lib.CurrentToolLife),
        Tr("Tool Diameter :") + " " + length(lib.Diameter),
        Tr("Tool Length :") + " " + length(lib.Length),
        Tr("Tool Flute Length :") + " " + length(lib.FluteLength),
        Tr("Tool Length Offset :") + " " + length(lib.OffSet()),
    };
    FShown.Summary = type + "\n" + length(lib.Diameter) + Tr(inch ? "\" Dia." : "mm Dia.") + "\n" +
                     length(lib.OffSet());
}

// --- Mouse and menu ---

void TMachine_Tooling::PositionPressed(int Position)
{
    FireDataChanged(Position);
    ShowToolInfo(HasTool(Position) ? Position : 0);
}

void TMachine_Tooling::PositionCtrlReleased(int Position)
{
    if (Position != FCurrentTool)
        RequestToolChange(Position, true);
}

void TMachine_Tooling::RemoveToolFromPosition()
{
    std::string name;
    if (!GetToolName(MenuPosition, name, true) || !FLibrary)
        return;
    if (FLibrary->SetCurrentTool(name))
        FLibrary->SetToolInUse(false);
    EmptyPosition(MenuPosition);
}

void TMachine_Tooling::InsertTool(int Position, const std::string &Name)
{
    if (ToolNameUsed(Name, 1))
        return;
    if (HasTool(Position)) {
        MenuPosition = Position;
        RemoveToolFromPosition();
    }
    SetToolName(Position, Name);
    ShowToolAtPosition(Position, Name);
    ShowToolInfo(Position);
    FireDataChanged(Position);
}

// The tool at To, if any, leaves the changer; From's tool goes to To.
void TMachine_Tooling::MoveTool(int From, int To)
{
    std::string name;
    if (From == To || !GetToolName(From, name, false))
        return;
    MenuPosition = From;
    RemoveToolFromPosition();
    if (HasTool(To)) {
        MenuPosition = To;
        RemoveToolFromPosition();
    }
    SetToolName(To, name);
    ShowToolAtPosition(To, name);
    FireDataChanged(From);
    ShowToolInfo(To);
    FireDataChanged(To);
}

void TMachine_Tooling::SwapTool(int From, int To)
{
    std::string fromName, toName;
    if (From == To || !GetToolName(From, fromName, false))
        return;
    if (GetToolName(To, toName, false)) {
        SetToolName(From, toName);
        ShowToolAtPosition(From, toName);
    } else {
        MenuPosition = From;
        RemoveToolFromPosition();
    }
    SetToolName(To, fromName);
    ShowToolAtPosition(To, fromName);
    ShowToolInfo(To);
    FireDataChanged(From);
    FireDataChanged(To);
}

void TMachine_Tooling::ChangeToolType(int Position, TCutter_types Type)
{
    std::string name;
    if (!GetToolName(Position, name, true) || !FLibrary)
        return;
    FLibrary->SetToolType(name, Type);
    ShowToolInfo(FInfoPosition);
}

void TMachine_Tooling::DropLibraryTool(int Position, const std::string &Name)
{
    if (Name.empty() || ToolNameUsed(Name, 1))
        return;
    if (HasTool(Position)) { // the tool sitting there leaves the changer
        MenuPosition = Position;
        RemoveToolFromPosition();
    }
    SetToolName(Position, Name);
    ShowToolAtPosition(Position, Name);
    ShowToolInfo(Position);
    FireDataChanged(Position);
}

// The dropped tool takes the place; a tool that sat there leaves the
// changer (its in-use flag cleared) as with "Move Tool To".
void TMachine_Tooling::DropPosition(int From, int To)
{
    if (From == To) {
        ShowToolInfo(HasTool(To) ? To : 0);
        return;
    }
    if (!HasTool(From) || FDataFile.empty())
        return;
    if (HasTool(To)) {
        MenuPosition = To;
        RemoveToolFromPosition();
    }
    {
        TIniFile ini(FDataFile);
        for (const char *key : {FileLocationKey, ToolNameKey})
            if (ini.ValueExists(ToolSection(From), key))
                ini.WriteString(ToolSection(To), key, ini.ReadString(ToolSection(From), key, ""));
    }
    ClearShownPosition(From);
    ClearPosition(From);
    RefreshPositions();
    FireDataChanged(To);
}

// --- File menu ---

void TMachine_Tooling::ExportToolingFile(const std::string &FileName)
{
    if (FileName.empty() || FileName == FDataFile)
        return;
    if (!CopyFileTo(FDataFile, FileName)) {
        ShowToolingMessage(NumberedText(6) + FileName, mtWarning, mbOK);
        return;
    }
    FDataFile = FileName;
    TIniFile main(MainIniPath());
    main.WriteString("directories", "Last Tooling", ExtractFilePath(FDataFile));
    main.WriteString("Tooling", "Tool File Name", FDataFile);
    RefreshPositions();
}

// A new changer file never overwrites an earlier job's: it takes the first
// free name.
void TMachine_Tooling::NewToolingFile()
{
    std::string folder = ExtractFilePath(FDataFile);
    std::string name = folder + "NewData.mtf";
    for (int n = 1; FileExists(name); ++n)
        name = folder + "NewData" + IntToStr(n) + ".mtf";
    FDataFile = name;
    for (int p = 1; p <= FMachineToolCount; ++p) {
        ClearShownPosition(p);
        ClearPosition(p);
    }
    SetCurrentTool(1);
    ClearCachedTool();
    FireToolZOffsetChanged();
    RefreshPositions();
    ShowToolInfo(0);
    FireDataChanged(-1);
}

void TMachine_Tooling::SetLayoutDirection(int Tag)
{
    FDirection = Tag == 1 ? AntiClockWise : ClockWise;
    if (FDeck)
        LayoutCarousel();
}

} // namespace orv
