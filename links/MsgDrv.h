#pragma once
// The message-driven serial port driver: opens a "COMn" port (mapped to a
// device by the main settings' [Serial Ports] section) or a device path,
// applies line settings, writes with a time-out and reads only when its
// owner hands TimerWndProc a WM_TIMER message; received bytes go to
// OnReceiveData, or in fixed-size packets to OnReceivePacket. It starts no
// timer of its own: the framed workers of Control Types 0 and 6, their
// loader and the controller probe poll it from their loops.

#include "links/ComDrv32.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {

class TObject;

constexpr unsigned WM_TIMER = 275;

// A window message as the driver's window procedure takes it; Result is
// the answer (0 from the default procedure).
struct TMessage {
    unsigned Msg = 0;
    intptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

namespace msgdrv {
enum TPortNumber {
    pnCustom,
    pnCOM1,
    pnCOM2,
    pnCOM3,
    pnCOM4,
    pnCOM5,
    pnCOM6,
    pnCOM7,
    pnCOM8,
    pnCOM9,
    pnCOM10,
    pnCOM11,
    pnCOM12,
    pnCOM13,
    pnCOM14,
    pnCOM15,
    pnCOM16
};
enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
// Bits per second of a rate name; 0 for brCustom.
int RateOf(TBaudRate Rate);
} // namespace msgdrv

enum THwFlowControl { hfNONE, hfNONERTSON, hfRTSCTS };
enum TSwFlowControl { sfNONE, sfXONXOFF };
enum TPacketMode { pmDiscard, pmPass };

// Modem lines of GetLineStatus.
enum TLineStatus : unsigned { lsCTS = 1, lsDSR = 2, lsRING = 4, lsRLSD = 8 };

using TReceiveDataEvent = std::function<void(TObject *Sender, const uint8_t *Data, unsigned Size)>;
using TPortErrorEvent = std::function<void(TObject *Sender, const std::string &Reason)>;

// How the last SendData ended: everything went out, the line took nothing
// for the time-out, or the device failed (LastSendError says why).
enum TDriverSendEnd { sdDone, sdStalled, sdFailed };

class TMsgCommPortDriver {
public:
    TMsgCommPortDriver();
    ~TMsgCommPortDriver();
    TMsgCommPortDriver(const TMsgCommPortDriver &) = delete;
    TMsgCommPortDriver &operator=(const TMsgCommPortDriver &) = delete;

    // Opens PortName and applies the settings; false (closed) when the
    // device does not open or refuses the settings.
    bool Connect();
    void Disconnect();
    bool Connected() const { return FPort.IsOpen(); }
    // Open on a real line, whose bytes take their time at the set rate (not
    // a pseudo-terminal).
    bool TimedLine() const { return FPort.IsOpen() && !FPort.IsPseudoTerminal(); }
    bool ApplySettings();
    // Set of TLineStatus bits; empty when closed or without modem lines.
    unsigned GetLineStatus() const;
    bool FlushBuffers(bool Input, bool Output);
    // OutBufSize less the bytes queued (16-bit arithmetic); -1 when closed.
    int OutFreeSpace() const;
    // Writes up to Count bytes; the count written (0 when closed).
    // LastSendEnd tells a stalled line from a failed device. The line has
    // stalled when the device takes nothing for the time the bytes still
    // queued need at the configured rate plus TimeoutMs (TimeoutMs alone
    // when nothing is queued), so a slow line that drains is no stall.
    unsigned SendData(const uint8_t *Buffer, unsigned Count, unsigned TimeoutMs);
    unsigned SendBuffer(const uint8_t *Buffer, unsigned Count);
    bool SendByte(uint8_t Value);
    bool SendString(const std::string &S);
    // The window procedure: WM_TIMER reads what waits (plain or packet
    // mode); any other message, or any while closed, gets the default
    // answer 0 in Message.Result. A read that fails, or a line that hung up
    // (ready with nothing to read), fires OnPortError with the system's
    // reason; the port stays open for its owner to close.
    void TimerWndProc(TMessage &Message);
    // Polls once: TimerWndProc with a WM_TIMER message.
    void Poll();
    // Waits at most Ms for input (an owner's poll loop paces itself here).
    // A byte written to WakeHandle (a pipe) ends the wait early.
    bool WaitForData(int Ms, int WakeHandle = -1);

    msgdrv::TPortNumber Port() const { return FPortNumber; }
    void SetPort(msgdrv::TPortNumber Port); // only while closed
    const std::string &PortName() const { return FPortName; }
    void SetPortName(const std::string &Name); // only while closed; Port pnCustom
    msgdrv::TBaudRate BaudRate() const { return FBaudRate; }
    void SetBaudRate(msgdrv::TBaudRate Rate);
    unsigned BaudRateValue() const { return FBaudRateValue; }
    void SetBaudRateValue(unsigned Rate); // BaudRate brCustom
    TComPortDataBits DataBits() const { return FDataBits; }
    void SetDataBits(TComPortDataBits Bits);
    TComPortStopBits StopBits() const { return FStopBits; }
    void SetStopBits(TComPortStopBits Bits);
    TComPortParity Parity() const { return FParity; }
    void SetParity(TComPortParity Parity);
    THwFlowControl HwFlow() const { return FHwFlow; }
    void SetHwFlow(THwFlowControl Flow);
    TSwFlowControl SwFlow() const { return FSwFlow; }
    void SetSwFlow(TSwFlowControl Flow);
    unsigned InBufSize() const { return FInBufSize; }
    void SetInBufSize(unsigned Size); // 128..8192, only while closed
    unsigned OutBufSize() const { return FOutBufSize; }
    void SetOutBufSize(unsigned Size); // 12..8192, only while closed
    int PacketSize() const { return FPacketSize; }
    // Above 0: packet mode, limited to the largest input size (8192).
    void SetPacketSize(int Size);
    int PacketTimeout() const { return FPacketTimeout; }
    // ms; 0 or less: never; at least PollingDelay (below it: PollingDelay
    // and 40 % more).
    void SetPacketTimeout(int Ms);
    unsigned PollingDelay() const { return FPollingDelay; }
    void SetPollingDelay(unsigned Ms);

    TPacketMode PacketMode = pmDiscard;
    bool EnableDTROnOpen = true;
    unsigned OutputTimeout = 500; // ms
    unsigned InputTimeout = 200;  // ms; kept for its users
    bool CheckLineStatus = false;
    TReceiveDataEvent OnReceiveData;
    TReceiveDataEvent OnReceivePacket;
    TPortErrorEvent OnPortError;
    TDriverSendEnd LastSendEnd = sdDone;
    std::string LastSendError;
    // The settings file of the [Serial Ports] map; empty: the main settings.
    std::string SettingsFile;
    // ms on a monotonic clock for packet time-outs (tests move it).
    std::function<int64_t()> Clock;
    // The last reason a Connect failed (device and system text).
    std::string LastError;

    // Bytes written and read by every driver of this kind (tests, bench).
    static uint64_t TotalBytesSent();
    static uint64_t TotalBytesReceived();

private:
    unsigned ReadInto(unsigned Count);
    // Nothing queued: input that came after the count is read; a line that
    // is ready with nothing to read hung up.
    void ReadLateInput();
    void PortFailed(int Error);
    void PacketPoll(unsigned Waiting);
    // Time the line needs for Bytes at the configured rate (us; 0 for an
    // unknown rate), and the steady-clock ms by which a send that made no
    // progress since NowMs has stalled.
    int64_t LineTimeUs(int64_t Bytes) const;
    int64_t StallDeadlineMs(int64_t NowMs, unsigned TimeoutMs) const;

    TSerialPort FPort;
    msgdrv::TPortNumber FPortNumber = msgdrv::pnCOM2;
    std::string FPortName = "COM2";
    msgdrv::TBaudRate FBaudRate = msgdrv::br9600;
    unsigned FBaudRateValue = 9600;
    TComPortDataBits FDataBits = db8BITS;
    TComPortStopBits FStopBits = sb1BITS;
    TComPortParity FParity = ptNONE;
    THwFlowControl FHwFlow = hfNONERTSON;
    TSwFlowControl FSwFlow = sfNONE;
    unsigned FInBufSize = 2048, FOutBufSize = 2048;
    int FPacketSize = -1, FPacketTimeout = -1;
    unsigned FPollingDelay = 50;
    int64_t FPacketStart = -1;
    std::vector<uint8_t> FBuffer;
    // When the line will have sent every byte written so far (steady-clock
    // us), as the rate allows: a device that hides its queue (a
    // pseudo-terminal) drains no faster.
    int64_t FLineFreeUs = 0;
};

} // namespace orv
