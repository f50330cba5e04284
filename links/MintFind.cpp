#include "links/MintFind.h"

#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "links/CommThread.h"
#include "links/LowLevel.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"
#include "platform/SerialPort.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

namespace {

// Bytes sent per percent of the progress bar; learnt from each download
// for the rest of the program's life.
int gProgressDivisor = 75;

const std::string CrLf = "\r\n";

std::string EnqCrLf() {
    return std::string(1, char(frames::ENQ)) + CrLf;
}

bool IsLoadLine(const std::string &Line) {
    return Line.find("LOAD") != std::string::npos || Line.find("load") != std::string::npos ||
           Line.find("Load") != std::string::npos;
}

bool IsMintFile(const std::string &FileName) {
    return !FileName.empty() && SameText(ExtractFileExt(FileName), ".mnt") && FileExists(FileName);
}

// A line of the file: bytes up to LF or a zero byte, those below 32
// dropped; false at the end of the file with nothing read.
bool NextLine(std::istream &In, std::string &Line) {
    Line.clear();
    bool any = false;
    char c;
    while (In.get(c)) {
        any = true;
        if (c == '\n' || c == '\0')
            return true;
        if (uint8_t(c) >= 32)
            Line += c;
    }
    return any;
}

} // namespace

TMintFindForm::TMintFindForm(TMintFindView *View, const std::string &SettingsFile)
    : FView(View), FSettingsFile(SettingsFile), FDisplayTimer(std::make_unique<TTimer>()),
      FTimeOut(std::make_unique<TTimer>()) {
    FDisplayTimer->SetInterval(50);
    FDisplayTimer->OnTimer = [this] { FCounter += 6; };
    FTimeOut->SetInterval(1000);
    FTimeOut->OnTimer = [this] {
        FTimeOut->SetEnabled(false);
        FTimedOutFlag = true;
    };
}

TMintFindForm::~TMintFindForm() {
    FormDestroy();
}

std::vector<std::string> TMintFindForm::PortList(const std::string &SettingsFile) {
    std::map<int, std::string> ports;
    std::string settings = SettingsFile.empty() ? NetUtil().MainIniFileName() : SettingsFile;
    for (const std::string &key : TIniFile(settings).ReadSection("Serial Ports")) {
        int n = PortNumber(key);
        if (n > 0 && SameText(key.substr(0, 3), "COM"))
            ports[n] = "COM" + IntToStr(n);
    }
    for (const std::string &device : SerialDevices()) {
        const std::string prefix = "/dev/ttyS";
        int32_t n = -1;
        if (device.rfind(prefix, 0) == 0 && TryStrToInt(device.substr(prefix.size()), n) && n >= 0)
            ports[n + 1] = "COM" + IntToStr(n + 1);
    }
    std::vector<std::string> list;
    for (const auto &p : ports)
        list.push_back(p.second);
    return list;
}

int TMintFindForm::PortNumber(const std::string &Item) {
    std::string digits;
    bool point = false;
    for (char c : Item) {
        if (std::isdigit(uint8_t(c)) || c == '-')
            digits += c;
        else if ((c == '.' || c == ',') && !point) {
            digits += '.';
            point = true;
        }
    }
    if (digits.empty())
        return 0;
    double v = 0;
    return TryStrToFloat(digits, v) ? int(v) : 0;
}

void TMintFindForm::Progress(int Percent) {
    if (FView)
        FView->SetProgress(std::clamp(Percent, 0, 100));
}

void TMintFindForm::Pause(int Ms) {
    DelayMs(Ms);
}

// ---------------------------------------------------------------- life

void TMintFindForm::FormCreate() {
    FoundPort = -1;
    ProgramRunning = false;
    FirstPaint = true;
    Ports = PortList(FSettingsFile);
    if (FView && !Ports.empty())
        FView->SelectPort(0);
    FWorker = std::make_unique<TCommThread>();
    FWorker->SettingsFile = FSettingsFile;
    FWorker->OnNotify = [](TCommThread *) {};
    FWorker->CloseLink();
    FWorker->OpenLink(1, 19200);
    FWorker->CloseLink();
    FWorker->ClearError();
}

void TMintFindForm::FormDestroy() {
    FDisplayTimer->SetEnabled(false);
    FTimeOut->SetEnabled(false);
    FWorker.reset();
}

void TMintFindForm::FormPaint() {
    if (!AutomaticSearch || !FirstPaint)
        return;
    FirstPaint = false;
    FindButtClick();
    Quit();
}

void TMintFindForm::Quit() {
    if (FWorker)
        FWorker->CloseLink();
    if (FView)
        FView->Close();
}

// ---------------------------------------------------------------- search

void TMintFindForm::FindButtClick() {
    if (FView)
        FView->SetButtonsEnabled(false);
    SearchAndReact(ArgumentFile);
    if (FView)
        FView->SetButtonsEnabled(true);
}

// A controller found not running gets the program file given on the
// command line only when that is an existing Mint file; otherwise the
// operator is asked and chooses the file.
void TMintFindForm::SearchAndReact(const std::string &FileName) {
    FWorker->SetFailedPort(-1);
    FoundPort = -1;
    ProgramRunning = false;
    FindMachine();
    if (FoundPort < 0) {
        std::string text = Tr("Machine not found !");
        if (FWorker->FailedPort() >= 0)
            text += CrLf + "Com" + IntToStr(FWorker->FailedPort()) +
                    Tr(": maybe in use by another application");
        MessageDlg("", text, mtInformation, mbOK);
        return;
    }
    if (ProgramRunning)
        return;
    if (IsMintFile(FileName)) {
        DownloadMint(FileName);
        return;
    }
    if (MessageDlg("", Tr("Machine found but not running - download Mint file now ?"), mtConfirmation,
                   mbYesNo) == mrYes)
        DownloadMint("");
}

void TMintFindForm::FindMachine() {
    FDisplayTimer->SetEnabled(true);
    for (size_t i = 0; i < Ports.size() && FoundPort < 0; ++i) {
        int port = PortNumber(Ports[i]);
        if (FView)
            FView->SetStatus("Searching for machine... Com" + IntToStr(port) + ":");
        FCounter = 0;
        FWorker->ChangePort(port);
        FWorker->ClearReply();
        if (FWorker->ErrorCode() == 0)
            FWorker->ReadRequest(6, "VN", "");
        while (FWorker->Reply().empty() && FWorker->ErrorCode() == 0 && FCounter < 100) {
            EventLoop().ProcessMessages();
            Progress(FCounter);
        }
        if (FWorker->ErrorCode() != 0 || FWorker->Reply().empty()) {
            FWorker->ClearError();
            continue;
        }
        FoundPort = port;
        if (FView) {
            FView->SetStatus("Found machine on Com" + IntToStr(port) + ":");
            FView->SelectPort(int(i));
        }
        Pause(300);
        ProgramRunning = FWorker->Reply().find("vn2.") != std::string::npos;
        FDisplayTimer->SetEnabled(false);
    }
    FDisplayTimer->SetEnabled(false);
    Progress(0);
}

// ---------------------------------------------------------------- commands

// ENQ CR LF to a controller found, then 50 ms; false without one.
bool TMintFindForm::WakeController() {
    if (FoundPort < 0) {
        MessageDlg("", Tr("Find Machine first !"), mtInformation, mbOK);
        return false;
    }
    FWorker->ClearReply();
    FWorker->ClearError();
    FWorker->RawRequest(EnqCrLf());
    Pause(50);
    return true;
}

void TMintFindForm::BreakClick() {
    if (!WakeController())
        return;
    FWorker->CommandRequest(0, "M3", "0,0,0");
    Pause(50);
    FWorker->RawRequest(EnqCrLf());
    Pause(50);
}

void TMintFindForm::RunMintButtClick() {
    if (WakeController())
        FWorker->RawRequest("run" + CrLf);
}

void TMintFindForm::DownloadButtClick() {
    if (FView)
        FView->SetButtonsEnabled(false);
    if (FoundPort < 0)
        FindMachine();
    if (FoundPort >= 0) {
        BreakClick();
        DownloadMint("");
    }
    if (FView)
        FView->SetButtonsEnabled(true);
}

// The break leaves the controller at its command line, which answers the
// break's last ENQ CR LF with a prompt. The file's first line goes out only
// once that prompt is in (or the line time-out has passed: a silent
// controller then fails at that line): a prompt that came later would
// answer the first line, which the controller may never have taken.
void TMintFindForm::AwaitBreakPrompt() {
    FTimedOutFlag = false;
    FTimeOut->SetEnabled(false);
    FTimeOut->SetEnabled(true);
    while (FWorker->Reply().find('>') == std::string::npos && !FTimedOutFlag)
        EventLoop().ProcessMessages();
    FTimeOut->SetEnabled(false);
    FTimedOutFlag = false;
    FWorker->ClearReply();
}

bool TMintFindForm::SendLineWithWait(const std::string &Line) {
    Pause(FExpected.empty() ? 1 : FLinePause);
    FTimedOutFlag = false;
    FTimeOut->SetEnabled(false);
    FTimeOut->SetEnabled(true);
    // A prompt that came after the last line was done with answers that
    // line, not this one.
    FWorker->ClearReply();
    FWorker->RawRequest(Line + "\n");
    if (!FExpected.empty())
        while (FWorker->Reply().find(FExpected) == std::string::npos && !FTimedOutFlag)
            EventLoop().ProcessMessages();
    FTimeOut->SetEnabled(false);
    Pause(1);
    bool timedOut = FTimedOutFlag;
    FWorker->ClearReply();
    return timedOut;
}

void TMintFindForm::AbortDownload() {
    if (FView)
        FView->SetBusyCursor(false);
    MessageDlg("", Tr("Download of Mint file failed"), mtError, mbOK);
    FWorker->CloseLink();
    if (FView) {
        FView->SetStatus("");
        FView->SetButtonsEnabled(true);
    }
}

void TMintFindForm::DownloadMint(const std::string &Given) {
    if (FView) {
        FView->SetBusyCursor(true);
        FView->SetButtonsEnabled(false);
        FView->SetStatus(Tr("Downloading Mint file to Com") + IntToStr(FoundPort) + ": . . .");
    }
    FTimedOutFlag = false;
    FLinePause = 25;
    BreakClick();
    std::string fileName = Given;
    if (fileName.empty()) {
        TFileRequest r;
        r.Filter = Tr("Mint Files (*.mnt)|*.mnt|All Files (*.*)|*.*");
        fileName = Messages().ChooseFile(r).value_or("");
    }
    auto finish = [this] {
        if (FView) {
            FView->SetBusyCursor(false);
            FView->SetButtonsEnabled(true);
            FView->SetStatus("");
        }
        Progress(0);
    };
    std::ifstream in(fileName, std::ios::binary);
    if (fileName.empty() || !in) {
        MessageDlg("", Tr("File read error"), mtError, mbOK);
        finish();
        return;
    }
    if (FView)
        FView->SetFileLabel(fileName);
    FExpected = ">";
    AwaitBreakPrompt();
    long long sent = 0;
    std::string line;
    while (NextLine(in, line)) {
        Progress(int(sent / std::max(1, gProgressDivisor)));
        bool timedOut = false;
        if (!line.empty() && line[0] == '|') {
            FExpected = ">";
            timedOut = SendLineWithWait(std::string(1, char(frames::CtrlZ)));
        } else if (!line.empty() && !IsLoadLine(line)) {
            timedOut = SendLineWithWait(line);
            sent += (long long)line.size();
        } else if (!line.empty()) {
            FExpected = "LOAD";
            timedOut = SendLineWithWait(line);
            FExpected.clear();
            sent += (long long)line.size();
        }
        if (timedOut) {
            AbortDownload();
            return;
        }
    }
    if (FExpected != ">") {
        FExpected = ">";
        if (SendLineWithWait(std::string(1, char(frames::CtrlZ)))) {
            AbortDownload();
            return;
        }
    }
    Progress(100);
    Pause(600);
    FWorker->RawRequest("run" + CrLf);
    Pause(1000);
    gProgressDivisor = int(sent / 100);
    finish();
}

} // namespace orv
