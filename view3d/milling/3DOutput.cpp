#include "view3d/milling/3DOutput.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/Machine_Tooling.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"

namespace orv {

namespace {


constexpr int MotionRapid = 0, MotionLinear = 1, MotionArcCW = 2, MotionArcCCW = 3;
constexpr int EventBillet = -1, EventToolDef = -3;

double Given(double Value, double Last) { return Value == NoValue ? Last : Value; }

} // namespace

uint8_t ToolShapeOf(TCutter_types Type)
{
    switch (Type) {
    case BallNose: return 2;
    case Drill:
    case centreDrill:
    case Tapered:
    case Engrave: return 4;
    default: return 0;
    }
}

T3DOutput::T3DOutput(std::unique_ptr<T3DView> View)
    : FToolData(std::make_unique<TTool_data>()), FView(std::move(View)),
      FAlive(std::make_shared<bool>(true))
{
}

T3DOutput::~T3DOutput() { *FAlive = false; }

void T3DOutput::SetUnits(TUnits NewUnits)
{
    TBasicOutput::SetUnits(NewUnits);
    if (FView)
        FView->SetUnits(NewUnits);
}

void T3DOutput::RapidMove(double X, double Y, double Z)
{
    FillUnprogrammed(X, Y, Z, LastX, LastY, LastZ);
    if (FView) {
        try {
            FView->AddStraightMove(2, LastX, LastY, LastZ, X, Y, Z, ToolDiameter * 0.5);
        }
        catch (...) {
            // A rapid that cannot be drawn is skipped; the run goes on.
        }
    }
    const std::shared_ptr<bool> alive = FAlive;
    EventLoop().ProcessMessages();
    if (!*alive)
        return;
    LastX = X;
    LastY = Y;
    LastZ = Z;
}

void T3DOutput::LinearMove(double X, double Y, double Z)
{
    FillUnprogrammed(X, Y, Z, LastX, LastY, LastZ);
    if (FView)
        FView->AddStraightMove(0, LastX, LastY, LastZ, X, Y, Z, ToolDiameter * 0.5);
    LastX = X;
    LastY = Y;
    LastZ = Z;
}

void T3DOutput::ArcMove(double X, double Y, double Z, double CentreX, double CentreY,
                        double CentreZ, Extended Sweep, Extended Radius)
{
    FillUnprogrammed(X, Y, Z, LastX, LastY, LastZ);
    FillUnprogrammed(CentreX, CentreY, CentreZ, LastCentreX, LastCentreY, LastCentreZ);
    const double sweep = Given(static_cast<double>(Sweep), LastSweep);
    const double radius = Given(static_cast<double>(Radius), LastRadius);
    if (FView)
        FView->AddArcMove(Plane, LastX, LastY, LastZ, CentreX, CentreY, CentreZ, radius, sweep,
                          ToolDiameter * 0.5);
    LastX = X;
    LastY = Y;
    LastZ = Z;
    LastCentreX = CentreX;
    LastCentreY = CentreY;
    LastCentreZ = CentreZ;
    LastSweep = sweep;
    LastRadius = radius;
}

bool T3DOutput::Initialise()
{
    TBasicOutput::Initialise();
    ToolDiameter = 3.0;
    if (FView)
        FView->SetToolShape(2);
    return true;
}

void T3DOutput::Start()
{
    CurrentLine = 0;
    if (FView)
        FView->SetProgramName(FileName);
    CurrentTool = 0;
    Stopped = false;
    TBasicOutput::Start();
}

void T3DOutput::SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize)
{
    TBasicOutput::SetBillet(XPos, YPos, XSize, YSize, ZSize);
    ClampToLimits(XSize, YSize, ZSize);
    if (FView)
        FView->SetBilletSize(XSize, YSize, ZSize);
}

void T3DOutput::Execute(TCNC_data &Data)
{
    const std::shared_ptr<bool> alive = FAlive;
    Plane = Data.Plane;
    CurrentLine = Data.LineNumber;
    if (!(Data.BlockDelete && BlockSkip)) {
        if (FView && !FView->TurboDown())
            ShowPosition(Data);
        switch (Data.Motion) {
        case MotionRapid: RapidMove(Data.X, Data.Y, Data.Z); break;
        case MotionLinear: LinearMove(Data.X, Data.Y, Data.Z); break;
        case MotionArcCW:
        case MotionArcCCW:
            ArcMove(Data.X, Data.Y, Data.Z, Data.I, Data.J, Data.K, Data.Sweep, Data.Radius);
            break;
        case EndOfProgramCode:
            if (FView)
                FView->FinishRun();
            break;
        case EventToolDef: CurrentTool = 0; break;
        case EventBillet: SetBillet(BilletXPos, BilletYPos, Data.X, Data.Y, Data.Z); break;
        default: break;
        }
        if (!*alive)
            return;
        // Drawn with the old tool; the change comes after the move.
        if (Data.MCode == 6 && Data.Tool != NoMoveCode && Data.Tool != CurrentTool)
            ChangeTool(Data.Tool);
        if (!*alive)
            return;
    }
    FinishRecord(Data);
}

void T3DOutput::ChangeTool(int Tool)
{
    CurrentTool = Tool;
    if (!Tooling)
        return;
    if (Tooling->HasTool(Tool)) {
        TakeTool(Tool);
        return;
    }
    // The engine has asked for the tool already when it changes tools itself.
    if (OwnerChangesTools)
        return;
    if (!AskForMissingTool(Tool, "\r"))
        return; // the run goes on with the previous tool
    if (WaitForTool(Tool) && Tooling->HasTool(Tool))
        TakeTool(Tool);
}

void T3DOutput::TakeTool(int Tool)
{
    if (!OwnerChangesTools)
        Tooling->RequestToolChange(Tool, false);
    Tooling->GetToolData(Tool, *FToolData);
    ToolDiameter = FToolData->Diameter;
    if (FView)
        FView->SetToolShape(ToolShapeOf(FToolData->CutterType));
}

// Sleeps in the event loop until the tool is in the changer, the run
// stops, or the engine releases this output (it unwires OnNextNotify
// first): each of them comes with a message, and the core stays idle while
// the operator edits the tooling. False when the output was freed meanwhile.
bool T3DOutput::WaitForTool(int Tool)
{
    const std::shared_ptr<bool> alive = FAlive;
    const bool wired = static_cast<bool>(OnNextNotify);
    while (!Tooling->HasTool(Tool)) {
        EventLoop().WaitForMessages();
        if (!*alive)
            return false;
        if (Stopped || (wired && !OnNextNotify))
            return true;
    }
    return true;
}

void T3DOutput::ShowPosition(const TCNC_data &Data)
{
    if (!FView)
        return;
    const bool inch = Units == Inch;
    auto length = [&](int Panel, double Value) {
        if (Value != NoValue)
            FView->SetPanelText(Panel, FloatToUnitsText(inch, Value));
    };
    auto whole = [&](int Panel, int32_t Value) {
        if (Value != NoMoveCode)
            FView->SetPanelText(Panel, IntToStr(Value));
    };
    length(1, Data.X);
    length(3, Data.Y);
    length(5, Data.Z);
    length(7, Data.Feed);
    whole(9, Data.MCode);
    whole(11, Data.Spindle);
    whole(13, Data.Tool);
}

void T3DOutput::SetStatusPanel(int Index, const std::string &Text)
{
    if (!FView)
        return;
    FView->SetPanelWidth(Index, FView->PanelTextWidth(Text) + 12);
    FView->SetPanelText(Index, Text);
}

} // namespace orv
