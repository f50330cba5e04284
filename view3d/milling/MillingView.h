#pragma once
// The milling 3D view without its window: the billet model, the settings it
// applies, the Turbo state and the status bar texts. The window (ui) draws
// what this holds; ncrun drives it headless and writes the height map.

#include "view3d/milling/3DOutput.h"
#include "view3d/milling/G3DSettings.h"
#include "view3d/milling/MillingBillet.h"

#include <array>
#include <functional>
#include <iosfwd>
#include <string>

namespace orv {

class TMillingView : public T3DView {
public:
    TMillingView();

    void SetUnits(TUnits Units) override;
    void AddStraightMove(uint8_t Kind, double X1, double Y1, double Z1, double X2, double Y2,
                         double Z2, double ToolRadius) override;
    void AddArcMove(int Plane, double X1, double Y1, double Z1, double CentreX, double CentreY,
                    double CentreZ, double Radius, double Sweep, double ToolRadius) override;
    void SetBilletSize(double X, double Y, double Z) override;
    void FinishRun() override;
    void SetToolShape(uint8_t Shape) override { Billet.ToolShape = Shape; }
    void SetProgramName(const std::string &Name) override { ProgramName = Name; }
    bool TurboDown() const override { return Billet.Turbo; }
    void SetPanelText(int Index, const std::string &Text) override;
    void SetPanelWidth(int Index, int Width) override;
    // Eight pixels a character when no window measures it.
    int PanelTextWidth(const std::string &Text) const override;

    // Copies the settings into the billet model (path colours and kinds,
    // grid size, offsets); the next Turbo cut rebuilds at once.
    void ApplySetup(const TG3D_settings &Settings);
    // After the options dialog's OK: applies, and a grid size more than
    // 0.09 mm from the grid in use resets the billet and the path.
    void OptionsAccepted(const TG3D_settings &Settings);

    // The probe of "Measure" dragged by (AnchorX - X, AnchorY - Y) pixels:
    // half a grid cell a pixel, to the right and up the screen; it stays on
    // the billet and its Z follows the surface (kept where it reads none).
    void DragProbe(int DX, int DY);
    // "X: ", "Y: ", "Z: " and the probe's coordinate in the view's units
    // (Axis 0, 1, 2).
    std::string MeasureText(int Axis) const;
    // A datum edit's text (the view's units) as the datum offset in mm.
    void SetDatumText(int Axis, const std::string &Text);
    std::string DatumText(int Axis) const;

    TUnits Units() const { return FUnits; }
    const std::string &PanelText(int Index) const { return FPanels.at(Index).Text; }
    int PanelWidth(int Index) const { return FPanels.at(Index).Width; }

    TMillingBillet Billet;
    std::string ProgramName;
    bool ShowCutter = true;
    // The probe's position (mm) and the surface height under it.
    float ProbeX = 0, ProbeY = 0, ProbeZ = 0;
    // Drawn again: the surface (after cuts), the tool (a placed tip).
    std::function<void()> OnChanged;

protected:
    // A window that shows the view follows it here; the model is up to date.
    virtual void UnitsChanged() {}
    virtual void PathChanged() {}  // after each move
    virtual void SurfaceReset() {} // a new billet: new grid, empty path
    virtual void RunFinished() {}
    virtual void PanelChanged(int Index) {} // its text or width

private:
    struct TPanel {
        std::string Text;
        int Width = 50;
    };
    TUnits FUnits = Metric;
    std::array<TPanel, 15> FPanels;
};

// The height map as text: columns, rows and step on the first line, then
// one line per row (Y from 0) of the cells' heights with 4 decimals.
void WriteHeightMap(std::ostream &Out, const TMillingBillet &Billet);

} // namespace orv
