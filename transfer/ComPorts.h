#pragma once
// The ports Rostrel offers: the [Serial Ports] entries of its settings file
// ("COM1=/dev/ttyUSB0"), in file order, then the system's serial devices
// that no entry names. Opening uses the chosen entry's own device, and the
// rate, parity, data and stop bits come from the set-up window's indexes.

#include "platform/SerialPort.h"

#include <string>
#include <vector>

namespace orv {

struct TComPortEntry {
    std::string Name;   // shown in "&Com Ports"
    std::string Device; // opened
};

std::vector<TComPortEntry> ListComPorts(const std::string &IniFile);

// The rates of the "&Baud Rate" list, "110" to "256000".
const std::vector<int> &BaudRates();

// Line settings of the set-up window's indexes; an index outside a list
// keeps the default (9600 baud, 8 data bits, no parity, 1 stop bit).
// HwFlow 2 is RTS/CTS, SwFlow 1 XON/XOFF (limits a quarter of 128 bytes).
TSerialSettings LineSettings(int BaudIndex, int Parity, int DataBits, int StopBits, int HwFlow,
                             int SwFlow);

} // namespace orv
