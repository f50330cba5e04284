#include "transfer/TransferLink.h"

#include "platform/MessageService.h"
#include "transfer/TransferPort.h"

namespace orv {

bool TTransferLink::OpenPort(const std::vector<TComPortEntry> &Ports, int Index,
                             const TSerialSettings &Line) {
    FPort.Close();
    FError.clear();
    bool opened = Index >= 0 && Index < int(Ports.size()) &&
                  FPort.Open(Ports[size_t(Index)].Device, Line, FError);
    if (!opened)
        ShowMessage("Could not open COM port !");
    return opened;
}

void TTransferLink::Disconnect() {
    FPort.Close();
}

bool TTransferLink::Connected() const {
    return FPort.IsOpen();
}

void TTransferLink::Poll() {
    uint8_t buffer[InBufSize];
    while (FPort.IsOpen()) {
        std::string reason;
        int n = FPort.Read(buffer, InBufSize, reason);
        if (n == 0)
            return;
        if (n < 0) {
            FPort.Close();
            if (OnPortLost)
                OnPortLost("COM port lost: " + reason + " !");
            return;
        }
        if (OnReceiveData)
            OnReceiveData(buffer, n);
    }
}

} // namespace orv
