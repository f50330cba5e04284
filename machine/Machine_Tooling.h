#pragma once
// The machine's tool changer: a ring of numbered positions, each holding one
// tool of the tool library by name, stored in a tool changer file (".MTF").
// Answers tool data by position, keeps the current tool's length offset and
// diameter (mm) for the engine, and runs the two-step tool change.

#include "engine/core/data_types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orv {

class TTooling_Library;
using TColor = int32_t;

// Tool data of one changer position; lengths in mm.
struct TTool_data {
    std::string TypeName; // translated display name of the cutter type
    double Diameter = 0;  // -1.0: no usable tool at the position
    double Length = 0;
    double LengthOffset = 0; // the library key "Tool Length offset"
    double FluteLength = 0;
    int32_t FluteCount = 0;
    int32_t MaximumToolLife = 0;
    int32_t CurrentToolLife = 0;
    TColor Colour = 0;
};

using EToolChangeRequiredNotify = std::function<void(TObject *Sender, int ToolNumber)>;
using EToolDataChangedNotify = std::function<void(TObject *Sender, int ToolNumber)>;
using TNotifyEvent = std::function<void(TObject *Sender)>;

class TMachine_Tooling : public TComponent {
public:
    static constexpr int MaxPositions = 32; // sections "Tool1" to "Tool32"
    static constexpr const char *FileFilter = "Miller Tooling File|*.MTF";
    static constexpr const char *DefaultExt = "MTF";

    explicit TMachine_Tooling(TComponent *Owner = nullptr);
    // Writes "Global"/"Current Tool" to an existing changer file; frees the library.
    ~TMachine_Tooling() override;

    // --- Properties (positions are 1-based) ---
    TUnits Units() const { return FUnits; }
    void SetUnits(TUnits Value) { FUnits = Value; }
    // Positions the changer has, kept within 1 to 32 (machine data
    // [Tool Change] "Maximum number"); lowers the count and the current tool.
    int ToolCapacity() const { return FToolCapacity; }
    void SetToolCapacity(int Value);
    // Positions in use: 1 to ToolCapacity.
    int MachineToolCount() const { return FMachineToolCount; }
    void SetMachineToolCount(int Value);
    // Position of the tool in the spindle: 1 to MachineToolCount (0 while the count is 0).
    int CurrentTool() const { return FCurrentTool; }
    void SetCurrentTool(int Value);
    TCircularDirection DirectionOfToolLayout() const { return FDirection; }
    void SetDirectionOfToolLayout(TCircularDirection Value) { FDirection = Value; }
    const std::string &DataFile() const { return FDataFile; }
    // A name with "\", "/" or ":" is a path, any other lives in the program
    // folder; reads "Global"/"Current Tool" (default 1) into CurrentTool.
    void SetDataFile(const std::string &Name);

    bool WarnBeforeToolChange = false;   // ask message 9 before every request
    bool ConfirmationToolChange = false; // requests wait for CommitToolChange
    bool UseToolInUseFlag = false;       // set by the engine form; the flag is always kept

    // Length offset and diameter (mm) of the current tool; 0 without a usable tool.
    double CurrentLengthOffset = 0;
    double CurrentDiameter = 0;

    EToolChangeRequiredNotify ToolChangeRequiredNotify;
    TNotifyEvent Tool_Z_offsetChanged;
    EToolDataChangedNotify OnDataChanged; // -1: all positions

    // --- Tool data ---
    // Fills Data for the tool at Position; Diameter -1.0 when the position
    // is empty, no library is bound or the library does not hold the tool.
    // For the current position it also refreshes CurrentLengthOffset and
    // CurrentDiameter (0 for an empty position).
    void GetToolData(int Position, TTool_data &Data);
    bool HasTool(int Position) const;
    // False when the position is empty (message 2 when ShowError).
    bool GetToolName(int Position, std::string &Name, bool ShowError) const;
    // Makes the tool current in the library, caches and returns its length
    // offset (mm); 0 with both cached values cleared when there is no usable tool.
    double ToolLengthOffset(int Position);

    // --- Tool change ---
    // First step: asks message 9 when WarnBeforeToolChange (not Yes: false);
    // notes the position, fires ToolChangeRequiredNotify when Notify, and
    // commits at once unless ConfirmationToolChange.
    bool RequestToolChange(int Position, bool Notify);
    // Second step: the pending position becomes current with its tool's data.
    // A position without a usable tool clears the cached data and warns
    // (message 40 with the position).
    void CommitToolChange();
    // Drops a request that was not committed: the machine did not take the
    // tool, so the tool in the spindle and its data stay current.
    void CancelToolChange() { FPendingTool = 0; }
    int PendingTool() const { return FPendingTool; }

    // "Set Offset" prompt for the tool at Position, starting at Value (mm).
    // Message 2 (error) when the text does not convert; nothing is written
    // when the tool cannot be made current in the library.
    void EditZOffset(int Position, double Value);
    // The prompt of EditZOffset; empty: the program's default prompt (see
    // SetDefaultZOffsetPrompt), else the message service's input prompt.
    std::function<bool(const std::string &Prompt, std::string &Value)> ZOffsetPrompt;

    // --- Library and positions ---
    // Binds and owns the library and hooks its ToolDataChanged.
    void SetToolLibrary(std::unique_ptr<TTooling_Library> Library);
    TTooling_Library *ToolLibrary() const { return FLibrary.get(); }
    // Writes "Tool Name" of position p (with a library bound).
    void SetToolName(int Position, const std::string &Name);
    // True when N positions name exactly this tool (case-sensitive).
    bool ToolNameUsed(const std::string &Name, int N) const;
    // Erases the position's section and fires OnDataChanged with it.
    void ClearPosition(int Position);
    // Import dialog of a changer file ("Open Tooling File").
    void OpenToolingFile();

private:
    std::string PositionName(int Position) const;
    bool ReadUsableTool(int Position, std::string &Name);
    void ClearCachedTool();
    void WriteCurrentToolToFile();
    void LibraryToolDataChanged(const std::string &OldName, const std::string &NewName);
    void FireToolZOffsetChanged();
    void FireDataChanged(int Position);

    TUnits FUnits = Metric;
    int FToolCapacity = MaxPositions;
    int FMachineToolCount = 0;
    int FCurrentTool = 0;
    int FPendingTool = 0;
    TCircularDirection FDirection = ClockWise;
    std::string FDataFile;
    std::unique_ptr<TTooling_Library> FLibrary;
};

// The prompt every changer without a ZOffsetPrompt of its own uses: the
// "Set Offset" dialog once the program has installed its machine windows;
// empty: the message service's input prompt.
void SetDefaultZOffsetPrompt(std::function<bool(const std::string &Prompt, std::string &Value)> Prompt);

// Section of a changer position: "Tool" followed by the number.
std::string ToolSection(int Position);

} // namespace orv
