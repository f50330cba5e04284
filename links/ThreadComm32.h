#pragma once
// The threaded serial component of the queued and router-box controllers:
// one port, a reader and a writer thread that wait in poll() on the port
// and a stop event. Received bytes travel, owned, in messages posted to the
// user-interface thread (one OnReceiveData per byte; a line error is a
// delivery of length 0); bytes to send queue for the writer. A thread that
// gives up posts OnRequestHangup. Closing joins both threads; the
// destructor closes.

#include "platform/Classes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace orv {

enum class TCommPort { Com1, Com2, Com3, Com4 };
enum class TBaudRate {
    ____110,
    ____300,
    ____600,
    ___1200,
    ___2400,
    ___4800,
    ___9600,
    __14400,
    __19200,
    __38400,
    __56000,
    _128000,
    _256000
};
enum class TParity { None, Odd, Even, Mark, Space };
enum class TDataBits { _4, _5, _6, _7, _8 };
enum class TStopBits { _1, _1_5, _2 };

// Bits per second of a rate name.
int BaudRateBits(TBaudRate Rate);

// Raised by OpenPort with the component's own texts.
class ECommsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Buffer holds BufferLength bytes and a zero after them; 0: a line error.
using TReceiveDataEvent = std::function<void(const uint8_t *Buffer, uint16_t BufferLength)>;
using TCommNotifyEvent = std::function<void(TObject *Sender)>;

class TThreadComm32 : public TObject {
public:
    TThreadComm32();
    ~TThreadComm32() override;
    TThreadComm32(const TThreadComm32 &) = delete;
    TThreadComm32 &operator=(const TThreadComm32 &) = delete;

    // Opens NewComport ("COMn" through the settings' [Serial Ports] map, or
    // a device path) and starts both threads. ECommsError "Already have a
    // comm file open", "Error opening com port: " + name, "File handle is
    // not a comm handle. ", "Unsupported data bits: 4" (or the rate the
    // device refuses); false when the stop event cannot be made.
    bool OpenPort();
    // Stops and joins both threads and closes the port; nothing when closed.
    void ClosePort();
    // Queues Count bytes for the writer; false when the port is closed.
    bool SendData(const uint8_t *Data, uint16_t Count);
    bool IsOpen() const;

    // Bytes handed to SendData and bytes the writer has written, since
    // OpenPort (tests wait for the line to settle on these).
    uint64_t BytesQueued() const;
    uint64_t BytesWritten() const;

    // The reader handles a line error as if the device had marked one
    // (a pseudo-terminal cannot); for tests.
    void InjectLineError();

    TCommPort CommPort = TCommPort::Com1; // does not choose the device
    std::string NewComport = "COM1";
    TBaudRate BaudRate = TBaudRate::____110;
    TParity Parity = TParity::None;
    TDataBits DataBits = TDataBits::_4;
    TStopBits StopBits = TStopBits::_1;
    bool HandShaking = false;
    TReceiveDataEvent OnReceiveData;
    TCommNotifyEvent OnRequestHangup;
    // The settings file of the port map; empty: the main settings file.
    std::string SettingsFile;

private:
    struct TShared;
    struct TThreads;
    void ApplyLine(int Handle);
    std::shared_ptr<TShared> FShared; // what posted messages may reach
    std::unique_ptr<TThreads> FThreads;
};

} // namespace orv
