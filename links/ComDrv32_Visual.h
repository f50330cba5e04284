#pragma once
// The CIM serial port component: the polled driver (ComDrv32.h) with its
// line settings kept in section [RS232] of an ini file, read into the
// settings dialog's groups at every connect, and its "RS 232 Setup" dialog.
// Nine rates, no DTR or RTS operations. Receives on the user-interface
// thread through the driver's timer.

#include "links/ComDrv32.h"

#include <functional>
#include <string>

namespace orv {

// The item indexes of the "RS 232 Setup" dialog's radio groups, as they are
// kept in [RS232].
struct TRs232Groups {
    int ComPortRG = 1;     // "com port": COM1 to COM4
    int BaudRateRG = 6;    // "Baud Rate": 110 ... 19200
    int DataBitsRG = 3;    // "Data Bits": 5 to 8
    int ParityRG = 2;      // "Parity": none, odd, even, mark, space
    int HandshakingRG = 0; // "Hand Shaking": none, RTS/CTS, XON/XOFF, both
    int stop_bits = 2;     // "Stop Bits": 1, 1.5, 2
};

// The dialog: shows Groups, lets the operator change them, returns the
// modal result (mrOk takes the changes).
using TRs232Dialog = std::function<int(TRs232Groups &Groups)>;

class TCommPortDriverVisual {
public:
    TCommPortDriverVisual();
    ~TCommPortDriverVisual();
    TCommPortDriverVisual(const TCommPortDriverVisual &) = delete;
    TCommPortDriverVisual &operator=(const TCommPortDriverVisual &) = delete;

    // The ini file holding [RS232] (the main settings file).
    std::string ini_name;
    // The settings file with the [Serial Ports] map; empty: ini_name.
    std::string SettingsFile;
    // The settings dialog (the window layer sets it); none answers Cancel.
    TRs232Dialog Dialog;
    TComPortReceiveDataEvent OnReceiveData;

    // Reads [RS232] into the groups, then ApplyDialogSettings.
    void LoadSettings();
    // Port (only while closed), rate, data bits, parity, handshaking and
    // stop bits from the groups; each applies at once while open.
    void ApplyDialogSettings();
    // Loads the settings, then opens "COM" + (ComPort + 1); an open port
    // stays on its number. False when the device cannot be opened.
    bool Connect();
    void Disconnect();
    bool Connected() const;
    void FlushBuffers(bool Input, bool Output);
    int OutFreeSpace() const;
    // The bytes written; negative when OutputTimeout ms passed without
    // progress (see ComDrv32.h).
    int SendData(const uint8_t *Buffer, int Count);
    bool SendString(const std::string &S);
    // LoadSettings, the dialog over the current properties; on OK the groups
    // are applied and written to [RS232]. The dialog's result.
    int ShowSettingsDialog();

    const TRs232Groups &Groups() const { return FGroups; }
    // 0-based port number (1 is COM2).
    int ComPort() const { return int(FDriver.ComPort()); }
    TCommPortDriver &Driver() { return FDriver; }

private:
    void GroupsFromProperties();
    std::string MapFile() const { return SettingsFile.empty() ? ini_name : SettingsFile; }

    TCommPortDriver FDriver;
    TRs232Groups FGroups;
};

} // namespace orv
