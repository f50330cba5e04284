#include "shell/SupportCheck.h"

#include "engine/core/Mess.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

namespace orv {

namespace {

const char *const ProgramFiles[] = {"Language.txt", "translat.txt", "Cycles.ini", "Default1.ini",
                                    "Default2.ini", "Default3.ini", "Help.ini",   "Mill.hlp"};

// A relative setting names a file beside the main settings file.
std::string BesideSettings(const std::string &Path, const std::string &Folder) {
    const std::string p = NormalisePath(Path);
    if (p.empty() || p.front() == '/')
        return p;
    return Folder + p;
}

void Check(TSupportResult &Result, const std::string &Path, const std::string &Label) {
    if (!IsMissingSupportFile(Path))
        return;
    Result.Missing.push_back(Label.empty() ? Path : Mess().Translate(Label));
}

} // namespace

bool IsMissingSupportFile(const std::string &Path) {
    const std::string name = ExtractFileName(NormalisePath(Path));
    if (name.empty())
        return true; // an empty setting, or a folder where a file belongs
    if (FileExistsNoCase(Path))
        return false;
    return UpperCase(name) != "NONE";
}

TSupportPaths ReadSupportPaths(const std::string &MainSettingsFile,
                               const std::string &ProgramFolder,
                               const TRead_Machinedata_file *Machine) {
    TSupportPaths p;
    p.MainSettingsFile = MainSettingsFile;
    p.ProgramFolder = ProgramFolder;
    const std::string folder = ExtractFilePath(NormalisePath(MainSettingsFile));
    TIniFile ini(FindFileNoCase(MainSettingsFile));
    p.MachineListFile =
        BesideSettings(ini.ReadString("directories", "machine list file", ""), folder);
    p.ToolFile = BesideSettings(ini.ReadString("tooling", "Tool File name", ""), folder);
    if (Machine) {
        p.MachineFile = Machine->MachineFilePath();
        p.KeplinFile = ProgramFolder + Machine->InputDevices.KeplinFile;
        p.MintFile = Machine->Communications.MintFile;
    } else {
        p.KeplinFile = ProgramFolder;
    }
    return p;
}

TSupportResult CheckSupportFiles(const TSupportPaths &Paths, const TSupportProbes &Probes) {
    TSupportResult r;
    Check(r, Paths.MainSettingsFile, "");
    if (Probes.CreateVR && !Probes.CreateVR())
        r.VRAvailable = false;
    if (Probes.CreateSimulation && !Probes.CreateSimulation())
        r.Sim3DAvailable = Probes.RegisterSimulation && Probes.RegisterSimulation();
    for (const char *name : ProgramFiles)
        Check(r, Paths.ProgramFolder + name, "");
    Check(r, Paths.MachineListFile, "Machine list file");
    Check(r, Paths.MachineFile, "Machine specific INI File");
    Check(r, Paths.KeplinFile, "Keplin Data File");
    Check(r, Paths.ToolFile, "Tooling File");
    Check(r, Paths.MintFile, "Mint Program file");
    return r;
}

} // namespace orv
