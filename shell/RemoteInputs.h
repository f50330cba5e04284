#pragma once
// The main window's remote inputs: the CIM RS232 command line, copy-data
// requests on a local socket, the DDE server's commands and (with the
// machine data) the Keplin console. They open programs and press the run
// buttons through TRemoteWindow, so the same rules bind them as the
// operator; remote file names are confined to the "FNC Folder".
//
// Copy-data request on the socket "tarnwick.copydata": u32 identifier,
// u32 length (both little-endian), then that many bytes of text; the reply
// is one byte, 1 when the file was opened, else 0, and the connection ends.
//
// No handler of a port or socket runs a program or a modal box itself: the
// Start, the DDE commands, the console's presses and the boxes are posted
// to the event loop, so every channel is still served during a run, and a
// request a run refuses is answered at once.

#include "engine/chain/EngineHost.h"
#include "engine/core/data_types.h"
#include "links/ComDrv32_Visual.h"
#include "platform/LocalSocket.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace orv {

class TBaseForm;
class TDDEMan;
class TDDEServer;
class TKeplinDriver;
class TObject;

// The main window as the remote inputs see it.
class TRemoteWindow {
public:
    virtual ~TRemoteWindow() = default;
    virtual TBaseForm *Engine() const = 0;
    // Opens a program in the current source (ProgramOpener.h); false when
    // nothing was opened (a run is on, the source cannot read it).
    virtual bool OpenProgramFile(int Mode, std::string &FileName) = 0;
    // Clicks a main-window button as the operator would.
    virtual void PressButton(TMainButton Which) = 0;
    // The Keplin console: a mouse press (Press) or release on the control
    // of that name ("startbutton", "HomeAllButt" ...), and a key press with
    // modifiers (virtual-key code; ksShift, ksAlt, ksCtrl) to the focus.
    virtual void PressControl(const std::string &Control, bool Press) = 0;
    virtual void SendKey(uint8_t Key, unsigned Shift) = 0;
};

// The main-window button a control name stands for; false for the hidden
// command buttons and names of no button.
bool MainButtonOfControl(const std::string &Control, TMainButton &Which);

// Name resolved inside Folder: a relative name lies in Folder, an absolute
// one must too; links are followed. False (Resolved empty) when it is no
// regular file there or leads outside Folder.
bool ResolveInFolder(const std::string &Folder, const std::string &Name, std::string &Resolved);

class TRemoteInputs {
public:
    static constexpr uint32_t CopyDataIdentifier = 231166;
    static constexpr size_t MaxCopyData = 4096; // bytes of a request's text
    static constexpr size_t MaxCimLine = 1024;  // characters before a line end
    static constexpr const char *CopyDataSocket = "tarnwick.copydata";

    explicit TRemoteInputs(TRemoteWindow &Window);
    ~TRemoteInputs();
    TRemoteInputs(const TRemoteInputs &) = delete;
    TRemoteInputs &operator=(const TRemoteInputs &) = delete;

    // --- CIM RS232 command line ---
    TCommPortDriverVisual RS232InputDialog;
    // Each received block: "ERROR" CR LF while a run is not stopped (or a
    // remote Start waits to run); a "$$MACHINE FROM name" line opens the
    // name (".FNC" added without an extension) from the "FNC Folder",
    // answers "EXEC" CR LF and posts the Start click; a name that is
    // missing, outside the folder or fails to open answers "ERROR" CR LF
    // ("RS232 cim file not found." for the first two, posted).
    // A line over MaxCimLine characters answers "ERROR" CR LF and is dropped
    // up to its end.
    void RS232InputDialogReceiveData(TObject *Sender, const uint8_t *Data, int Count);
    // False, with "Com Port Configuration Error", when the CIM port (1-based)
    // is the machine's or the Keplin console's port.
    bool CheckCIMPortConflict(int MachinePort, int KeplinPort);
    // Set&up > "CIM RS232 Input Settings...".
    void CIMRS232Settings1Click();

    // --- Copy-data requests ---
    // Listens on CopyDataSocket; false with Error when it cannot.
    bool ListenCopyData(std::string &Error, int PollingDelay = 20);
    const std::string &CopyDataPath() const { return FCopyData.Path(); }
    const TLocalServer &CopyDataServer() const { return FCopyData; }
    void PollCopyData() { FCopyData.Poll(); }
    // One request: true (reply 1) only when the identifier is 231166, the
    // text (up to its first zero, within Data) has more than three
    // characters and the name after them was opened from the "FNC Folder"
    // (never while a remote Start waits to run). At most 64 connections are
    // held (one more is answered 0 and closed); a request that has not come
    // whole 10 s after its connection is answered 0 and closed.
    bool WMCopyData(uint32_t Identifier, const std::string &Data);

    // --- DDE ---
    // On: makes the manager and server, registers "miller"/"data"/"status"
    // as server 3 (hidden; again: its conversations stay), binds the pokes
    // to DDECommand (posted), sends "CONNECTED" and "IDLE ". A registration that fails leaves DDE off ("NOT
    // CONNECTED", State 2). Off: "NOT CONNECTED", State 2, the manager freed.
    void RegisterDDE(bool On);
    // Set&up > View > "DDE Connection...": the server window.
    void ShowDDEServer();
    // A poked command (see EngineRequests.h for the texts and codes). While
    // a run is on (or a remote Start waits) every command is refused with
    // "ERROR " and its code and argument, and the run's state stays.
    void DDECommand(int ServerId, const std::string &Text);
    TDDEServer *DDEServer() const;

    // --- Keplin console ---
    TKeplinDriver *Keplin() const { return FKeplin.get(); }

    // The machine data was applied: the CIM port opened when "CIM RS232
    // Input" is on (and does not clash), DDE registered when "CIM DDE
    // Input" is on, the Keplin console's table read afresh from its file
    // and its port opened (without the file: an empty table, the port shut).
    void MachineDataApplied();

    // The window that shows the server (set by the window layer).
    std::function<void(TDDEServer &Server)> OnShowDDEServer;
    // The server is about to be freed (its window goes first).
    std::function<void()> OnDDEServerFreed;

private:
    struct TCopyDataRequest {
        std::string Bytes;
        bool Answered = false;
    };
    void Post(std::function<void()> Work);
    // A run is on, or a remote Start is posted and has not run yet.
    bool RunActive() const;
    void PostStart();
    void DDERefuse(const std::string &Text);
    void CimRequest(const std::string &Name);
    bool CimReply(const char *Text);
    bool DDEMCode(int Code);
    void DDESend(const std::string &Text);
    void DDEIdle(Tdevice_type &Device);
    void DDELoadFile();
    void CopyDataReceived(int Connection, const uint8_t *Data, size_t Count);
    void AnswerCopyData(int Connection, bool Opened);
    void OpenCimPort();
    void SetupKeplin();

    TRemoteWindow &FWindow;
    std::string FCimLine;
    bool FCimDiscarding = false; // an overlong line is dropped up to its end
    TLocalServer FCopyData;
    std::map<int, TCopyDataRequest> FRequests;
    std::unique_ptr<TDDEMan> FDDEMan;
    std::unique_ptr<TKeplinDriver> FKeplin;
    bool FStartPending = false;
    std::shared_ptr<int> FAlive; // posted work runs only while this lives
};

} // namespace orv
