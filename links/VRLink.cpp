#include "links/VRLink.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "links/VRWorld.h"
#include "machine/Machine_Tooling.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/convert.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orv {

std::function<std::unique_ptr<TVRView>(TVRLink &Link)> TVRLink::WindowFactory;

namespace {

constexpr int MaxViews = 20;

int Nearest(double V) { return int(std::lround(V)); }

std::string Tr(const std::string &Text) { return Mess().Translate(Text); }

} // namespace

std::string VRWindowCaption(TVRControl &Control)
{
    char version[32];
    std::snprintf(version, sizeof version, "%.3f", Control.GetReal("vrparams", "versionno"));
    return Tr("Corvane Virtual Reality") + Tr(".  Ver: ") + version;
}

std::vector<std::string> VRViewHints(TVRControl &Control)
{
    std::vector<std::string> hints;
    const int n = std::min(Control.GetInt("vrviews", "numberofviews"), MaxViews);
    for (int i = 1; i <= n; ++i)
        hints.push_back(Tr(Control.GetText("vrviews", "view" + std::to_string(i))));
    return hints;
}

TVRLink::TVRLink(TBaseForm *Owner, std::unique_ptr<TVRControl> Control)
    : TBasicMachine(Owner), FControl(Control ? std::move(Control) : std::make_unique<TVRWorld>())
{
    IsRealMachine = false;
    InitialTool = 1;
    FControl->OnSCL = [this](int Type, int Code) { SCL(Type, Code); };
    if (WindowFactory)
        FView = WindowFactory(*this);
}

TVRLink::~TVRLink()
{
    Destroying = true;
    RestoreSteps();
    FControl->OnSCL = nullptr;
    FView.reset();
}

// The engine's machine data: the link alone writes the world's scale into
// it, and puts the file's values back when it goes.
TRead_Machinedata_file *TVRLink::Data() const
{
    return const_cast<TRead_Machinedata_file *>(MachineData);
}

std::string TVRLink::WorldFile() const
{
    std::string name = MachineData ? Trim(MachineData->InputDevices.VirtualWorld) : std::string();
    if (name.empty())
        name = "Router.xvr";
    if (NormalisePath(name).find('/') == std::string::npos)
        name = IncludeTrailingDelimiter(ExeFolder()) + name;
    return name;
}

void TVRLink::SaveSteps()
{
    if (FStepsSaved || !Data())
        return;
    const TFeedData &f = Data()->Feed;
    FSavedSteps[0] = f.StepsX;
    FSavedSteps[1] = f.StepsY;
    FSavedSteps[2] = f.StepsZ;
    FSavedSteps[3] = f.StepsF;
    FStepsSaved = true;
}

void TVRLink::RestoreSteps()
{
    if (!FStepsSaved || !Data())
        return;
    TFeedData &f = Data()->Feed;
    f.StepsX = FSavedSteps[0];
    f.StepsY = FSavedSteps[1];
    f.StepsZ = FSavedSteps[2];
    f.StepsF = FSavedSteps[3];
    FStepsSaved = false;
}

double TVRLink::StepsOf(int Axis) const
{
    if (!MachineData)
        return 0;
    const TFeedData &f = MachineData->Feed;
    return Axis == 0 ? f.StepsX : Axis == 1 ? f.StepsY : f.StepsZ;
}

// --- Waits ---

TWaitResult TVRLink::Wait(const std::function<bool()> &Done, int TimeOutMs)
{
    const int stops = FStops;
    const int64_t end = EventLoop().NowMs() + TimeOutMs;
    for (;;) {
        if (Done())
            return TWaitResult::Done;
        EventLoop().WaitMessages(WaitPaceMs);
        if (EventLoop().KeyDown(VK_ESCAPE))
            return TWaitResult::Escaped;
        if (Done())
            return TWaitResult::Done;
        if (FStops != stops)
            return TWaitResult::Stopped;
        if (TimeOutMs > 0 && EventLoop().NowMs() >= end)
            return TWaitResult::TimedOut;
    }
}

bool TVRLink::WaitDevice(const std::function<bool()> &Done, const std::string &What)
{
    if (FAborted)
        return false;
    const int timeOut = MachineData ? MachineData->Communications.MCodeTimeOut : 10000;
    const TWaitResult result = Wait(Done, timeOut > 0 ? timeOut : 10000);
    if (result == TWaitResult::Done)
        return true;
    FAborted = true;
    if (result == TWaitResult::Stopped)
        return false; // the operator's stop: nothing to report
    const std::string details =
        result == TWaitResult::Escaped
            ? "User pressed escape"
            : Tr("No answer from the virtual world within ") + std::to_string(timeOut) +
                  Tr(" ms (M Code TimeOut)");
    MachineError(-1, "VR Machine Error", Tr("The virtual machine did not finish") + " " + What,
                 details);
    return false;
}

void TVRLink::SCL(int Type, int Code)
{
    if ((Type == 1 && Code == 3) || Type == 2)
        MCodeDone = true;
    else if (Type == 1 && Code == 4)
        CarouselDone = true;
    else if (Code == 5)
        ToolSetupDone = true;
    else if (Code == 6)
        MoveDone = true;
}

// --- Start-up ---

bool TVRLink::Initialise()
{
    if (!MachineData)
        return false;
    const std::string world = WorldFile();
    FControl->SetWorldFile(world);
    if (FView)
        FView->Show();
    const TWaitResult loaded = Wait(
        [this] {
            return FControl->ReadyState() == TVRControl::ReadyComplete ||
                   !FControl->LoadError().empty();
        },
        MachineData->Communications.MCodeTimeOut > 0 ? MachineData->Communications.MCodeTimeOut
                                                      : 10000);
    if (loaded != TWaitResult::Done || FControl->ReadyState() != TVRControl::ReadyComplete) {
        const std::string why = !FControl->LoadError().empty() ? FControl->LoadError()
                                : loaded == TWaitResult::Escaped
                                    ? std::string("User pressed escape")
                                    : "The world was not ready within M Code TimeOut";
        MachineError(-1, "VR Machine Error", Tr("Unable to load the virtual world") + " " + world,
                     why);
        return false;
    }
    if (FView)
        FView->WorldLoaded();
    // The control hands single reals: six significant digits are the world's.
    Scale = std::stod(FloatToStr(FControl->GetReal("vrparams", "vrscale"), 6));
    XSign = FControl->GetInt("vrparams", "xpositive") < 0 ? -1 : 1;
    YSign = FControl->GetInt("vrparams", "ypositive") < 0 ? -1 : 1;
    ZSign = FControl->GetInt("vrparams", "zpositive") < 0 ? -1 : 1;
    SaveSteps();
    TFeedData &f = Data()->Feed;
    f.StepsX = f.StepsY = f.StepsZ = f.StepsF = Scale;
    ToolDataChanged(-1);
    return TBasicMachine::Initialise();
}

// --- Blocks ---

void TVRLink::ApplyBlockSpeed(const TMachineBlock &B)
{
    if (B.M != 203 || !MachineData || MachineData->Spindle.MaximumSpeed <= 0 || B.S == NoSteps)
        return;
    const int n = Nearest(double(B.S) / MachineData->Spindle.MaximumSpeed);
    SetSpindleSpeed(B.S * n);
}

// The tool change runs the auto tool change itself, and the engine's
// changer may have asked for the change already: one change per M6.
void TVRLink::ApplyBlockTool(const TMachineBlock &B)
{
    if (B.M != 6 || B.T == NoSteps)
        return;
    if (B.T != CurrentTool)
        ToolChange(B.T);
    if (Tooling)
        Tooling->SetCurrentTool(B.T);
}

// A rapid or a reference return goes at "Maximum Rate Z"; the block's own
// feed is already in steps (world units) per second: each is sent as it is.
void TVRLink::ApplyBlockFeed(const TMachineBlock &B)
{
    if (B.BlockType == 0 || B.BlockType == 28) {
        if (MachineData)
            SendWorldFeed(Nearest(MachineData->Feed.MaximumRateZ * MachineData->Feed.StepsF / 60));
        return;
    }
    if (B.Feed != NoSteps)
        SendWorldFeed(B.Feed);
}

void TVRLink::SendWorldFeed(int Value)
{
    if (Value == FeedValue)
        return;
    FeedValue = Value;
    FControl->SetReal("MillerData", "feed_rate", float(FeedValue));
}

void TVRLink::SendFeed(int Feed)
{
    SendWorldFeed(MachineData ? Nearest(Feed * MachineData->Feed.StepsF / 60) : Feed);
}

void TVRLink::SetFeedrate(int Feed)
{
    TBasicMachine::SetFeedrate(Feed);
    SendFeed(Feedrate);
}

void TVRLink::SetSpindleSpeed(int Speed)
{
    TBasicMachine::SetSpindleSpeed(Speed);
    FControl->SetInt("Mcode", "Spindle", SpindleSpeed);
}

bool TVRLink::MoveTo(int32_t X, int32_t Y, int32_t Z)
{
    if (FAborted)
        return false;
    FControl->SetReal("MillerData", "feed_rate", float(FeedValue));
    FControl->SetReal("MillerData", "xaxis_go", float(X) * XSign);
    FControl->SetReal("MillerData", "yaxis_go", float(Y) * YSign);
    FControl->SetReal("MillerData", "zaxis_go", float(Z) * ZSign);
    // Cleared before the start, so a world that finishes at once is seen.
    MoveDone = false;
    FControl->Action("MillerData", 0);
    const TWaitResult result = Wait([this] { return MoveDone; }, 0);
    FControl->SetFlag("MillerData", "There", false);
    if (result == TWaitResult::Done)
        return true;
    FAborted = true;
    if (result == TWaitResult::Escaped)
        FControl->Action("MillerData", 3);
    return false;
}

void TVRLink::LinearMove(int32_t X, int32_t Y, int32_t Z)
{
    if (MoveTo(X, Y, Z))
        BlockDone();
}

void TVRLink::RapidMove(int32_t X, int32_t Y, int32_t Z)
{
    if (MoveTo(X, Y, Z))
        BlockDone();
}

void TVRLink::MoveHome()
{
    if (!MachineData)
        return;
    TMachinePosition p;
    GetPosition(p);
    SetFeedrate(Nearest(MachineData->Home.Feed));
    MoveTo(Nearest(MachineData->Home.X * StepsOf(0)), Nearest(MachineData->Home.Y * StepsOf(1)),
           Nearest(MachineData->Home.Z * StepsOf(2)));
}

void TVRLink::ReferenceMove(int32_t X, int32_t Y, int32_t Z)
{
    MoveHome();
    if (!FAborted)
        BlockDone();
}

void TVRLink::ToolChange(int Tool)
{
    TBasicMachine::ToolChange(Tool);
    MoveHome();
    AutoToolChange(Tool);
}

void TVRLink::ExecuteMCode(int &MCode)
{
    TBasicMachine::ExecuteMCode(MCode);
    SendMCode(MCode);
}

void TVRLink::SendMCode(int MCode)
{
    if (MCode < 0 || MCode >= 200 || FAborted)
        return;
    EventLoop().ProcessMessages();
    FControl->SetInt("Mcode", "Mcode", MCode);
    MCodeDone = false;
    FControl->SetFlag("Mcode", "DoIt", true);
    WaitDevice([this] { return MCodeDone; }, "M code M" + std::to_string(MCode));
}

// [Auto Tool Change] of the machine file, keys "1" to n in order: "M<n>"
// sends that M code, any other entry turns the carousel to the tool.
void TVRLink::AutoToolChange(int Tool)
{
    if (!MachineData)
        return;
    TIniFile file(MachineData->MachineFilePath());
    const size_t n = file.ReadSection("Auto Tool Change").size();
    SetFeedrate(MachineData->Feed.JogRapidFeed);
    for (size_t key = 1; key <= n && !FAborted; ++key) {
        const std::string entry = Trim(file.ReadString("Auto Tool Change", std::to_string(key), ""));
        if (entry.empty())
            continue;
        if (entry[0] == 'M' || entry[0] == 'm') {
            int32_t code = 0;
            if (TryStrToInt(Trim(entry.substr(1)), code))
                ExecuteMCode(code);
            continue;
        }
        TurnCarousel(Tool);
    }
}

// The shorter way round: steps forward (direction -1) up to half the
// places, else backward (direction 1). A changer of no places turns not.
void TVRLink::TurnCarousel(int Tool)
{
    if (!MachineData || FAborted)
        return;
    const int count = MachineData->ToolChange.MaximumNumber;
    if (count <= 0)
        return;
    const int current = FControl->GetInt("carousal", "current");
    int steps = ((Tool + count - current) % count + count) % count;
    if (steps == 0)
        return;
    int direction = -1;
    if (steps > count / 2) {
        direction = 1;
        steps = count - steps;
    }
    FControl->SetFlag("carousal", "BUSY", true);
    FControl->SetInt("carousal", "Tool Count", steps);
    FControl->SetInt("carousal", "Direction", direction);
    CarouselDone = false;
    FControl->Action("carousal", 1);
    WaitDevice([this] { return CarouselDone; }, "the carousel turn to tool " + std::to_string(Tool));
}

void TVRLink::SetUpTool(int Position, const TTool_data *Tool)
{
    if (FAborted)
        return;
    FControl->SetInt("caro", "tool", Position);
    ToolSetupDone = false;
    if (Tool && Tool->Diameter > 0) {
        FControl->SetReal("caro", "Diameter", float(Tool->Diameter * Scale));
        FControl->SetReal("caro", "Length", float(Tool->Length * Scale));
        FControl->SetReal("caro", "Flute Length", float(Tool->FluteLength * Scale));
        FControl->Action("caro", 2);
    } else {
        FControl->Action("caro", 1);
    }
    WaitDevice([this] { return ToolSetupDone; }, "the set-up of tool " + std::to_string(Position));
}

void TVRLink::LoadSpindleTool(const TTool_data &Tool)
{
    MCodeDone = false;
    if (Tool.Diameter <= 0)
        return;
    FControl->SetReal("ToolData", "Diameter", float(Tool.Diameter * Scale));
    FControl->SetReal("ToolData", "Length", float(Tool.Length * Scale));
    FControl->SetReal("ToolData", "Flute Length", float(Tool.FluteLength * Scale));
    FControl->Action("ToolData", 13);
}

void TVRLink::SetUpPosition(int Position)
{
    const int current = Tooling ? Tooling->CurrentTool() : CurrentTool;
    TTool_data data;
    const bool has = Tooling && Tooling->HasTool(Position);
    if (has)
        Tooling->GetToolData(Position, data);
    if (has && Position != current) {
        SetUpTool(Position, &data);
        return;
    }
    SetUpTool(Position, nullptr);
    if (Position != current)
        return;
    if (has)
        LoadSpindleTool(data);
    int spindle = 206;
    ExecuteMCode(spindle);
}

void TVRLink::ToolDataChanged(int Position)
{
    if (!MachineData || FAborted)
        return;
    if (Position >= 0) {
        TTool_data data;
        const bool has = Tooling && Tooling->HasTool(Position);
        if (has)
            Tooling->GetToolData(Position, data);
        const int current = Tooling ? Tooling->CurrentTool() : CurrentTool;
        if (has && Position == current)
            LoadSpindleTool(data);
        else
            SetUpTool(Position, has ? &data : nullptr);
        return;
    }
    for (int i = 1; i <= MachineData->ToolChange.MaximumNumber && !FAborted; ++i) {
        if (FView)
            FView->ToolSetup(Tr("Setting Up Tool ") + std::to_string(i));
        SetUpPosition(i);
    }
    if (FView)
        FView->ToolSetup("");
    TurnCarousel(Tooling ? Tooling->CurrentTool() : CurrentTool);
}

// --- Positions, runs, jogs ---

bool TVRLink::IsInPosition() { return FControl->GetFlag("MillerData", "There"); }

void TVRLink::GetPosition(TMachinePosition &P)
{
    P.X = FControl->GetReal("MillerData", "xaxis_pos") * XSign;
    P.Y = FControl->GetReal("MillerData", "yaxis_pos") * YSign;
    P.Z = FControl->GetReal("MillerData", "zaxis_pos") * ZSign;
    P.Fourth = 0;
    P.LookAhead = false;
    P.Valid = true;
    P.Stopped = false;
    P.Safe = IsSafe();
}

void TVRLink::GetMachinePosition(TXYZ &P)
{
    TMachinePosition m;
    GetPosition(m);
    P = {Extended(m.X), Extended(m.Y), Extended(m.Z)};
}

// A "BILLET" record gives the billet's sizes; its place stays.
void TVRLink::ProcessCNCData(const TCNC_data &Data)
{
    FAborted = false;
    if (Data.Motion == -1)
        SetBillet(NoValue, NoValue, Data.X, Data.Y, Data.Z);
    TBasicMachine::ProcessCNCData(Data);
}

void TVRLink::CycleStart()
{
    FAborted = false;
    TMachinePosition p;
    GetPosition(p);
    if (Convertor) {
        Convertor->FromMachine(p);
        LastPosition = {Extended(p.X), Extended(p.Y), Extended(p.Z)};
    }
    BlockDone();
}

void TVRLink::Stop()
{
    FControl->Action("MillerData", 3);
    TBasicMachine::Stop();
    ++FStops;
}

void TVRLink::HomeAxis(int Code)
{
    if (!MachineData)
        return;
    TMachinePosition p;
    GetPosition(p);
    int32_t x = Nearest(p.X), y = Nearest(p.Y), z = Nearest(p.Z);
    const THomeData &h = MachineData->Home;
    if (Code == 0 || Code == 3)
        x = Nearest(h.X * StepsOf(0));
    if (Code == 1 || Code == 3)
        y = Nearest(h.Y * StepsOf(1));
    if (Code == 2)
        z = Nearest(h.Z * StepsOf(2));
    FAborted = false;
    MoveTo(x, y, z);
}

bool TVRLink::JogContinuous(int Axis, int Feed, bool Positive)
{
    if (!MachineData || Axis < 0 || Axis > 2)
        return false;
    TMachinePosition p;
    GetPosition(p);
    int32_t target[3] = {Nearest(p.X), Nearest(p.Y), Nearest(p.Z)};
    const TMachineCapability &c = MachineData->MachineCapability;
    const double plus[3] = {c.TravelXPlus, c.TravelYPlus, c.TravelZPlus};
    const double minus[3] = {c.TravelXMinus, c.TravelYMinus, c.TravelZMinus};
    target[Axis] = Nearest(StepsOf(Axis) * (Positive ? plus[Axis] : minus[Axis]));
    SetFeedrate(Feed);
    FAborted = false;
    MoveTo(target[0], target[1], target[2]);
    return true;
}

void TVRLink::JogIncrement(int Axis, int Feed, double Distance)
{
    if (!MachineData || Axis < 0 || Axis > 2)
        return;
    TMachinePosition p;
    GetPosition(p);
    double target[3] = {p.X, p.Y, p.Z};
    target[Axis] += Distance * StepsOf(Axis);
    const TMachineCapability &c = MachineData->MachineCapability;
    const double plus[3] = {c.TravelXPlus, c.TravelYPlus, c.TravelZPlus};
    const double minus[3] = {c.TravelXMinus, c.TravelYMinus, c.TravelZMinus};
    for (int a = 0; a < 3; ++a) {
        const double low = std::min(minus[a], plus[a]) * StepsOf(a);
        const double high = std::max(minus[a], plus[a]) * StepsOf(a);
        target[a] = std::clamp(target[a], low, high);
    }
    SetFeedrate(Feed);
    FAborted = false;
    MoveTo(Nearest(target[0]), Nearest(target[1]), Nearest(target[2]));
}

void TVRLink::SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize)
{
    if (XPos != NoValue)
        BilletX = XPos;
    if (YPos != NoValue)
        BilletY = YPos;
    FControl->SetReal("Billett", "X pos", float(BilletX * Scale));
    FControl->SetReal("Billett", "Y pos", float(BilletY * Scale));
    FControl->SetReal("Billett", "X size", float(XSize * Scale));
    FControl->SetReal("Billett", "Y size", float(YSize * Scale));
    FControl->SetReal("Billett", "Z size", float(ZSize * Scale));
    FControl->Action("Billett", 13);
}

bool TVRLink::IsSafe() { return FControl->ReadyState() == TVRControl::ReadyComplete; }

bool TVRLink::IsIdle() { return IsSafe(); }

void TVRLink::ShowVersion()
{
    int a = 0, b = 0, c = 0;
    FControl->Version(a, b, c);
    MessageDlg("", Tr("Corvane VR Control") + "\r" + Tr("3D Control Version ") +
                       std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c),
               mtInformation, mbOK);
}

} // namespace orv
