#pragma once
// Rostrel's settings file ("Rostrel.ini" in the working folder): the port
// settings of [COMSETTINGS] as item indexes of the set-up window, the
// folder, font and history size of [DEFAULT] and the send options of
// [OPTIONS]. Booleans are 1 or 0. HISTORY SIZE is read, never written.

#include "transfer/SendFilter.h"

#include <string>

namespace orv {

struct TComSettings {
    int Port = 0;     // item index in the port list
    int BaudRate = 0; // item index: 0 = "110" ... 12 = "115200"
    int Parity = 0;   // None, Odd, Even, Mark, Space
    int DataBits = 3; // 3 = 8 bits
    int StopBits = 0; // 1, 1.5, 2
    bool HandShaking = false;
};

struct TRostrelSettings {
    TComSettings Com;
    std::string FileDirectory;
    int FontSize = 8;
    int HistorySize = 10;
    TSendOptions Options;
};

// The settings file's name for a working folder (ending in "/").
std::string RostrelIniPath(const std::string &WorkingFolder);

void ReadComSettings(const std::string &IniFile, TComSettings &Com);
// Also writes the two LF options.
void WriteComSettings(const std::string &IniFile, const TComSettings &Com,
                      const TSendOptions &Options);
void ReadOptions(const std::string &IniFile, TRostrelSettings &Settings);
// FILEDIRECTORY, FONT SIZE and the five options other than the LF pair.
void WriteOptions(const std::string &IniFile, const TRostrelSettings &Settings);

// The port index to select for a stored index: 0 when it is not below the
// number of listed ports (or no port is listed).
int PortIndexFor(int Stored, int PortCount);

} // namespace orv
