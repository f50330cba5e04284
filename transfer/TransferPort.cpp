#include "transfer/TransferPort.h"

#include "transfer/TransferLink.h"

#include <algorithm>
#include <cstring>

namespace orv {

TMsgDrvTransferPort::TMsgDrvTransferPort() {
    FDriver.SetInBufSize(unsigned(TTransferLink::InBufSize));
    FDriver.OnReceiveData = [this](TObject *, const uint8_t *Data, unsigned Size) {
        FPending.insert(FPending.end(), Data, Data + Size);
    };
    FDriver.OnPortError = [this](TObject *, const std::string &Reason) { FFailure = Reason; };
}

bool TMsgDrvTransferPort::Open(const std::string &Device, const TSerialSettings &Line,
                               std::string &Error) {
    Close();
    FDriver.SetPortName(Device);
    FDriver.SetBaudRateValue(unsigned(Line.Baud));
    FDriver.SetDataBits(TComPortDataBits(std::clamp(Line.DataBits, 5, 8) - 5));
    static const char parities[] = "NOEMS";
    const char *p = std::strchr(parities, Line.Parity ? Line.Parity : 'N');
    FDriver.SetParity(TComPortParity(p ? p - parities : 0));
    FDriver.SetStopBits(Line.StopBits == 2 ? sb2BITS : sb1BITS);
    FDriver.SetHwFlow(Line.RtsCts ? hfRTSCTS : hfNONERTSON);
    FDriver.SetSwFlow(Line.XonXoff ? sfXONXOFF : sfNONE);
    if (FDriver.Connect())
        return true;
    Error = FDriver.LastError;
    return false;
}

void TMsgDrvTransferPort::Close() {
    FDriver.Disconnect();
    FPending.clear();
    FFailure.clear();
}

TSendOutcome TMsgDrvTransferPort::SendString(const std::string &Text) {
    TSendOutcome out;
    if (!FDriver.Connected()) {
        out.Status = TSendStatus::Closed;
        return out;
    }
    out.Written = int(FDriver.SendData(reinterpret_cast<const uint8_t *>(Text.data()),
                                       unsigned(Text.size()), unsigned(OutputTimeoutMs)));
    if (FDriver.LastSendEnd == sdStalled) {
        out.Status = TSendStatus::Stalled;
    } else if (FDriver.LastSendEnd == sdFailed) {
        out.Status = TSendStatus::Lost;
        out.Reason = FDriver.LastSendError;
    }
    return out;
}

int TMsgDrvTransferPort::Read(uint8_t *Buffer, int Size, std::string &Reason) {
    if (!FDriver.Connected())
        return 0;
    if (FPending.empty() && FFailure.empty())
        FDriver.Poll();
    // What came before a failure is handed on first.
    if (FPending.empty()) {
        if (FFailure.empty())
            return 0;
        Reason = FFailure;
        return -1;
    }
    int n = std::min(Size, int(FPending.size()));
    std::copy_n(FPending.begin(), n, Buffer);
    FPending.erase(FPending.begin(), FPending.begin() + n);
    return n;
}

} // namespace orv
