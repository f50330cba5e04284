#include "links/GetMintVersion.h"

#include "engine/core/Mess.h"
#include "links/LowLevel.h"
#include "links/MachLink.h"
#include "links/MsgDrv.h"
#include "links/ReplyLimit.h"
#include "links/StdMint.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <vector>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

namespace {

TMintInfoViewFactory &ViewFactory() {
    static TMintInfoViewFactory factory;
    return factory;
}

bool IsTextByte(uint8_t B) {
    return B >= 14 && B <= 132;
}

bool IsLoadLine(const std::string &Line) {
    return Line.find("LOAD") != std::string::npos || Line.find("load") != std::string::npos ||
           Line.find("Load") != std::string::npos;
}

const std::string CtrlZ(1, char(frames::CtrlZ));

} // namespace

void SetMintInfoViewFactory(TMintInfoViewFactory Factory) {
    ViewFactory() = std::move(Factory);
}

TGetMintVer::TGetMintVer(std::unique_ptr<TMintInfoView> View)
    : FDriver(std::make_unique<TMsgCommPortDriver>()), FView(std::move(View)) {
    if (!FView && ViewFactory())
        FView = ViewFactory()();
}

TGetMintVer::~TGetMintVer() {
    FDriver->Disconnect();
}

void TGetMintVer::Show(bool Visible) {
    if (FView)
        FView->SetVisible(Visible);
}
void TGetMintVer::Display(const std::string &Text) {
    if (FView)
        FView->SetText(Text);
}
void TGetMintVer::Gauge(int Percent) {
    if (FView)
        FView->SetGauge(std::clamp(Percent, 0, 100));
}

// ---------------------------------------------------------------- port

bool TGetMintVer::OpenPort(int Port) {
    TMsgCommPortDriver &d = *FDriver;
    d.Disconnect();
    FPort = Port;
    d.SettingsFile = SettingsFile;
    if (Port >= 1 && Port <= 16)
        d.SetPort(msgdrv::TPortNumber(Port));
    else
        d.SetPortName("COM" + IntToStr(Port));
    d.SetHwFlow(hfNONE);
    d.SetDataBits(db8BITS);
    d.SetParity(ptNONE);
    d.SetBaudRate(msgdrv::br19200);
    d.SetStopBits(sb2BITS);
    d.SetInBufSize(128);
    d.SetOutBufSize(128);
    d.SetPollingDelay(0);
    d.OnReceiveData = [this](TObject *, const uint8_t *Data, unsigned Size) {
        VersionBytes(Data, Size);
    };
    if (!d.Connect())
        return false;
    d.FlushBuffers(true, true);
    return true;
}

// ---------------------------------------------------------------- waits

void TGetMintVer::StartTimer(int IntervalMs) {
    FInterval = IntervalMs;
    FTimedOut = false;
    FTimerOn = true;
    FDeadline = EventLoop().NowMs() + IntervalMs;
}

// Reads the driver and serves the queue until the answer or the timer.
void TGetMintVer::Wait() {
    while (!FTimedOut && !FFound) {
        FDriver->Poll();
        if (FFound)
            break;
        EventLoop().WaitMessages(1);
        if (FTimerOn && EventLoop().NowMs() >= FDeadline)
            FTimedOut = true;
    }
    FTimerOn = false;
    FTimedOut = false;
}

bool TGetMintVer::SendAndWait(const std::string &Text) {
    StartTimer(FInterval);
    FFound = false;
    FReply.clear();
    FDriver->SendString(Text);
    Wait();
    return FFound;
}

// A framed answer ends at its ETX: the check byte after it is no text,
// even a printable one ("vn2.0" and the check "." would read as 2.0.).
void TGetMintVer::VersionBytes(const uint8_t *Data, unsigned Size) {
    for (unsigned i = 0; i < Size && !FEtxSeen; ++i) {
        uint8_t b = Data[i];
        if (IsTextByte(b))
            FReceived += char(b);
        if (b == frames::ETX)
            FFound = FEtxSeen = true;
        if (b == '\n' && UpperCase(FReceived).find("MINT") != std::string::npos)
            FFound = true;
    }
    KeepReplyTail(FReceived);
    Display(FReceived);
}

void TGetMintVer::ReplyBytes(const uint8_t *Data, unsigned Size) {
    for (unsigned i = 0; i < Size && !FFound; ++i) {
        uint8_t b = Data[i];
        if (IsTextByte(b))
            FReply += char(b);
        if ((b == '\n' && FTerminator.empty() && FTerminatorChar != 0) ||
            (!FTerminator.empty() && FReply.find(FTerminator) != std::string::npos) ||
            (b >= 128 && FTerminatorChar != 0) || (FTerminatorChar != 0 && b == FTerminatorChar))
            FFound = true;
        // The terminator is looked for in the newest bytes only.
        TrimReplyTail(FReply);
    }
    KeepReplyTail(FReply);
}

// ---------------------------------------------------------------- version

void TGetMintVer::QueryVersion(int Port, bool Framed, bool ShowIt, std::string &Reply) {
    if (ShowIt)
        Show(true);
    Display(Tr("Locating Mint On COM:") + IntToStr(Port) + " . . .");
    DelayMs(100);
    Reply.clear();
    FReceived.clear();
    FTimedOut = FFound = FEtxSeen = false;
    Gauge(0);
    if (OpenPort(Port)) {
        StartTimer(1000);
        if (Framed) {
            Gauge(33);
            FDriver->SendString(frames::ReadFrame("VN", 6, ""));
        } else {
            Gauge(66);
            FDriver->SendString("ver\r\n");
        }
        Wait();
    }
    if (!FFound) {
        Reply = NotConnected;
        return;
    }
    Gauge(100);
    Reply = FReceived.substr(0, 255);
    Display(Tr("Found Mint On COM:") + IntToStr(Port));
    if (ShowIt)
        DelayMs(800);
}

int TGetMintVer::FindMachinePort(std::string &Reply) {
    Show(true);
    for (int n = 1; n <= 8; ++n) {
        Display(Tr("Trying M/C on Comm:") + IntToStr(n));
        QueryVersion(n, true, false, Reply);
        if (Reply == NotConnected)
            QueryVersion(n, false, false, Reply);
        if (Reply != NotConnected)
            return n;
    }
    return -1;
}

int TGetMintVer::ControlTypeOf(const std::string &Version) {
    std::string v = UpperCase(Version);
    return v.find("2.0/") != std::string::npos || v.find("2.0.") != std::string::npos ? 0 : 6;
}

// ---------------------------------------------------------------- comms

// The reply is STX text ETX and its check byte (status bytes, bit 7 set,
// may come between them and are no part of it). A reply whose check byte
// does not match its text, or whose text is no number, gives -1: a byte
// changed on the line would otherwise read as another version.
long double TGetMintVer::ReadComms(int Index) {
    std::string raw;
    FDriver->OnReceiveData = [this, &raw](TObject *, const uint8_t *Data, unsigned Size) {
        for (unsigned i = 0; i < Size && !FFound; ++i) {
            if (Data[i] & 0x80)
                continue;
            raw += char(Data[i]);
            size_t etx = raw.find(char(frames::ETX));
            FFound = etx != std::string::npos && raw.size() > etx + 1;
        }
        KeepReplyTail(raw);
    };
    FTerminator.clear();
    FTerminatorChar = frames::ETX;
    FDriver->FlushBuffers(true, false);
    bool found = SendAndWait(frames::ReadFrame("MB", 6, IntToStr(Index)));
    // Later waits (the start frame's) keep the reply collector, as before.
    FDriver->OnReceiveData = [this](TObject *, const uint8_t *Data, unsigned Size) {
        ReplyBytes(Data, Size);
    };
    size_t stx = raw.find(char(frames::STX));
    FReply = stx == std::string::npos ? raw : raw.substr(stx + 1);
    if (!found || stx == std::string::npos)
        return -1;
    std::string text = FReply.substr(0, FReply.find(char(frames::ETX)));
    char check = FReply.back();
    double value = 0;
    if (frames::Check(text + char(frames::ETX)) != uint8_t(check) || text.rfind("mb", 0) != 0 ||
        !TryStrToFloat(text.substr(2), value))
        return -1;
    return value;
}

long double TGetMintVer::ReadCommsChecked(int Index) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        long double value = ReadComms(Index);
        if (value != -1)
            return value;
        EventLoop().ProcessMessages();
    }
    MessageDlg("",
               Tr("The controller gave no good answer to the read of comms ") + IntToStr(Index) +
                   Tr(" in 3 reads (") +
                   (FReply.empty() ? Tr("nothing came")
                                   : Tr("the last: ") + frames::Printable(FReply)) +
                   Tr("); the connection failed."),
               mtError, mbOK);
    return -1;
}

int TGetMintVer::ReadCurrentTool() {
    ReadComms(7);
    return int(std::lround(double(ReadComms(7))));
}

void TGetMintVer::SendStartFrame() {
    FFound = false;
    StartTimer(1000);
    FTerminator.clear();
    FDriver->SendString(frames::WriteFrame("M3", 1, "2"));
    Wait();
}

// ---------------------------------------------------------------- download

// Both kinds of chip take one of the two forms of the mode frame.
void TGetMintVer::SendModeFrames() {
    FTerminator.clear();
    FTerminatorChar = 0;
    const std::string enq(1, char(frames::ENQ));
    std::string lengthForm;
    lengthForm += char(frames::EOT);
    lengthForm += "M31";
    lengthForm += char(34);
    lengthForm += "0";
    lengthForm += char(frames::ETX);
    lengthForm += char(frames::Check(lengthForm));
    for (const std::string &text : {frames::WriteFrame("M3", 1, "0"), enq, lengthForm, enq})
        SendAndWait(text);
}

bool TGetMintVer::DownloadProgram(int Port, const std::string &FileName, bool) {
    Show(true);
    long long sent = 0;
    Gauge(0);
    Display(Tr("Download To COM:") + IntToStr(Port) + " . . .");
    DelayMs(100);
    std::vector<std::string> lines;
    if (!FileExists(FileName) || !ReadProgramLines(FileName, lines))
        return false;
    if (!OpenPort(Port))
        return false;
    FDriver->OnReceiveData = [this](TObject *, const uint8_t *Data, unsigned Size) {
        ReplyBytes(Data, Size);
    };
    SendModeFrames();
    DelayMs(50);
    FTerminatorChar = 0;
    FTerminator = ">";
    Display(Tr("Downloading . . ."));
    for (const std::string &line : lines) {
        Gauge(int(sent / 65));
        if (line.empty())
            continue;
        if (line[0] == '|') {
            FTerminator = ">";
            SendAndWait(CtrlZ + "\n");
            continue;
        }
        if (!IsLoadLine(line)) {
            if (!FTerminator.empty())
                SendAndWait(line + "\n");
            else
                FDriver->SendString(line + "\n");
        } else {
            FTerminator = "LOAD";
            SendAndWait(line + "\n");
            FTerminator.clear();
        }
        sent += (long long)line.size();
    }
    if (FTerminator != ">") {
        FTerminator = ">";
        SendAndWait(CtrlZ + "\r\n");
    }
    Display(Tr("Starting . . ."));
    FTerminator = "Corvane";
    FInterval = 12000;
    Gauge(100);
    bool started = SendAndWait("run\r\n");
    FInterval = 1000;
    Gauge(0);
    Display(Tr("Running . . ."));
    DelayMs(500);
    return started;
}

int TGetMintVer::FileVersion(const std::string &FileName, int N) {
    std::vector<std::string> lines;
    if (!FileExists(FileName) || !ReadProgramLines(FileName, lines))
        return 0;
    std::sort(lines.begin(), lines.end());
    std::string key = "COMMS(" + IntToStr(N) + ")";
    for (const std::string &line : lines) {
        if (UpperCase(line).find(key) == std::string::npos)
            continue;
        // A line that assigns nothing gives no version.
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            return 0;
        size_t at = eq + 1;
        while (at < line.size() && !std::isdigit(uint8_t(line[at])))
            ++at;
        size_t end = at;
        while (end < line.size() && std::isdigit(uint8_t(line[end])))
            ++end;
        return end > at ? StrToIntDef(line.substr(at, end - at), 0) : 0;
    }
    return 0;
}

bool TGetMintVer::CheckProgramVersion(int Port, const std::string &FileName, bool OldFirmware) {
    Display(Tr("Comparing Mint File Versions . . ."));
    DelayMs(200);
    if (!OpenPort(Port))
        return false;
    FDriver->FlushBuffers(true, false);
    ReadComms(31);
    EventLoop().ProcessMessages();
    long double major = ReadCommsChecked(31);
    if (major == -1)
        return false;
    FDriver->FlushBuffers(true, false);
    DelayMs(50);
    ReadComms(32);
    long double minor = ReadCommsChecked(32);
    if (minor == -1)
        return false;
    int runMajor = int(std::lround(double(major))), runMinor = int(std::lround(double(minor)));
    // "NONE" names no file: the machine keeps its program and nothing is said.
    if (SameText(ExtractFileName(FileName), "NONE"))
        return true;
    if (!FileExists(FileName)) {
        MessageDlg("",
                   Tr("The Mint program file ") + FileName +
                       Tr(" is missing: the program running on the machine is kept."),
                   mtWarning, mbOK);
        return true;
    }
    int fileMajor = FileVersion(FileName, 31), fileMinor = FileVersion(FileName, 32);
    if (runMajor == fileMajor && runMinor == fileMinor)
        return true;
    std::string text =
        Tr("PC Mint Version (on hard disk) = ") + IntToStr(fileMajor) + "." + IntToStr(fileMinor) +
        "\n\r" + Tr("Mint Card Version (on machine) = ") + IntToStr(runMajor) + "." +
        IntToStr(runMinor) + "\n\r\n\r" +
        Mess().Translate(
            "Mint program on machine is different - download the new one from the PC ?");
    if (MessageDlg("", text, mtConfirmation, mbYesNo) != mrYes)
        return true;
    if (DownloadProgram(Port, FileName, OldFirmware))
        return true;
    MessageDlg("", Tr("Download of Mint file ") + FileName + Tr(" to COM") + IntToStr(Port) + Tr(" failed"),
               mtError, mbOK);
    return false;
}

// ---------------------------------------------------------------- link

bool ProbeMintController(TRead_Machinedata_file &MachineData, const std::string &SettingsFile,
                         int &ControlType, std::string &VersionText, int &InitialTool) {
    TGetMintVer probe;
    probe.SettingsFile = SettingsFile;
    int port = MachineData.Communications.ComPort;
    const std::string &file = MachineData.Communications.MintFile;
    probe.QueryVersion(port, true, false, VersionText);
    // A damaged answer (its end lost) is asked for again, three times in all.
    for (int again = 0; again < 2 && VersionText == NotConnected && probe.VersionTextCame(); ++again)
        probe.QueryVersion(port, true, false, VersionText);
    if (VersionText.find(NotConnected) != std::string::npos) {
        probe.QueryVersion(port, false, true, VersionText);
        if (VersionText.find(NotConnected) != std::string::npos) {
            port = probe.FindMachinePort(VersionText);
            if (port < 1) {
                MessageDlg("", Tr("Machine not found !"), mtError, mbOK);
                return false;
            }
            SaveComPort(MachineData, port);
        } else if (!probe.DownloadProgram(port, file,
                                          TGetMintVer::ControlTypeOf(VersionText) == 0)) {
            MessageDlg("", Tr("Download of Mint file ") + file + Tr(" to COM") + IntToStr(port) + Tr(" failed"),
                       mtError, mbOK);
            return false;
        }
    }
    ControlType = TGetMintVer::ControlTypeOf(VersionText);
    if (!probe.CheckProgramVersion(port, file, ControlType == 0))
        return false;
    probe.SendStartFrame();
    InitialTool = probe.ReadCurrentTool();
    return true;
}

} // namespace orv
