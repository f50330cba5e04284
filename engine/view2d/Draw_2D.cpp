#include "engine/view2d/Draw_2D.h"

#include "engine/view2d/DD_Draw_Form.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/Machine_Tooling.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/convert.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr const char *WindowSection = "2D Window";
constexpr int MessageTool = 7;

// Motion and event codes of a move record this output acts on.
constexpr int MotionRapid = 0;
constexpr int MotionLinear = 1;
constexpr int MotionArcCW = 2;
constexpr int MotionArcCCW = 3;
constexpr int MotionDwell = 4;
constexpr int EventEdgeMove = -6;
constexpr int EventToolDef = -3;
constexpr int EventBillet = -1;

// The scale that shows the whole area in the client: the picture is never
// wider or higher than the room it is fitted in.
double FitScaleFor(double ClientW, double ClientH, double AreaW, double AreaH)
{
    return std::min(ClientW / AreaW, ClientH / AreaH);
}

double Given(double Value, Extended Remembered)
{
    return Value == NoValue ? static_cast<double>(Remembered) : Value;
}

} // namespace

TDraw_2D::TDraw_2D() : FToolData(std::make_unique<TTool_data>()), FAlive(std::make_shared<bool>(true))
{
}

TDraw_2D::~TDraw_2D()
{
    *FAlive = false;
    if (!FWindow)
        return;
    const TWindowBounds B = FWindow->View()->Bounds();
    TIniFile Ini(SettingsFile());
    Ini.WriteInteger(WindowSection, "Top", B.Top);
    Ini.WriteInteger(WindowSection, "Left", B.Left);
    Ini.WriteInteger(WindowSection, "Width", B.Width);
    Ini.WriteInteger(WindowSection, "Height", B.Height);
}

std::string TDraw_2D::SettingsFile() const
{
    if (MachineData && !MachineData->MainSettingsFile.empty())
        return MachineData->MainSettingsFile;
    return MainIniPath();
}

bool TDraw_2D::Initialise()
{
    TBasicOutput::Initialise();
    if (MachineData) {
        const TMachineCapability &C = MachineData->MachineCapability;
        TravelWidth = std::fabs(C.TravelXPlus - C.TravelXMinus);
        TravelHeight = std::fabs(C.TravelYPlus - C.TravelYMinus);
    }
    if (!FWindow)
        CreateWindow();
    if (MachineData) {
        FWindow->TravelXMinus = MachineData->MachineCapability.TravelXMinus;
        FWindow->TravelYMinus = MachineData->MachineCapability.TravelYMinus;
    }
    RestoreWindowBounds();
    FWindow->Scale = 1;
    ToolDiameter = 4.0;
    FWindow->LoadGraphicsSettings(SettingsFile());
    ClearOnStart = true;
    return true;
}

void TDraw_2D::CreateWindow()
{
    FWindow = std::make_unique<TForm2D>(ViewFactory ? ViewFactory() : nullptr);
    FWindow->OnToggleOffsets = [this] { ToggleOffsets(); };
    FWindow->OnLanguageChanged = [this] {
        if (FToolShown)
            ShowToolPanel();
    };
    FWindow->OnEditSource = [this](int Line) {
        if (OnNeedEditor)
            OnNeedEditor(this, Line);
    };
    FWindow->View()->ShowDatumPanel(FWindow->UseOffsets);
}

void TDraw_2D::RestoreWindowBounds()
{
    const TWindowBounds Now = FWindow->View()->Bounds();
    const TIniFile Ini(SettingsFile());
    TWindowBounds B;
    B.Top = Ini.ReadInteger(WindowSection, "Top", Now.Top);
    B.Left = Ini.ReadInteger(WindowSection, "Left", Now.Left);
    B.Width = Ini.ReadInteger(WindowSection, "Width", Now.Width);
    B.Height = Ini.ReadInteger(WindowSection, "Height", Now.Height);
    FWindow->View()->SetBounds(B);
}

void TDraw_2D::SetUnits(TUnits NewUnits)
{
    TBasicOutput::SetUnits(NewUnits);
    if (FWindow)
        FWindow->SetUnits(NewUnits);
}

void TDraw_2D::SetCycleState(TCycleState State)
{
    TBasicOutput::SetCycleState(State);
    if (!FWindow)
        return;
    FWindow->PickingAllowed = State != csRunning;
    FWindow->DropHighlight();
}

void TDraw_2D::Start()
{
    CurrentLine = 0;
    LastToolNumber = 0;
    Stopped = false;
    if (FWindow) {
        FWindow->SetCurrentFilename(FileName);
        if (ClearOnStart) {
            FWindow->ClearElements();
            FWindow->Redraw();
            ClearOnStart = false;
            FWindow->SetRunning(true);
        }
    }
    TBasicOutput::Start();
}

void TDraw_2D::Stop()
{
    TBasicOutput::Stop();
    if (!FWindow)
        return;
    FWindow->StopAnimation();
    FWindow->SetRunning(false);
}

void TDraw_2D::Rewind()
{
    ClearOnStart = true;
    TBasicOutput::Rewind();
}

void TDraw_2D::ShowLine(TObject *Sender, int CNCLine)
{
    if (FWindow)
        FWindow->HighlightLine(CNCLine);
}

// --- Records ------------------------------------------------------------------

void TDraw_2D::Execute(TCNC_data &Data)
{
    const std::shared_ptr<bool> Alive = FAlive;
    CurrentLine = Data.LineNumber;
    Plane = Data.Plane;
    const bool Skipped = Data.BlockDelete && BlockSkip;
    if (!Skipped) {
        ExecuteEvent(Data);
        if (!*Alive)
            return;
        if (FWindow && Data.MCode == 3)
            FWindow->SpindleTurning = true;
        if (FWindow && Data.MCode == 5)
            FWindow->SpindleTurning = false;
        if (Data.MCode == 6 && Data.Tool != LastToolNumber)
            ChangeTool(Data.Tool);
        if (!*Alive)
            return;
    }
    FinishRecord(Data);
}

void TDraw_2D::ExecuteEvent(TCNC_data &Data)
{
    TCNC_data Next;
    Next.Assign(Data);
    MoveOntoDatum(Next);
    switch (Data.Motion) {
    case MotionRapid: RapidMove(Next.X, Next.Y, Next.Z); break;
    case MotionLinear: LinearMove(Next.X, Next.Y, Next.Z); break;
    case MotionArcCW:
    case MotionArcCCW:
        ArcMove(Next.X, Next.Y, Next.Z, Next.I, Next.J, Next.K, Data.Sweep, Data.Radius);
        break;
    case MotionDwell: DwellWithCutter(Data.X); break;
    case EndOfProgramCode:
        if (FWindow)
            FWindow->AutoSavePicture();
        break;
    case EventEdgeMove: {
        // Only the drawing moves with the edge: the stored billet stays.
        const double X = BilletXPos, Y = BilletYPos;
        SetBillet(X + Given(Data.X, 0), Y + Given(Data.Y, 0), BilletXSize, BilletYSize,
                  BilletZSize);
        BilletXPos = X;
        BilletYPos = Y;
        break;
    }
    case EventToolDef: LastToolNumber = 0; break;
    case EventBillet: SetBillet(BilletXPos, BilletYPos, Data.X, Data.Y, Data.Z); break;
    default: break;
    }
}

// With X,Y offsets the program's zero is the window's datum on the table,
// and Z is measured from the work offset plus the tool's length.
void TDraw_2D::MoveOntoDatum(TCNC_data &Data) const
{
    if (!FWindow || !FWindow->UseOffsets)
        return;
    const double DX = static_cast<double>(FWindow->DatumX);
    const double DY = static_cast<double>(FWindow->DatumY);
    auto Shift = [](double &Value, double By) {
        if (Value != NoValue)
            Value += By;
    };
    Shift(Data.X, DX);
    Shift(Data.I, DX);
    Shift(Data.Y, DY);
    Shift(Data.J, DY);
    Shift(Data.Z, OffsetZ());
}

// Where the program's origin lies in the window's frame: the datum with
// X,Y offsets, else the origin itself.
double TDraw_2D::DatumShiftX() const
{
    return FWindow && FWindow->UseOffsets ? static_cast<double>(FWindow->DatumX) : 0;
}

double TDraw_2D::DatumShiftY() const
{
    return FWindow && FWindow->UseOffsets ? static_cast<double>(FWindow->DatumY) : 0;
}

double TDraw_2D::OffsetZ() const
{
    return Convertor ? Convertor->OffsetZ + Convertor->ToolLength : 0;
}

void TDraw_2D::DwellWithCutter(double Milliseconds)
{
    if (!FWindow || !FWindow->Settings().ShowCutter)
        return;
    DwellDone = false;
    TTimer Timer;
    Timer.SetInterval(std::max(1, Round(Milliseconds)));
    Timer.OnTimer = [this, &Timer] {
        Timer.SetEnabled(false);
        DwellDone = true;
    };
    Timer.SetEnabled(true);
    const TViewMapping Map = Mapping();
    const TPoint2D At{Map.ViewX(static_cast<double>(CurrentX)),
                      Map.ViewY(static_cast<double>(CurrentY))};
    const std::shared_ptr<bool> Alive = FAlive;
    FWindow->AnimateCutterUntil(At, ToolDiameter / 2, [this, Alive] {
        return !*Alive || DwellDone || Stopped;
    });
}

// --- Tool change --------------------------------------------------------------

void TDraw_2D::ChangeTool(int Tool)
{
    LastToolNumber = Tool;
    if (!Tooling)
        return;
    if (!Tooling->HasTool(Tool) && !OwnerChangesTools) {
        if (AskForMissingTool(Tool, "\n") && !WaitForTool(Tool))
            return;
    }
    if (Tooling->HasTool(Tool)) {
        if (Tooling->CurrentTool() != Tool)
            Tooling->RequestToolChange(Tool, false);
        Tooling->GetToolData(Tool, *FToolData);
        ToolDiameter = FToolData->Diameter;
        if (FWindow) {
            FWindow->ElementColour = FToolData->Colour;
            FWindow->SetZCutter(FToolData->Colour, FToolData->Diameter);
            FWindow->ShowZ(Decimals, 1000);
        }
    }
    ShowToolPanel();
}

// Sleeps in the event loop until the operator has put a tool at that
// position. A stop, a change of the run state or the release of this
// output (which frees it) ends the wait too; each comes with a message.
// False when the output is gone.
bool TDraw_2D::WaitForTool(int Tool)
{
    const std::shared_ptr<bool> Alive = FAlive;
    const TCycleState StateAtAsk = RunState;
    while (!Tooling->HasTool(Tool)) {
        EventLoop().WaitForMessages();
        if (!*Alive)
            return false;
        if (Stopped || RunState != StateAtAsk)
            return true;
    }
    return true;
}

void TDraw_2D::ShowToolPanel()
{
    if (!FWindow || !Tooling)
        return;
    FToolShown = true;
    FWindow->View()->SetStatusText(
        3, Mess().MessageText(MessageTool) + "= " + IntToStr(Tooling->CurrentTool()));
}

// --- Moves ----------------------------------------------------------------------

TViewMapping TDraw_2D::Mapping() const
{
    TViewMapping Map;
    if (!FWindow)
        return Map;
    Map.UseOffsets = FWindow->UseOffsets;
    Map.AreaHeight = FWindow->AreaHeight;
    if (MachineData) {
        Map.TravelXMinus = MachineData->MachineCapability.TravelXMinus;
        Map.TravelYPlus = MachineData->MachineCapability.TravelYPlus;
    }
    return Map;
}

void TDraw_2D::ShowPosition(double X, double Y, double Z)
{
    if (!FWindow)
        return;
    if (FWindow->UseOffsets) {
        X -= static_cast<double>(FWindow->DatumX);
        Y -= static_cast<double>(FWindow->DatumY);
        Z -= OffsetZ();
    }
    TForm2DView *View = FWindow->View();
    View->SetStatusText(0, AxisPositionText(0, Decimals, X));
    View->SetStatusText(1, AxisPositionText(1, Decimals, Y));
    if (Z != 1000)
        View->SetStatusText(2, AxisPositionText(2, Decimals, Z));
}

// The move's end in the status bar, its element in the window (drawn at
// once) and its Z on the gauge. False when the output went meanwhile.
bool TDraw_2D::DrawMove(const TMovePoint &To, const TDD_Type &Element)
{
    const std::shared_ptr<bool> Alive = FAlive;
    ShowPosition(To.X, To.Y, To.Z);
    FWindow->AddElement(Element);
    if (!*Alive)
        return false;
    FWindow->ShowZ(Decimals, FWindow->UseOffsets ? To.Z - OffsetZ() : To.Z);
    return true;
}

void TDraw_2D::RapidMove(double X, double Y, double Z)
{
    AddStraight(ekRapid, X, Y, Z);
}

void TDraw_2D::LinearMove(double X, double Y, double Z)
{
    AddStraight(ekLinear, X, Y, Z);
}

void TDraw_2D::AddStraight(uint8_t Kind, double X, double Y, double Z)
{
    const TMovePoint To{Given(X, CurrentX), Given(Y, CurrentY), Given(Z, CurrentZ)};
    const TMovePoint From{static_cast<double>(CurrentX), static_cast<double>(CurrentY),
                          static_cast<double>(CurrentZ)};
    if (FWindow && !DrawMove(To, MakeStraightElement(Kind, Mapping(), From, To, ToolDiameter / 2,
                                                     CurrentLine, FWindow->ElementColour)))
        return;
    CurrentX = To.X;
    CurrentY = To.Y;
    CurrentZ = To.Z;
}

void TDraw_2D::ArcMove(double X, double Y, double Z, double CentreX, double CentreY,
                       double CentreZ, Extended Sweep, Extended Radius)
{
    TArcMove Arc;
    Arc.End = {Given(X, CurrentX), Given(Y, CurrentY), Given(Z, CurrentZ)};
    Arc.Centre = {Given(CentreX, LastI), Given(CentreY, LastJ), Given(CentreZ, LastK)};
    Arc.Sweep = Given(static_cast<double>(Sweep), LastSweep);
    Arc.Radius = Given(static_cast<double>(Radius), LastRadius);
    Arc.Plane = Plane;
    const TMovePoint From{static_cast<double>(CurrentX), static_cast<double>(CurrentY),
                          static_cast<double>(CurrentZ)};
    if (FWindow && !DrawMove(Arc.End, MakeArcElement(Mapping(), From, Arc, ToolDiameter / 2,
                                                     CurrentLine, FWindow->ElementColour)))
        return;
    CurrentX = Arc.End.X;
    CurrentY = Arc.End.Y;
    CurrentZ = Arc.End.Z;
    LastI = Arc.Centre.X;
    LastJ = Arc.Centre.Y;
    LastK = Arc.Centre.Z;
    LastSweep = Arc.Sweep;
    LastRadius = Arc.Radius;
}

// --- Billet -------------------------------------------------------------------

void TDraw_2D::SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize)
{
    TBasicOutput::SetBillet(XPos, YPos, XSize, YSize, ZSize);
    ClampToLimits(XSize, YSize, ZSize);
    if (!FWindow)
        return;
    TForm2D &W = *FWindow;
    TForm2DView &View = *W.View();
    W.ClearElements();
    const double ClientW = View.ScrollClientWidth();
    const double ClientH = View.ScrollClientHeight();
    double NewScale = 1;
    if (W.UseOffsets) {
        W.AreaWidth = Round(TravelWidth);
        W.AreaHeight = Round(TravelHeight);
        if (W.AreaWidth > 0 && W.AreaHeight > 0 && ClientW > 0 && ClientH > 0)
            NewScale = FitScaleFor(ClientW, ClientH, W.AreaWidth, W.AreaHeight);
        const int Left = Round(XPos), Bottom = Round(YPos);
        W.BilletRect = {Left, Bottom, Left + Round(XSize), Bottom + Round(YSize)};
        W.TravelXMinus = MachineData ? MachineData->MachineCapability.TravelXMinus : 0;
        W.TravelYMinus = MachineData ? MachineData->MachineCapability.TravelYMinus : 0;
        if (W.DatumNeverSet())
            W.SetDatumFromMachine(XPos + W.TravelXMinus, YPos + W.TravelYMinus);
        else if (!View.DatumLocked() && Convertor)
            W.SetDatumFromMachine(Convertor->OffsetX, Convertor->OffsetY);
    }
    else {
        W.AreaWidth = Round(XSize);
        W.AreaHeight = Round(YSize);
        const double SX = XSize == 0 ? 1000 : XSize;
        const double SY = YSize == 0 ? 1000 : YSize;
        if (ClientW > 0 && ClientH > 0)
            NewScale = FitScaleFor(ClientW, ClientH, SX, SY);
    }
    W.FitScale = NewScale;
    W.Scale = NewScale;
    W.Redraw();
    View.FitToPicture(W.UseOffsets);
    W.SetZBillet(W.Settings().MaterialColour, ZSize);
}

void TDraw_2D::ToggleOffsets()
{
    if (!FWindow)
        return;
    // The path drawn so far is kept: a program point lies in the view
    // with and without offsets by a shift of each axis.
    const TViewMapping Before = Mapping();
    const double BeforeX = Before.ViewX(DatumShiftX()), BeforeY = Before.ViewY(DatumShiftY());
    const TElementList &Drawn = FWindow->Elements();
    std::vector<TDD_Type> Path(Drawn.begin(), Drawn.end());
    FWindow->UseOffsets = !FWindow->UseOffsets;
    FWindow->ClearElements();
    // The panel first: the window is fitted around the picture and it.
    FWindow->View()->ShowDatumPanel(FWindow->UseOffsets);
    SetBillet(BilletXPos, BilletYPos, BilletXSize, BilletYSize, BilletZSize);
    const TViewMapping After = Mapping();
    const double DX = After.ViewX(DatumShiftX()) - BeforeX;
    const double DY = After.ViewY(DatumShiftY()) - BeforeY;
    for (TDD_Type &E : Path) {
        for (double *X : {&E.StartX, &E.EndX, &E.CentreX, &E.BoxLeft, &E.BoxRight})
            *X += DX;
        for (double *Y : {&E.StartY, &E.EndY, &E.CentreY, &E.BoxTop, &E.BoxBottom})
            *Y += DY;
    }
    if (!Path.empty())
        FWindow->SetElements(std::move(Path));
}

} // namespace orv
