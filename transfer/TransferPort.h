#pragma once
// The port Rostrel talks through: open by a listed entry's device, write a
// line with an output time-out, read what waits. TSerialTransferPort is the
// serial device; a test or the bench may give another. A write that makes
// no progress for the time-out and a device that fails are told apart so a
// send can stop with the right message.

#include "platform/SerialPort.h"

#include <cstdint>
#include <string>

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

class TSerialTransferPort : public TTransferPort {
public:
    bool Open(const std::string &Device, const TSerialSettings &Line, std::string &Error) override;
    void Close() override;
    bool IsOpen() const override { return FPort.IsOpen(); }
    TSendOutcome SendString(const std::string &Text) override;
    int Read(uint8_t *Buffer, int Size, std::string &Reason) override;

private:
    TSerialPort FPort;
};

} // namespace orv
