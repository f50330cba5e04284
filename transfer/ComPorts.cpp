#include "transfer/ComPorts.h"

#include "platform/IniFile.h"

#include <algorithm>

namespace orv {

std::vector<TComPortEntry> ListComPorts(const std::string &IniFile) {
    std::vector<TComPortEntry> ports;
    for (const std::string &line : TIniFile(IniFile).ReadSectionValues("Serial Ports")) {
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0 || eq + 1 >= line.size())
            continue;
        ports.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }
    for (const std::string &device : SerialDevices()) {
        bool named = std::any_of(ports.begin(), ports.end(),
                                 [&](const TComPortEntry &E) { return E.Device == device; });
        if (!named)
            ports.push_back({device, device});
    }
    return ports;
}

const std::vector<int> &BaudRates() {
    static const std::vector<int> rates = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                           19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return rates;
}

TSerialSettings LineSettings(int BaudIndex, int Parity, int DataBits, int StopBits, int HwFlow,
                             int SwFlow) {
    TSerialSettings s;
    if (BaudIndex >= 0 && BaudIndex < int(BaudRates().size()))
        s.Baud = BaudRates()[size_t(BaudIndex)];
    static const char parities[] = {'N', 'O', 'E', 'M', 'S'};
    if (Parity >= 0 && Parity < 5)
        s.Parity = parities[Parity];
    if (DataBits >= 0 && DataBits < 4)
        s.DataBits = DataBits + 5;
    // "1.5" stop bits is taken as 2 on this system's lines.
    s.StopBits = StopBits >= 1 && StopBits <= 2 ? 2 : 1;
    s.RtsCts = HwFlow == 2;
    s.XonXoff = SwFlow == 1;
    s.XonLimit = 32;
    s.XoffLimit = 32;
    return s;
}

} // namespace orv
