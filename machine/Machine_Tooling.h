#pragma once
// The machine's tool changer: a ring of numbered positions, each holding one
// tool of the tool library by name, stored in a tool changer file (".MTF").
// Answers tool data by position, keeps the current tool's length offset and
// diameter (mm) for the engine, and runs the two-step tool change.

#include "engine/core/data_types.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TTooling_Library;
using TColor = int32_t;

// Tool data of one changer position; lengths in mm.
struct TTool_data {
    std::string TypeName; // translated display name of the cutter type
    TCutter_types CutterType = SlotMill;
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
using TToolOffsetNotify = std::function<void(TObject *Sender)>;

// --- The "Machine Tooling" window (the carousel) ---

// A pixel point of the window.
struct TDeckPoint {
    int X = 0, Y = 0;
    bool operator==(const TDeckPoint &) const = default;
};

// Centre of changer position Position on the carousel of centre (OX, OY)
// and radius R, pixels: the current tool at the top, the others Step =
// 360 / Capacity degrees apart, clockwise on the screen for ClockWise.
TDeckPoint CarouselPoint(int Position, int Current, int Capacity, TCircularDirection Direction,
                         double OX, double OY, double R);

// One position button as the window shows it.
struct TDeckButton {
    bool Visible = false;
    int Left = 0, Top = 0;   // 33 x 25 pixels; its colour strip 33 x 6 below
    bool Occupied = false;   // the strip in the tool's colour, else the button face
    TColor Strip = 0;
    std::string Hint;        // the tool's name or "Tool Position Empty"
};

// What the window shows; the tooling keeps it and the window draws it.
struct TToolDeckShown {
    static constexpr int ButtonWidth = 33, ButtonHeight = 25, StripHeight = 6;
    // The position buttons are centred on the image's rim: the image keeps
    // half a button and a margin of 8 pixels from the window's edges, so
    // the leftmost and the topmost button lie whole inside the window.
    static constexpr int ImageLeft = 8 + ButtonWidth / 2, ImageTop = 8 + ButtonHeight / 2;
    static constexpr int ImageWidth = 225, ImageHeight = 230;
    static constexpr int PointerBase = 40;
    static constexpr TColor DiscColour = 5263440, PointerColour = 12632256;

    std::array<TDeckButton, 32> Buttons;
    // The pointer from the hub to the information position: apex, base ends.
    bool PointerVisible = false;
    TDeckPoint Apex, BaseA, BaseB;
    // The information panel.
    bool DetailsVisible = false;      // a tool's rows are shown
    std::string Number;               // "T: 3", empty for none
    std::string Name, LargeName, NameHint;
    std::vector<std::string> Rows;    // caption + value, eight rows
    std::string Summary;              // type, diameter, length offset
    std::string FileName;             // the changer file without folder
    TCircularDirection Direction = ClockWise;
};

class TToolDeckView {
public:
    virtual ~TToolDeckView() = default;
    // Draws TMachine_Tooling::DeckShown().
    virtual void Refresh() = 0;
    virtual void Show() = 0;
};

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
    // Stores the units; an open "Machine Tooling" window shows its
    // information panel in them.
    void SetUnits(TUnits Value);
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
    TToolOffsetNotify Tool_Z_offsetChanged;
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

    // --- The "Machine Tooling" window ---
    // Makes the window (installed by the ui library).
    static std::function<std::unique_ptr<TToolDeckView>(TMachine_Tooling &)> DeckFactory;
    // Creates and shows the window (shows it again when it exists); the
    // current position's information shows. CloseDeck frees it.
    void ShowDeck();
    void CloseDeck();
    bool DeckOpen() const { return FDeck != nullptr; }
    TToolDeckView *Deck() const { return FDeck.get(); }
    const TToolDeckShown &DeckShown() const { return FShown; }
    int InfoPosition() const { return FInfoPosition; }
    int MenuPosition = 0; // whose context menu is open
    std::string EmptyHint = "Tool Position Empty";

    // Positions 1 to ToolCapacity that name a tool, shown in the carousel.
    void RefreshPositions();
    // The information panel for Position (0 or less: none).
    void ShowToolInfo(int Position);
    // The deck's texts made again after a change of language.
    void LanguageChanged();
    // Left button down on a position: OnDataChanged, then its information.
    void PositionPressed(int Position);
    // Ctrl + left release: a tool change to Position (not the current one).
    void PositionCtrlReleased(int Position);
    // Context menu actions on MenuPosition.
    void RemoveToolFromPosition();
    void InsertTool(int Position, const std::string &Name);
    void MoveTool(int From, int To);
    void SwapTool(int From, int To);
    void ChangeToolType(int Position, TCutter_types Type);
    // Drops: a library tool onto Position, or position From onto To.
    void DropLibraryTool(int Position, const std::string &Name);
    void DropPosition(int From, int To);
    // "File" menu: export to FileName (message 6 and the name on failure),
    // "New" (the first free "NewData.mtf", "NewData1.mtf", ...).
    void ExportToolingFile(const std::string &FileName);
    void NewToolingFile();
    void SetLayoutDirection(int Tag);

private:
    std::string PositionName(int Position) const;
    bool ReadUsableTool(int Position, std::string &Name);
    void ClearCachedTool();
    void WriteCurrentToolToFile();
    void LibraryToolDataChanged(const std::string &OldName, const std::string &NewName);
    void FireToolZOffsetChanged();
    void FireDataChanged(int Position);
    void ShowToolAtPosition(int Position, const std::string &Name);
    void ClearShownPosition(int Position);
    void EmptyPosition(int Position);
    void LayoutCarousel();
    void DrawPointer();
    void FillToolInfo(int Position, const std::string &Name);
    void RefreshDeck();

    TUnits FUnits = Metric;
    int FToolCapacity = MaxPositions;
    int FMachineToolCount = 0;
    int FCurrentTool = 0;
    int FPendingTool = 0;
    TCircularDirection FDirection = ClockWise;
    std::string FDataFile;
    std::unique_ptr<TTooling_Library> FLibrary;
    std::unique_ptr<TToolDeckView> FDeck;
    TToolDeckShown FShown;
    int FInfoPosition = 0;
};

// The prompt every changer without a ZOffsetPrompt of its own uses: the
// "Set Offset" dialog once the program has installed its machine windows;
// empty: the message service's input prompt.
void SetDefaultZOffsetPrompt(std::function<bool(const std::string &Prompt, std::string &Value)> Prompt);

// Section of a changer position: "Tool" followed by the number.
std::string ToolSection(int Position);

} // namespace orv
