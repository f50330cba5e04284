#include "transfer/RostrelSettings.h"

#include "platform/IniFile.h"

namespace orv {

namespace {
const char *const Com = "COMSETTINGS";
const char *const Def = "DEFAULT";
const char *const Opt = "OPTIONS";
} // namespace

std::string RostrelIniPath(const std::string &WorkingFolder) {
    return WorkingFolder + "Rostrel.ini";
}

void ReadComSettings(const std::string &IniFile, TComSettings &C) {
    TIniFile ini(IniFile);
    C.Port = ini.ReadInteger(Com, "PORT", 0);
    C.BaudRate = ini.ReadInteger(Com, "BAUDRATE", 0);
    C.Parity = ini.ReadInteger(Com, "PARITY", 0);
    C.DataBits = ini.ReadInteger(Com, "DATABITS", 3);
    C.StopBits = ini.ReadInteger(Com, "STOPBITS", 0);
    C.HandShaking = ini.ReadBool(Com, "HANDSHAKING", false);
}

void WriteComSettings(const std::string &IniFile, const TComSettings &C, const TSendOptions &O) {
    TIniFile ini(IniFile);
    ini.WriteInteger(Com, "PORT", C.Port);
    ini.WriteInteger(Com, "BAUDRATE", C.BaudRate);
    ini.WriteInteger(Com, "PARITY", C.Parity);
    ini.WriteInteger(Com, "DATABITS", C.DataBits);
    ini.WriteInteger(Com, "STOPBITS", C.StopBits);
    ini.WriteBool(Com, "HANDSHAKING", C.HandShaking);
    ini.WriteBool(Opt, "APPEND LF AFTER", O.AppendLF);
    ini.WriteBool(Opt, "APPEND LF BEFORE", O.AppendCR);
}

void ReadOptions(const std::string &IniFile, TRostrelSettings &S) {
    TIniFile ini(IniFile);
    S.FileDirectory = ini.ReadString(Def, "FILEDIRECTORY", "");
    S.FontSize = ini.ReadInteger(Def, "FONT SIZE", 8);
    S.HistorySize = ini.ReadInteger(Def, "HISTORY SIZE", 10);
    TSendOptions &o = S.Options;
    o.StripBlank = ini.ReadBool(Opt, "STRIP BLANK", false);
    o.Comment1 = ini.ReadString(Opt, "COMMENT 1", "");
    o.Comment2 = ini.ReadString(Opt, "COMMENT 2", "");
    o.UpperOnly = ini.ReadBool(Opt, "UPPERCASE OUTPUT", false);
    o.LowerOnly = ini.ReadBool(Opt, "LOWERCASE OUTPUT", false);
    o.AppendLF = ini.ReadBool(Opt, "APPEND LF AFTER", false);
    o.AppendCR = ini.ReadBool(Opt, "APPEND LF BEFORE", false);
}

void WriteOptions(const std::string &IniFile, const TRostrelSettings &S) {
    TIniFile ini(IniFile);
    ini.WriteString(Def, "FILEDIRECTORY", S.FileDirectory);
    ini.WriteInteger(Def, "FONT SIZE", S.FontSize);
    const TSendOptions &o = S.Options;
    ini.WriteBool(Opt, "STRIP BLANK", o.StripBlank);
    ini.WriteString(Opt, "COMMENT 1", o.Comment1);
    ini.WriteString(Opt, "COMMENT 2", o.Comment2);
    ini.WriteBool(Opt, "UPPERCASE OUTPUT", o.UpperOnly);
    ini.WriteBool(Opt, "LOWERCASE OUTPUT", o.LowerOnly);
}

int PortIndexFor(int Stored, int PortCount) {
    if (PortCount <= 0 || Stored >= PortCount || Stored < 0)
        return 0;
    return Stored;
}

} // namespace orv
