#pragma once
// The simulation-control link (output slot 1): feeds the material-removal
// simulation control with the billet, the tools and every move of the run,
// through its dispatch interface only, and keeps the "3D Simulation"
// window (TThreeD_form) that holds the control. Positions are program
// millimetres; the control takes z with the billet top at 0.

#include "engine/chain/BasicOutput.h"
#include "engine/simlink/ThreeD_form.h"

#include <functional>
#include <memory>

namespace orv {

struct TTool_data;

// Class id of the simulation control (VelmaroxOCX).
constexpr const char *VelmaroxControlClassId = "{950EDBA7-809F-11D2-BF33-00A0247E54C4}";

class TSimLink : public TBasicOutput {
public:
    TSimLink();
    ~TSimLink() override;

    // Makes the window's view; none: a form with no window.
    std::function<std::unique_ptr<TThreeDView>()> ViewFactory;
    // Makes the control; by default from its class id through the class
    // registry. A null result leaves the link without a control.
    std::function<TComPtr()> ControlFactory;

    void RapidMove(double X, double Y, double Z) override;
    void LinearMove(double X, double Y, double Z) override;
    void ArcMove(double X, double Y, double Z, double CentreX, double CentreY, double CentreZ,
                 Extended Sweep, Extended Radius) override;
    void FeedChange(TCNC_data &Data) override;
    void SetCycleState(TCycleState State) override;
    bool Initialise() override;
    void Execute(TCNC_data &Data) override;
    void Start() override;
    // Billet position and sizes, mm; sizes clamped to the material maximum.
    void SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize) override;

    TThreeD_form *Window() const { return FWindow.get(); }

    // The last position sent; Z raised to the billet bottom.
    double LastX = 0, LastY = 0, LastZ = 0;
    double LastFeed = 0;
    double SentXSize = 0, SentYSize = 0, SentZSize = 0;
    int CurrentTool = 0;

private:
    void CreateWindow();
    void SendBillet(double XPos, double YPos);
    void ChangeTool(int Tool);
    bool WaitForTool(int Tool);
    void ShowToolPanel();
    void ShowPosition(double X, double Y, double Z);
    double RaisedZ(double Z) const;
    bool RapidByFeed() const;
    TComResult SendLine(double X, double Y, double Z);
    void PlaneArcMove(double X, double Y, double Z, double CentreX, double CentreY,
                      double CentreZ, double Sweep);
    double ChordLength() const;

    std::unique_ptr<TThreeD_form> FWindow;
    double FProgramZ = 0; // the last Z as programmed (not raised)
    std::unique_ptr<TTool_data> FToolData;
    std::shared_ptr<bool> FAlive;
};

// Direction of (X, Y) in degrees, 0..360: 90 on the positive Y axis, 270
// on the negative one.
double SimLinkAngle(double X, double Y);

} // namespace orv
