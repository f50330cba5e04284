#pragma once
// Project files (".PRJ"): the set-up of one job in one [Data] section, the
// NC program, the tool changer file, the machine and simulation work
// offsets, the units and the "Cycle Expansion" check, so that a job is
// restored in one step. The main window writes and applies them through
// TProjectTarget.

#include <string>

namespace orv {

struct TProjectData {
    std::string Filename;            // the NC program, full path
    std::string ToolSetup;           // the tool changer file (".MTF")
    std::string MachineWorkPiece;    // the machine work offset's name
    std::string SimulationWorkPiece; // the simulation work offset's name
    bool Metric = true;
    bool ExpandedCycles = true;
};

// Writes the six keys in their order (the last two into the section
// spelled "data", which is [Data] to every reader).
bool WriteProjectFile(const std::string &FileName, const TProjectData &Data);
// Missing keys give empty names, millimetres and the check mark.
TProjectData ReadProjectFile(const std::string &FileName);

// What applying a project changes.
class TProjectTarget {
public:
    virtual ~TProjectTarget() = default;
    // The program, opened as File > Open would (which refuses during a run).
    virtual void OpenProgram(std::string FileName) = 0;
    virtual void SetToolFile(const std::string &FileName) = 0;
    virtual void SetMachineOffset(const std::string &Name) = 0;
    virtual void SetSimulationOffset(const std::string &Name) = 0;
    virtual void SetInch(bool Inch) = 0;
    virtual void SetCycleExpansion(bool On) = 0;
};

// Applies the keys in their order; a "Filename" that is empty or names a
// ".PRJ" opens no program, the other keys apply all the same.
void ApplyProject(const TProjectData &Data, TProjectTarget &Target);

} // namespace orv
