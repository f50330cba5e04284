#pragma once
// Rostrel's hold on its serial port: opens the chosen list entry's device
// with the set-up window's line settings, polls the input until nothing
// waits (so a fast line never overflows the system's buffer), and reports a
// port that fails while open ("COM port lost: <reason> !"), closing it.

#include "transfer/ComPorts.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {

class TTransferPort;

class TTransferLink {
public:
    explicit TTransferLink(TTransferPort &Port) : FPort(Port) {}

    // Opens Ports[Index] (closing first); "Could not open COM port !" when
    // the index names no entry or the device does not open. True when open.
    bool OpenPort(const std::vector<TComPortEntry> &Ports, int Index, const TSerialSettings &Line);
    void Disconnect();
    bool Connected() const;
    // Reads until nothing waits (PollingTimerTimer), handing each read to
    // OnReceiveData. A failing device closes the port and fires OnPortLost.
    void Poll();

    TTransferPort &Port() { return FPort; }
    // Bytes of one read (the driver's input buffer).
    static constexpr int InBufSize = 128;

    std::function<void(const uint8_t *Data, int Size)> OnReceiveData;
    std::function<void(const std::string &Message)> OnPortLost;
    // Error text of the last failed open (the system's reason).
    const std::string &LastError() const { return FError; }

private:
    TTransferPort &FPort;
    std::string FError;
};

} // namespace orv
