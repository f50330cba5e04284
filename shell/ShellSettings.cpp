#include "shell/ShellSettings.h"

#include "engine/core/DUtils.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

namespace orv {

namespace {

const char *const Defaults = "Default Settings";

double ReadReal(const TIniFile &Ini, const char *Key, double Default) {
    double v = 0;
    if (TryStrToFloat(Trim(Ini.ReadString(Defaults, Key, "")), v))
        return v;
    return Default;
}

} // namespace

TBilletBox ReadDefaultBillet(const std::string &MainSettingsFile) {
    TIniFile ini(MainSettingsFile);
    TBilletBox b;
    b.XSize = ReadReal(ini, "Billet X", 100);
    b.YSize = ReadReal(ini, "Billet Y", 100);
    b.ZSize = ReadReal(ini, "Billet Z", 20);
    b.XPos = ReadReal(ini, "Billet X Pos", 0);
    b.YPos = ReadReal(ini, "Billet Y Pos", 0);
    return b;
}

void WriteDefaultBillet(const std::string &MainSettingsFile, const TBilletBox &Billet) {
    TIniFile ini(MainSettingsFile);
    if (Billet.XSize != 0)
        ini.WriteFloat(Defaults, "Billet X", Billet.XSize);
    if (Billet.YSize != 0)
        ini.WriteFloat(Defaults, "Billet Y", Billet.YSize);
    if (Billet.ZSize != 0)
        ini.WriteFloat(Defaults, "Billet Z", Billet.ZSize);
    ini.WriteFloat(Defaults, "Billet X Pos", Billet.XPos);
    ini.WriteFloat(Defaults, "Billet Y Pos", Billet.YPos);
}

void WriteCloseKeys(const std::string &MainSettingsFile, const TCloseKeys &Keys) {
    TIniFile ini(MainSettingsFile);
    ini.WriteString(Defaults, "Machine Offset", Keys.MachineOffset);
    ini.WriteString(Defaults, "Simulation Offset", Keys.SimulationOffset);
    ini.WriteBool("Data", "Expanded Cycles", Keys.ExpandedCycles);
}

THelpFiles HelpFilesFor(const std::string &LanguageName, const std::string &ProgramFolder,
                        const std::string &ProgramName, const std::string &HelpPath) {
    THelpFiles h;
    h.WinHelp = UpperCase(LanguageName).find("ENGLISH") != std::string::npos;
    if (h.WinHelp) {
        h.ApplicationHelpFile = ProgramFolder + ProgramName + ".hlp";
        h.ProductHelp = h.ApplicationHelpFile;
        h.ProgrammingHelp = HelpPath;
    } else {
        h.ProductHelp = h.ProgrammingHelp = ProgramFolder + "help.htm";
    }
    return h;
}

std::string BilletValueText(bool Inch, double Millimetres) {
    return FloatToUnitsText(Inch, Millimetres);
}

bool BilletTextToMM(const std::string &Text, bool Inch, double &Millimetres) {
    double v = 0;
    if (!TryStrToFloat(Trim(Text), v))
        return false;
    Millimetres = Inch ? v * 25.4 : v;
    return true;
}

} // namespace orv
