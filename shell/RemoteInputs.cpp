#include "shell/RemoteInputs.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "engine/form/EngineRequests.h"
#include "engine/form/base.h"
#include "links/KeplinDriverNew.h"
#include "machine/BasicMachine.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "shell/simple_server_one.h"

#include <algorithm>
#include <filesystem>

namespace orv {

namespace {

constexpr size_t CopyDataHeader = 8;

std::string Tr(const std::string &Text) { return Mess().Translate(Text); }

bool IsLineEnd(char C) { return C == '\r' || C == '\n'; }

uint32_t U32At(const std::string &Bytes, size_t At)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | uint8_t(Bytes[At + size_t(i)]);
    return v;
}

// Console functions and the main-window controls they press.
struct TKeplinFunction {
    const char *Function, *Control;
};
const TKeplinFunction KeplinFunctions[] = {
    {"Tool Library", "ToolLib_but"},      {"Tooling", "Tooling_but"},
    {"Material Offsets", "mat_offset"},   {"BlockSkip", "skipBlock"},
    {"SingleBlock", "progCont"},          {"Units", "level2mm"},
    {"File Menu", "FileM"},               {"Editor", "ButtonEditor"},
    {"CycleStart", "startbutton"},        {"CyclePause", "pauseButton"},
    {"CycleStop", "stopbutton"},          {"CycleRewind", "rewindbutton"},
    {"2D Output", "sim2d_output"},        {"3D Output", "sim3d_output"},
    {"Compiled Output", "Comp_output"},   {"Pellora Output", "Pellora_output"},
    {"PostProcess Output", "Post_output"}, {"VR Output", "VR_Output"},
    {"Machine Output", "Mach_output"},    {"Load CNC", "SourceSel"},
    {"Set X Offset", "SetXOffset"},       {"Set Y Offset", "SetYOffset"},
    {"Set Z Offset", "SetZOffset"},       {"HomeX", "HomeXButt"},
    {"HomeY", "HomeYButt"},               {"HomeZ", "HomeZButt"},
    {"HomeAll", "HomeAllButt"},           {"JogX-", "JogXMButt"},
    {"JogX+", "JogXPButt"},               {"JogY-", "JogYMButt"},
    {"JogY+", "JogYPButt"},               {"JogZ-", "JogZMButt"},
    {"JogZ+", "JogZPButt"},               {"HomeMode", "HomeModeButt"},
    {"JogMode", "JogModeButt"},           {"Cont or Inc Mode", "IncModeButt"},
    {"Auto", "AutoModeButt"},             {"Coolant On", "CoolantOnButt"},
    {"Coolant Off", "CoolantOffButt"},    {"FeedUp", "FeedPButt"},
    {"FeedDown", "FeedMButt"},            {"SpeedUp", "SpeedPButt"},
    {"SpeedDown", "SpeedMButt"},          {"Co_ords", "CoordButt"},
    {"Z Offset", "SetZOffsetButt"},       {"Turbo", "TurboButt"},
    {"Spindle CW", "SpindleCWButt"},      {"Spindle CCW", "SpindleCCWButt"},
    {"Spindle Stop", "SpindleStopButt"},
};

} // namespace

bool MainButtonOfControl(const std::string &Control, TMainButton &Which)
{
    static const std::pair<const char *, TMainButton> buttons[] = {
        {"startbutton", TMainButton::Start},       {"pauseButton", TMainButton::Pause},
        {"stopbutton", TMainButton::Stop},         {"rewindbutton", TMainButton::Rewind},
        {"progCont", TMainButton::SingleBlock},    {"skipBlock", TMainButton::BlockSkip},
        {"sim2d_output", TMainButton::Output2D},   {"sim3d_output", TMainButton::Output3D},
        {"Comp_output", TMainButton::Compiled},    {"Post_output", TMainButton::PostOutput},
        {"VR_Output", TMainButton::VROutput},      {"Mach_output", TMainButton::MachineOutput},
        {"FileM", TMainButton::File},              {"level2mm", TMainButton::Units},
        {"mat_offset", TMainButton::Offsets},      {"Tooling_but", TMainButton::Tooling},
        {"ToolLib_but", TMainButton::ToolLibrary},
    };
    for (const auto &b : buttons)
        if (Control == b.first) {
            Which = b.second;
            return true;
        }
    return false;
}

bool ResolveInFolder(const std::string &Folder, const std::string &Name, std::string &Resolved)
{
    namespace fs = std::filesystem;
    Resolved.clear();
    std::error_code ec;
    if (Trim(Name).empty())
        return false;
    const fs::path folder = fs::canonical(NormalisePath(Folder), ec);
    if (ec)
        return false;
    const fs::path name = NormalisePath(Name);
    const fs::path real = fs::canonical(name.is_absolute() ? name : folder / name, ec);
    if (ec || !fs::is_regular_file(real, ec))
        return false;
    const fs::path inside = real.lexically_relative(folder);
    if (inside.empty() || *inside.begin() == "..")
        return false;
    Resolved = real.string();
    return true;
}

TRemoteInputs::TRemoteInputs(TRemoteWindow &Window)
    : FWindow(Window), FAlive(std::make_shared<int>(0))
{
    RS232InputDialog.OnReceiveData = [this](TObject *Sender, const uint8_t *Data, int Count) {
        RS232InputDialogReceiveData(Sender, Data, Count);
    };
}

TRemoteInputs::~TRemoteInputs()
{
    RS232InputDialog.Disconnect();
    FCopyData.Close();
}

// Work a request starts runs from the event loop, not inside the handler
// of the port or socket that brought it: a run or a modal box there would
// leave that channel unserved until it ended. Messages posted by inputs
// that are gone by then do nothing.
void TRemoteInputs::Post(std::function<void()> Work)
{
    std::weak_ptr<int> alive = FAlive;
    EventLoop().Post([alive, Work = std::move(Work)] {
        if (alive.lock())
            Work();
    });
}

bool TRemoteInputs::RunActive() const
{
    const TBaseForm *engine = FWindow.Engine();
    return FStartPending || (engine && engine->RunState() != csStopped);
}

void TRemoteInputs::PostStart()
{
    FStartPending = true;
    Post([this] {
        FStartPending = false;
        FWindow.PressButton(TMainButton::Start);
    });
}

// --- CIM RS232 command line ---

bool TRemoteInputs::CimReply(const char *Text) { return RS232InputDialog.SendString(Text); }

void TRemoteInputs::RS232InputDialogReceiveData(TObject *Sender, const uint8_t *Data, int Count)
{
    TBaseForm *engine = FWindow.Engine();
    if (!engine || !Data || Count <= 0)
        return;
    if (RunActive()) {
        // The rest of the request goes; the output is not flushed, which
        // could throw the reply away before it left.
        RS232InputDialog.FlushBuffers(true, false);
        CimReply("ERROR\r\n");
        return;
    }
    const char *text = reinterpret_cast<const char *>(Data);
    const char *end = std::find_if(text, text + Count, IsLineEnd);
    if (FCimDiscarding) {
        // The rest of an overlong line; its end ends the discarding, and the
        // rest of that block goes with it as after any line end.
        FCimDiscarding = end == text + Count;
        return;
    }
    if (FCimLine.size() + size_t(end - text) > MaxCimLine) {
        CimReply("ERROR\r\n");
        FCimLine.clear();
        FCimDiscarding = end == text + Count;
        return;
    }
    std::string name;
    if (!ParseCimLine(FCimLine, text, Count, std::string(), name))
        return;
    RS232InputDialog.FlushBuffers(true, true);
    CimRequest(name);
}

// EXEC and the start follow a successful open only.
void TRemoteInputs::CimRequest(const std::string &Name)
{
    std::string name = Name;
    if (ExtractFileExt(name).empty())
        name += ".FNC";
    std::string file;
    if (!ResolveInFolder(FncFolder(), name, file)) {
        CimReply("ERROR\r\n");
        Post([name] { ShowMessage(Tr("RS232 cim file not found.") + "\r\n" + name); });
        return;
    }
    if (!FWindow.OpenProgramFile(1, file)) {
        CimReply("ERROR\r\n");
        return;
    }
    if (CimReply("EXEC\r\n"))
        PostStart();
}

bool TRemoteInputs::CheckCIMPortConflict(int MachinePort, int KeplinPort)
{
    const uint8_t cim = uint8_t(RS232InputDialog.ComPort() + 1);
    std::string text;
    if (cim == uint8_t(MachinePort))
        text = Tr("The com port selected for CIM RS232 Input is already in use by the milling "
                  "machine.");
    else if (cim == uint8_t(KeplinPort))
        text = Tr("The com port selected for CIM RS232 Input is already in use by the keplin "
                  "key pad.");
    if (text.empty())
        return true;
    text += "\r" + Tr("Please select a different com port before using CIM RS232 Input.");
    MessageDlg(Tr("Com Port Configuration Error"), text, mtWarning, mbOK);
    return false;
}

void TRemoteInputs::OpenCimPort()
{
    const TRead_Machinedata_file &m = *FWindow.Engine()->MachineData();
    RS232InputDialog.ini_name = MainIniPath();
    RS232InputDialog.LoadSettings();
    if (CheckCIMPortConflict(m.Communications.ComPort, m.InputDevices.ComPort))
        RS232InputDialog.Connect();
}

void TRemoteInputs::CIMRS232Settings1Click()
{
    TBaseForm *engine = FWindow.Engine();
    if (!engine)
        return;
    RS232InputDialog.ini_name = MainIniPath();
    RS232InputDialog.ShowSettingsDialog();
    const TRead_Machinedata_file &m = *engine->MachineData();
    if (CheckCIMPortConflict(m.Communications.ComPort, m.InputDevices.ComPort) &&
        !RS232InputDialog.Connect())
        MessageDlg(Tr("CIM RS232"), Tr("Unable to connect to CIM RS232"), mtError, mbOK);
}

// --- Copy-data requests ---

bool TRemoteInputs::ListenCopyData(std::string &Error, int PollingDelay)
{
    FCopyData.OnConnect = [this](int Connection) { FRequests[Connection]; };
    FCopyData.OnData = [this](int Connection, const uint8_t *Data, size_t Count) {
        CopyDataReceived(Connection, Data, Count);
    };
    // A request cut short by its sender is answered 0.
    FCopyData.OnDisconnect = [this](int Connection) {
        if (FRequests.count(Connection))
            AnswerCopyData(Connection, false);
    };
    // So is one that does not come whole in time, or one over the cap.
    FCopyData.OnTimeOut = FCopyData.OnDisconnect;
    FCopyData.BusyReply = std::string(1, '\0');
    return FCopyData.Listen(CopyDataSocket, Error, PollingDelay);
}

void TRemoteInputs::AnswerCopyData(int Connection, bool Opened)
{
    const uint8_t reply = Opened ? 1 : 0;
    FCopyData.Send(Connection, &reply, 1);
    FRequests.erase(Connection);
    FCopyData.CloseConnection(Connection);
}

void TRemoteInputs::CopyDataReceived(int Connection, const uint8_t *Data, size_t Count)
{
    auto it = FRequests.find(Connection);
    if (it == FRequests.end())
        return;
    std::string &bytes = it->second.Bytes;
    bytes.append(reinterpret_cast<const char *>(Data), Count);
    if (bytes.size() < CopyDataHeader)
        return;
    const uint32_t identifier = U32At(bytes, 0);
    const uint32_t length = U32At(bytes, 4);
    if (length > MaxCopyData || bytes.size() > CopyDataHeader + length)
        return AnswerCopyData(Connection, false); // oversized, or more than it declared
    if (bytes.size() < CopyDataHeader + length)
        return;
    const std::string text = bytes.substr(CopyDataHeader, length);
    AnswerCopyData(Connection, WMCopyData(identifier, text));
}

bool TRemoteInputs::WMCopyData(uint32_t Identifier, const std::string &Data)
{
    // A program opened between a request's start and its run would be run
    // in its place.
    if (Identifier != CopyDataIdentifier || FStartPending)
        return false;
    const std::string text = Data.substr(0, Data.find('\0'));
    if (text.size() <= 3)
        return false; // the three characters skipped leave no name
    std::string file;
    if (!ResolveInFolder(FncFolder(), text.substr(3), file))
        return false;
    return FWindow.OpenProgramFile(0, file);
}

// --- DDE ---

TDDEServer *TRemoteInputs::DDEServer() const { return FDDEMan ? &FDDEMan->Server() : nullptr; }

void TRemoteInputs::DDESend(const std::string &Text)
{
    if (FDDEMan)
        FDDEMan->Server().Send_data_out(Text);
}

// The open or the rewind may have ended the busy state already (the engine
// sends the same text then): it is sent once.
void TRemoteInputs::DDEIdle(Tdevice_type &Device)
{
    if (Device.State == 1)
        return;
    DDESend(DDEIdleText(Device));
    Device.State = 1;
}

void TRemoteInputs::RegisterDDE(bool On)
{
    TBaseForm *engine = FWindow.Engine();
    if (!engine)
        return;
    if (!On) {
        DDESend("NOT CONNECTED");
        engine->DDEDevice.State = 2;
        engine->OnDDESend = nullptr;
        if (FDDEMan && OnDDEServerFreed)
            OnDDEServerFreed();
        FDDEMan.reset();
        return;
    }
    if (!FDDEMan)
        FDDEMan = std::make_unique<TDDEMan>();
    TDDEServer &server = FDDEMan->Server();
    server.StatusText = "IDLE ";
    if (!server.Register_Server(3, "miller", "data", "status", false)) {
        engine->DDEDevice.State = 2; // "NOT CONNECTED": nothing reaches a client
        engine->OnDDESend = nullptr;
        return;
    }
    server.OnPoke = [this](int ServerId, const std::string &Text) {
        Post([this, ServerId, Text] { DDECommand(ServerId, Text); });
    };
    engine->OnDDESend = [this](const std::string &Text) { DDESend(Text); };
    DDESend("CONNECTED");
    DDESend("IDLE ");
    engine->DDEDevice.State = 1;
}

void TRemoteInputs::ShowDDEServer()
{
    if (!FDDEMan)
        FDDEMan = std::make_unique<TDDEMan>();
    FDDEMan->Server().Visible = true;
    if (OnShowDDEServer)
        OnShowDDEServer(FDDEMan->Server());
}

bool TRemoteInputs::DDEMCode(int Code)
{
    TBaseForm *engine = FWindow.Engine();
    if (engine->Machine()) {
        engine->Machine()->ExecuteMCode(Code);
        return true;
    }
    MessageDlg(Tr("DDE Input Error"),
               Tr("Machine not ready, unable to carry out the required M Code (M") +
                   std::to_string(Code) + ").",
               mtError, mbOK);
    DDESend("ERROR ");
    engine->DDEDevice.State = 3;
    return false;
}

void TRemoteInputs::DDELoadFile()
{
    Tdevice_type &d = FWindow.Engine()->DDEDevice;
    std::string file;
    if (!ResolveInFolder(FncFolder(), d.FileName, file)) {
        DDESend(DDEErrorText(d));
        d.State = 3;
        MessageDlg(Tr("DDE File Download Error"), Tr("Unable to find file,") + d.Argument,
                   mtError, mbOK);
        return;
    }
    if (!FWindow.OpenProgramFile(1, file)) {
        DDESend(DDEErrorText(d)); // a run is on, or no source reads it
        d.State = 3;
        return;
    }
    DDEIdle(d);
}

// A command that comes while a run is on gets its error status at once;
// the run's own command state stays, so the run ends with its own texts.
void TRemoteInputs::DDERefuse(const std::string &Text)
{
    Tdevice_type refused = FWindow.Engine()->DDEDevice;
    const std::string reply = ParseDDECommand(refused, Text);
    if (DDECommandAction(refused, reply) == TDDEAction::None)
        return; // no command: the status stays the run's
    DDESend(DDEErrorText(refused));
}

void TRemoteInputs::DDECommand(int ServerId, const std::string &Text)
{
    TBaseForm *engine = FWindow.Engine();
    if (!engine || IsDDEDisconnect(Text))
        return;
    if (RunActive())
        return DDERefuse(Text);
    Tdevice_type &d = engine->DDEDevice;
    const std::string reply = ParseDDECommand(d, Text);
    DDESend(reply);
    auto idle = [&] { DDEIdle(d); };
    switch (DDECommandAction(d, reply)) {
    case TDDEAction::None: return;
    case TDDEAction::MCode10:
        if (DDEMCode(10))
            idle();
        return;
    case TDDEAction::MCode11:
        if (DDEMCode(11))
            idle();
        return;
    case TDDEAction::RunProgram:
        if (DDEShouldRunProgram(d) && DDEMCode(39))
            FWindow.PressButton(TMainButton::Start);
        return;
    case TDDEAction::Rewind:
        FWindow.PressButton(TMainButton::Rewind);
        if (DDEMCode(38))
            idle();
        return;
    case TDDEAction::LoadFile: DDELoadFile(); return;
    case TDDEAction::Unknown:
        DDESend("ERROR ");
        d.State = 3;
        return;
    }
}

// --- Keplin console and the machine data ---

void TRemoteInputs::SetupKeplin()
{
    TBaseForm *engine = FWindow.Engine();
    const TRead_Machinedata_file &m = *engine->MachineData();
    if (!FKeplin) {
        FKeplin = std::make_unique<TKeplinDriver>(engine);
        // Presses and keys go through the event loop in the order they came:
        // a Start pressed inside the port's poll would run the program there,
        // and the console could not stop it.
        FKeplin->OnControl = [this](const std::string &Control, bool Press) {
            Post([this, Control, Press] { FWindow.PressControl(Control, Press); });
        };
        FKeplin->OnKey = [this](uint8_t Key, unsigned Shift) {
            Post([this, Key, Shift] { FWindow.SendKey(Key, Shift); });
        };
    }
    // Each machine data gets the table of its own file, empty without one.
    FKeplin->LoadButtonMap(m.InputDevices.KeplinFile);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(FKeplin->FileName(), ec)) {
        FKeplin->ClosePort(); // every button does nothing: the port is let go
        return;
    }
    FKeplin->SettingsFile = MainIniPath();
    FKeplin->OpenPort(m.InputDevices.ComPort);
    for (const TKeplinFunction &f : KeplinFunctions)
        FKeplin->MapControl(f.Control, f.Function);
}

void TRemoteInputs::MachineDataApplied()
{
    TBaseForm *engine = FWindow.Engine();
    if (!engine || !engine->MachineData())
        return;
    SetupKeplin();
    if (engine->MachineData()->InputDevices.CIMRS232Input)
        OpenCimPort();
    if (engine->MachineData()->InputDevices.CIMDDEInput)
        RegisterDDE(true);
}

} // namespace orv
