#pragma once
// The controller probe of Control Types 0 and 6: asks the controller its
// version in a frame or on its command line, searches COM1 to COM8 for
// one, compares the program running with the program file and loads the
// file over the command line, sends the start frame and reads the tool in
// the spindle. It shows its progress through a TMintInfoView (one text
// line, a gauge 0 to 100; the "Mint Information" window) and runs in the
// user-interface thread; its waits read the message-driven driver and
// serve the message queue on the event loop's clock.

#include <functional>
#include <memory>
#include <string>

namespace orv {

class TMsgCommPortDriver;
class TRead_Machinedata_file;

class TMintInfoView {
public:
    virtual ~TMintInfoView() = default;
    virtual void SetText(const std::string &Text) = 0;
    virtual void SetGauge(int Percent) = 0;
    virtual void SetVisible(bool Visible) = 0;
};

using TMintInfoViewFactory = std::function<std::unique_ptr<TMintInfoView>()>;
// The window the probe shows; none registered: no window.
void SetMintInfoViewFactory(TMintInfoViewFactory Factory);

constexpr const char *NotConnected = "NOT CONNECTED";

class TGetMintVer {
public:
    explicit TGetMintVer(std::unique_ptr<TMintInfoView> View = nullptr);
    ~TGetMintVer();

    // COM1 to COM8, a framed question and then the command line on each:
    // the first port that answers (its answer in Reply), or -1.
    int FindMachinePort(std::string &Reply);
    // One version question: Reply is the answer (at most 255 characters)
    // or "NOT CONNECTED".
    void QueryVersion(int Port, bool Framed, bool Show, std::string &Reply);
    // Loads FileName over the command line and starts it; false when the
    // file cannot be read, the port does not open or the program's banner
    // does not come after "run".
    bool DownloadProgram(int Port, const std::string &FileName, bool OldFirmware);
    // Compares comms 31 and 32 of the running program with the file and
    // offers a download when they differ. False when the running program
    // does not answer or an accepted download failed (with a message
    // naming the file or port); a missing file is named, nothing is loaded
    // and the running program is kept.
    bool CheckProgramVersion(int Port, const std::string &FileName, bool OldFirmware);
    void SendStartFrame();
    // Comms entry 7 read twice, the second to the nearest integer.
    int ReadCurrentTool();
    // One comms entry through a framed read; -1 without an answer.
    long double ReadComms(int Index);
    // The same, read again when the answer is missing or damaged (three
    // reads in all; a read changes nothing on the controller); -1 then, with
    // a message naming the entry and what came instead.
    long double ReadCommsChecked(int Index);
    // Bytes of text came for the last version question (a damaged answer
    // is worth asking again; silence is not).
    bool VersionTextCame() const { return !FReceived.empty(); }

    // The number of comms(N) in a program file: the first of its sorted
    // lines naming it (any letter case), the first digits after its "=";
    // 0 without file, line, "=" or digits.
    static int FileVersion(const std::string &FileName, int N);
    // Control Type 0 for a version text with "2.0/" or "2.0.", else 6.
    static int ControlTypeOf(const std::string &Version);

    // The settings file of the port map; empty: the main settings file.
    std::string SettingsFile;
    TMsgCommPortDriver &Driver() { return *FDriver; }

private:
    bool OpenPort(int Port);
    void StartTimer(int IntervalMs);
    void Wait();
    bool SendAndWait(const std::string &Text);
    void SendModeFrames();
    void VersionBytes(const uint8_t *Data, unsigned Size);
    void ReplyBytes(const uint8_t *Data, unsigned Size);
    void Show(bool Visible);
    void Display(const std::string &Text);
    void Gauge(int Percent);

    std::unique_ptr<TMsgCommPortDriver> FDriver;
    std::unique_ptr<TMintInfoView> FView;
    int FInterval = 1000;
    long long FDeadline = 0;
    bool FTimerOn = false;
    std::string FReceived, FReply, FTerminator;
    int FTerminatorChar = 0;
    bool FTimedOut = false, FFound = false, FEtxSeen = false;
    int FPort = 0;
};

// Step 2 of connecting a machine of Control Type 0 or 6: the probe on
// [Communications] "Com Port" and "Mint File". Sets ControlType from the
// version, saves a port found by the search, loads a missing or different
// program, sends the start frame and reads InitialTool. False when the
// link cannot connect (the probe has said why).
bool ProbeMintController(TRead_Machinedata_file &MachineData, const std::string &SettingsFile,
                         int &ControlType, std::string &VersionText, int &InitialTool);

} // namespace orv
