#include "links/StdMint.h"

#include "engine/chain/EngineHost.h"
#include "engine/core/Mess.h"
#include "links/ComDrv32.h"
#include "links/LowLevel.h"
#include "links/ReplyLimit.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <fstream>
#include <vector>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

bool ReadProgramLines(const std::string &FileName, std::vector<std::string> &Lines) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Lines.push_back(line);
    }
    return !in.bad();
}

TStdMint::TStdMint() : TStdMint(1000) {}

TStdMint::TStdMint(int PauseMs) {
    DelayMs(PauseMs);
    FDriver = std::make_unique<TCommPortDriver>();
}

TStdMint::~TStdMint() = default;

void TStdMint::Received(const uint8_t *Data, size_t Size) {
    FReceived.append(reinterpret_cast<const char *>(Data), Size);
    if (FReceived.find('>') != std::string::npos) {
        FPromptSeen = true;
        FReceived.clear();
    }
    KeepReplyTail(FReceived);
}

bool TStdMint::Download(int Port, const std::string &FileName) {
    if (!OpenPort(Port))
        return false;
    SendLine("ver");
    Wait(150);
    if (!FPromptSeen)
        return false;
    return SendFile(FileName);
}

bool TStdMint::OpenPort(int Port) {
    TCommPortDriver &d = *FDriver;
    d.Disconnect();
    d.SettingsFile = SettingsFile;
    d.SetComPortPollingDelay(100);
    d.SetComPortDataBits(db8BITS);
    d.SetComPortParity(ptNONE);
    d.SetComPortHwHandshaking(hhNONE);
    d.SetComPortSwHandshaking(shNONE);
    d.SetComPortInBufSize(2048);
    d.SetComPortOutBufSize(2048);
    d.OnReceiveData = [this](TObject *, const uint8_t *Data, int Size) {
        Received(Data, size_t(Size));
    };
    if (Port >= 1 && Port <= 8)
        d.SetComPort(TComPortNumber(Port - 1));
    d.SetComPortSpeed(br19200);
    return d.Connect();
}

bool TStdMint::PortOpen() const {
    return FDriver->Connected();
}

// The polled driver's line goes out once its output queue has emptied.
void TStdMint::SendText(const std::string &Line) {
    while (FDriver->Connected() && FDriver->OutFreeSpace() < FDriver->ComPortOutBufSize())
        EventLoop().ProcessMessages();
    FPromptSeen = false;
    FDriver->SendString(Line + "\n");
}

void TStdMint::Wait(int Ms) {
    DelayMs(Ms);
}

void TStdMint::SendLine(const std::string &Text) {
    FPromptSeen = false;
    SendText(Text);
}

bool TStdMint::SendFile(const std::string &FileName) {
    std::vector<std::string> lines;
    if (!ReadProgramLines(FileName, lines)) {
        MessageDlg("", Tr("Cannot read the controller program ") + FileName, mtError, mbOK);
        return false;
    }
    std::unique_ptr<TProgressView> progress = ProgressFactory ? ProgressFactory() : nullptr;
    if (progress) {
        progress->SetCaption("Setting Up Machine [" + ExtractFileName(FileName) + "]");
        progress->SetMaximum((long long)lines.size());
        progress->SetPosition(0);
        progress->Show();
    }
    long long position = 0;
    for (const std::string &line : lines) {
        if (!PortOpen())
            return false;
        if (progress)
            progress->SetPosition(++position);
        if (line.empty())
            continue;
        if (line[0] == '|') {
            SendLine(std::string(1, char(frames::CtrlZ)));
            Wait(1500);
            continue;
        }
        SendLine(line);
        if (LineDelay > 0)
            Wait(LineDelay);
        if (line.find("328") != std::string::npos)
            LineDelay = 0;
    }
    SendLine("");
    SendLine("RUN");
    Wait(6500);
    return true;
}

} // namespace orv
