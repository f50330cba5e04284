#pragma once
// The framed protocol of Control Type 0: the worker of the Control Type 5
// link over the message-driven driver. Frames go one byte at a time, each
// into an empty output queue with the receiver polled between them; a
// resend goes whole; each loop turn ends with 5 ms of sleep. Ports COM1 to
// COM15; a controller that ignores the version query is given a pause.

#include "links/LowLevel.h"

#include <memory>

namespace orv {

class TMsgCommPortDriver;

class TLowLevelNewComms : public TLowLevel {
public:
    TLowLevelNewComms();
    ~TLowLevelNewComms() override;

    TMsgCommPortDriver &MsgDriver() { return *FMsg; }

protected:
    bool OpenPort() override;
    void ClosePort() override;
    bool PortOpen() const override;
    void SendBytes(const std::string &Bytes, bool Resend) override;
    void PollPort(int WaitMs) override;
    void EndTurn() override;
    // The controller keeps its program: a pause of 1 s, and connected.
    bool Download(const std::string &ProgramFile) override;
    // Highest COM port number the worker opens.
    virtual int LastPort() const { return 15; }
    // Hands a message record with WM_TIMER to the driver.
    void PollReceiver();

private:
    std::unique_ptr<TMsgCommPortDriver> FMsg;
};

} // namespace orv
