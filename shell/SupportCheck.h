#pragma once
// The start-up check of the main window: which support files are missing
// and whether the VR control and the simulation control can be made. Gets
// the paths from the main settings file and the machine data, hands back
// the list the "Warning" dialog shows and the state of the two buttons.
#include <functional>
#include <string>
#include <vector>

namespace orv {

class TRead_Machinedata_file;

// The paths the check looks at (empty where a setting is empty).
struct TSupportPaths {
    std::string MainSettingsFile;
    std::string ProgramFolder; // with a trailing "/"
    std::string MachineListFile;
    std::string MachineFile; // the active machine's parameter file
    std::string KeplinFile;  // program folder + the machine data's Keplin file
    std::string ToolFile;    // [tooling] "Tool File name"
    std::string MintFile;    // the machine data's controller program file
};

// The two outside controls, test-created in the check's order.
struct TSupportProbes {
    std::function<bool()> CreateVR;           // true when the VR control can be made
    std::function<bool()> CreateSimulation;   // true when the simulation control can be made
    std::function<bool()> RegisterSimulation; // true when self-registration worked
};

struct TSupportResult {
    std::vector<std::string> Missing; // labels (translated) or paths, in check order
    bool VRAvailable = true;          // false: "VR Machine" disabled
    bool Sim3DAvailable = true;       // false: "3D Simulation" hidden
};

// A file is missing when it does not exist (any letter case) and its file
// name is not "NONE" in any letter case.
bool IsMissingSupportFile(const std::string &Path);

// Reads the paths from the main settings file; Machine may be null.
TSupportPaths ReadSupportPaths(const std::string &MainSettingsFile,
                               const std::string &ProgramFolder,
                               const TRead_Machinedata_file *Machine);

// The nine checks in order: main settings file, VR control, simulation
// control, the eight program files, machine list, machine file, Keplin
// file, tooling file, controller program file.
TSupportResult CheckSupportFiles(const TSupportPaths &Paths, const TSupportProbes &Probes);

} // namespace orv
