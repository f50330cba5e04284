#include "engine/simlink/SimLink.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/Machine_Tooling.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <algorithm>
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
    FWindow->OnLanguageChanged = [this] { ShowToolPanel(); };
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
    LastX = LastY = LastZ = FProgramZ = 0;
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
    FillUnprogrammed(X, Y, Z, LastX, LastY, FProgramZ);
    FProgramZ = Z;
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
    FillUnprogrammed(X, Y, Z, LastX, LastY, FProgramZ);
    FProgramZ = Z;
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
    if (Plane == 18 || Plane == 19) {
        PlaneArcMove(X, Y, Z, CentreX, CentreY, CentreZ, static_cast<double>(Sweep));
        return;
    }
    FillUnprogrammed(X, Y, Z, LastX, LastY, FProgramZ);
    FProgramZ = Z;
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

// The control cuts arcs in its plan (XY) only: an arc of the XZ (G18) or
// YZ (G19) plane goes to it as chords in that plane, none longer than the
// machine's "Min Chord Length". The sweep is in degrees, positive
// clockwise in the plane's axes (X or Y first, Z second), as the engine
// gives it; a helix moves the third axis evenly along the chords.
void TSimLink::PlaneArcMove(double X, double Y, double Z, double CentreX, double CentreY,
                            double CentreZ, double Sweep)
{
    FillUnprogrammed(X, Y, Z, LastX, LastY, FProgramZ);
    const bool xz = Plane == 18;
    const double a0 = xz ? LastX : LastY, b0 = FProgramZ, o0 = xz ? LastY : LastX;
    const double o1 = xz ? Y : X;
    const double ca = xz ? CentreX : CentreY, cb = CentreZ;
    const double r = std::hypot(a0 - ca, b0 - cb);
    const double sweep = Sweep * M_PI / 180;
    const double turn = std::hypot(sweep * r, o1 - o0); // the helix's length
    int chords = 1;
    if (std::isfinite(turn) && std::isfinite(ca) && std::isfinite(cb))
        chords = static_cast<int>(std::clamp(std::ceil(turn / ChordLength()), 1.0, 100000.0));
    const double start = std::atan2(b0 - cb, a0 - ca);
    if (FWindow)
        FWindow->Put(IdRapid, TVariant::Bool(RapidByFeed()));
    for (int k = 1; k <= chords; ++k) {
        double px = X, py = Y, pz = Z;
        if (k < chords) {
            const double angle = start - sweep * k / chords;
            const double a = ca + r * std::cos(angle), o = o0 + (o1 - o0) * k / chords;
            pz = cb + r * std::sin(angle);
            px = xz ? a : o;
            py = xz ? o : a;
        }
        const double raised = RaisedZ(pz);
        if (FWindow)
            SendLine(px, py, raised);
        LastX = px;
        LastY = py;
        LastZ = raised;
    }
    FProgramZ = Z;
    ShowPosition(X, Y, LastZ);
}

// The machine's "Min Chord Length", else the arc expansion's default.
double TSimLink::ChordLength() const
{
    const double length = MachineData ? MachineData->MachineCapability.MinChordLength : 0;
    return length > 0 ? length : 0.2;
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

// Sleeps in the event loop until the tool is there, the run stops or
// changes state, or this output is released: each of them comes with a
// message, and the core stays idle while the operator edits the tooling.
// False when the output is gone.
bool TSimLink::WaitForTool(int Tool)
{
    const std::shared_ptr<bool> alive = FAlive;
    const TCycleState stateAtAsk = RunState;
    while (!Tooling->HasTool(Tool)) {
        EventLoop().WaitForMessages();
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
