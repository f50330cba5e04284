#pragma once
// The output-sink contract: everything that consumes the engine's move
// records during a run (2D view, simulation link, compiled and post outputs,
// 3D view, block search) is a TBasicOutput. The engine hands each record to
// Execute; the sink paces the run by firing OnNextNotify when it is ready
// for the next one. The base dispatches a record to per-kind operations and
// keeps the billet, the units, a dwell wait and the material limits.

#include "engine/core/data_types.h"

#include <functional>
#include <memory>
#include <string>

namespace orv {

class TConvert;
class TMachine_Tooling;
class TRead_Machinedata_file;
class TTimer;

using TOutputNotifyEvent = std::function<void(TObject *Sender)>;
using TOutputLineEvent = std::function<void(TObject *Sender, int Line)>;

// Largest billet the machine takes ("Maximum X", "Maximum Y", "Maximum Z"
// of the machine data's section "Material"), mm.
struct TMaterialMaximum {
    double X = 1e300, Y = 1e300, Z = 1e300;
};

class TBasicOutput : public TObject {
public:
    TBasicOutput();
    ~TBasicOutput() override;
    TBasicOutput(const TBasicOutput &) = delete;
    TBasicOutput &operator=(const TBasicOutput &) = delete;

    // Stores Units; Decimals := 4 for inch, else 3.
    virtual void SetUnits(TUnits NewUnits);
    // Moves in mm; a coordinate that is NoValue was not programmed (the sink
    // keeps its last position for it). Sweep in degrees, positive clockwise.
    virtual void RapidMove(double X, double Y, double Z) {}
    virtual void LinearMove(double X, double Y, double Z) {}
    virtual void ArcMove(double X, double Y, double Z, double CentreX, double CentreY,
                         double CentreZ, Extended Sweep, Extended Radius)
    {
    }
    // Reference return (motion 28).
    virtual void HomeMove(double X, double Y, double Z) {}
    // Waits Milliseconds (rounded), serving messages; a stop ends the wait.
    virtual void Dwell(double Milliseconds);
    // Dispatches by motion code: 0 rapid, 1 linear, 2/3 arc, 4 dwell (time in
    // X), 28 home; every other code does nothing.
    virtual void DoMove(TCNC_data &Data);
    // Called before and after the move with the record's M code.
    virtual void MCodeHook(int &MCode) {}
    virtual void SpindleChange(TCNC_data &Data) {}
    virtual void ToolChange(TCNC_data &Data) {}
    virtual void FeedChange(TCNC_data &Data) {}
    // Tool, M code, spindle, feed, move, M code again; false for the end record.
    virtual bool ProcessData(TCNC_data &Data);
    virtual void SetCycleState(TCycleState State) { RunState = State; }
    // Makes the sink ready (window, file, link); true when ready.
    virtual bool Initialise() { return true; }
    // Takes one record from the engine: processes it, asks for the next one
    // (unless it was the end), and in a stopped run turns the end code -101
    // into -1000 for the sinks after this one. Asking for the next record
    // from inside Execute never nests: see RunNextNotify.
    virtual void Execute(TCNC_data &Data);
    // A run begins: asks for the first record.
    virtual void Start();
    virtual void Stop() { Stopped = true; }
    virtual void Rewind() {}
    // Billet position and sizes, mm.
    virtual void SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize);
    // The source shows line CNCLine (a THiliteEvent handler).
    virtual void ShowLine(TObject *Sender, int CNCLine) {}

    // Each coordinate above the material maximum becomes that maximum;
    // smaller values, negative ones included, stay.
    void ClampToLimits(double &X, double &Y, double &Z) const;

    // True while a dwell is waiting.
    bool Dwelling() const { return DwellTimer != nullptr; }

    std::unique_ptr<TTimer> DwellTimer;
    double BilletXPos = 0, BilletYPos = 0;
    double BilletXSize = 0, BilletYSize = 0, BilletZSize = 0;
    TUnits Units = Metric;
    int Decimals = 3;
    TOutputNotifyEvent OnNextNotify;
    TOutputNotifyEvent OnNeedsToolPage;
    TOutputLineEvent OnNeedEditor;
    TCycleState RunState = csStopped;
    TConvert *Convertor = nullptr;
    int Plane = 17;
    TRead_Machinedata_file *MachineData = nullptr;
    // Copied by the owner from the machine data when it sets MachineData.
    TMaterialMaximum MaterialMaximum;
    TMachine_Tooling *Tooling = nullptr;
    // Set by an owner that makes every tool change with the changer itself
    // (asking for a missing tool) before the record reaches the output: the
    // output then only takes the new tool's data and never asks again.
    bool OwnerChangesTools = false;
    bool BlockSkip = false;
    bool Stopped = false;
    bool SingleStep = false;
    std::string FileName;

protected:
    // Fires OnNextNotify through RunNextNotify.
    void NotifyNext();
    // The end of Execute for a sink that paces the run itself: asks for the
    // next record unless this was the end or the run stopped; in a stopped
    // run the end code becomes "nothing to do" for the sinks after this one.
    void FinishRecord(TCNC_data &Data);
    // A move's coordinates that were not programmed (NoValue) take the
    // sink's last position.
    static void FillUnprogrammed(double &X, double &Y, double &Z, double LastX, double LastY,
                                 double LastZ);
    // Tool is not in the changer: asks the operator (messages 40, 41, lines
    // joined by LineBreak) whether to edit the tooling now; on yes fires
    // OnNeedsToolPage. True when the operator said yes.
    bool AskForMissingTool(int Tool, const char *LineBreak);
    // The save dialog of a file output (through the message service): it
    // starts in the folder kept under FolderKey in [directories] of the main
    // settings, and the chosen file's folder is kept there. Filter is
    // translated. True with the chosen file in FileName; false when cancelled.
    bool ExecuteSaveDialog(const std::string &FolderKey, const std::string &DefaultExt,
                           const std::string &Filter, std::string &FileName) const;
};

// Runs Notify at once, unless a notification is already being served
// further up the stack: then Notify is queued and runs as soon as that one
// returns, in the order asked. So "sink asks -> engine hands out the next
// record -> sink asks again" is a loop, not a recursion: a run of a million
// moves keeps a constant stack depth, with the same order of Execute and
// OnNextNotify calls. Sinks use it for OnNextNotify; the engine may pass
// the machine's block-done answers through it too.
void RunNextNotify(std::function<void()> Notify);

} // namespace orv
