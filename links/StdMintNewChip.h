#pragma once
// The command-line loader of Control Type 6: the loader of the framed link
// over the message-driven driver, which it polls in every wait (the ">"
// prompt is seen only then), after a pause of 4 s.

#include "links/StdMint.h"

#include <memory>

namespace orv {

class TMsgCommPortDriver;

class TStdMintNewChip : public TStdMint {
public:
    TStdMintNewChip();
    ~TStdMintNewChip() override;

    TMsgCommPortDriver &MsgDriver() { return *FMsg; }

protected:
    // COM1 to COM16 at 19200 baud, 8 data bits, no parity, no handshaking.
    bool OpenPort(int Port) override;
    bool PortOpen() const override;
    // The line and LF at once, without waiting for an empty queue.
    void SendText(const std::string &Line) override;
    // Polls the driver every 10 ms of the wait.
    void Wait(int Ms) override;

private:
    std::unique_ptr<TMsgCommPortDriver> FMsg;
};

} // namespace orv
