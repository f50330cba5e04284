#pragma once
// The active machine's parameter file: the main settings file names the
// machine and the machine list file, the list gives the folder of the
// machine's own ini file, and Load reads that file into plain records that
// the machine, panels, converter, links and the engine form read.

#include "engine/core/Base_cnc.h"

#include <functional>
#include <string>
#include <vector>

namespace orv {

struct Tpost_Process {
    std::string Library;
    std::string FileExtension;
    bool CorvaneDirectives = false, AddComments = false, AddPercents = false, ForcePoints = false;
};

// Billet sizes and position, mm.
struct TMaterialData {
    double MaximumX = 0, MaximumY = 0, MaximumZ = 0;
    double DefaultX = 0, DefaultY = 0, DefaultZ = 0;
    double PositionX = 0, PositionY = 0, PositionZ = 0;
};

// Home position (mm, machine coordinates) and homing feed (mm/min).
struct THomeData {
    double X = 0, Y = 0, Z = 0, Feed = 0;
    bool NegativeX = false, NegativeY = false, NegativeZ = false, Negative4 = false;
};

// Feeds in mm/min; Steps* in motor steps per mm (StepsF: per mm of feed);
// directions 1 or -1.
struct TFeedData {
    double Default = 0, MaximumRateX = 0, MaximumRateY = 0, MaximumRateZ = 0, MaximumRate4 = 0;
    double MinimumRate = 0;
    double StepsX = 0, StepsY = 0, StepsZ = 0, StepsIV = 0, StepsF = 0;
    int MotorDirectionX = 0, MotorDirectionY = 0, MotorDirectionZ = 0, MotorDirectionIV = 1;
    double MaxContourFeed = 0, MaxContourAngle = 0;
    int JogRapidFeed = 0;
    double ShortestContour = 0, ShortestTime = 0;
};

// Spindle range, rpm.
struct TSpindleData {
    int MaximumSpeed = 0, MinimumSpeed = 0;
    bool Manual = false;
};

// Travel limits are signed coordinates in mm: "-" the lowest an axis may
// reach, "+" the highest.
struct TMachineCapability {
    double MaximumCutDepth = 0;
    bool CutterCompensation = false, HighSpeedMachining = false;
    double TravelXPlus = 0, TravelYPlus = 0, TravelZPlus = 0, TravelIVPlus = 0;
    double TravelXMinus = 0, TravelYMinus = 0, TravelZMinus = 0, TravelIVMinus = 0;
    double TableSizeX = 0, TableSizeY = 0, TableSizeZ = 0;
    bool UnderInspection = false, FeedPot = false, SpeedPot = false;
    bool RealMachineAvailable = true, ExpandArcs = false;
    double MinChordLength = 0;
    int FourthAxisLetter = 0; // 1 A, 2 B, 3 C
};

struct TToolChangeData {
    bool AutoChanger = false;
    int MaximumNumber = 0;
    double X = 0, Y = 0, Z = 0; // tool-change position, mm
};

constexpr int DefaultMCodeTimeOut = 10000, DefaultTCodeTimeOut = 60000; // ms

struct TCommunications {
    int BaudRate = 0, ComPort = 0, StopBits = 0;
    std::string MintFile;
    // As the file has them; the waits use MCodeTimeOut() and TCodeTimeOut().
    int PollingDelay = 70, MCodeTimeOut = DefaultMCodeTimeOut, TCodeTimeOut = DefaultTCodeTimeOut;
    bool HardwareHandshaking = false;
    int ControlType = 0;
};

struct TInputDevices {
    std::string KeplinFile;
    int ComPort = 0;
    std::string VirtualWorld;
    bool CIMRS232Input = false, CIMDDEInput = false;
    bool RemoteControlCycle = false, RemoteControlVice = false;
};

struct TMCodeData {
    std::string Name; // "M" + index
    std::string Description;
    int Timeout = 0; // ms; 0: the file's "M Code TimeOut" applies
    bool Enabled = false;
    int Code = 0;
};

// A path of the machine data: a relative one is taken from WorkFolder (the
// main settings file's folder) and failing that from NamingFolder (the
// folder of the file that names it); found without regard to case.
std::string ResolveMachineDataPath(const std::string &Path, const std::string &WorkFolder,
                                   const std::string &NamingFolder);

class TRead_Machinedata_file : public TBase_cnc {
public:
    static constexpr int MCodeCount = 174; // [M0] to [M173]

    explicit TRead_Machinedata_file(TComponent *Owner = nullptr);

    // Reads the main settings file (MainSettingsFile), the machine list and
    // the machine's parameter file. Never fails: missing files and keys give
    // the defaults. Values a machine cannot run without (steps per mm,
    // motor directions, "Jog Rapid Feed"), numbers that do not read and a
    // missing parameter file are listed in Warnings and each reported
    // through OnErrorEvent (line -1, headline "Machine data").
    void Load();

    // Copies every record into another TRead_Machinedata_file; any other
    // class raises EConvertError "Cannot assign a TRead_Machinedata_file to a <class>".
    void AssignTo(TPersistent &Dest) const override;

    // True when the values needed to turn millimetres into motor steps and
    // back (steps per mm of X, Y, Z and F, the X, Y, Z motor directions) and
    // the rapid jog feed are all present and non-zero.
    bool MotionDataComplete() const { return FMissingMotionData.empty(); }
    // The keys behind a false MotionDataComplete, in file order.
    const std::vector<std::string> &MissingMotionData() const { return FMissingMotionData; }
    // Problems found by the last Load, in the system's words.
    const std::vector<std::string> &Warnings() const { return FWarnings; }

    // How long to wait for M code MCode to finish, ms: its own [M<n>]
    // "Timeout", else the file's "M Code TimeOut"; a value of 0 or less
    // gives way to the next, and at last to 10 s.
    int MCodeTimeOut(int MCode) const;
    // "T Code TimeOut", or 60 s when it is 0 or less.
    int TCodeTimeOut() const;

    Tpost_Process PostProcess;
    TMaterialData Material;
    THomeData Home;
    TFeedData Feed;
    TSpindleData Spindle;
    TMachineCapability MachineCapability;
    TToolChangeData ToolChange;
    TCommunications Communications;
    TInputDevices InputDevices;

    std::string MachineFile;      // path of the machine's parameter file
    // MachineFile as it was looked for: beside the main settings file or
    // the machine list.
    const std::string &MachineFilePath() const { return FMachineFilePath; }
    std::string MainSettingsFile; // set by the owner before Load
    std::string ActiveMachine;    // upper case
    bool Metric = true;
    TMCodeData MCodes[MCodeCount];

    // Shows the "Machine Properties Editor" modally (read-only when the
    // settings password was not given); installed by the ui library.
    static std::function<void(TRead_Machinedata_file &Data, bool ReadOnly)> EditorWindow;
    void ShowEditor(bool ReadOnly);

private:
    class TReader;
    void ReadSettings();
    void ReadMachineFile(const TReader &Ini);
    void ReadFeed(const TReader &Ini);
    void ReadCapability(const TReader &Ini);
    void ReadDevices(const TReader &Ini);
    void ReadMCodes(const TReader &Ini);
    void CheckMotionData(bool FileFound);
    void ReportWarnings();

    std::string FMachineFilePath; // MachineFile as found on disk
    std::vector<std::string> FWarnings;
    std::vector<std::string> FMissingMotionData;
};

} // namespace orv
