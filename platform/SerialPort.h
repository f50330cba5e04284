#pragma once
// A serial device on POSIX terminals: exclusive open, raw 8-bit line
// settings (any rate the driver takes, mark and space parity), reads that
// never block, writes that report what went out, a wait for input, the
// output queue, flushing and the modem lines. "COMn" names map to device
// paths through the [Serial Ports] section of a settings file.

#include <cstdint>
#include <string>
#include <termios.h>
#include <vector>

namespace orv {

// Line settings: Parity 'N', 'O', 'E', 'M' (mark) or 'S' (space);
// StopBits 1 or 2.
struct TSerialSettings {
    int Baud = 9600;
    int DataBits = 8;
    char Parity = 'N';
    int StopBits = 1;
    bool RtsCts = false;
    bool XonXoff = false;
    int XonLimit = 512;
    int XoffLimit = 1;
};

// Settings S as raw terminal flags (data size, parity, stop bits, flow
// control), the rate aside. A pseudo-terminal drops the parity bits it is
// given, so they are checked here.
void LineFlags(const TSerialSettings &S, termios &T);

class TSerialPort {
public:
    TSerialPort() = default;
    ~TSerialPort();
    TSerialPort(const TSerialPort &) = delete;
    TSerialPort &operator=(const TSerialPort &) = delete;

    // Opens an existing device for reading and writing, exclusively: a
    // device another program holds is refused. False with Error set.
    bool Open(const std::string &Device, std::string &Error);
    void Close();
    bool IsOpen() const { return FHandle >= 0; }
    const std::string &Device() const { return FDevice; }

    // Raw mode with the given settings; a rate the device refuses, or a
    // data size outside 5..8, fails with Error and leaves the line as it was.
    bool Apply(const TSerialSettings &Settings, std::string &Error);

    // Reads what is waiting, at most Size bytes; 0 when nothing is, -1 on a
    // device error (the other end gone, the device removed).
    int Read(uint8_t *Buffer, int Size);
    // Writes what the device takes now; the count written, or the negated
    // system error code.
    int Write(const uint8_t *Buffer, int Count);
    // Waits up to TimeoutMs for input; true when some is waiting. A byte
    // written to WakeHandle (a pipe) ends the wait early and is consumed.
    bool WaitReadable(int TimeoutMs, int WakeHandle = -1);
    // Bytes written and not yet sent; 0 when the device cannot tell.
    int OutQueued() const;
    // Bytes received and not yet read; 0 when the device cannot tell.
    int InQueued() const;
    // The modem status lines (TIOCM_CTS, TIOCM_DSR, TIOCM_RNG, TIOCM_CAR
    // bits); false when the device has none (a pseudo-terminal).
    bool ModemStatus(int &Bits) const;
    void Flush(bool Input, bool Output);
    // Modem lines; a device without them (a pseudo-terminal) refuses
    // quietly: false, nothing else happens.
    bool SetDTR(bool On);
    bool SetRTS(bool On);
    // A pseudo-terminal: bytes pass at once, whatever rate it was given (a
    // real line takes its bits' time).
    bool IsPseudoTerminal() const;

private:
    int FHandle = -1;
    std::string FDevice;
};

// The device path of "COMn": [Serial Ports] "COMn" of SettingsFile when
// present, else the n-th serial device (/dev/ttyS0 for COM1). Any other
// name is returned as it is.
std::string SerialDevicePath(const std::string &PortName, const std::string &SettingsFile);

// Serial devices the system lists (/sys/class/tty entries with a device),
// as paths in /dev, sorted.
std::vector<std::string> SerialDevices();

// Sets a rate outside the fixed termios table through the custom-rate
// call; false when the device refuses it.
bool SetCustomBaud(int Handle, int Baud);
// The output rate a device runs at (bits per second); -1 when it cannot
// tell. On a pseudo-terminal master: the rate its slave was given.
int CurrentBaud(int Handle);

} // namespace orv
