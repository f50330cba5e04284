#include "engine/simlink/SimLink.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/Machine_Tooling.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <cmath>

namespace orv {

namespace {

// Dispatch ids of the control.
constexpr int32_t IdMode = 1, IdRapid = 2, IdTilt = 3, IdRotation = 4, IdSetBillet = 8,
                  IdLinear = 9, IdArc = 10, IdTool = 13;
constexpr int MessageTool = 7;

constexpr int MotionRapid = 0, MotionLinear = 1, MotionArcCW = 2, MotionArcCCW = 3;
constexpr int EventBillet = -1, EventEdgeMove = -6;

double Given(double Value, double Last) { return Value == NoValue ? Last : Value; }

TVariant R4(double V) { return TVariant::R4(static_cast<float>(V)); }

} // namespace

double SimLinkAngle(double X, double Y)
{
    double a;
    if (X == 0)
        a = Y >= 0 ? 90 : 270;
    else
        a = std::atan2(Y, X) * 180 / M_PI;
    while (a < 0)
        a += 360;
    while (a >= 360)
        a -= 360;
    return a;
}

TSimLink::TSimLink()
    : FToolData(std::make_unique<TTool_data>()), FAlive(std::make_shared<bool>(true))
{
    ControlFactory = [] {
        TComPtr control;
        CreateInstance(VelmaroxControlClassId, control);
        return control;
    };
}

TSimLink::~TSimLink() { *FAlive = false; }

void TSimLink::CreateWindow()
{
    const std::string settings = MachineData && !MachineData->MainSettingsFile.empty()
                                     ? MachineData->MainSettingsFile
                                     : MainIniPath();
    FWindow = std::make_unique<TThreeD_form>(ViewFactory ? ViewFactory() : nullptr,
                                             ControlFactory ? ControlFactory() : nullptr, settings);
    FWindow->FormCreate();
    FWindow->OnToggleOffsets = [this] {
        SetBillet(BilletXPos, BilletYPos, BilletXSize, BilletYSize, BilletZSize);
    };
}

bool TSimLink::Initialise()
{
    TBasicOutput::Initialise();
    if (!FWindow)
        CreateWindow();
    FWindow->Redraw(1);
    FWindow->Put(IdTilt, TVariant::R8(0.5));
    FWindow->Put(IdRotation, TVariant::R8(0.5));
    ShowToolPanel();
    LastX = LastY = LastZ = 0;
    FWindow->Redraw(9);
    return true;
}

void TSimLink::Start()
{
    Stopped = false;
    if (FWindow && !FileName.empty())
        FWindow->PictureFileName = ChangeFileExt(FileName, ".BM3");
    TBasicOutput::Start();
}

void TSimLink::SetCycleState(TCycleState State)
{
    if (FWindow && RunState == csRunning && (State == csStopped || State == csPaused)) {
        TVariant mode;
        FWindow->Get(IdMode, mode);
        if (mode.AsI4() == 0 && !SingleStep)
            FWindow->Redraw(4);
        FWindow->Redraw(9);
    }
    TBasicOutput::SetCycleState(State);
}

// --- Billet -------------------------------------------------------------------

void TSimLink::SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize)
{
    TBasicOutput::SetBillet(XPos, YPos, XSize, YSize, ZSize);
    ClampToLimits(XSize, YSize, ZSize);
    SentXSize = XSize;
    SentYSize = YSize;
    SentZSize = ZSize;
    SendBillet(XPos, YPos);
}

// With "Use X,Y Offsets" the billet's low corner sits at its position in
// program coordinates; without, at the program zero.
void TSimLink::SendBillet(double XPos, double YPos)
{
    if (!FWindow)
        return;
    const bool offsets = FWindow->UseOffsets;
    const double x = offsets ? XPos : 0, y = offsets ? YPos : 0;
    FWindow->Call(IdSetBillet, {R4(x), R4(y), R4(-SentZSize), R4(x + SentXSize),
                                R4(y + SentYSize), R4(0)});
    FWindow->Redraw(9);
}

// --- Moves ----------------------------------------------------------------------

double TSimLink::RaisedZ(double Z) const
{
    const double bottom = -BilletZSize;
    return Z < bottom ? bottom : Z;
}

bool TSimLink::RapidByFeed() const
{
    return FWindow && FWindow->RapidFeed >= 0 && LastFeed >= FWindow->RapidFeed;
}

void TSimLink::ShowPosition(double X, double Y, double Z)
{
    if (!FWindow || !FWindow->View())
        return;
    TThreeDView &view = *FWindow->View();
    view.SetStatusText(0, AxisPositionText(0, Decimals, X));
    view.SetStatusText(1, AxisPositionText(1, Decimals, Y));
    if (Z != 1000)
        view.SetStatusText(2, AxisPositionText(2, Decimals, Z));
}

TComResult TSimLink::SendLine(double X, double Y, double Z)
{
    return FWindow->Call(IdLinear, {R4(LastX), R4(LastY), R4(LastZ), R4(X), R4(Y), R4(Z)});
}

void TSimLink::RapidMove(double X, double Y, double Z)
{
    FillUnprogrammed(X, Y, Z, LastX, LastY, LastZ);
    Z = RaisedZ(Z);
    if (FWindow) {
        FWindow->Put(IdRapid, TVariant::Bool(true));
        SendLine(X, Y, Z);
        ShowPosition(X, Y, Z);
    }
    LastX = X;
    LastY = Y;
    LastZ = Z;
}

void TSimLink::LinearMove(double X, double Y, double Z)
{
    FillUnprogrammed(X, Y, Z, LastX, LastY, LastZ);
    Z = RaisedZ(Z);
    if (FWindow) {
        FWindow->Put(IdRapid, TVariant::Bool(RapidByFeed()));
        SendLine(X, Y, Z);
        ShowPosition(X, Y, Z);
    }
    LastX = X;
    LastY = Y;
    LastZ = Z;
}

// Angles are seen from the centre: the start from the last position, the
// end from the end point. Z is raised to the billet bottom as for lines.
void TSimLink::ArcMove(double X, double Y, double Z, double CentreX, double CentreY,
                       double CentreZ, Extended Sweep, Extended Radius)
{
    FillUnprogrammed(X, Y, Z, LastX, LastY, LastZ);
    Z = RaisedZ(Z);
    const double start = SimLinkAngle(LastX - CentreX, LastY - CentreY);
    const double end = SimLinkAngle(X - CentreX, Y - CentreY);
    if (FWindow) {
        FWindow->Put(IdRapid, TVariant::Bool(RapidByFeed()));
        FWindow->Call(IdArc, {R4(CentreX), R4(CentreY), R4(Z), R4(static_cast<double>(Radius)),
                              R4(start), R4(end), TVariant::Bool(Sweep > 0)});
        ShowPosition(X, Y, Z);
    }
    if (Z != 1000) {
        LastX = X;
        LastY = Y;
    }
    LastZ = Z;
}

void TSimLink::FeedChange(TCNC_data &Data)
{
    if (Data.Feed != NoValue)
        LastFeed = Data.Feed;
}

// --- Records ------------------------------------------------------------------

void TSimLink::Execute(TCNC_data &Data)
{
    const std::shared_ptr<bool> alive = FAlive;
    Plane = Data.Plane;
    if (!(Data.BlockDelete && BlockSkip)) {
        FeedChange(Data);
        switch (Data.Motion) {
        case MotionRapid: RapidMove(Data.X, Data.Y, Data.Z); break;
        case MotionLinear: LinearMove(Data.X, Data.Y, Data.Z); break;
        case MotionArcCW:
        case MotionArcCCW:
            ArcMove(Data.X, Data.Y, Data.Z, Data.I, Data.J, Data.K, Data.Sweep, Data.Radius);
            break;
        case EventBillet: SetBillet(BilletXPos, BilletYPos, Data.X, Data.Y, Data.Z); break;
        case EventEdgeMove:
            SendBillet(BilletXPos + Given(Data.X, 0), BilletYPos + Given(Data.Y, 0));
            break;
        case EndOfProgramCode:
            if (FWindow && FWindow->AutoSave)
                FWindow->SavePicture();
            break;
        default: break;
        }
        if (Data.Tool != 0 && Data.Tool != NoMoveCode && Data.MCode == 6)
            ChangeTool(Data.Tool);
        if (!*alive)
            return;
    }
    FinishRecord(Data);
}

// --- Tools ----------------------------------------------------------------------

void TSimLink::ChangeTool(int Tool)
{
    const int previous = CurrentTool;
    CurrentTool = Tool;
    if (!Tooling)
        return;
    if (!Tooling->HasTool(Tool)) {
        if (!AskForMissingTool(Tool, "\r")) {
            CurrentTool = previous;
            ShowToolPanel();
            return;
        }
        if (!WaitForTool(Tool))
            return;
    }
    if (Tooling->HasTool(Tool)) {
        Tooling->RequestToolChange(Tool, false);
        Tooling->GetToolData(Tool, *FToolData);
        if (FWindow)
            FWindow->Call(IdTool, {TVariant::I2(static_cast<int16_t>(Tool)),
                                   R4(FToolData->Diameter / 2),
                                   TVariant::Bool(FToolData->CutterType == BallNose),
                                   TVariant::I4(FToolData->Colour)});
    }
    else {
        CurrentTool = previous;
    }
    ShowToolPanel();
}

// Serves messages until the tool is there, the run stops or changes state,
// or this output is released. False when the output is gone.
bool TSimLink::WaitForTool(int Tool)
{
    const std::shared_ptr<bool> alive = FAlive;
    const TCycleState stateAtAsk = RunState;
    while (!Tooling->HasTool(Tool)) {
        EventLoop().ProcessMessages();
        if (!*alive)
            return false;
        if (Stopped || RunState != stateAtAsk)
            return true;
    }
    return true;
}

void TSimLink::ShowToolPanel()
{
    if (FWindow && FWindow->View())
        FWindow->View()->SetStatusText(3, Mess().MessageText(MessageTool) + " =" +
                                              IntToStr(CurrentTool));
}

} // namespace orv
