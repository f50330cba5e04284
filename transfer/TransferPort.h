#pragma once
// The port Rostrel talks through: open by a listed entry's device, write a
// line with an output time-out, read what waits. TMsgDrvTransferPort is the
// serial device through the message-driven port driver; a test may give
// another. A write that makes no progress for the time-out and a device
// that fails are told apart so a send can stop with the right message.

#include "links/MsgDrv.h"
#include "platform/SerialPort.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

enum class TSendStatus { Sent, Stalled, Lost, Closed };

struct TSendOutcome {
    TSendStatus Status = TSendStatus::Sent;
    int Written = 0;    // bytes that went out
    std::string Reason; // the system's reason when Lost
};

class TTransferPort {
public:
    virtual ~TTransferPort() = default;
    // Opens Device with the line settings; false with Error, nothing open.
    virtual bool Open(const std::string &Device, const TSerialSettings &Line,
                      std::string &Error) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Writes all of Text, waiting while the line takes nothing; Stalled
    // after OutputTimeoutMs without progress, Lost when the device fails.
    virtual TSendOutcome SendString(const std::string &Text) = 0;
    // What waits, at most Size bytes: the count (0 none); -1 when the
    // device failed, with Reason.
    virtual int Read(uint8_t *Buffer, int Size, std::string &Reason) = 0;

    int OutputTimeoutMs = 500;
};

class TMsgDrvTransferPort : public TTransferPort {
public:
    TMsgDrvTransferPort();
    bool Open(const std::string &Device, const TSerialSettings &Line, std::string &Error) override;
    void Close() override;
    bool IsOpen() const override { return FDriver.Connected(); }
    TSendOutcome SendString(const std::string &Text) override;
    // Polls the driver when nothing it read is left over.
    int Read(uint8_t *Buffer, int Size, std::string &Reason) override;

private:
    TMsgCommPortDriver FDriver;
    std::vector<uint8_t> FPending; // read by the driver, not yet taken
    std::string FFailure;          // the system's reason of a failed poll
};

} // namespace orv
