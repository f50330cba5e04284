#pragma once
// The tool library: one ini-format file (".MTD") with a section per tool,
// named by the tool's name. Holds the values of one tool at a time, reads and
// writes tool sections, merges and exports library files, and owns the
// "Tooling Library" window through TToolingLibraryView. Lengths are mm.

#include "engine/core/data_types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

using TColor = int32_t;

class TIniFile;
class TTooling_Library;

// Display name of a cutter type ("Slot Mill" ... "UnDefined"), untranslated.
std::string CutterTypeName(TCutter_types Type);

// Full path of a tooling file: a name with "\", "/" or ":" is a path (its
// "\" made "/"); any other lives in the program folder.
std::string ToolingFilePath(const std::string &Name);

// The "Tooling Library" window as the library drives it; the ui part makes it.
class TToolingLibraryView {
public:
    virtual ~TToolingLibraryView() = default;
    // Rebuilds the tree from the library (root "TOOLS", one node per listed tool).
    virtual void FillTree() = 0;
    // Shows the picture "TOOL<n>" and the translated name of the cutter type.
    virtual void ShowCutterType(TCutter_types Type) = 0;
    // The library's units changed: the sizes shown are shown again.
    virtual void UnitsChanged() {}
};

// One tool node of the tree: a tool that reads and has a diameter above 0.
struct TToolListEntry {
    std::string Name;
    TColor Colour = 0;
};

class TTooling_Library : public TComponent {
public:
    // Keys of a tool's section, in the order they are written.
    static constexpr const char *KeyDiameter = "Diameter";
    static constexpr const char *KeyLength = "length";
    static constexpr const char *KeyOffset = "Tool Length offset";
    static constexpr const char *KeyFluteLength = "Flute length";
    static constexpr const char *KeyFluteCount = "Flute Count";
    static constexpr const char *KeyMaximumLife = "Maximum tool Life";
    static constexpr const char *KeyCurrentLife = "Current tool Life";
    static constexpr const char *KeyColour = "colour";
    static constexpr const char *KeyType = "Type";
    static constexpr const char *KeyOffsetSet = "OffSET Set";
    static constexpr const char *KeyInUse = "Tool In Use";
    static constexpr TColor DefaultColour = 12632256;

    explicit TTooling_Library(TComponent *Owner = nullptr);
    ~TTooling_Library() override;

    // Makes the window of ShowWindow; installed by the ui library.
    static std::function<std::unique_ptr<TToolingLibraryView>(TTooling_Library &)> WindowFactory;

    // --- Held values: the tool last read ---
    TUnits Units = Metric; // of the sizes shown
    // New units; an open window shows its sizes in them.
    void SetUnits(TUnits Value);
    double Diameter = 0, Length = 0, FluteLength = 0; // mm
    TColor Colour = 0;
    int32_t FluteCount = 0, MaximumToolLife = 0, CurrentToolLife = 0;

    double OffSet() const { return FOffSet; }
    // Stores a new length offset (mm) of CurrentTool and marks "OffSET Set";
    // writes the tool. False (nothing written) when the current tool cannot
    // be read again from the library file.
    bool SetOffSet(double Value);
    TCutter_types CutterType() const { return FCutterType; }
    // Stores the type; an open window shows its picture and name.
    void SetCutterType(TCutter_types Value);
    bool ToolInUse() const { return FToolInUse; }
    bool SetToolInUse(bool Value); // writes CurrentTool, as SetOffSet
    bool OffsetSet() const { return FOffsetSet; }
    bool SetOffsetSet(bool Value); // writes CurrentTool, as SetOffSet

    const std::string &CurrentTool() const { return FCurrentTool; }
    // Makes Name current when it reads. False (CurrentTool kept) when not.
    bool SetCurrentTool(const std::string &Name);

    const std::string &DataFile() const { return FDataFile; }
    // A name with "\", "/" or ":" is a path; any other lives in the program folder.
    void SetDataFile(const std::string &Name);

    // Fired with (name, "") after an edit or a recolour, (old, new) after a rename.
    EToolDataChanged ToolDataChanged;

    // --- Reading and writing tool sections ---
    // Loads section Name of DataFile with the read defaults. False for an
    // empty name or "tool", a value that does not convert, or a diameter
    // below 0 (a missing section reads -1). CurrentTool is not changed.
    bool ReadTool(const std::string &Name, bool WithPicture = false);
    // Writes the held values as section Name of FileName; with Reread the
    // tool is first read from DataFile, and nothing is written when it does
    // not read (so no section ever receives another tool's values).
    bool WriteTool(const std::string &Name, const std::string &FileName, bool Reread);
    // Section names of the library file in file order.
    std::vector<std::string> SectionNames();
    bool ToolExists(const std::string &Name);

    // --- The window ---
    void ShowWindow();
    void CloseWindow();
    TToolingLibraryView *Window() const { return FWindow.get(); }
    // The tools the tree lists; copies the library file to "data.tmp" beside it.
    std::vector<TToolListEntry> ListTools();
    // The seven detail rows of a tool: translated key name, " = ", value.
    std::vector<std::string> DetailTexts(const std::string &Name);

    // --- Commands of the window (messages 13/14, 15, 10/11, 12) ---
    // Adds the tool "New Tool" with the read defaults; false on a name clash.
    bool AddTool();
    std::string NewToolName() const;
    // False (message 15) when the tool is in use.
    bool DeleteTool(const std::string &Name);
    // Moves every key to the new section; false (13/14) when New exists.
    bool RenameTool(const std::string &OldName, const std::string &NewName);
    void SetToolColour(const std::string &Name, TColor Value, bool Changed);
    bool SetToolType(const std::string &Name, TCutter_types Value);
    bool ClearToolInUse(const std::string &Name);
    // Merges the tools of FileName into DataFile, asking on existing names.
    // The library stays on DataFile, which now holds the merged tools.
    void ImportFile(const std::string &FileName);
    // Copies every listed tool into FileName, which then becomes DataFile.
    void ExportFile(const std::string &FileName);
    // Asks message 12; Yes deletes every tool that is not in use.
    void NewDataFile();
    // The "Tool Data" dialog wrote Name's section: the held values are read
    // again (so no stale value is written back later) and ToolDataChanged fires.
    void ToolEdited(const std::string &Name);

private:
    void ResetToDefaults();
    bool ReadValues(const std::string &Name);
    bool ReadLengths(const TIniFile &Ini, const std::string &Name);
    void ReadWholeNumbers(const TIniFile &Ini, const std::string &Name);
    bool HoldCurrentTool();
    bool WriteCurrentTool();
    void CopySection(const std::string &FromFile, const std::string &Name);
    void NameExistsError(const std::string &Name) const;
    void RememberLibraryFile() const;
    void RefreshWindow();
    void FireToolDataChanged(const std::string &OldName, const std::string &NewName);

    double FOffSet = 0;
    TCutter_types FCutterType = SlotMill;
    bool FToolInUse = false;
    bool FOffsetSet = false;
    std::string FCurrentTool;
    std::string FHeldTool; // whose values the properties hold; empty when mixed or unknown
    std::string FDataFile;
    std::vector<std::string> FSections;
    std::unique_ptr<TToolingLibraryView> FWindow;
};

} // namespace orv
