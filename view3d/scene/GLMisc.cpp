#include "view3d/scene/GLMisc.h"

#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"
#include "view3d/geometry/PersistentClasses.h"
#include "view3d/geometry/Spline.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/XOpenGL.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace orv {

// ---- change notification ----

void TGLUpdateAbleObject::SignalChange(TObject *Sender)
{
    if (!FOwner)
        return;
    if (auto *o = dynamic_cast<TGLUpdateAbleObject *>(FOwner))
        o->SignalChange(this);
    else if (auto *c = dynamic_cast<TGLUpdateAbleComponent *>(FOwner))
        c->SignalChange(this);
    if (OnChange)
        OnChange(this);
}

void TGLUpdateAbleComponent::SignalChange(TObject *Sender)
{
    if (auto *o = dynamic_cast<TGLUpdateAbleComponent *>(Owner()))
        o->SignalChange(this);
}

// ---- coordinates ----

TGLCoordinates::TGLCoordinates(TPersistent *Owner, const TVector4f &Default, TGLCoordsKind Kind)
    : TGLUpdateAbleObject(Owner), FCoords(Default), FKind(Kind)
{
}

void TGLCoordinates::AssignXYZ(float X, float Y, float Z)
{
    Check(FKind != ckPoint, "AssignXYZ on point coordinates");
    FCoords = {X, Y, Z, 0};
    SignalChange(this);
}

void TGLCoordinates::AssignXYZW(float X, float Y, float Z, float W)
{
    Check(FKind != ckPoint, "AssignXYZW on point coordinates");
    FCoords = {X, Y, Z, W};
    SignalChange(this);
}

void TGLCoordinates::AssignPoint(float X, float Y, float Z)
{
    Check(FKind != ckVector, "AssignPoint on vector coordinates");
    FCoords = {X, Y, Z, 1};
    SignalChange(this);
}

void TGLCoordinates::SetFromVector(const TVector4f &V)
{
    FCoords = V;
    if (FKind == ckPoint)
        FCoords.W = 1;
    else if (FKind == ckVector)
        FCoords.W = 0;
    SignalChange(this);
}

void TGLCoordinates::SetFromAffine(const TAffineVec3f &V)
{
    FCoords = {V.X, V.Y, V.Z, FKind == ckPoint ? 1.0f : 0.0f};
    SignalChange(this);
}

void TGLCoordinates::WriteCoordinate(int Index, float Value)
{
    FCoords[Index] = Value;
    SignalChange(this);
}

void TGLCoordinates::NormalizeCoords() { HomogeneousNormalize(FCoords); }
long double TGLCoordinates::CoordsLength() const { return HomogeneousLength(FCoords); }
bool TGLCoordinates::SameCoords(const TVector4f &V) const { return HomogeneousEquals(FCoords, V); }

std::string TGLCoordinates::CoordinatesData() const { return SinglesData(&FCoords.X, 4); }

void TGLCoordinates::ReadCoordinatesData(const std::string &Data)
{
    ReadSinglesData(Data, &FCoords.X, 4);
}

void TGLCoordinates::SignalChange(TObject *Sender)
{
    auto *owner = dynamic_cast<TGLUpdateAbleComponent *>(GetOwner());
    if (owner && owner->IsSceneObject()) {
        owner->TransformChanged(this);
        return;
    }
    TGLUpdateAbleObject::SignalChange(Sender);
}

void TGLCoordinates::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TGLCoordinates *>(&Dest)) {
        d->FCoords = FCoords;
        return;
    }
    TGLUpdateAbleObject::AssignTo(Dest);
}

// ---- nodes ----

std::string TGLNode::GetDisplayName() const
{
    char text[96];
    std::snprintf(text, sizeof text, "%.4f; %.4f; %.4f", FCoords.X, FCoords.Y, FCoords.Z);
    return text;
}

void TGLNode::SetCoordinate(int Index, float Value)
{
    FCoords[Index] = Value;
    if (FCollection)
        FCollection->NodesChanged();
}

TGLNodes::TGLNodes(TGLUpdateAbleComponent *Owner, TNodeFactory Factory)
    : FOwner(Owner), FFactory(std::move(Factory))
{
}

TGLNode &TGLNodes::AddNode()
{
    FNodes.push_back(FFactory ? FFactory(this) : std::make_unique<TGLNode>(this));
    NodesChanged();
    return *FNodes.back();
}

void TGLNodes::AddNode(float X, float Y, float Z)
{
    BeginUpdate();
    TGLNode &n = AddNode();
    *n.NodeAddress() = {X, Y, Z};
    EndUpdate();
}

void TGLNodes::Clear()
{
    FNodes.clear();
    NodesChanged();
}

void TGLNodes::EndUpdate()
{
    Check(FUpdateCount > 0, "Unbalanced Begin/EndUpdate");
    if (--FUpdateCount == 0)
        NodesChanged();
}

void TGLNodes::NodesChanged()
{
    if (FUpdateCount == 0 && FOwner)
        FOwner->SignalChange(FOwner);
}

std::unique_ptr<TCubicSpline> TGLNodes::BuildSpline() const
{
    std::vector<float> x, y, z;
    for (const auto &n : FNodes) {
        x.push_back(n->X());
        y.push_back(n->Y());
        z.push_back(n->Z());
    }
    return std::make_unique<TCubicSpline>(x.data(), y.data(), z.data(), nullptr, Count());
}

namespace {

// One tessellation: the vertices it hands to the tessellator and those it
// combines at self-intersections. A deque keeps their addresses while it grows.
struct TTessellation {
    std::deque<TAffineVec3f> Vertices;
    std::deque<std::array<double, 3>> Doubles; // the positions passed
    bool Textured = false;
    std::string Error;
};

thread_local TTessellation *gTess = nullptr;

void TessBegin(GLenum Mode) { GL().glBegin(Mode); }
void TessEnd() { GL().glEnd(); }
void TessVertex(void *Data) { GL().glVertex3fv(static_cast<const GLfloat *>(Data)); }
void TessTexturedVertex(void *Data)
{
    const auto *v = static_cast<const GLfloat *>(Data);
    xgl().TexCoord2fv(v);
    GL().glVertex3fv(v);
}
void TessError(GLenum Code)
{
    if (gTess && gTess->Error.empty()) {
        const GLubyte *text = GL().gluErrorString ? GL().gluErrorString(Code) : nullptr;
        gTess->Error = std::to_string(Code) + ": " +
                       (text ? reinterpret_cast<const char *>(text) : std::string());
    }
}
void TessCombine(double Coords[3], void *[4], float[4], void **Out)
{
    gTess->Vertices.push_back({float(Coords[0]), float(Coords[1]), float(Coords[2])});
    *Out = &gTess->Vertices.back();
}

double *AsDoubles(TTessellation &T, const TAffineVec3f &V)
{
    T.Doubles.push_back({V.X, V.Y, V.Z});
    return T.Doubles.back().data();
}

// The tessellator and the current-tessellation pointer, released on every exit.
struct TTessScope {
    GLUtesselator *Tess;
    TTessellation *Previous;
    explicit TTessScope(TTessellation &T) : Tess(GL().gluNewTess()), Previous(gTess) { gTess = &T; }
    ~TTessScope()
    {
        if (Tess)
            GL().gluDeleteTess(Tess);
        gTess = Previous;
    }
};

} // namespace

void TGLNodes::DrawNodePolygon(bool Textured, const TAffineVec3f *Normal, int SplineDivisions,
                               bool Reversed)
{
    if (Count() < 3)
        return;
    TTessellation t;
    t.Textured = Textured;
    TTessScope scope(t);
    Check(scope.Tess != nullptr, "gluNewTess");
    const TGLEntryTable &g = GL();
    g.gluTessCallback(scope.Tess, gl::GLU_TESS_BEGIN, reinterpret_cast<TGLUCallback>(&TessBegin));
    g.gluTessCallback(scope.Tess, gl::GLU_TESS_VERTEX,
                      Textured ? reinterpret_cast<TGLUCallback>(&TessTexturedVertex)
                               : reinterpret_cast<TGLUCallback>(&TessVertex));
    g.gluTessCallback(scope.Tess, gl::GLU_TESS_END, reinterpret_cast<TGLUCallback>(&TessEnd));
    g.gluTessCallback(scope.Tess, gl::GLU_TESS_ERROR, reinterpret_cast<TGLUCallback>(&TessError));
    g.gluTessCallback(scope.Tess, gl::GLU_TESS_COMBINE,
                      reinterpret_cast<TGLUCallback>(&TessCombine));
    if (Normal) {
        g.glNormal3fv(&Normal->X);
        g.gluTessNormal(scope.Tess, Normal->X, Normal->Y, Normal->Z);
    }
    g.gluTessBeginPolygon(scope.Tess, nullptr);
    g.gluTessBeginContour(scope.Tess);
    if (SplineDivisions > 1) {
        std::unique_ptr<TCubicSpline> spline = BuildSpline();
        const float f = 1.0f / float(SplineDivisions);
        const int n = SplineDivisions * (Count() - 1);
        for (int k = 0; k <= n; ++k) {
            const int i = Reversed ? n - k : k;
            t.Vertices.push_back(spline->EvalAffine(float(i) * f));
            g.gluTessVertex(scope.Tess, AsDoubles(t, t.Vertices.back()), &t.Vertices.back());
        }
    } else {
        for (int k = 0; k < Count(); ++k) {
            TGLNode &node = *FNodes[size_t(Reversed ? Count() - 1 - k : k)];
            g.gluTessVertex(scope.Tess, AsDoubles(t, *node.NodeAddress()), node.NodeAddress());
        }
    }
    g.gluTessEndContour(scope.Tess);
    g.gluTessEndPolygon(scope.Tess);
    if (!t.Error.empty())
        throw EAssertionFailed(t.Error);
}

// ---- form property data ----

std::string SinglesData(const float *Values, int Count)
{
    std::string data(size_t(4 * Count), '\0');
    for (int i = 0; i < Count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &Values[i], 4);
        for (int b = 0; b < 4; ++b)
            data[size_t(4 * i + b)] = char(bits >> (8 * b));
    }
    return data;
}

bool ReadSinglesData(const std::string &Data, float *Values, int Count)
{
    if (Data.size() != size_t(4 * Count))
        return false;
    for (int i = 0; i < Count; ++i) {
        uint32_t bits = 0;
        for (int b = 0; b < 4; ++b)
            bits |= uint32_t(uint8_t(Data[size_t(4 * i + b)])) << (8 * b);
        std::memcpy(&Values[i], &bits, 4);
    }
    return true;
}

// ---- state caches ----

namespace {

constexpr GLenum cStateNames[21] = {
    gl::ALPHA_TEST,   gl::AUTO_NORMAL,     gl::BLEND,           gl::COLOR_MATERIAL,
    gl::CULL_FACE,    gl::DEPTH_TEST,      gl::DITHER,          gl::FOG,
    gl::LIGHTING,     gl::LINE_SMOOTH,     gl::LINE_STIPPLE,    gl::INDEX_LOGIC_OP,
    gl::NORMALIZE,    gl::POINT_SMOOTH,    gl::POLYGON_SMOOTH,  gl::POLYGON_STIPPLE,
    gl::SCISSOR_TEST, gl::STENCIL_TEST,    gl::TEXTURE_1D,      gl::TEXTURE_2D,
    gl::TEXTURE_CUBE_MAP};

struct TFaceCache {
    TVector4f Emission, Ambient, Diffuse, Specular;
    int Shininess = 0;
};

struct TCaches {
    GLenum FrontMode = 0, BackMode = 0;
    TFaceCache Face[2]; // front, back
    GLuint Bound[8];
    bool TextureMatrixIsIdentity = true;
    bool FrontFaceCCW = true;
    TCaches()
    {
        FillColours();
        for (GLuint &b : Bound)
            b = GLuint(-1);
    }
    void FillColours()
    {
        for (TFaceCache &f : Face) {
            std::memset(static_cast<void *>(&f.Emission), 0x7F, sizeof(TVector4f) * 4);
            f.Shininess = 0;
        }
    }
};

TCaches &Caches()
{
    static TCaches c;
    return c;
}

bool SameRGB(const TVector4f &A, const TVector4f &B) { return std::memcmp(&A, &B, 12) == 0; }
bool SameRGBA(const TVector4f &A, const TVector4f &B) { return std::memcmp(&A, &B, 16) == 0; }

void SendColour(GLenum Face, GLenum Name, TVector4f &Cached, const TVector4f &Colour)
{
    Cached = Colour;
    GL().glMaterialfv(Face, Name, &Cached.X);
}

} // namespace

GLenum GLStateName(TGLState S) { return cStateNames[int(S)]; }

void EnableCapability(TGLStates &Set, TGLState S)
{
    if (InStates(Set, S))
        return;
    GL().glEnable(GLStateName(S));
    Set |= 1u << unsigned(S);
}

void DisableCapability(TGLStates &Set, TGLState S)
{
    if (!InStates(Set, S))
        return;
    GL().glDisable(GLStateName(S));
    Set &= ~(1u << unsigned(S));
}

void CachedPolygonMode(GLenum Face, GLenum Mode)
{
    TCaches &c = Caches();
    if (Face == gl::FRONT) {
        if (Mode != c.FrontMode) {
            GL().glPolygonMode(Face, Mode);
            c.FrontMode = Mode;
        }
    } else if (Face == gl::BACK) {
        if (Mode != c.BackMode) {
            GL().glPolygonMode(Face, Mode);
            c.BackMode = Mode;
        }
    } else if (Face == gl::FRONT_AND_BACK) {
        if (Mode != c.FrontMode || Mode != c.BackMode) {
            GL().glPolygonMode(Face, Mode);
            c.FrontMode = c.BackMode = Mode;
        }
    }
}

void ClearPolygonModeCache() { Caches().FrontMode = Caches().BackMode = 0; }

void CachedMaterialColors(GLenum Face, const TVector4f &Emission, const TVector4f &Ambient,
                          const TVector4f &Diffuse, const TVector4f &Specular, int Shininess)
{
    TFaceCache &f = Caches().Face[Face == gl::FRONT ? 0 : 1];
    if (Shininess != f.Shininess) {
        f.Shininess = Shininess;
        GL().glMateriali(Face, gl::SHININESS, Shininess);
    }
    if (!SameRGB(Emission, f.Emission))
        SendColour(Face, gl::EMISSION, f.Emission, Emission);
    if (!SameRGB(Ambient, f.Ambient))
        SendColour(Face, gl::AMBIENT, f.Ambient, Ambient);
    if (!SameRGBA(Diffuse, f.Diffuse))
        SendColour(Face, gl::DIFFUSE, f.Diffuse, Diffuse);
    if (!SameRGB(Specular, f.Specular))
        SendColour(Face, gl::SPECULAR, f.Specular, Specular);
}

void CachedDiffuseAlpha(GLenum Face, float Alpha)
{
    TFaceCache &f = Caches().Face[Face == gl::FRONT ? 0 : 1];
    if (std::memcmp(&Alpha, &f.Diffuse.W, 4) == 0)
        return;
    f.Diffuse.W = Alpha;
    GL().glMaterialfv(Face, gl::DIFFUSE, &f.Diffuse.X);
}

void ClearMaterialCache()
{
    static const TVector4f ambient = {0.2f, 0.2f, 0.2f, 1}, diffuse = {0.8f, 0.8f, 0.8f, 1},
                           black = {0, 0, 0, 1};
    const TGLEntryTable &g = GL();
    g.glMaterialfv(gl::FRONT_AND_BACK, gl::AMBIENT, &ambient.X);
    g.glMaterialfv(gl::FRONT_AND_BACK, gl::DIFFUSE, &diffuse.X);
    g.glMaterialfv(gl::FRONT_AND_BACK, gl::SPECULAR, &black.X);
    g.glMaterialfv(gl::FRONT_AND_BACK, gl::EMISSION, &black.X);
    g.glMateriali(gl::FRONT_AND_BACK, gl::SHININESS, 0);
    Caches().FillColours();
}

void CachedTextureBind(int Slot, GLenum Target, GLuint Handle)
{
    if (Slot < 0 || Slot > 7)
        return;
    GLuint &b = Caches().Bound[Slot];
    if (b == Handle)
        return;
    GL().glBindTexture(Target, Handle);
    b = Handle;
}

void ClearTextureBindCache()
{
    for (GLuint &b : Caches().Bound)
        b = GLuint(-1);
}

void LoadTextureMatrix(const TMatrix4x4f &M)
{
    Caches().TextureMatrixIsIdentity = false;
    GL().glMatrixMode(gl::TEXTURE);
    GL().glLoadMatrixf(&M[0].X);
    GL().glMatrixMode(gl::MODELVIEW);
}

void ClearTextureMatrix()
{
    if (Caches().TextureMatrixIsIdentity)
        return;
    GL().glMatrixMode(gl::TEXTURE);
    GL().glLoadIdentity();
    GL().glMatrixMode(gl::MODELVIEW);
    Caches().TextureMatrixIsIdentity = true;
}

void FlipFrontFace()
{
    bool &ccw = Caches().FrontFaceCCW;
    ccw = !ccw;
    GL().glFrontFace(ccw ? gl::CCW : gl::CW);
}

void ClearFrontFace()
{
    GL().glFrontFace(gl::CCW);
    Caches().FrontFaceCCW = true;
}

// ---- helpers ----

const uint8_t *SqrtRamp255()
{
    static const auto ramp = [] {
        std::array<uint8_t, 256> r{};
        for (int i = 0; i < 256; ++i)
            r[size_t(i)] = uint8_t(TruncateToInteger(float(std::sqrt(i / 255.0L) * 255)));
        return r;
    }();
    return ramp.data();
}

void WriteTextFile(const std::string &FileName, const std::string &Text)
{
    WriteFileReplacing(FileName, Text);
}

std::string ReadTextFile(const std::string &FileName)
{
    std::ifstream f(FileName, std::ios::binary);
    if (!f)
        return {};
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

int64_t FileSizeOf(const std::string &FileName)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(FileName, ec);
    return ec ? 0 : int64_t(size);
}

int NextPowerOfTwo(int N)
{
    int p = 1;
    while (p < N)
        p <<= 1;
    return p;
}

} // namespace orv
