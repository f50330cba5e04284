#pragma once
// Sampled surfaces and grids: TGLSamplingScale describes one sampled axis
// (Min, Max, Origin, Step), THeightField draws z = f(x, y) over the lattice
// of two scales as lit triangle strips with per-sample colours and texture
// coordinates, and TXYZGrid draws a three-axis line grid from three scales.

#include "view3d/scene/GLObjects.h"

#include <functional>

namespace orv {

// One sampled axis. Owned by the scene object that uses it; every writer
// ends with SignalChange, which reaches the owner.
class TGLSamplingScale : public TGLUpdateAbleObject {
public:
    explicit TGLSamplingScale(TPersistent *Owner) : TGLUpdateAbleObject(Owner) {}
    float Min() const { return FMin; }
    void SetMin(float Value); // Max follows when it is below
    float Max() const { return FMax; }
    void SetMax(float Value); // Min follows when it is above
    float Origin() const { return FOrigin; }
    void SetOrigin(float Value);
    float Step() const { return FStep; }
    void SetStep(float Value); // 0, negative or not a number stores 1

    bool IsValid() const { return FMax != FMin; }
    // The first lattice point Origin + k x Step at or above Min.
    float StepBase() const;
    int MaxStepCount() const;
    // The lattice of this scale (UseScale) or the single value Origin:
    // Base, Step and an inclusive Max with a slack against rounding.
    void SetBaseStepMaxToVars(float &Base, float &Step, float &Max, bool UseScale) const;
    // Lattice value K: Base + K x Step, computed without running sums.
    static float LatticeValue(float Base, float Step, int K);

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    float FMin = 0, FMax = 0, FOrigin = 0, FStep = 0.1f;
};

enum THeightFieldOption : unsigned { hfoTextureCoordinates = 1, hfoTwoSided = 2 };
enum THeightFieldColorMode {
    hfcmNone, hfcmEmission, hfcmAmbient, hfcmDiffuse, hfcmAmbientAndDiffuse
};

// The height at (x, y); color and texPoint may be changed too (texPoint
// arrives as (x, y)).
using THeightFieldGetHeightEvent =
    std::function<void(float X, float Y, float &Z, TVector4f &Color, TTexPoint &TexPoint)>;
using THeightFieldGetHeight2Event = std::function<void(
    TObject *Sender, float X, float Y, float &Z, TVector4f &Color, TTexPoint &TexPoint)>;

// Samples x from the X scale's StepBase while x < X Max and y from the Y
// scale's StepBase while y <= Y Max; without a height callback it draws a
// ripple. Nothing is drawn unless both scales are valid.
class THeightField : public TGLWorldObject {
public:
    explicit THeightField(TComponent *Owner = nullptr);
    TGLSamplingScale &XSamplingScale() { return FXSamplingScale; }
    TGLSamplingScale &YSamplingScale() { return FYSamplingScale; }
    void SetXSamplingScale(const TGLSamplingScale &Scale) { FXSamplingScale.Assign(Scale); }
    void SetYSamplingScale(const TGLSamplingScale &Scale) { FYSamplingScale.Assign(Scale); }
    unsigned Options() const { return FOptions; }
    void SetOptions(unsigned Value); // THeightFieldOption bits
    THeightFieldColorMode ColorMode() const { return FColorMode; }
    void SetColorMode(THeightFieldColorMode Value);
    const THeightFieldGetHeightEvent &OnGetHeight() const { return FOnGetHeight; }
    void SetOnGetHeight(THeightFieldGetHeightEvent Event);
    const THeightFieldGetHeight2Event &OnGetHeight2() const { return FOnGetHeight2; }
    void SetOnGetHeight2(THeightFieldGetHeight2Event Event);
    // Triangles of the last build.
    int TriangleCount() const { return FTriangleCount; }

    // The heights (and colours) may have changed only for X in XMin..XMax
    // and Y in YMin..YMax (inclusive, local units): the next build samples
    // that box again and takes the rest of the surface from the samples
    // it keeps. Any other change (GeometryChanged, a scale, an option, a
    // list made again for a new context) samples the whole surface again.
    void SamplesChanged(float XMin, float XMax, float YMin, float YMax);
    // What a build does before it draws: brings the kept samples up to
    // date (no OpenGL). Returns the number of samples taken.
    size_t UpdateSamples();
    // A lattice of more samples than this is sampled anew at every build
    // (three rows at a time) instead of being kept.
    static constexpr size_t MaxKeptSamples = size_t(2) << 20;

    void CompileGeometry(TRenderContextInfo &Rci) override;
    void SignalChange(TObject *Sender) override;
    void GeometryChanged() override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    struct TSample {
        float Z = 0;
        TVector4f Color;
        TTexPoint TexPoint;
        TAffineVec3f Normal;
    };
    using TRow = std::vector<TSample>;
    struct TLattice {
        std::vector<float> Xs, Ys;
        bool operator==(const TLattice &) const = default;
    };
    TLattice Lattice() const;
    void FillRow(TRow &Row, float Y, const std::vector<float> &Xs, size_t From, size_t To);
    size_t SampleStaleBox();
    void ComputeNormals(TRow &Row, const TRow *Before, const TRow *After) const;
    void DrawStrip(const TRow &A, float YA, const TRow &B, float YB,
                   const std::vector<float> &Xs) const;

    TGLSamplingScale FXSamplingScale, FYSamplingScale;
    unsigned FOptions = hfoTwoSided;
    THeightFieldColorMode FColorMode = hfcmNone;
    THeightFieldGetHeightEvent FOnGetHeight;
    THeightFieldGetHeight2Event FOnGetHeight2;
    int FTriangleCount = 0;
    // The samples kept between builds, row by row, on the lattice they
    // were taken on; FAllStale: none of them can be used.
    TLattice FKeptLattice;
    std::vector<TRow> FKept;
    bool FAllStale = true;
    float FStaleBox[4] = {0, -1, 0, -1}; // X min, X max, Y min, Y max; empty when min > max
};

enum TXYZGridPart : unsigned { gpX = 1, gpY = 2, gpZ = 4 };
enum TXYZGridLinesStyle { glsLine, glsSegments };

// Lines along X for every (y, z) lattice pair, along Y for every (x, z),
// along Z for every (x, y), for the parts in Parts; an axis whose part is
// not in Parts contributes its Origin only.
class TXYZGrid : public TLineBase {
public:
    explicit TXYZGrid(TComponent *Owner = nullptr);
    TGLSamplingScale &XSamplingScale() { return FScales[0]; }
    TGLSamplingScale &YSamplingScale() { return FScales[1]; }
    TGLSamplingScale &ZSamplingScale() { return FScales[2]; }
    void SetXSamplingScale(const TGLSamplingScale &Scale) { FScales[0].Assign(Scale); }
    void SetYSamplingScale(const TGLSamplingScale &Scale) { FScales[1].Assign(Scale); }
    void SetZSamplingScale(const TGLSamplingScale &Scale) { FScales[2].Assign(Scale); }
    unsigned Parts() const { return FParts; }
    void SetParts(unsigned Value); // TXYZGridPart bits
    TXYZGridLinesStyle LinesStyle() const { return FLinesStyle; }
    void SetLinesStyle(TXYZGridLinesStyle Value);
    bool LinesSmoothing() const { return AntiAliased(); }
    void SetLinesSmoothing(bool Value) { SetAntiAliased(Value); }

    void CompileGeometry(TRenderContextInfo &Rci) override;
    void SignalChange(TObject *Sender) override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    struct TAxis {
        float Base, Step, Max;
    };
    void DrawLinesAlong(int Axis, const TAxis (&Axes)[3]);
    TGLSamplingScale FScales[3];
    unsigned FParts = gpX | gpY;
    TXYZGridLinesStyle FLinesStyle = glsSegments;
};

} // namespace orv
