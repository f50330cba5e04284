#pragma once
// The machine finder ("Corvane Machine Finder"): asks every serial port of
// the list for the controller's version, reports the port that answered
// and whether the controller program runs ("vn2." in the answer), breaks
// into the controller's command line, loads a Mint program file line by
// line and starts it. The logic of the dialog; its window (links/ui) shows
// it through TMintFindView. User-interface thread; the requests go through
// the TCommThread worker.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TCommThread;
class TTimer;

class TMintFindView {
public:
    virtual ~TMintFindView() = default;
    virtual void SetStatus(const std::string &Text) = 0;
    virtual void SetProgress(int Percent) = 0;
    virtual void SetButtonsEnabled(bool Enabled) = 0;
    virtual void SetFileLabel(const std::string &Text) = 0;
    virtual void SelectPort(int Index) = 0;
    virtual void SetBusyCursor(bool Busy) = 0;
    virtual void Close() = 0;
};

class TMintFindForm {
public:
    // SettingsFile holds the [Serial Ports] map; empty: the main settings.
    explicit TMintFindForm(TMintFindView *View, const std::string &SettingsFile = "");
    ~TMintFindForm();

    // The port list: "COMn" of every [Serial Ports] entry and of every
    // serial device of the system (/dev/ttyS<n-1>), by number.
    static std::vector<std::string> PortList(const std::string &SettingsFile);
    // The number of a list entry: its digits and "-" (the first "." or ","
    // as "."), 0 when none.
    static int PortNumber(const std::string &Item);

    void FormCreate();
    void FormDestroy();
    // With AutomaticSearch, the first paint searches and closes the dialog.
    void FormPaint();
    void FindButtClick();
    void FindMachine();
    void DownloadButtClick();
    // FileName empty: the operator chooses the file.
    void DownloadMint(const std::string &FileName);
    void BreakClick();
    void RunMintButtClick();
    void Quit();

    std::vector<std::string> Ports;
    int FoundPort = -1;
    bool ProgramRunning = false;
    bool AutomaticSearch = false;
    bool FirstPaint = true;
    // The program's first command-line argument; an existing ".mnt" file
    // there is loaded into a controller found not running.
    std::string ArgumentFile;
    TCommThread &Worker() { return *FWorker; }

private:
    void SearchAndReact(const std::string &FileName);
    bool WakeController();
    // Sends Line and LF; with an expected answer waits for it (at most the
    // TimeOut interval). True when the wait timed out.
    bool SendLineWithWait(const std::string &Line);
    void AwaitBreakPrompt();
    void AbortDownload();
    void Pause(int Ms);
    void Progress(int Percent);

    TMintFindView *FView;
    std::string FSettingsFile;
    std::unique_ptr<TCommThread> FWorker;
    std::unique_ptr<TTimer> FDisplayTimer, FTimeOut;
    int FCounter = 0;
    bool FTimedOutFlag = false;
    std::string FExpected;
    int FLinePause = 25;
};

} // namespace orv
