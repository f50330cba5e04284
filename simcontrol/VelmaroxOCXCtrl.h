#pragma once
// The simulation control as its host sees it: the dispatch interface
// (properties and methods by id 1..14 and the About box), the mode step
// after each move, and the mouse drags inside its window that turn the
// view and the light. Lengths are host millimetres, z with the billet top
// at 0; angles of Arc in degrees. The window side (painting, the cursor,
// the viewer and progress windows, the About box) is CControlWindow.

#include "platform/ComDispatch.h"
#include "simcontrol/SimScene.h"

#include <memory>
#include <string>
#include <vector>

namespace orv {

// Class and type-library identity.
constexpr const char *VelmaroxClassId = "{950EDBA7-809F-11D2-BF33-00A0247E54C4}";
constexpr const char *VelmaroxTypeLibId = "{950EDBA3-809F-11D2-BF33-00A0247E54C4}";
constexpr const char *VelmaroxDispatchId = "{950EDBA4-809F-11D2-BF33-00A0247E54C4}";
constexpr const char *VelmaroxEventsId = "{950EDBA5-809F-11D2-BF33-00A0247E54C4}";
constexpr const char *VelmaroxPropPageId = "{950EDBA8-809F-11D2-BF33-00A0247E54C4}";

// Dispatch ids.
enum : int32_t {
    dispMode = 1,
    dispRapid = 2,
    dispTilt = 3,
    dispRotation = 4,
    dispBackgroundColour = 5,
    dispBilletColour = 6,
    dispSurfaceColour = 7,
    dispSetBillet = 8,
    dispLinear = 9,
    dispArc = 10,
    dispShowViewer = 11,
    dispSave = 12,
    dispTool = 13,
    dispRedraw = 14,
    dispAboutBox = -552,
};

// The dispatch interface _DVelmaroxOCX as the type library lists it.
const std::vector<TDispMember> &VelmaroxMembers();

// Key states of a mouse message.
enum : int { mkLeft = 1, mkRight = 2, mkShift = 4, mkControl = 8 };

class CControlWindow {
public:
    virtual ~CControlWindow() = default;
    // Repaints at once (the draw hook, then the picture on the screen).
    virtual void RepaintNow() = 0;
    virtual void SetModified() {}
    // The window's handle for the cursor service.
    virtual void *Handle() { return nullptr; }
    // Removes the queued mouse moves of this window.
    virtual void DrainMouseMoves() {}
    virtual void ShowAboutBox() {}
};

class CVelmaroxOCXCtrl : public TDispatch {
public:
    CVelmaroxOCXCtrl();
    ~CVelmaroxOCXCtrl() override;

    void SetWindow(CControlWindow *Window) { FWindow = Window; }
    void SetSceneWindows(CSceneWindows *Windows) { FScene.SetWindows(Windows); }

    TComResult Invoke(int32_t Id, TInvokeKind Kind, const std::vector<TVariant> &Args,
                      TVariant *Result) override;

    // The framework's draw hook: bounds Width x Height; Invalid false when
    // the invalid rectangle is all zeros (nothing is drawn then).
    void OnDraw(int Width, int Height, bool Invalid = true);
    // Repaints: through the window when there is one, else offscreen at
    // the last bounds. False when the control was freed meanwhile.
    bool Redraw(int DrawMode);

    // Properties and methods (what Invoke calls).
    int16_t Mode = 0;
    bool Rapid = false;
    double Tilt() const { return FScene.Tilt(); }
    void SetTilt(double Value);
    double Rotation() const { return FScene.Rotation(); }
    void SetRotation(double Value);
    uint32_t BackgroundColour() const;
    void SetBackgroundColour(uint32_t Colour);
    uint32_t BilletColour() const { return FBilletColour; }
    void SetBilletColour(uint32_t Colour);
    uint32_t SurfaceColour() const;
    void SetSurfaceColour(uint32_t Colour);
    void SetBillet(float LowX, float LowY, float LowZ, float HighX, float HighY, float HighZ);
    void Linear(float X1, float Y1, float Z1, float X2, float Y2, float Z2);
    void Arc(float CX, float CY, float CZ, float Radius, float StartAngle, float EndAngle,
             bool Clockwise);
    void ShowViewer(bool Visible);
    bool Save(const std::string &FileName);
    void Tool(int16_t Number, float Radius, bool Flat, uint32_t Colour);

    // Mouse, client coordinates; Keys a set of mk... flags.
    void LeftButtonDown(int X, int Y, int Keys);
    void MouseMove(int X, int Y, int Keys);
    void LeftButtonUp(int X, int Y);
    void RightButtonDown(int X, int Y);

    CSimScene &Scene() { return FScene; }
    int DragMode() const { return FDragMode; }
    int BoundsWidth() const { return FBoundsW; }
    int BoundsHeight() const { return FBoundsH; }

private:
    void ModeStep();
    void Modified();
    bool Replaying() const { return FScene.Replaying(); }

    // False once the control is freed: a repaint may serve messages that
    // release it (the replay's progress window).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    CSimScene FScene;
    CControlWindow *FWindow = nullptr;
    uint32_t FBilletColour;
    int FBoundsW = 0, FBoundsH = 0;
    int FDragMode = 0;
    int FViewX = 0, FViewY = 0, FLightX = 0, FLightY = 0;
    bool FFirstPress = true;
};

} // namespace orv
