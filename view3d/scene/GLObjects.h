#pragma once
// The basic drawable objects of the scene graph: the grouping dummy cube,
// the plane, lines through nodes, the GLU quadrics (sphere, disk, cylinder,
// cone, annulus, arrow line) and the small solids (sprite, cube, frustrum,
// torus, teapot, dodecahedron, polygon), all registered by class name. Each writer stores a changed value
// and marks the geometry changed, so the display list is compiled again at
// the next render. Sizes are in scene units, angles in degrees.

#include "view3d/scene/GLWorld.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace orv {

using GLUquadric = void; // as in GLEntries.h

// ---- grouping node ----

// Invisible at run time unless VisibleAtRunTime: then a dotted wireframe
// cube of edge CubeSize in EdgeColor. Its children are drawn either way.
class TDummyCube : public TGLImmaterialSceneObject {
public:
    explicit TDummyCube(TComponent *Owner = nullptr);
    float CubeSize() const { return FCubeSize; }
    void SetCubeSize(float Value);
    TGLColor &EdgeColor() { return FEdgeColor; }
    bool VisibleAtRunTime() const { return FVisibleAtRunTime; }
    void SetVisibleAtRunTime(bool Value);

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override; // Scale x |CubeSize| / 2
    bool RayHit(const TVector4f &, const TVector4f &, TVector4f *, TVector4f *) override
    {
        return false;
    }
    // With children: the average of their world positions.
    TVector4f WorldPosition() override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FCubeSize = 1;
    TGLColor FEdgeColor;
    bool FVisibleAtRunTime = false;
};

// A Width x Height quad in the XY plane, centred, facing +Z; texture
// coordinates run 0..XTiles + XOffset and 0..YTiles + YOffset.
class TPlane : public TGLWorldObject {
public:
    explicit TPlane(TComponent *Owner = nullptr);
    float XOffset() const { return FXOffset; }
    void SetXOffset(float Value);
    float YOffset() const { return FYOffset; }
    void SetYOffset(float Value);
    float Width() const { return FWidth; }
    void SetWidth(float Value);
    float Height() const { return FHeight; }
    void SetHeight(float Value);
    int XTiles() const { return FXTiles; }
    void SetXTiles(int Value);
    int YTiles() const { return FYTiles; }
    void SetYTiles(int Value);

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FXOffset = 0, FYOffset = 0, FWidth = 1, FHeight = 1;
    int FXTiles = 1, FYTiles = 1;
};

// ---- lines ----

// Colour, stipple, width and smoothing of line drawings, set before and
// restored after each one.
class TLineBase : public TGLImmaterialSceneObject {
public:
    explicit TLineBase(TComponent *Owner = nullptr);
    TGLColor &LineColor() { return FLineColor; }
    uint16_t LinePattern() const { return FLinePattern; }
    void SetLinePattern(uint16_t Value);
    float LineWidth() const { return FLineWidth; }
    void SetLineWidth(float Value);
    bool AntiAliased() const { return FAntiAliased; }
    void SetAntiAliased(bool Value);

    void SetupLineStyle();
    void RestoreLineStyle();

protected:
    // From another line object: the four line properties only.
    void AssignTo(TPersistent &Dest) const override;

private:
    TGLColor FLineColor;
    uint16_t FLinePattern = 0xFFFF;
    float FLineWidth = 1;
    bool FAntiAliased = false;
};

// The nodes of a scene object: any change recompiles the object.
class TGLObjectNodes : public TGLNodes {
public:
    explicit TGLObjectNodes(TGLBaseSceneObject *Owner, TNodeFactory Factory = nullptr);
    void NodesChanged() override;

private:
    TGLBaseSceneObject *FObject;
};

class TGLLinesNodes;

// A node of TLines with its own colour; it starts with the owner's NodeColor.
class TGLLinesNode : public TGLNode, public TPersistent {
public:
    TGLLinesNode(TGLLinesNodes *Collection, const TVector4f &Color);
    TGLColor &Color() { return FColor; }

private:
    TGLColor FColor;
};

// The nodes of a TLines, each with its colour.
class TGLLinesNodes : public TGLObjectNodes {
public:
    explicit TGLLinesNodes(TGLBaseSceneObject *Owner, std::function<TVector4f()> NodeColor);
    TGLLinesNode &Node(int Index) { return static_cast<TGLLinesNode &>(NodeAt(Index)); }
};

enum TLineNodesAspect { lnaInvisible, lnaAxes, lnaCube, lnaDodecahedron };
enum TLineSplineMode { lsmLines, lsmCubicSpline };
enum TLinesOption : unsigned { loUseNodeColorForLines = 1 };

// A polyline (or a cubic spline) through its nodes, with a marker per node.
// Nothing is drawn below two nodes.
class TLines : public TLineBase {
public:
    explicit TLines(TComponent *Owner = nullptr);
    TGLLinesNodes &Nodes() { return FNodes; }
    TLineNodesAspect NodesAspect() const { return FNodesAspect; }
    void SetNodesAspect(TLineNodesAspect Value);
    // A change turns every node still in the previous node colour to the new one.
    TGLColor &NodeColor() { return FNodeColor; }
    int Division() const { return FDivision; }
    void SetDivision(int Value); // below 1 stores 1
    TLineSplineMode SplineMode() const { return FSplineMode; }
    void SetSplineMode(TLineSplineMode Value);
    unsigned Options() const { return FOptions; }
    void SetOptions(unsigned Value); // TLinesOption bits
    float NodeSize() const { return FNodeSize; }
    void SetNodeSize(float Value); // 0 or less stores 1
    void AddNode(float X, float Y, float Z) { FNodes.AddNode(X, Y, Z); }

    void CompileGeometry(TRenderContextInfo &Rci) override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    void NodeColorChanged();
    void DrawNodeMarkers();
    void DrawSpline();
    TGLLinesNodes FNodes;
    TLineNodesAspect FNodesAspect = lnaAxes;
    TGLColor FNodeColor;
    TVector4f FOldNodeColor;
    int FDivision = 10;
    TLineSplineMode FSplineMode = lsmLines;
    unsigned FOptions = 0;
    float FNodeSize = 1;
};

// ---- quadrics ----

enum TNormalSmoothing { nsFlat, nsSmooth, nsNone };
enum TNormalDirection { ndInside, ndOutside };

// A GLU quadric made fresh for each compilation and deleted after it: fill
// style, texture coordinates on.
class TGLQuadric {
public:
    TGLQuadric();
    ~TGLQuadric();
    TGLQuadric(const TGLQuadric &) = delete;
    TGLQuadric &operator=(const TGLQuadric &) = delete;
    GLUquadric *Handle() const { return FHandle; }

private:
    GLUquadric *FHandle;
};

class TQuadricObject : public TGLWorldObject {
public:
    using TGLWorldObject::TGLWorldObject;
    TNormalSmoothing Normals() const { return FNormals; }
    void SetNormals(TNormalSmoothing Value);
    TNormalDirection NormalDirection() const { return FNormalDirection; }
    void SetNormalDirection(TNormalDirection Value);

    // Draw style, normals, orientation and texture coordinates of a quadric.
    void SetupQuadricParams(const TGLQuadric &Quadric) const;
    void SetNormalQuadricOrientation(const TGLQuadric &Quadric) const;
    // The bottom discs face the other way.
    void SetInvertedQuadricOrientation(const TGLQuadric &Quadric) const;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    TNormalSmoothing FNormals = nsSmooth;
    TNormalDirection FNormalDirection = ndOutside;
};

enum TCapType { ctNone, ctCenter, ctFlat };

// Poles on the local Y axis; latitude Bottom..Top (-90..90), longitude
// Start..Stop (0..360).
class TSphere : public TQuadricObject {
public:
    explicit TSphere(TComponent *Owner = nullptr);
    float Radius() const { return FRadius; }
    void SetRadius(float Value);
    int Slices() const { return FSlices; }
    void SetSlices(int Value); // 0 stores 1
    int Stacks() const { return FStacks; }
    void SetStacks(int Value); // 0 stores 1
    int16_t Top() const { return FTop; }
    void SetTop(int16_t Value);
    int16_t Bottom() const { return FBottom; }
    void SetBottom(int16_t Value);
    int16_t Start() const { return FStart; }
    void SetStart(int16_t Value); // above Stop: EAssertionFailed
    int16_t Stop() const { return FStop; }
    void SetStop(int16_t Value); // below Start: EAssertionFailed
    TCapType TopCap() const { return FTopCap; }
    void SetTopCap(TCapType Value);
    TCapType BottomCap() const { return FBottomCap; }
    void SetBottomCap(TCapType Value);

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override;
    // The nearest hit of the ray on the sphere of Radius, in absolute coordinates.
    bool RayHit(const TVector4f &RayOrigin, const TVector4f &RayDirection, TVector4f *HitPoint,
                TVector4f *HitNormal) override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    void DrawCap(bool AtTop);
    void DrawBands();
    float FRadius = 0.5f;
    int FSlices = 16, FStacks = 16;
    int16_t FTop = 90, FBottom = -90, FStart = 0, FStop = 360;
    TCapType FTopCap = ctNone, FBottomCap = ctNone;
};

// A GLU partial disk in the XY plane.
class TDisk : public TQuadricObject {
public:
    explicit TDisk(TComponent *Owner = nullptr);
    float StartAngle() const { return FStartAngle; }
    void SetStartAngle(float Value);
    float SweepAngle() const { return FSweepAngle; }
    void SetSweepAngle(float Value);
    float OuterRadius() const { return FOuterRadius; }
    void SetOuterRadius(float Value);
    float InnerRadius() const { return FInnerRadius; }
    void SetInnerRadius(float Value);
    int Slices() const { return FSlices; }
    void SetSlices(int Value);
    int Loops() const { return FLoops; }
    void SetLoops(int Value);

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FStartAngle = 0, FSweepAngle = 360, FOuterRadius = 0.5f, FInnerRadius = 0;
    int FSlices = 16, FLoops = 2;
};

// Along the local Y axis, centred on the origin.
class TCylinderBase : public TQuadricObject {
public:
    using TQuadricObject::TQuadricObject;
    float BottomRadius() const { return FBottomRadius; }
    void SetBottomRadius(float Value);
    int Slices() const { return FSlices; }
    void SetSlices(int Value);
    int Stacks() const { return FStacks; }
    void SetStacks(int Value);
    int Loops() const { return FLoops; }
    void SetLoops(int Value); // only values above 0 are taken
    float Height() const { return FHeight; }
    void SetHeight(float Value);

protected:
    void AssignTo(TPersistent &Dest) const override;
    // The GLU frame: Z along the object's Y, from -Height / 2.
    void EnterGLUFrame() const;
    // (R, Height / 2, R) x Scale, R the larger of |TopRadius| and |BottomRadius|.
    TVector4f TubeHalfExtents(float TopRadius);

    float FBottomRadius = 0.5f;
    int FSlices = 16, FStacks = 4, FLoops = 1;
    float FHeight = 1;
};

enum TCylinderPart : unsigned { cySides = 1, cyBottom = 2, cyTop = 4 };

class TCylinder : public TCylinderBase {
public:
    explicit TCylinder(TComponent *Owner = nullptr);
    float TopRadius() const { return FTopRadius; }
    void SetTopRadius(float Value);
    unsigned Parts() const { return FParts; }
    void SetParts(unsigned Value); // TCylinderPart bits

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FTopRadius = 0.5f;
    unsigned FParts = cySides | cyBottom | cyTop;
};

enum TConePart : unsigned { coSides = 1, coBottom = 2 };

// Apex up (+Y), base down.
class TCone : public TCylinderBase {
public:
    explicit TCone(TComponent *Owner = nullptr);
    unsigned Parts() const { return FParts; }
    void SetParts(unsigned Value); // TConePart bits

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    unsigned FParts = coSides | coBottom;
};

// ---- the primitives no form uses ----

// A quad facing the camera, built from the modelview matrix in force (so it
// is drawn immediately, never from a list), turned by Rotation degrees.
class TSprite : public TGLCustomSceneObject {
public:
    explicit TSprite(TComponent *Owner = nullptr);
    float Width() const { return FWidth; }
    void SetWidth(float Value);
    float Height() const { return FHeight; }
    void SetHeight(float Value);
    float Rotation() const { return FRotation; }
    void SetRotation(float Value);
    // The material's diffuse alpha, clamped to 0..1.
    float AlphaChannel() const { return FAlphaChannel; }
    void SetAlphaChannel(float Value);
    bool NoZWrite() const { return FNoZWrite; }
    void SetNoZWrite(bool Value);

    void CompileGeometry(TRenderContextInfo &Rci) override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FWidth = 1, FHeight = 1, FRotation = 0, FAlphaChannel = 1;
    bool FNoZWrite = false;
};

enum TCubePart : unsigned {
    cpTop = 1, cpBottom = 2, cpFront = 4, cpBack = 8, cpLeft = 16, cpRight = 32
};

// A box centred on the origin: front +Z, top +Y, right +X.
class TCube : public TGLWorldObject {
public:
    explicit TCube(TComponent *Owner = nullptr);
    float CubeWidth() const { return FSize.X; }
    void SetCubeWidth(float Value);
    float CubeHeight() const { return FSize.Y; }
    void SetCubeHeight(float Value);
    float CubeDepth() const { return FSize.Z; }
    void SetCubeDepth(float Value);
    unsigned Parts() const { return FParts; }
    void SetParts(unsigned Value); // TCubePart bits
    TNormalDirection NormalDirection() const { return FNormalDirection; }
    void SetNormalDirection(TNormalDirection Value);
    // The "CubeSize" form property: width, height, depth as little-endian
    // singles; empty when all three are 1 (then it is not written).
    std::string CubeSizeData() const;
    void ReadCubeSizeData(const std::string &Data); // 12 bytes, else unchanged

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    TAffineVec3f FSize{1, 1, 1};
    unsigned FParts = cpTop | cpBottom | cpFront | cpBack | cpLeft | cpRight;
    TNormalDirection FNormalDirection = ndOutside;
};

enum TFrustrumPart : unsigned {
    fpTop = 1, fpBottom = 2, fpFront = 4, fpBack = 8, fpLeft = 16, fpRight = 32
};

// A pyramid of base BaseWidth x BaseDepth and apex height ApexHeight, cut
// at Height; the base at y = -Height / 2, the cut at +Height / 2.
class TFrustrum : public TGLWorldObject {
public:
    explicit TFrustrum(TComponent *Owner = nullptr);
    float ApexHeight() const { return FApexHeight; }
    void SetApexHeight(float Value);
    float BaseDepth() const { return FBaseDepth; }
    void SetBaseDepth(float Value);
    float BaseWidth() const { return FBaseWidth; }
    void SetBaseWidth(float Value);
    float Height() const { return FHeight; }
    void SetHeight(float Value);
    unsigned Parts() const { return FParts; }
    void SetParts(unsigned Value); // TFrustrumPart bits
    TNormalDirection NormalDirection() const { return FNormalDirection; }
    void SetNormalDirection(TNormalDirection Value);
    // The "FrustrumSize" form property: apex height, base depth, base width
    // and height as singles; empty at the defaults 1, 1, 1, 0.5.
    std::string FrustrumSizeData() const;
    void ReadFrustrumSizeData(const std::string &Data); // 16 bytes, else unchanged

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FApexHeight = 1, FBaseDepth = 1, FBaseWidth = 1, FHeight = 0.5f;
    unsigned FParts = fpTop | fpBottom | fpFront | fpBack | fpLeft | fpRight;
    TNormalDirection FNormalDirection = ndOutside;
};

enum TAnnulusPart : unsigned { anInnerSides = 1, anOuterSides = 2, anBottom = 4, anTop = 8 };

// A tube along Y: outer radii BottomRadius and TopRadius, inner radii
// BottomInnerRadius and TopInnerRadius, with annular ends.
class TAnnulus : public TCylinderBase {
public:
    explicit TAnnulus(TComponent *Owner = nullptr);
    float BottomInnerRadius() const { return FBottomInnerRadius; }
    void SetBottomInnerRadius(float Value);
    float TopInnerRadius() const { return FTopInnerRadius; }
    void SetTopInnerRadius(float Value);
    float TopRadius() const { return FTopRadius; }
    void SetTopRadius(float Value);
    unsigned Parts() const { return FParts; }
    void SetParts(unsigned Value); // TAnnulusPart bits

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FBottomInnerRadius = 0.3f, FTopInnerRadius = 0.3f, FTopRadius = 0.5f;
    unsigned FParts = anInnerSides | anOuterSides | anBottom | anTop;
};

// A ring around the local Z axis: the tube of MinorRadius follows the
// circle of MajorRadius in the XY plane.
class TTorus : public TGLWorldObject {
public:
    explicit TTorus(TComponent *Owner = nullptr);
    float MajorRadius() const { return FMajorRadius; }
    void SetMajorRadius(float Value);
    float MinorRadius() const { return FMinorRadius; }
    void SetMinorRadius(float Value);
    int Rings() const { return FRings; }
    void SetRings(int Value); // below 2 stores 2
    int Sides() const { return FSides; }
    void SetSides(int Value); // below 3 stores 3

    void CompileGeometry(TRenderContextInfo &Rci) override;
    TVector4f HalfExtents() override;
    // The first hit at or ahead of the ray's origin, with the normal pointing
    // away from the ring's centre circle, in absolute coordinates.
    bool RayHit(const TVector4f &RayOrigin, const TVector4f &RayDirection, TVector4f *HitPoint,
                TVector4f *HitNormal) override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FMajorRadius = 0.4f, FMinorRadius = 0.1f;
    int FRings = 25, FSides = 15;
};

// A teapot of bicubic patches (our own table: body, lid, knob, spout and
// handle) drawn through two-dimensional evaluators on a 5 x 5 grid.
class TTeapot : public TGLWorldObject {
public:
    explicit TTeapot(TComponent *Owner = nullptr);
    void CompileGeometry(TRenderContextInfo &Rci) override;
};

// A regular dodecahedron scaled by 0.3.
class TDodecahedron : public TGLWorldObject {
public:
    explicit TDodecahedron(TComponent *Owner = nullptr);
    void CompileGeometry(TRenderContextInfo &Rci) override;
};

enum TArrowHeadStackingStyle { ahssStacked, ahssCentered, ahssIncluded };
enum TArrowLinePart : unsigned { alLine = 1, alTopArrow = 2, alBottomArrow = 4 };

// A line (cylinder) along Y with cone heads: stacked beyond its ends,
// centred on them or included in its length.
class TArrowLine : public TCylinderBase {
public:
    explicit TArrowLine(TComponent *Owner = nullptr);
    float TopRadius() const { return FTopRadius; }
    void SetTopRadius(float Value);
    float TopArrowHeadHeight() const { return FTopArrowHeadHeight; }
    void SetTopArrowHeadHeight(float Value);
    float TopArrowHeadRadius() const { return FTopArrowHeadRadius; }
    void SetTopArrowHeadRadius(float Value);
    float BottomArrowHeadHeight() const { return FBottomArrowHeadHeight; }
    void SetBottomArrowHeadHeight(float Value);
    float BottomArrowHeadRadius() const { return FBottomArrowHeadRadius; }
    void SetBottomArrowHeadRadius(float Value);
    TArrowHeadStackingStyle HeadStackingStyle() const { return FHeadStackingStyle; }
    void SetHeadStackingStyle(TArrowHeadStackingStyle Value);
    unsigned Parts() const { return FParts; }
    void SetParts(unsigned Value); // TArrowLinePart bits

    void CompileGeometry(TRenderContextInfo &Rci) override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FTopRadius = 0.1f, FTopArrowHeadHeight = 0.5f, FTopArrowHeadRadius = 0.2f;
    float FBottomArrowHeadHeight = 0.5f, FBottomArrowHeadRadius = 0.2f;
    TArrowHeadStackingStyle FHeadStackingStyle = ahssStacked;
    unsigned FParts = alLine | alTopArrow;
};

// A flat polygon through its nodes (in the XY plane), optionally smoothed
// by a spline of Division points per segment.
class TPolygonBase : public TGLWorldObject {
public:
    explicit TPolygonBase(TComponent *Owner = nullptr);
    TGLObjectNodes &Nodes() { return FNodes; }
    void AddNode(float X, float Y, float Z) { FNodes.AddNode(X, Y, Z); }
    int Division() const { return FDivision; }
    void SetDivision(int Value); // below 1 stores 1
    TLineSplineMode SplineMode() const { return FSplineMode; }
    void SetSplineMode(TLineSplineMode Value);

protected:
    void AssignTo(TPersistent &Dest) const override;
    int SplineDivisions() const { return FSplineMode == lsmCubicSpline ? FDivision : 1; }
    TGLObjectNodes FNodes;

private:
    int FDivision = 10;
    TLineSplineMode FSplineMode = lsmLines;
};

enum TPolygonPart : unsigned { ppTop = 1, ppBottom = 2 };

// The top face looks along +Z, the bottom face along -Z.
class TPolygon : public TPolygonBase {
public:
    explicit TPolygon(TComponent *Owner = nullptr);
    unsigned Parts() const { return FParts; }
    void SetParts(unsigned Value); // TPolygonPart bits
    void CompileGeometry(TRenderContextInfo &Rci) override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    unsigned FParts = ppTop | ppBottom;
};

// ---- shared drawings ----

// A dotted wireframe cube of edge Size centred on the origin, unlit, in
// Color (as emission); the OpenGL state is restored afterwards.
void DrawWireframeCube(float Size, const TVector4f &Color);
// A regular dodecahedron with corners (+-1, +-1, +-1), (0, +-1/phi, +-phi)
// and their cyclic shifts (circumradius sqrt 3): twelve pentagons with
// face normals.
void DrawDodecahedron();

// ---- the classes a form may name (form streaming) ----

using TComponentFactory = std::function<std::unique_ptr<TComponent>()>;
// A name registered again keeps its first place and takes the new factory.
void RegisterComponentClass(const std::string &Name, TComponentFactory Factory,
                            bool SceneObject = false);
template <class T> void RegisterComponentClass(const std::string &Name)
{
    RegisterComponentClass(Name, [] { return std::make_unique<T>(); },
                           std::is_base_of_v<TGLBaseSceneObject, T>);
}
template <class T> void RegisterSceneObjectClass(const std::string &Name)
{
    static_assert(std::is_base_of_v<TGLBaseSceneObject, T>);
    RegisterComponentClass<T>(Name);
}
// In the order of registration.
std::vector<std::string> RegisteredComponentClasses();
std::vector<std::string> RegisteredSceneObjectClasses();
// EClassNotFound "Class <Name> not found" when unknown.
std::unique_ptr<TComponent> CreateComponent(const std::string &Name);
// Also EClassNotFound for a registered class that is no scene object.
std::unique_ptr<TGLBaseSceneObject> CreateSceneObject(const std::string &Name);

} // namespace orv
