#include "view3d/milling/ui/MillingScene.h"

#include "view3d/scene/GLGraph.h"
#include "view3d/scene/GLObjects.h"
#include "view3d/scene/GLTexture.h"

namespace orv {

namespace {

constexpr float cModelScale = 0.2f; // scene units per millimetre
constexpr float cShankHeight = 20;
constexpr float cCoarseSampling = 3.0f;

void ToolMaterial(TGLCustomSceneObject &Object)
{
    TGLFaceProperties &f = Object.Material().FrontProperties();
    f.Diffuse().AssignRGBA({0.88f, 0.88f, 1.0f, 1});
    f.Ambient().AssignRGBA({0.39f, 0.39f, 0.39f, 1});
    f.Specular().AssignRGBA({1, 1, 1, 1});
    f.SetShininess(128);
}

void Red(TGLCustomSceneObject &Object)
{
    Object.Material().FrontProperties().Diffuse().AssignRGBA({1, 0, 0, 1});
}

} // namespace

TMillingScene::TMillingScene() : FWorld(std::make_unique<TGLWorld>(nullptr))
{
    BuildDatum();
    CameraTarget = FWorld->Objects().NewChild<TDummyCube>();
    Camera = CameraTarget->NewChild<TGLCamera>();
    Camera->SetDepthOfView(2000);
    Camera->SetFocalLength(60);
    Camera->SetTargetObject(CameraTarget);
    BuildBillet();
    BuildTool();
    GLLightSource1 = FWorld->Objects().NewChild<TGLLightSource>();
    GLLightSource1->SetPosition({-50, -50, 150, 1});
    GLLightSource1->Specular().AssignRGBA({1, 1, 1, 1});
    GLLightSource1->SetSpotCutOff(180);
    GLLightSource1->SetConstAttenuation(1);
    DummyToolPath = ScaledCube();
    ToolPath = DummyToolPath->NewChild<TLines>();
    ToolPath->SetVisible(false);
    ToolPath->SetNodesAspect(lnaInvisible);
    ToolPath->SetOptions(loUseNodeColorForLines);
    BuildProbe();
    ResetCamera();
}

TMillingScene::~TMillingScene() = default;

TDummyCube *TMillingScene::ScaledCube()
{
    auto *cube = FWorld->Objects().NewChild<TDummyCube>();
    cube->SetScale({cModelScale, cModelScale, cModelScale, 0});
    return cube;
}

// Two white quarter disks with the axes: the datum marker.
void TMillingScene::BuildDatum()
{
    DatumSymbol = ScaledCube();
    DatumSymbol->SetVisibilityCulling(vcNone);
    TDisk *disks[2];
    const float starts[2] = {90, 270};
    for (int i = 0; i < 2; ++i) {
        TDisk *d = disks[i] = DatumSymbol->NewChild<TDisk>();
        d->SetOuterRadius(5);
        d->SetSlices(8);
        d->SetLoops(1);
        d->SetStartAngle(starts[i]);
        d->SetSweepAngle(90);
        d->SetShowAxes(true);
        d->Material().FrontProperties().Diffuse().AssignRGBA({1, 1, 1, 1});
    }
    Disk1 = disks[0];
    Disk2 = disks[1];
}

void TMillingScene::BuildBillet()
{
    DummyGrid = ScaledCube();
    DummyGrid->SetVisibilityCulling(vcNone);
    VisGrid = DummyGrid->NewChild<THeightField>();
    VisGrid->SetOptions(hfoTextureCoordinates | hfoTwoSided);
    BilletBottom = DummyGrid->NewChild<TPlane>();
    BilletBottom->SetDirection({0, 0, -1, 0});
    BilletBottom->Material().FrontProperties().Ambient().AssignRGBA({1, 0.25f, 0, 1});
    CutOutPlane = DummyGrid->NewChild<TPlane>();
    CutOutPlane->SetDirection({0, 0, 1, 0});
}

// The tool: a sphere whose local Y axis is the world Z axis, with the
// shank along that axis.
void TMillingScene::BuildTool()
{
    DummyTool = ScaledCube();
    DummyTool->SetDirection({0, 0, 1, 0});
    ToolTip = DummyTool->NewChild<TSphere>();
    ToolTip->SetDirection({0, -1, 0, 0});
    ToolTip->SetUp({0, 0, 1, 0});
    ToolMaterial(*ToolTip);
    ToolShank = ToolTip->NewChild<TCylinder>();
    ToolShank->SetHeight(cShankHeight);
    ToolShank->SetStacks(1);
    ToolMaterial(*ToolShank);
}

// The probe: a red ball on the surface, a cone pointing down at it and a
// two-part handle above.
void TMillingScene::BuildProbe()
{
    Measure = ScaledCube();
    Measure->SetVisible(false);
    Sphere1 = Measure->NewChild<TSphere>();
    Sphere1->SetRadius(0.5f);
    Red(*Sphere1);
    Sphere1->SetDirection({0, -1, 0, 0});
    Sphere1->SetUp({0, 0, 1, 0}); // the children's Y axis is the world Z axis
    Cone1 = Sphere1->NewChild<TCone>();
    Cone1->SetBottomRadius(0.6f);
    Cone1->SetHeight(8);
    Cone1->SetUp({0, -1, 0, 0}); // the point downwards
    Cone1->SetPosition({0, 4, 0, 1});
    Red(*Cone1);
    Cylinder1 = Sphere1->NewChild<TCylinder>();
    Cylinder1->SetBottomRadius(0.3f);
    Cylinder1->SetTopRadius(0.3f);
    Cylinder1->SetHeight(6);
    Cylinder1->SetPosition({0, 11, 0, 1});
    Cylinder2 = Sphere1->NewChild<TCylinder>();
    Cylinder2->SetBottomRadius(1);
    Cylinder2->SetTopRadius(1);
    Cylinder2->SetHeight(8);
    Cylinder2->SetPosition({0, 18, 0, 1});
}

void TMillingScene::SetBillet(float BilletX, float BilletY, float BilletZ, double Step)
{
    for (TPlane *p : {BilletBottom, CutOutPlane}) {
        p->SetWidth(BilletX);
        p->SetHeight(BilletY);
        p->SetPosition({BilletX / 2, BilletY / 2, -BilletZ, 1});
    }
    // One step beyond the billet on every side: the samples there are the
    // billet's walls.
    const float s = static_cast<float>(Step);
    VisGrid->XSamplingScale().SetMax(BilletX + s);
    VisGrid->YSamplingScale().SetMax(BilletY + s);
    VisGrid->XSamplingScale().SetMin(-s);
    VisGrid->YSamplingScale().SetMin(-s);
    SetSampling(Step);
}

void TMillingScene::SetSampling(double Sampling)
{
    VisGrid->XSamplingScale().SetStep(static_cast<float>(Sampling));
    VisGrid->YSamplingScale().SetStep(static_cast<float>(Sampling));
}

void TMillingScene::SurfaceChanged() { VisGrid->GeometryChanged(); }

// A sample takes the cell nearest to it: cell I shows at samples within
// half a step of I x Step; a whole step each side covers the rounding.
void TMillingScene::CellsCut(double Step, int I0, int J0, int I1, int J1)
{
    auto at = [Step](int Cell) { return static_cast<float>(Cell * Step); };
    VisGrid->SamplesChanged(at(I0 - 1), at(I1 + 1), at(J0 - 1), at(J1 + 1));
}

void TMillingScene::SetToolRadius(float R, uint8_t Shape)
{
    ToolTip->SetRadius(R);
    ToolShank->SetBottomRadius(R);
    ToolShank->SetTopRadius(R);
    if (Shape == ToolShapeBall) {
        ToolShank->SetHeight(cShankHeight);
        ToolShank->SetPosition({0, cShankHeight / 2, 0, 1});
    } else {
        // A flat end at the tip, one radius below the sphere's centre.
        ToolShank->SetHeight(R + cShankHeight);
        ToolShank->SetPosition({0, ToolShank->Height() / 2 - R, 0, 1});
    }
    ToolShank->SetVisible(true);
}

void TMillingScene::PlaceTool(const TMillPoint &P, float R, uint8_t Shape)
{
    const float surfaceZ = VisGrid->Position().Z();
    ToolTip->SetPosition({P.X, P.Y, P.Z + surfaceZ + R, 1});
    SetToolRadius(R, Shape);
}

void TMillingScene::SyncPath(const std::vector<TPathNode> &Path, size_t From)
{
    TGLLinesNodes &nodes = ToolPath->Nodes();
    nodes.BeginUpdate();
    if (From == 0)
        nodes.Clear();
    for (size_t i = From; i < Path.size(); ++i) {
        const TPathNode &n = Path[i];
        ToolPath->AddNode(n.Point.X, n.Point.Y, n.Point.Z);
        nodes.Node(nodes.Count() - 1).Color().FromWinColor(static_cast<TColor>(n.Colour));
    }
    nodes.EndUpdate();
}

void TMillingScene::PlaceDatum(double X, double Y, double Z)
{
    const TVector4f s = {DatumSymbol->Scale().X(), DatumSymbol->Scale().Y(),
                         DatumSymbol->Scale().Z(), 0};
    DatumSymbol->SetPosition(
        {static_cast<float>(X) * s.X, static_cast<float>(Y) * s.Y, static_cast<float>(Z) * s.Z, 1});
}

void TMillingScene::PlaceProbe(float X, float Y, float Z)
{
    Measure->SetPosition({X * Measure->Scale().X(), Y * Measure->Scale().Y(),
                          (Z + 0.5f) * Measure->Scale().Z(), 1});
}

void TMillingScene::ResetCamera()
{
    CameraTarget->SetPosition({10, 10, 0, 1});
    Camera->SetPosition({-3, -15, 32, 1});
}

void TMillingScene::SetBackground(int32_t Colour)
{
    CutOutPlane->Material().FrontProperties().Diffuse().FromWinColor(static_cast<TColor>(Colour));
}

void TMillingScene::SetOnGetHeight(THeightEvent Event) { VisGrid->SetOnGetHeight(std::move(Event)); }

} // namespace orv
