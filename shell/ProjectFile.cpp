#include "shell/ProjectFile.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

namespace orv {

bool WriteProjectFile(const std::string &FileName, const TProjectData &Data)
{
    TIniFile ini(FileName);
    ini.WriteString("Data", "Filename", Data.Filename);
    ini.WriteString("Data", "Tool setup", Data.ToolSetup);
    ini.WriteString("Data", "Machine Work Piece", Data.MachineWorkPiece);
    ini.WriteString("Data", "Simulation Work Piece", Data.SimulationWorkPiece);
    ini.WriteBool("data", "Metric", Data.Metric);
    ini.WriteBool("data", "Expanded Cycles", Data.ExpandedCycles);
    return ini.LastWriteOk();
}

TProjectData ReadProjectFile(const std::string &FileName)
{
    TIniFile ini(FileName);
    TProjectData data;
    data.Filename = ini.ReadString("Data", "Filename", "");
    data.ToolSetup = ini.ReadString("Data", "Tool setup", "");
    data.MachineWorkPiece = ini.ReadString("Data", "Machine Work Piece", "");
    data.SimulationWorkPiece = ini.ReadString("Data", "Simulation Work Piece", "");
    data.Metric = ini.ReadInteger("Data", "Metric", 1) != 0;
    data.ExpandedCycles = ini.ReadBool("Data", "Expanded Cycles", true);
    return data;
}

void ApplyProject(const TProjectData &Data, TProjectTarget &Target)
{
    if (!Data.Filename.empty() && UpperCase(ExtractFileExt(Data.Filename)) != ".PRJ")
        Target.OpenProgram(Data.Filename);
    Target.SetToolFile(Data.ToolSetup);
    Target.SetMachineOffset(Data.MachineWorkPiece);
    Target.SetSimulationOffset(Data.SimulationWorkPiece);
    Target.SetInch(!Data.Metric);
    Target.SetCycleExpansion(Data.ExpandedCycles);
}

} // namespace orv
