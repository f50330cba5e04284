#pragma once
// The change-notification bases of the scene graph (a sub-object reports a
// change to whatever owns it), the coordinate property TGLCoordinates, the
// node collection TGLNodes with spline smoothing and tessellated polygons,
// the process-wide OpenGL state caches that skip redundant calls, and a few
// file and number helpers.

#include "platform/Classes.h"
#include "view3d/geometry/VectorTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TCubicSpline;
using GLenum = unsigned int;
using GLuint = unsigned int;

using TNotifyEvent = std::function<void(TObject *Sender)>;

// A sub-object that belongs to an owner and reports its changes to it.
class TGLUpdateAbleObject : public TPersistent {
public:
    explicit TGLUpdateAbleObject(TPersistent *Owner) : FOwner(Owner) {}
    TPersistent *GetOwner() const { return FOwner; }
    // Climbs to the owner (an updateable object or component), then fires OnChange.
    virtual void SignalChange(TObject *Sender);
    TNotifyEvent OnChange;

private:
    TPersistent *FOwner;
};

class TGLCadenceAbleComponent : public TComponent {
public:
    using TComponent::TComponent;
    virtual void ReportProgress(double DeltaTime, double NewTime) {}
};

class TGLUpdateAbleComponent : public TGLCadenceAbleComponent {
public:
    using TGLCadenceAbleComponent::TGLCadenceAbleComponent;
    // Climbs to the owner component when it is updateable.
    virtual void SignalChange(TObject *Sender);
    // Scene objects answer these (sub-objects call them on their owner).
    virtual bool IsSceneObject() const { return false; }
    virtual void TransformChanged(TObject *Sender) {}
    virtual void GeometryChanged() {}
};

enum TGLCoordsKind { ckPoint, ckVector, ckFree };

// Position, direction, up and scale of scene objects and the like: four
// singles whose W the kind keeps (1 for a point, 0 for a vector).
class TGLCoordinates : public TGLUpdateAbleObject {
public:
    TGLCoordinates(TPersistent *Owner, const TVector4f &Default, TGLCoordsKind Kind);
    TGLCoordsKind Kind() const { return FKind; }
    float X() const { return FCoords.X; }
    float Y() const { return FCoords.Y; }
    float Z() const { return FCoords.Z; }
    float W() const { return FCoords.W; }
    const TVector4f &AsVector() const { return FCoords; }
    TAffineVec3f AsAffine() const { return {FCoords.X, FCoords.Y, FCoords.Z}; }
    TVector4f *CoordsAddress() { return &FCoords; }

    // Assertion failure on a ckPoint.
    void AssignXYZ(float X, float Y, float Z);
    void AssignXYZW(float X, float Y, float Z, float W);
    // Assertion failure on a ckVector.
    void AssignPoint(float X, float Y, float Z);
    void SetFromVector(const TVector4f &V);
    void SetFromAffine(const TAffineVec3f &V);
    void WriteCoordinate(int Index, float Value);
    void NormalizeCoords(); // no change notification
    long double CoordsLength() const;
    bool SameCoords(const TVector4f &V) const;
    // The "Coordinates" form property: X, Y, Z, W as little-endian singles.
    std::string CoordinatesData() const;
    void ReadCoordinatesData(const std::string &Data); // 16 bytes, else unchanged

    // A scene object as owner hears TransformChanged instead.
    void SignalChange(TObject *Sender) override;

protected:
    void AssignTo(TPersistent &Dest) const override; // values only, no notification

private:
    TVector4f FCoords;
    TGLCoordsKind FKind;
};

class TGLNodes;

class TGLNode {
public:
    explicit TGLNode(TGLNodes *Collection) : FCollection(Collection) {}
    virtual ~TGLNode() = default;
    float X() const { return FCoords.X; }
    float Y() const { return FCoords.Y; }
    float Z() const { return FCoords.Z; }
    void SetX(float V) { SetCoordinate(0, V); }
    void SetY(float V) { SetCoordinate(1, V); }
    void SetZ(float V) { SetCoordinate(2, V); }
    TAffineVec3f *NodeAddress() { return &FCoords; }
    std::string GetDisplayName() const; // "%.4f; %.4f; %.4f"

private:
    void SetCoordinate(int Index, float Value);
    TGLNodes *FCollection;
    TAffineVec3f FCoords;
};

// Vertices of polylines and polygons, owned by a scene component.
class TGLNodes {
public:
    using TNodeFactory = std::function<std::unique_ptr<TGLNode>(TGLNodes *)>;
    explicit TGLNodes(TGLUpdateAbleComponent *Owner, TNodeFactory Factory = nullptr);
    virtual ~TGLNodes() = default;

    int Count() const { return int(FNodes.size()); }
    TGLNode &NodeAt(int Index) { return *FNodes.at(size_t(Index)); }
    TGLNode &AddNode();
    void AddNode(float X, float Y, float Z);
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // Tells the owner, unless updates are held.
    virtual void NodesChanged();

    // A spline through the nodes, in order (no W). Needs two nodes.
    std::unique_ptr<TCubicSpline> BuildSpline() const;
    // One filled polygon through the GLU tessellator; nothing below three
    // nodes. Textured: X and Y of each vertex become S and T. The vertices
    // the tessellator combines at self-intersections belong to this call
    // and grow as needed. A tessellator error raises EAssertionFailed with
    // the code, ": " and the GLU text.
    void DrawNodePolygon(bool Textured, const TAffineVec3f *Normal = nullptr,
                         int SplineDivisions = 1, bool Reversed = false);

protected:
    bool IsUpdating() const { return FUpdateCount > 0; }

private:
    TGLUpdateAbleComponent *FOwner;
    TNodeFactory FFactory;
    std::vector<std::unique_ptr<TGLNode>> FNodes;
    int FUpdateCount = 0;
};

// ---- process-wide OpenGL state caches (one current context at a time) ----

enum class TGLState {
    AlphaTest, AutoNormal, Blend, ColorMaterial, CullFace, DepthTest, Dither, Fog, Lighting,
    LineSmooth, LineStipple, LogicOp, Normalize, PointSmooth, PolygonSmooth, PolygonStipple,
    ScissorTest, StencilTest, Texture1D, Texture2D, TextureCubeMap
};
using TGLStates = uint32_t; // bit i: capability i of TGLState known to be on

inline bool InStates(TGLStates Set, TGLState S) { return (Set >> unsigned(S)) & 1u; }
GLenum GLStateName(TGLState S);
void EnableCapability(TGLStates &Set, TGLState S);
void DisableCapability(TGLStates &Set, TGLState S);

void CachedPolygonMode(GLenum Face, GLenum Mode);
void ClearPolygonModeCache();
void CachedMaterialColors(GLenum Face, const TVector4f &Emission, const TVector4f &Ambient,
                          const TVector4f &Diffuse, const TVector4f &Specular, int Shininess);
void CachedDiffuseAlpha(GLenum Face, float Alpha);
void ClearMaterialCache();
void CachedTextureBind(int Slot, GLenum Target, GLuint Handle);
void ClearTextureBindCache();
void LoadTextureMatrix(const TMatrix4x4f &M);
void ClearTextureMatrix();
void FlipFrontFace();
void ClearFrontFace();

// ---- helpers ----

// Stores Value when it differs; true when it did (the setter then reports it).
template <class T> bool StoreChanged(T &Field, const T &Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

// 256 bytes: entry i = TruncateToInteger(sqrt(i / 255) * 255).
const uint8_t *SqrtRamp255();
void WriteTextFile(const std::string &FileName, const std::string &Text); // raises EFilerError
std::string ReadTextFile(const std::string &FileName); // empty when missing
int64_t FileSizeOf(const std::string &FileName);        // 0 when missing
int NextPowerOfTwo(int N);                              // 1 for N <= 1
// Binary form properties: Count singles, little-endian, 4 bytes each.
std::string SinglesData(const float *Values, int Count);
// False (Values untouched) unless Data holds exactly Count singles.
bool ReadSinglesData(const std::string &Data, float *Values, int Count);

} // namespace orv
