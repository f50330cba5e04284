#pragma once
// The scene of the milling window: the billet's surface (a height field
// sampling the height map), its bottom and through-cut planes, the tool,
// the tool path, the datum marker, the probe, the camera and its target,
// and the light. Model objects hang under dummy cubes scaled by 0.2, so
// positions given here are millimetres.

#include "view3d/milling/MillingBillet.h"
#include "view3d/scene/GLWorld.h"

#include <functional>
#include <memory>

namespace orv {

class TDummyCube;
class THeightField;
class TPlane;
class TSphere;
class TCylinder;
class TCone;
class TDisk;
class TLines;
struct TTexPoint;

class TMillingScene {
public:
    TMillingScene();
    ~TMillingScene();

    TGLWorld &GLWorld() { return *FWorld; }

    // The surface spans -Step .. BilletX + Step (and Y likewise) sampled
    // at Sampling mm; the bottom and through-cut planes lie at -BilletZ.
    void SetBillet(float BilletX, float BilletY, float BilletZ, double Step);
    // Sampling of the surface (mm): the grid step, or 3 mm for speed.
    void SetSampling(double Sampling);
    // The surface samples the height map again at its next frame.
    void SurfaceChanged();
    // Only the height map's cells I0..I1 x J0..J1 of a grid of Step mm
    // changed: the next frame samples again only where they show.
    void CellsCut(double Step, int I0, int J0, int I1, int J1);
    // The tool of radius R (mm) with its tip at P; Shape 2 ball nose,
    // others flat ended.
    void PlaceTool(const TMillPoint &P, float R, uint8_t Shape);
    void SetToolRadius(float R, uint8_t Shape);
    // Path nodes from index From on are added; an empty list empties it.
    void SyncPath(const std::vector<TPathNode> &Path, size_t From);
    void PlaceDatum(double X, double Y, double Z);
    // The probe's sphere rests on the surface at (X, Y, Z).
    void PlaceProbe(float X, float Y, float Z);
    // Camera target (10, 10, 0), camera (-3, -15, 32) from it.
    void ResetCamera();
    void SetBackground(int32_t Colour);

    using THeightEvent =
        std::function<void(float X, float Y, float &Z, TVector4f &Colour, TTexPoint &Tex)>;
    void SetOnGetHeight(THeightEvent Event);

    TDummyCube *DatumSymbol, *DummyGrid, *DummyTool, *DummyToolPath, *Measure;
    TDummyCube *CameraTarget;
    TDisk *Disk1, *Disk2;
    TGLCamera *Camera;
    THeightField *VisGrid;
    TPlane *BilletBottom, *CutOutPlane;
    TSphere *ToolTip;
    TCylinder *ToolShank;
    TGLLightSource *GLLightSource1;
    TLines *ToolPath;
    TSphere *Sphere1;
    TCone *Cone1;
    TCylinder *Cylinder1, *Cylinder2;

private:
    void BuildDatum();
    void BuildBillet();
    void BuildTool();
    void BuildProbe();
    TDummyCube *ScaledCube();

    std::unique_ptr<TGLWorld> FWorld;
};

} // namespace orv
