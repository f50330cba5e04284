#include "machine/Read_Machinedata_file.h"

#include "engine/core/Mess.h"

#include "platform/NumberText.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <cmath>
#include <set>
#include <typeinfo>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

namespace {

bool IsAbsolutePath(const std::string &Path) {
    bool drive = Path.size() >= 2 && Path[1] == ':';
    return !Path.empty() && (Path[0] == '/' || drive);
}

// A relative path is taken from the working folder (the main settings
// file's folder), as the program has always done, and failing that from the
// folder of the file that names it.
std::string ResolvePath(const std::string &Path, const std::string &WorkFolder,
                        const std::string &NamingFolder) {
    std::string norm = NormalisePath(Path);
    if (norm.empty() || IsAbsolutePath(norm))
        return FindFileNoCase(norm);
    std::string fromWork = FindFileNoCase(WorkFolder + norm);
    if (FileExists(fromWork) || NamingFolder.empty())
        return fromWork;
    std::string fromNaming = FindFileNoCase(NamingFolder + norm);
    return FileExists(fromNaming) ? fromNaming : fromWork;
}

// A controller or world file whose folder is missing is looked for beside
// the program.
std::string FileBesideProgramWhenFolderMissing(const std::string &Path) {
    std::string folder = ExtractFilePath(NormalisePath(Path));
    if (!folder.empty() && DirectoryExists(FindFileNoCase(folder)))
        return Path;
    return ProgramFolder() + ExtractFileName(NormalisePath(Path));
}

const char *const SectionFeed = "Feed";
const char *const SectionCapability = "Machine Capability";
const char *const SectionComms = "Communications";
const char *const SectionDevices = "Input/Output Devices";
const char *const WarningHeadline = "Machine Data Warning";

} // namespace

std::string ResolveMachineDataPath(const std::string &Path, const std::string &WorkFolder,
                                   const std::string &NamingFolder)
{
    return ResolvePath(Path, WorkFolder, NamingFolder);
}

std::function<void(TRead_Machinedata_file &, bool)> TRead_Machinedata_file::EditorWindow;

void TRead_Machinedata_file::ShowEditor(bool ReadOnly)
{
    if (EditorWindow)
        EditorWindow(*this, ReadOnly);
}

// The three value readers of a parameter file. Numbers that do not read are
// 0 and noted as warnings; a missing key is no warning here.
class TRead_Machinedata_file::TReader {
public:
    TReader(const std::string &FileName, std::vector<std::string> &Warnings)
        : FIni(FileName), FWarnings(Warnings) {}

    std::string Text(const char *Section, const char *Key, const std::string &Default = "") const {
        return FIni.ReadString(Section, Key, Default);
    }

    // True only for "TRUE" in any letter case.
    bool Flag(const char *Section, const char *Key, const char *Default = "FALSE") const {
        return UpperCase(FIni.ReadString(Section, Key, Default)) == "TRUE";
    }

    double Real(const char *Section, const char *Key) const {
        std::string text = FIni.ReadString(Section, Key, "0");
        double value = 0;
        if (TryStrToFloat(text, value) && std::isfinite(value))
            return value;
        NoteGarbage(Section, Key, text);
        return 0;
    }

    int Integer(const char *Section, const char *Key) const { return IniInteger(Section, Key, 0); }

    // Section names of the file in upper case.
    std::set<std::string> Sections() const {
        std::set<std::string> names;
        for (const std::string &name : FIni.ReadSections())
            names.insert(UpperCase(name));
        return names;
    }

    int IniInteger(const char *Section, const char *Key, int Default) const {
        std::string text = FIni.ReadString(Section, Key, "");
        int32_t value = 0;
        if (Trim(text).empty())
            return Default;
        if (TryStrToInt(text, value))
            return value;
        NoteGarbage(Section, Key, text);
        return Default;
    }

private:
    void NoteGarbage(const char *Section, const char *Key, const std::string &Text) const {
        if (Trim(Text).empty())
            return;
        FWarnings.push_back(std::string("[") + Section + "] \"" + Key + "\" = \"" + Text +
                            Tr("\" is not a number; 0 is used"));
    }

    TIniFile FIni;
    std::vector<std::string> &FWarnings;
};

TRead_Machinedata_file::TRead_Machinedata_file(TComponent *Owner) : TBase_cnc(Owner) {
    for (int n = 0; n < MCodeCount; ++n)
        MCodes[n].Name = "M" + IntToStr(n);
}

void TRead_Machinedata_file::Load() {
    FWarnings.clear();
    FMissingMotionData.clear();
    ReadSettings();
    bool found = FileExists(FMachineFilePath);
    if (!found)
        FWarnings.push_back(Tr("Machine parameter file not found: ") + MachineFile);
    // A missing file reads like an empty one: every value takes its default.
    TReader ini(FMachineFilePath, FWarnings);
    ReadMachineFile(ini);
    CheckMotionData(found);
    ReportWarnings();
}

void TRead_Machinedata_file::ReadSettings() {
    TIniFile main(FindFileNoCase(MainSettingsFile));
    ActiveMachine = UpperCase(main.ReadString("Default Settings", "Active Machine", ""));
    Metric = main.ReadBool("Default Settings", "Metric", true);
    std::string listName = UpperCase(main.ReadString("directories", "machine list file", ""));
    std::string workFolder = ExtractFilePath(NormalisePath(MainSettingsFile));
    std::string listFile = ResolvePath(listName, workFolder, "");

    TIniFile list(listFile);
    std::string prefix = UpperCase(list.ReadString("Millers", ActiveMachine, ""));
    MachineFile = prefix + ActiveMachine + ".ini";
    FMachineFilePath = ResolvePath(MachineFile, workFolder, ExtractFilePath(listFile));
}

void TRead_Machinedata_file::ReadMachineFile(const TReader &Ini) {
    PostProcess.Library = Ini.Text("Post Process", "Library");
    PostProcess.FileExtension = Ini.Text("Post Process", "File Extension");
    PostProcess.CorvaneDirectives = Ini.Flag("Post Process", "Corvane Directives");
    PostProcess.AddComments = Ini.Flag("Post Process", "Add Comments");
    PostProcess.AddPercents = Ini.Flag("Post Process", "Add Percents");
    PostProcess.ForcePoints = Ini.Flag("Post Process", "Force Points");

    Material.MaximumX = Ini.Real("Material", "Maximum X");
    Material.MaximumY = Ini.Real("Material", "Maximum Y");
    Material.MaximumZ = Ini.Real("Material", "Maximum Z");
    Material.DefaultX = Ini.Real("Material", "Default X");
    Material.DefaultY = Ini.Real("Material", "Default Y");
    Material.DefaultZ = Ini.Real("Material", "Default Z");
    Material.PositionX = Ini.Real("Material", "Position X");
    Material.PositionY = Ini.Real("Material", "Position Y");
    Material.PositionZ = Ini.Real("Material", "Position Z");

    Home.X = Ini.Real("Home", "X");
    Home.Y = Ini.Real("Home", "Y");
    Home.Z = Ini.Real("Home", "Z");
    Home.Feed = Ini.Real("Home", "Feed");
    Home.NegativeX = Ini.Flag("Home", "Negative X");
    Home.NegativeY = Ini.Flag("Home", "Negative Y");
    Home.NegativeZ = Ini.Flag("Home", "Negative Z");
    Home.Negative4 = Ini.Flag("Home", "Negative 4");

    ReadFeed(Ini);
    Spindle.MaximumSpeed = Ini.Integer("Spindle", "Maximum Speed");
    Spindle.MinimumSpeed = Ini.Integer("Spindle", "Minimum Speed");
    Spindle.Manual = Ini.Flag("Spindle", "Manual");
    ReadCapability(Ini);

    ToolChange.AutoChanger = Ini.Flag("Tool Change", "Auto Changer");
    ToolChange.MaximumNumber = Ini.Integer("Tool Change", "Maximum number");
    ToolChange.X = Ini.Real("Tool Change", "X");
    ToolChange.Y = Ini.Real("Tool Change", "Y");
    ToolChange.Z = Ini.Real("Tool Change", "Z");

    ReadDevices(Ini);
    ReadMCodes(Ini);
}

void TRead_Machinedata_file::ReadFeed(const TReader &Ini) {
    Feed.Default = Ini.Real(SectionFeed, "Default");
    Feed.MaximumRateX = Ini.Real(SectionFeed, "Maximum Rate X");
    Feed.MaximumRateY = Ini.Real(SectionFeed, "Maximum Rate Y");
    Feed.MaximumRateZ = Ini.Real(SectionFeed, "Maximum Rate Z");
    Feed.MaximumRate4 = Ini.Real(SectionFeed, "Maximum Rate 4");
    Feed.MinimumRate = Ini.Real(SectionFeed, "Minimum Rate");
    Feed.StepsX = Ini.Real(SectionFeed, "Steps per mill X");
    Feed.StepsY = Ini.Real(SectionFeed, "Steps per mill Y");
    Feed.StepsZ = Ini.Real(SectionFeed, "Steps per mill Z");
    Feed.StepsIV = Ini.Real(SectionFeed, "Steps per mill IV");
    if (Feed.StepsIV == 0)
        Feed.StepsIV = Feed.StepsX;
    Feed.StepsF = Ini.Real(SectionFeed, "Steps per mill F");
    Feed.MotorDirectionX = Ini.Integer(SectionFeed, "Motor Direction X");
    Feed.MotorDirectionY = Ini.Integer(SectionFeed, "Motor Direction Y");
    Feed.MotorDirectionZ = Ini.Integer(SectionFeed, "Motor Direction Z");
    Feed.MotorDirectionIV = Ini.Integer(SectionFeed, "Motor Direction IV");
    if (Feed.MotorDirectionIV == 0)
        Feed.MotorDirectionIV = 1;
    Feed.MaxContourFeed = Ini.Real(SectionFeed, "Max Contour Feed");
    Feed.MaxContourAngle = Ini.Real(SectionFeed, "Max Contour Angle");
    Feed.JogRapidFeed = Ini.Integer(SectionFeed, "Jog Rapid Feed");
    Feed.ShortestContour = Ini.Real(SectionFeed, "Shortest Contour");
    Feed.ShortestTime = Ini.Real(SectionFeed, "Shortest Time");
}

void TRead_Machinedata_file::ReadCapability(const TReader &Ini) {
    TMachineCapability &c = MachineCapability;
    c.MaximumCutDepth = Ini.Real(SectionCapability, "Maximum Cut Depth");
    c.CutterCompensation = Ini.Flag(SectionCapability, "Cutter Compensation");
    c.HighSpeedMachining = Ini.Flag(SectionCapability, "High Speed Machining");
    c.TravelXPlus = Ini.Real(SectionCapability, "Travel X+");
    c.TravelYPlus = Ini.Real(SectionCapability, "Travel Y+");
    c.TravelZPlus = Ini.Real(SectionCapability, "Travel Z+");
    c.TravelIVPlus = Ini.Real(SectionCapability, "Travel IV+");
    c.TravelXMinus = Ini.Real(SectionCapability, "Travel X-");
    c.TravelYMinus = Ini.Real(SectionCapability, "Travel Y-");
    c.TravelZMinus = Ini.Real(SectionCapability, "Travel Z-");
    c.TravelIVMinus = Ini.Real(SectionCapability, "Travel IV-");
    c.TableSizeX = Ini.Real(SectionCapability, "Table Size X");
    c.TableSizeY = Ini.Real(SectionCapability, "Table Size Y");
    c.TableSizeZ = Ini.Real(SectionCapability, "Table Size Z");
    c.UnderInspection = Ini.Flag(SectionCapability, "Under Inspection");
    c.FeedPot = Ini.Flag(SectionCapability, "Feed Pot");
    c.SpeedPot = Ini.Flag(SectionCapability, "Speed Pot");
    c.RealMachineAvailable = Ini.Flag(SectionCapability, "Real Machine Available", "TRUE");
    c.ExpandArcs = Ini.Flag(SectionCapability, "Expand Arcs");
    c.MinChordLength = Ini.Real(SectionCapability, "Min Chord Length");
    c.FourthAxisLetter = Ini.Integer(SectionCapability, "IV axis - A,B,C (1,2 or 3)");
    // Without a largest billet the travel range is the largest billet.
    if (Material.MaximumX == 0) {
        Material.MaximumX = std::fabs(c.TravelXPlus - c.TravelXMinus);
        Material.MaximumY = std::fabs(c.TravelYPlus - c.TravelYMinus);
        Material.MaximumZ = std::fabs(c.TravelZPlus - c.TravelZMinus);
    }
}

void TRead_Machinedata_file::ReadDevices(const TReader &Ini) {
    TCommunications &c = Communications;
    c.BaudRate = Ini.Integer(SectionComms, "Baud rate");
    c.ComPort = Ini.Integer(SectionComms, "Com Port");
    c.StopBits = Ini.Integer(SectionComms, "Stop Bits");
    c.HardwareHandshaking = Ini.Flag(SectionComms, "Hardware Handshaking");
    c.ControlType = Ini.Integer(SectionComms, "Control Type");
    c.MintFile = FileBesideProgramWhenFolderMissing(Ini.Text(SectionComms, "Mint File"));
    c.PollingDelay = Ini.IniInteger(SectionComms, "Polling Delay", 70);
    c.MCodeTimeOut = Ini.IniInteger(SectionComms, "M Code TimeOut", DefaultMCodeTimeOut);
    c.TCodeTimeOut = Ini.IniInteger(SectionComms, "T Code TimeOut", DefaultTCodeTimeOut);

    TInputDevices &d = InputDevices;
    d.KeplinFile = Ini.Text(SectionDevices, "Keplin File");
    d.ComPort = Ini.Integer(SectionDevices, "Com Port");
    d.VirtualWorld =
        FileBesideProgramWhenFolderMissing(Ini.Text(SectionDevices, "Virtual World", "Router.xvr"));
    d.CIMRS232Input = Ini.Flag(SectionDevices, "CIM RS232 Input");
    d.CIMDDEInput = Ini.Flag(SectionDevices, "CIM DDE Input");
    d.RemoteControlCycle = Ini.Flag(SectionDevices, "Remote control cycle");
    d.RemoteControlVice = Ini.Flag(SectionDevices, "Remote control vice");
}

void TRead_Machinedata_file::ReadMCodes(const TReader &Ini) {
    // Most of the 174 sections are absent; they take the defaults unread.
    std::set<std::string> present = Ini.Sections();
    for (int n = 0; n < MCodeCount; ++n) {
        std::string section = "M" + IntToStr(n);
        TMCodeData &m = MCodes[n];
        m = TMCodeData();
        m.Name = section;
        if (!present.count(section))
            continue;
        m.Description = Ini.Text(section.c_str(), "Description");
        m.Timeout = Ini.IniInteger(section.c_str(), "Timeout", 0);
        m.Enabled = Ini.Flag(section.c_str(), "Enabled");
        m.Code = Ini.IniInteger(section.c_str(), "Code", 0);
    }
}

// Steps per mm and motor directions turn millimetres into motor steps and
// back (a zero would divide by zero on the way back); the rapid jog feed
// drives the panels' rapid jog. A machine cannot be driven without them.
void TRead_Machinedata_file::CheckMotionData(bool FileFound) {
    const struct {
        const char *Key;
        double Value;
    } needed[] = {
        {"Steps per mill X", Feed.StepsX},
        {"Steps per mill Y", Feed.StepsY},
        {"Steps per mill Z", Feed.StepsZ},
        {"Steps per mill F", Feed.StepsF},
        {"Motor Direction X", double(Feed.MotorDirectionX)},
        {"Motor Direction Y", double(Feed.MotorDirectionY)},
        {"Motor Direction Z", double(Feed.MotorDirectionZ)},
        {"Jog Rapid Feed", double(Feed.JogRapidFeed)},
    };
    for (const auto &n : needed) {
        if (n.Value != 0)
            continue;
        FMissingMotionData.push_back(n.Key);
        if (FileFound)
            FWarnings.push_back(std::string("[Feed] \"") + n.Key + Tr("\" is missing or zero"));
    }
}

void TRead_Machinedata_file::ReportWarnings() {
    if (FWarnings.empty())
        return;
    if (OnErrorEvent)
        for (const std::string &w : FWarnings)
            OnErrorEvent(this, -1, w, WarningHeadline);
    if (!ShowErrorDialogueBox)
        return;
    std::string text = MachineFile;
    for (const std::string &w : FWarnings)
        text += "\n" + w;
    MessageDlg(Tr(WarningHeadline), text, mtWarning, mbOK);
}

// A time-out of 0 or less would be a wait without end (or, for the tool
// change, one that fails at once): the default deadline holds instead.
int TRead_Machinedata_file::MCodeTimeOut(int MCode) const {
    bool known = MCode >= 0 && MCode < MCodeCount;
    if (known && MCodes[MCode].Timeout > 0)
        return MCodes[MCode].Timeout;
    return Communications.MCodeTimeOut > 0 ? Communications.MCodeTimeOut : DefaultMCodeTimeOut;
}

int TRead_Machinedata_file::TCodeTimeOut() const {
    return Communications.TCodeTimeOut > 0 ? Communications.TCodeTimeOut : DefaultTCodeTimeOut;
}

void TRead_Machinedata_file::AssignTo(TPersistent &Dest) const {
    if (typeid(Dest) != typeid(TRead_Machinedata_file))
        AssignError(Dest, "TRead_Machinedata_file");
    auto &d = static_cast<TRead_Machinedata_file &>(Dest);
    d.PostProcess = PostProcess;
    d.Material = Material;
    d.Home = Home;
    d.Feed = Feed;
    d.Spindle = Spindle;
    d.MachineCapability = MachineCapability;
    d.ToolChange = ToolChange;
    d.Communications = Communications;
    d.InputDevices = InputDevices;
    d.MachineFile = MachineFile;
    d.MainSettingsFile = MainSettingsFile;
    d.ActiveMachine = ActiveMachine;
    d.Metric = Metric;
    for (int n = 0; n < MCodeCount; ++n)
        d.MCodes[n] = MCodes[n];
    d.FMachineFilePath = FMachineFilePath;
    d.FWarnings = FWarnings;
    d.FMissingMotionData = FMissingMotionData;
}

} // namespace orv
