#include "links/StdMintNewChip.h"

#include "links/MsgDrv.h"
#include "platform/EventLoop.h"

#include <algorithm>

namespace orv {

namespace {
constexpr int PollEveryMs = 10;
}

TStdMintNewChip::TStdMintNewChip() : TStdMint(4000), FMsg(std::make_unique<TMsgCommPortDriver>()) {}

TStdMintNewChip::~TStdMintNewChip() = default;

bool TStdMintNewChip::OpenPort(int Port) {
    TMsgCommPortDriver &d = *FMsg;
    d.Disconnect();
    d.SettingsFile = SettingsFile;
    d.SetPollingDelay(PollEveryMs);
    d.SetDataBits(db8BITS);
    d.SetParity(ptNONE);
    d.SetHwFlow(hfNONE);
    d.OnReceiveData = [this](TObject *, const uint8_t *Data, unsigned Size) {
        Received(Data, Size);
    };
    if (Port >= 1 && Port <= 16)
        d.SetPort(msgdrv::TPortNumber(Port));
    d.SetBaudRate(msgdrv::br19200);
    return d.Connect();
}

bool TStdMintNewChip::PortOpen() const {
    return FMsg->Connected();
}

void TStdMintNewChip::SendText(const std::string &Line) {
    FMsg->SendString(Line + "\n");
}

void TStdMintNewChip::Wait(int Ms) {
    FMsg->Poll();
    for (int left = Ms; left > 0; left -= PollEveryMs) {
        DelayMs(std::min(left, PollEveryMs));
        FMsg->Poll();
    }
}

} // namespace orv
