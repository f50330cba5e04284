#pragma once
// The 2D output (output slot 0): turns the run's move records into the
// elements of the 2D drawing window (TForm2D), which it creates, places and
// frees. Positions arrive in program millimetres; the elements are kept in
// view millimetres (see View2dGeometry.h), with X,Y offsets on the machine
// table around the window's datum.

#include "engine/chain/BasicOutput.h"
#include "engine/chain/Vectors.h"

#include <functional>
#include <memory>

namespace orv {

class TForm2D;
class TForm2DView;
struct TTool_data;
struct TViewMapping;
struct TMovePoint;

class TDraw_2D : public TBasicOutput {
public:
    // Current position 0, 0, 1000 (1000: no Z yet).
    TDraw_2D();
    // Writes the window's bounds to "2D Window" and frees it.
    ~TDraw_2D() override;

    // Makes the window's view (pictures and screen); none: a window
    // that keeps its list and draws nothing.
    std::function<std::unique_ptr<TForm2DView>()> ViewFactory;

    void SetUnits(TUnits NewUnits) override;
    void RapidMove(double X, double Y, double Z) override;
    void LinearMove(double X, double Y, double Z) override;
    void ArcMove(double X, double Y, double Z, double CentreX, double CentreY, double CentreZ,
                 Extended Sweep, Extended Radius) override;
    void SetCycleState(TCycleState State) override;
    // Travel from the machine data, the window, its settings; true.
    bool Initialise() override;
    // One record: moves, billet and tool events, spindle, tool change
    // (message 40/41 for a T without a tool), then the next request.
    void Execute(TCNC_data &Data) override;
    void Start() override;
    void Stop() override;
    void Rewind() override;
    // Billet position and sizes, mm; empties the drawing and lays it out.
    void SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize) override;
    // Highlights the first element of source line CNCLine + 1.
    void ShowLine(TObject *Sender, int CNCLine) override;

    // The window's "Use X,Y Offsets": empties the list and sets the billet again.
    void ToggleOffsets();

    TForm2D *Window() const { return FWindow.get(); }

    Extended CurrentX = 0, CurrentY = 0, CurrentZ = 1000;
    Extended LastI = 0, LastJ = 0, LastK = 0;
    Extended LastSweep = 0, LastRadius = 0;
    int CurrentLine = 0;
    double ToolDiameter = 4.0; // mm
    int LastToolNumber = 0;
    double TravelWidth = 0, TravelHeight = 0; // mm
    bool ClearOnStart = false;
    bool DwellDone = false;

private:
    void CreateWindow();
    void RestoreWindowBounds();
    void MoveOntoDatum(TCNC_data &Data) const;
    void ExecuteEvent(TCNC_data &Data);
    void DwellWithCutter(double Milliseconds);
    void ChangeTool(int Tool);
    bool WaitForTool(int Tool);
    void ShowToolPanel();
    void ShowPosition(double X, double Y, double Z);
    void AddStraight(uint8_t Kind, double X, double Y, double Z);
    bool DrawMove(const TMovePoint &To, const TDD_Type &Element);
    double OffsetZ() const;
    double DatumShiftX() const;
    double DatumShiftY() const;
    TViewMapping Mapping() const;
    std::string SettingsFile() const;

    std::unique_ptr<TForm2D> FWindow;
    std::unique_ptr<TTool_data> FToolData;
    std::shared_ptr<bool> FAlive;
    bool FToolShown = false; // the tool panel holds "Tool= n"
};

} // namespace orv
