#pragma once
// The polled serial port driver: opens "COM1" to "COM8" (mapped to devices
// by the main settings' [Serial Ports] section), applies line settings,
// writes with an output time-out and hands received bytes to OnReceiveData,
// from its own timer or from an owner that calls Poll itself (delay 0).

#include "platform/SerialPort.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TObject;
class TTimer;

enum TComPortNumber { pnCOM1, pnCOM2, pnCOM3, pnCOM4, pnCOM5, pnCOM6, pnCOM7, pnCOM8 };
enum TComPortBaudRate {
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
    br115200
};
enum TComPortDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
enum TComPortStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
enum TComPortParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum TComPortHwHandshaking { hhNONE, hhRTSCTS };
enum TComPortSwHandshaking { shNONE, shXONXOFF };

// Rate in bits per second of a rate name.
int BaudRateValue(TComPortBaudRate Rate);

using TComPortReceiveDataEvent =
    std::function<void(TObject *Sender, const uint8_t *Data, int DataSize)>;

class TCommPortDriver {
public:
    TCommPortDriver();
    ~TCommPortDriver();
    TCommPortDriver(const TCommPortDriver &) = delete;
    TCommPortDriver &operator=(const TCommPortDriver &) = delete;

    // Opens the port; "Error Locating COMn" (with the device and the reason)
    // when it cannot, and stays closed. A rate the device refuses closes the
    // port again with "Baud Rate Number unsupported". True when open.
    bool Connect();
    void Disconnect();
    bool Connected() const { return FPort.IsOpen(); }
    // Open on a real line, whose bytes take their time at the set rate (not
    // a pseudo-terminal).
    bool TimedLine() const { return FPort.IsOpen() && !FPort.IsPseudoTerminal(); }
    void FlushBuffers(bool Input, bool Output);
    // ComPortOutBufSize less the bytes queued; -1 when closed.
    int OutFreeSpace() const;
    // Writes Count bytes: the count written; a write error ends the send
    // with the bytes written so far as a negative number (-1 when none), and
    // so does OutputTimeout ms without progress. 0 when closed.
    int SendData(const uint8_t *Buffer, int Count);
    bool SendString(const std::string &S);
    void SetDTR(bool On);
    void SetRTS(bool On);
    // One read of what is waiting; OnReceiveData with it. Errors are ignored.
    void Poll();
    // Waits at most Ms for input (the owner's poll loop paces itself here).
    // A byte written to WakeHandle (a pipe) ends the wait early.
    bool WaitForData(int Ms, int WakeHandle = -1);

    TComPortNumber ComPort() const { return FComPort; }
    void SetComPort(TComPortNumber Port); // only while closed
    TComPortBaudRate ComPortSpeed() const { return FSpeed; }
    void SetComPortSpeed(TComPortBaudRate Rate);
    TComPortDataBits ComPortDataBits() const { return FDataBits; }
    void SetComPortDataBits(TComPortDataBits Bits);
    TComPortStopBits ComPortStopBits() const { return FStopBits; }
    void SetComPortStopBits(TComPortStopBits Bits);
    TComPortParity ComPortParity() const { return FParity; }
    void SetComPortParity(TComPortParity Parity);
    TComPortHwHandshaking ComPortHwHandshaking() const { return FHw; }
    void SetComPortHwHandshaking(TComPortHwHandshaking Mode);
    TComPortSwHandshaking ComPortSwHandshaking() const { return FSw; }
    void SetComPortSwHandshaking(TComPortSwHandshaking Mode);
    int ComPortInBufSize() const { return FInBufSize; }
    void SetComPortInBufSize(int Size);
    int ComPortOutBufSize() const { return FOutBufSize; }
    void SetComPortOutBufSize(int Size);
    int ComPortPollingDelay() const { return FPollingDelay; }
    void SetComPortPollingDelay(int Ms);

    bool EnableDTROnOpen = true;
    int OutputTimeout = 4000; // ms
    TComPortReceiveDataEvent OnReceiveData;
    // The settings file holding the [Serial Ports] map; empty: the main
    // settings file of the program.
    std::string SettingsFile;

    // "COM" + number, as texts name the port.
    std::string PortName() const;
    // Bytes written and received since construction (for tests and the bench).
    uint64_t BytesSent() const { return FBytesSent; }
    uint64_t BytesReceived() const { return FBytesReceived; }
    // The same over every driver of the process.
    static uint64_t TotalBytesSent();
    static uint64_t TotalBytesReceived();

private:
    bool ApplySettings();
    void RestartTimer();

    TSerialPort FPort;
    TComPortNumber FComPort = pnCOM1;
    TComPortBaudRate FSpeed = br9600;
    TComPortDataBits FDataBits = db8BITS;
    TComPortStopBits FStopBits = sb1BITS;
    TComPortParity FParity = ptNONE;
    TComPortHwHandshaking FHw = hhNONE;
    TComPortSwHandshaking FSw = shNONE;
    int FInBufSize = 2048;
    int FOutBufSize = 2048;
    int FPollingDelay = 50;
    std::vector<uint8_t> FBuffer;
    std::unique_ptr<TTimer> FTimer;
    uint64_t FBytesSent = 0;
    uint64_t FBytesReceived = 0;
};

} // namespace orv
