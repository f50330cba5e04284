#pragma once
// The one scene behind a simulation control: billet bounds, view (tilt and
// rotation) and light, the move list, the draw flags that say what one
// repaint does, the fit of the billet into the window, and the replay of
// the moves into the rebuilt material model. Windows (the orientation
// viewer, the progress window) and the message pump come from the
// control's window side through CSceneWindows.

#include "simcontrol/MoveList.h"
#include "simcontrol/model/DexelModel.h"
#include "simcontrol/render/DibSurface.h"
#include "simcontrol/render/PaletteTable.h"

#include <memory>

namespace orv {

// Draw flags (bits of the value given to Redraw).
enum : int {
    dfClear = 1,
    dfSetBillet = 2,
    dfReplay = 4,
    dfRender = 8,
    dfSmallMarker = 16,
    dfLargeMarker = 32,
    dfQuick = 64,
};

// The orientation viewer's values, which the scene takes at each billet.
struct CViewerValues {
    double Rotation = 0.3;
    double Tilt = 0.5;
    double Light[3] = {1.0 / 3, -2.0 / 3, 2.0 / 3};
    int DragMode = 0; // 0 "XYZ", 1 "X", 2 "Light"
    int ViewPointX = 0, ViewPointY = 0;
    int LightPointX = 0, LightPointY = 0;
};

// The progress window of a long replay.
class CReplayProgress {
public:
    virtual ~CReplayProgress() = default;
    virtual void Step() = 0;
    virtual bool Cancelled() const = 0;
};

class CSceneWindows {
public:
    virtual ~CSceneWindows() = default;
    // The viewer window, made at the first repaint.
    virtual void CreateViewer() {}
    virtual void ShowViewer(bool Visible) {}
    // The viewer shows new values (rotation, tilt, light).
    virtual void ViewerChanged() {}
    // The progress window for Count counted moves (26 or more); null: none.
    virtual std::unique_ptr<CReplayProgress> CreateProgress(long long Count) { return nullptr; }
    // Serves one queued message of the progress window, if any.
    virtual void ServeProgressMessage() {}
    // The image's colours changed.
    virtual void PaletteChanged() {}
};

class CSimScene {
public:
    explicit CSimScene(CSceneWindows *Windows = nullptr);
    ~CSimScene();
    CSimScene(const CSimScene &) = delete;
    CSimScene &operator=(const CSimScene &) = delete;

    void SetWindows(CSceneWindows *Windows) { FWindows = Windows; }
    void ShowViewer(bool Visible)
    {
        if (FWindows)
            FWindows->ShowViewer(Visible);
    }

    // The repaint for client bounds of Width x Height pixels.
    void DrawScene(int Width, int Height);
    // The client rectangle the draw hook reports.
    void SetClientSize(int Width, int Height);
    int ClientWidth() const { return FClientW; }
    int ClientHeight() const { return FClientH; }

    // Billet bounds in host units (the control's SetBillet): the model is
    // rebuilt, the move list emptied; a running replay ends first.
    void SetBillet(double LowX, double LowY, double LowZ, double HighX, double HighY, double HighZ);
    void SetBilletBounds(double LowX, double LowY, double LowZ, double HighX, double HighY,
                         double HighZ);
    bool BilletSet() const { return FBilletSet; }
    double BilletHeight() const { return FHighZ - FLowZ; }
    void SetLight(double X, double Y, double Z);
    // Tilt within 0..1 (a non-number is ignored); rotation in radians.
    void SetView(double Tilt, double Rotation);
    double Tilt() const { return FTilt; }
    double Rotation() const { return FRotation; }
    // Scale of the model from the client size; nothing while it has none.
    void FitView(int Width, int Height);

    // Moves.
    void AppendTool(const ToolMoveRecord &Record);
    void AppendLine(const LineMoveRecord &Record);
    void AppendArc(const ArcMoveRecord &Record);
    void ApplyLastMove();
    void ApplyMove(const MoveRecord &Record);
    void ReplayMoves();
    bool Replaying() const { return FReplaying; }
    const MoveList &Moves() const { return FMoves; }

    int DrawFlags = dfClear | dfSetBillet;
    bool QuickDraw = true;

    // Colours.
    CPaletteTable &Palette() { return FPalette; }
    const CPaletteTable &Palette() const { return FPalette; }
    void BuildShadeRamp(int R, int G, int B);
    void SetPaletteEntry(int Entry, uint32_t Colour);

    CDexelModel &Model() { return FModel; }
    const CDibSurface &Image() const { return FImage; }
    CDibSurface &Image() { return FImage; }
    CViewerValues &Viewer() { return FViewer; }
    bool FirstDraw() const { return FFirstDraw; }

private:
    void RebuildModel();
    void EndReplay();

    CSceneWindows *FWindows;
    CViewerValues FViewer;
    double FLight[3] = {0, 0, 1};
    double FTilt = 0, FRotation = 0;
    double FLowX = 0, FLowY = 0, FLowZ = -20, FHighX = 100, FHighY = 100, FHighZ = 0;
    bool FBilletSet = false;
    bool FFitStale = true;
    bool FFirstDraw = true;
    int FClientW = 0, FClientH = 0;
    int FImageW = -1, FImageH = -1;
    MoveList FMoves;
    CDexelModel FModel;
    CDibSurface FImage;
    CPaletteTable FPalette;
    bool FReplaying = false;
    bool FAbortReplay = false;
    std::shared_ptr<bool> FAlive;
};

} // namespace orv
