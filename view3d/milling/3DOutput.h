#pragma once
// T3DOutput, the engine's output slot 4: turns each processed move record
// into calls on the milling 3D view (straight and arc cuts, billet size,
// end of run, tool shape, status readout). The view is reached through
// T3DView, so the sink runs headless (ncrun) as well as with the window.

#include "engine/chain/BasicOutput.h"

#include <cstdint>
#include <memory>
#include <string>

namespace orv {

struct TTool_data;

// What the sink needs of the milling view. Lengths in program mm.
class T3DView {
public:
    virtual ~T3DView() = default;
    virtual void SetUnits(TUnits Units) = 0;
    // Kind 0 linear, 2 rapid.
    virtual void AddStraightMove(uint8_t Kind, double X1, double Y1, double Z1, double X2,
                                 double Y2, double Z2, double ToolRadius) = 0;
    // Sweep in degrees, positive clockwise; Plane 17, 18 or 19.
    virtual void AddArcMove(int Plane, double X1, double Y1, double Z1, double CentreX,
                            double CentreY, double CentreZ, double Radius, double Sweep,
                            double ToolRadius) = 0;
    virtual void SetBilletSize(double X, double Y, double Z) = 0;
    virtual void FinishRun() = 0;
    // 2 ball nose, 4 pointed, 0 flat.
    virtual void SetToolShape(uint8_t Shape) = 0;
    virtual void SetProgramName(const std::string &Name) = 0;
    virtual bool TurboDown() const = 0;
    // Status bar: panels 0 to 14; the value panels are 1, 3, ... 13.
    virtual void SetPanelText(int Index, const std::string &Text) = 0;
    virtual void SetPanelWidth(int Index, int Width) = 0;
    // Width of Text in the status bar's font, pixels.
    virtual int PanelTextWidth(const std::string &Text) const = 0;
};

// The view's tool shape for a cutter type: ball nose 2; drills, centre
// drills, tapered cutters and engraving tools 4; every other type 0.
uint8_t ToolShapeOf(TCutter_types Type);

class T3DOutput : public TBasicOutput {
public:
    // The sink owns View; null: a sink that draws nowhere.
    explicit T3DOutput(std::unique_ptr<T3DView> View);
    ~T3DOutput() override;

    void SetUnits(TUnits NewUnits) override;
    void RapidMove(double X, double Y, double Z) override;
    void LinearMove(double X, double Y, double Z) override;
    void ArcMove(double X, double Y, double Z, double CentreX, double CentreY, double CentreZ,
                 Extended Sweep, Extended Radius) override;
    bool Initialise() override;
    void Execute(TCNC_data &Data) override;
    void Start() override;
    // Sizes mm, limited to the machine's material maximum; positions are
    // kept but not drawn.
    void SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize) override;

    // Status readout of a record (values that are set only).
    void ShowPosition(const TCNC_data &Data);
    // Panel Index sized to Text + 12 pixels, then showing Text.
    void SetStatusPanel(int Index, const std::string &Text);

    T3DView *View() const { return FView.get(); }

    double LastX = 0, LastY = 0, LastZ = 1000.0;
    double LastCentreX = 0, LastCentreY = 0, LastCentreZ = 0;
    double LastSweep = 0, LastRadius = 0;
    int CurrentTool = 0;
    int CurrentLine = 0;
    double ToolDiameter = 0;

private:
    void ChangeTool(int Tool);
    void TakeTool(int Tool);
    bool WaitForTool(int Tool);

    std::unique_ptr<TTool_data> FToolData;
    std::unique_ptr<T3DView> FView;
    std::shared_ptr<bool> FAlive;
};

} // namespace orv
