#pragma once
// TVRLink: the machine whose machine is a virtual mill in a VR world. It
// drives the world's named objects (TVRControl): target position and feed,
// M codes, the tool carousel, tool shapes and the billet, and waits for the
// world's completion events. While it is in the machine slot the steps per
// mm of X, Y, Z and F are the world's scale, so steps are world units; the
// machine file's values come back when the link is freed.
//
// Every wait but a move's ends at the machine file's "M Code TimeOut" with
// a machine error; every wait ends on Escape or Stop.

#include "links/VRControl.h"
#include "machine/BasicMachine.h"

#include <functional>
#include <memory>
#include <string>

namespace orv {

struct TTool_data;

// The link's window ("Corvane Virtual Reality") as the link uses it.
class TVRView {
public:
    virtual ~TVRView() = default;
    virtual void Show() = 0;
    // The world is loaded: the view buttons and the caption with the version.
    virtual void WorldLoaded() = 0;
    // The tool set-up window's panel text ("Setting Up Tool 3"); empty
    // closes that window.
    virtual void ToolSetup(const std::string &Text) = 0;
};

class TVRLink : public TBasicMachine {
public:
    // Control: the VR control (the simulated world when none is given).
    explicit TVRLink(TBaseForm *Owner, std::unique_ptr<TVRControl> Control = nullptr);
    ~TVRLink() override;

    // The window layer makes the link's window (none: no window).
    static std::function<std::unique_ptr<TVRView>(TVRLink &Link)> WindowFactory;

    // Loads [Input/Output Devices] "Virtual World" (program folder; default
    // "Router.xvr"), waits for it, takes its scale and axis signs, sets up
    // the tools. False, with a machine error, when the world does not load.
    bool Initialise() override;
    void ApplyBlockSpeed(const TMachineBlock &Block) override;
    void ApplyBlockTool(const TMachineBlock &Block) override;
    void ApplyBlockFeed(const TMachineBlock &Block) override;
    void LinearMove(int32_t X, int32_t Y, int32_t Z) override;
    void RapidMove(int32_t X, int32_t Y, int32_t Z) override;
    void ArcMove(int32_t X, int32_t Y, int32_t Z, int32_t I, int32_t J, int32_t K, int32_t Radius,
                 Extended Sweep, int Plane) override {}
    void ReferenceMove(int32_t X, int32_t Y, int32_t Z) override;
    // mm/min; the world gets F x "Steps per mill F" / 60 (world units per second).
    void SetFeedrate(int Feed) override;
    void SetSpindleSpeed(int Speed) override;
    void ToolChange(int Tool) override;
    bool IsInPosition() override;
    void GetPosition(TMachinePosition &P) override;
    void ProcessCNCData(const TCNC_data &Data) override;
    void CycleStart() override;
    void Stop() override;
    // Codes 0 to 199 go to the world; 200 and above are the link's own.
    void ExecuteMCode(int &MCode) override;
    void HomeAxis(int Code) override;
    bool JogContinuous(int Axis, int Feed, bool Positive) override;
    void JogIncrement(int Axis, int Feed, double Distance) override;
    void SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize) override;
    bool IsSafe() override;
    bool IsIdle() override;
    void ToolDataChanged(int Position) override;
    void ShowVersion() override;
    void GetMachinePosition(TXYZ &P) override;

    TVRControl &Control() { return *FControl; }
    double Scale = 1;
    int XSign = 1, YSign = 1, ZSign = 1;
    int FeedValue = 0; // world units per second, as last sent
    double BilletX = 0, BilletY = 0;
    bool MCodeDone = false, CarouselDone = false, ToolSetupDone = false, MoveDone = false;

private:
    TRead_Machinedata_file *Data() const;
    std::string WorldFile() const;
    // Serves messages until Done, Escape, Stop or (TimeOutMs > 0) the time.
    TWaitResult Wait(const std::function<bool()> &Done, int TimeOutMs);
    // A device wait: false, with a machine error, when it did not finish.
    bool WaitDevice(const std::function<bool()> &Done, const std::string &What);
    bool MoveTo(int32_t X, int32_t Y, int32_t Z);
    void SendFeed(int Feed);
    void SendWorldFeed(int Value);
    void SendMCode(int MCode);
    void AutoToolChange(int Tool);
    void TurnCarousel(int Tool);
    void SetUpTool(int Position, const TTool_data *Tool);
    void LoadSpindleTool(const TTool_data &Tool);
    void SetUpPosition(int Position);
    void SCL(int Type, int Code);
    void SaveSteps();
    void RestoreSteps();
    double StepsOf(int Axis) const;
    void MoveHome();

    std::unique_ptr<TVRControl> FControl;
    std::unique_ptr<TVRView> FView;
    int FStops = 0;
    bool FAborted = false; // a wait failed: the rest of the block is not done
    bool FStepsSaved = false;
    double FSavedSteps[4] = {0, 0, 0, 0};
};

// "Corvane Virtual Reality.  Ver: " + the world's version, 3 decimals.
std::string VRWindowCaption(TVRControl &Control);
// The hints of the world's views 1 .. "numberofviews" (at most 20).
std::vector<std::string> VRViewHints(TVRControl &Control);

} // namespace orv
