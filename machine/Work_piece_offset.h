#pragma once
// Work offsets: named X, Y, Z shifts (mm) from machine coordinates to program
// coordinates, kept in a work offset file (".MOL", one section per offset).
// Holds the current machine and simulation offsets, selects one for G54 to
// G59, and keeps the state of the "Work Piece Offsets" window (tree, edits,
// zeroing an axis at the machine position, the circle-centre finder).

#include "engine/chain/Vectors.h"
#include "engine/core/data_types.h"
#include "platform/EventLoop.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TMachine_Tooling;

enum TGraphics_style : uint8_t { Gs_3d, Gs_2d };

using EWorkDataChanged = std::function<void(TObject *Sender, const std::string &OldWorkName,
                                            const std::string &NewWorkName)>;

// The "Work Piece Offsets" window as the offsets drive it; the ui part makes it.
class TWorkOffsetView {
public:
    virtual ~TWorkOffsetView() = default;
    // Shows the model again: tree, current names, edits, centre panel.
    virtual void Refresh() = 0;
};

// The circle-centre finder panel: three touched points and the circle through them.
struct TCentreFinder {
    static constexpr int LampGreen = 0x8000;
    static constexpr int LampRed = 255;
    static constexpr double MaximumDiameter = 10000; // mm

    bool Visible = false;
    TPoint3D Points[3];
    bool PointSet[3] = {false, false, false};
    bool HasCentre = false;
    TPoint3D Centre;
    double Diameter = 0; // mm
    int Lamp = 0;        // 0 off, LampGreen, LampRed
};

class TWork_piece_offset : public TComponent {
public:
    static constexpr const char *TypeKey = "Type";
    static constexpr const char *MachineType = "Machine";
    static constexpr const char *SimulationType = "Simulation";
    static constexpr int EditDelayMs = 10; // the edits write this long after the last change

    explicit TWork_piece_offset(TComponent *Owner = nullptr);
    ~TWork_piece_offset() override;

    // Makes the window of ShowWindow; installed by the ui library.
    static std::function<std::unique_ptr<TWorkOffsetView>(TWork_piece_offset &)> WindowFactory;

    // --- Current offsets (mm) ---
    const std::string &CurrentMOffset() const { return FCurrentM; }
    void SetCurrentMOffset(const std::string &Name) { SelectOffset(Name, false); }
    double MX() const { return FM.X; }
    double MY() const { return FM.Y; }
    double MZ() const { return FM.Z; }
    const std::string &CurrentSOffset() const { return FCurrentS; }
    void SetCurrentSOffset(const std::string &Name) { SelectOffset(Name, true); }
    double SX() const { return FS.X; }
    double SY() const { return FS.Y; }
    double SZ() const { return FS.Z; }

    const std::string &Filename() const { return FFilename; }
    void SetFilename(const std::string &Name) { FFilename = Name; }
    TGraphics_style GraphicStyle() const { return FGraphicStyle; }
    void SetGraphicStyle(TGraphics_style Value) { FGraphicStyle = Value; }
    // First picture of the "Set Offset" dialog: 0 for Gs_3d, 5 for Gs_2d.
    int FirstPicture() const { return FGraphicStyle == Gs_2d ? 5 : 0; }
    void SetCycleState(TCycleState Value);
    // The tree and the edits work only while the cycle is stopped.
    bool EditingEnabled() const { return FCycleState == csStopped; }
    TUnits Units() const { return FUnits; }
    void SetUnits(TUnits Value);

    // Fired with the selected name in both arguments.
    EWorkDataChanged WorkDataChanged;

    // The machine as the engine form attaches it: its position in program
    // units (mm, machine coordinates). Empty while no machine is attached.
    std::function<bool(TPoint3D &Position)> MachinePosition;
    bool HasMachine() const { return static_cast<bool>(MachinePosition); }
    TMachine_Tooling *Tooling = nullptr; // for the current tool's radius and length
    std::string NewOffsetName;           // translated "New Offset"
    std::vector<std::string> Names;      // offset names in file order

    // [Default Settings] "SimUseWorkOffset" of the settings file beside the
    // program (default true): the simulation offset follows the machine offset.
    static bool SimUseWorkOffset();

    // --- Selection ---
    // Makes Name the current machine (or simulation) offset and loads it;
    // fires WorkDataChanged.
    void SelectOffset(const std::string &Name, bool Simulation);
    // G54 to G59 (53 < N < 60): the offset named "G" + N in any letter case
    // becomes the current machine offset. False when none is found.
    bool SelectByCode(int N);
    // Values of section Name into the current sets (see SimUseWorkOffset).
    void LoadOffset(const std::string &Name);
    std::vector<std::string> ReadNames() const;

    // --- The window ---
    void ShowWindow(bool SelectCurrent);
    void CloseWindow();
    bool WindowOpen() const { return FWindowOpen; }
    TWorkOffsetView *Window() const { return FView.get(); }
    // Selected tree node: an offset name, or empty for the root.
    const std::string &SelectedName() const { return FSelected; }
    // Values of the edits Xo, Yo, Zo in display units (Field 1, 2, 3).
    double EditValue(int Field) const { return FEdit[Field - 1]; }
    bool CanPaste() const { return FClipboardFilled; }
    // The zero buttons work on an offset node while a machine is attached.
    bool CanZero() const { return !FSelected.empty() && HasMachine(); }

    // Writes the edits of the selected node into section Name (empty: the
    // edits become 0 and NewOffsetName is used). Field 1 X, 2 Y, 3 Z, 4 all.
    virtual void WriteOffset(const std::string &Name, int Field);

    // Commands of the window.
    void SelectNode(const std::string &Name);
    // An edit changed (display units); the file is written EditDelayMs later.
    void ChangeEdit(int Field, double DisplayValue);
    // Writes the changed edits now (the edit timer's work).
    void FlushEdits();
    bool AddOffset();
    void DeleteOffset();
    bool RenameOffset(const std::string &OldName, const std::string &NewName);
    void CopyOffset();
    void PasteOffset();
    void MakeCurrent();
    // Zeroes Axis (1 X, 2 Y, 3 Z) at the machine position; Picture 1, 2, 3
    // gives the side factor 0, +1, -1; the value is the cutter radius or
    // OtherValue (display units). False when nothing was set.
    bool ZeroAxis(int Axis, int Picture, bool UseCutterRadius, const std::string &OtherValue);

    // The circle-centre finder.
    const TCentreFinder &CentreFinder() const { return FCentre; }
    void ShowCentreFinder();
    void TakeCentrePoint(int Index); // 0 to 2: the machine's X and Y
    void AcceptCentre();             // "&Ok": a green lamp puts the centre into X and Y
    void CancelCentre();

private:
    void FillTree(bool SelectCurrent);
    double ToDisplay(double Mm) const;
    double ToMm(double Display) const;
    void CommitCurrentValues();
    void NameExistsMessage(const std::string &Name) const;
    bool NameExists(const std::string &Name) const;
    void UpdateCentre();
    void RefreshView();
    void FireWorkDataChanged(const std::string &Name); // the same name as old and new

    std::string FCurrentM, FCurrentS;
    TPoint3D FM, FS;
    std::string FFilename;
    TGraphics_style FGraphicStyle = Gs_2d;
    TCycleState FCycleState = csStopped;
    TUnits FUnits = Metric;
    bool FWindowOpen = false;
    std::unique_ptr<TWorkOffsetView> FView;
    std::string FSelected;
    double FEdit[3] = {0, 0, 0};
    unsigned FPendingFields = 0; // bit (Field - 1) for each edit changed since the last write
    TTimer FEditTime;
    double FClipboard[3] = {0, 0, 0}; // mm
    bool FClipboardFilled = false;
    TCentreFinder FCentre;
};

} // namespace orv
