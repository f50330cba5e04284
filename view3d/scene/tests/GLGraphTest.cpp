#include "view3d/scene/GLGraph.h"

#include "view3d/geometry/Geometry.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/XOpenGL.h"
#include "view3d/scene/tests/SceneFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <set>
#include <stdexcept>

namespace orv {
namespace {

void SetScale(TGLSamplingScale &S, float Min, float Max, float Step, float Origin = 0)
{
    S.SetMax(Max);
    S.SetMin(Min);
    S.SetStep(Step);
    S.SetOrigin(Origin);
}

// Both sampling scales of a height field or grid, one step, origins at 0.
template <class T>
void SetScales(T &Object, float XMin, float XMax, float YMin, float YMax, float Step)
{
    SetScale(Object.XSamplingScale(), XMin, XMax, Step);
    SetScale(Object.YSamplingScale(), YMin, YMax, Step);
}

struct TVertex {
    float X, Y, Z;
};

// The vertices of each triangle strip.
std::vector<std::vector<TVertex>> Strips(const TGLRecorder &Gl)
{
    std::vector<std::vector<TVertex>> strips;
    for (const TGLCall &c : Gl.Calls) {
        if (c.Name == "glBegin") {
            EXPECT_EQ(c.Args[0], gl::TRIANGLE_STRIP);
            strips.emplace_back();
        } else if (c.Name == "glVertex4f") {
            EXPECT_EQ(c.Args[3], 1);
            strips.back().push_back({float(c.Args[0]), float(c.Args[1]), float(c.Args[2])});
        }
    }
    return strips;
}

TEST(GLSamplingScale, Writers)
{
    TGLSamplingScale s(nullptr);
    struct Case {
        float Step, Stored;
    } steps[] = {{0, 1},
                 {-0.5f, 1},
                 {std::numeric_limits<float>::quiet_NaN(), 1},
                 {0.25f, 0.25f},
                 {1e-7f, 1e-7f}};
    for (const Case &c : steps) {
        SCOPED_TRACE(c.Step);
        s.SetStep(c.Step);
        EXPECT_EQ(s.Step(), c.Stored);
    }
    s.SetMax(5);
    s.SetMin(7);
    EXPECT_EQ(s.Max(), 7) << "Min above Max drags Max up";
    EXPECT_FALSE(s.IsValid());
    s.SetMax(2);
    EXPECT_EQ(s.Min(), 2) << "Max below Min drags Min down";
    s.SetMax(3);
    EXPECT_TRUE(s.IsValid());
}

TEST(GLSamplingScale, LatticeArithmetic)
{
    struct Case {
        const char *Name;
        float Min, Max, Step, Origin;
        float Base;
        int Count;
    } cases[] = {
        // The count rounds half to even: 22.5 gives 22.
        {"origin at min", -0.5f, 10.5f, 0.5f, -0.5f, -0.5f, 22},
        {"origin inside", -0.5f, 10.5f, 0.5f, 0, -0.5f, 22},
        {"origin off the lattice of min", -0.7f, 1, 0.5f, 0, -0.5f, 4},
        {"origin below min, off the lattice", 0.2f, 2, 1, -1.5f, 0.5f, 2},
        // A whole number of steps below Min: Min itself is a lattice point.
        {"origin whole steps below min", 0, 4, 1, -2, 0, 4},
        {"origin above max", 0, 1.1f, 0.25f, 5, 0, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLSamplingScale s(nullptr);
        SetScale(s, c.Min, c.Max, c.Step, c.Origin);
        EXPECT_FLOAT_EQ(s.StepBase(), c.Base);
        EXPECT_EQ(s.MaxStepCount(), c.Count);
    }
    TGLSamplingScale s(nullptr);
    SetScale(s, 0, 2, 0.5f, 0.25f);
    float base, step, max;
    s.SetBaseStepMaxToVars(base, step, max, true);
    EXPECT_EQ(base, 0.25f);
    EXPECT_EQ(step, 0.5f);
    EXPECT_GT(max, 2.0f);
    EXPECT_LT(max, 2.0001f);
    s.SetBaseStepMaxToVars(base, step, max, false);
    EXPECT_EQ(base, 0.25f);
    EXPECT_EQ(max, 0.25f);
}

TEST(GLHeightField, ColumnsAndRowsOfTheLattice)
{
    TGLRecorder gl;
    THeightField field;
    SetScales(field, -0.5f, 10.5f, -0.5f, 10.5f, 0.5f);
    std::set<float> xs, ys;
    int calls = 0;
    field.SetOnGetHeight([&](float X, float Y, float &Z, TVector4f &, TTexPoint &Tex) {
        EXPECT_EQ(Tex.S, X);
        EXPECT_EQ(Tex.T, Y);
        xs.insert(X);
        ys.insert(Y);
        Z = 1;
        ++calls;
    });
    Compile(field, gl);
    // X stops below Max, Y includes it.
    EXPECT_EQ(xs.size(), 22u);
    EXPECT_EQ(*xs.begin(), -0.5f);
    EXPECT_EQ(*xs.rbegin(), 10.0f);
    EXPECT_EQ(ys.size(), 23u);
    EXPECT_EQ(*ys.rbegin(), 10.5f);
    EXPECT_EQ(calls, 22 * 23);
    const auto strips = Strips(gl);
    ASSERT_EQ(strips.size(), 22u);
    for (const auto &strip : strips)
        EXPECT_EQ(strip.size(), 44u);
    EXPECT_EQ(field.TriangleCount(), 21 * (23 * 2 - 2));
    // Strip k joins row k (second vertex) and row k + 1 (first), counter-clockwise from above.
    EXPECT_EQ(strips[0][0].Y, 0.0f);
    EXPECT_EQ(strips[0][1].Y, -0.5f);
    EXPECT_EQ(strips[0][2].X, 0.0f);
    EXPECT_EQ(strips[21][0].Y, 10.5f);
}

TEST(GLHeightField, NothingWithoutTwoValidScales)
{
    TGLRecorder gl;
    THeightField field;
    Compile(field, gl);
    EXPECT_TRUE(gl.Calls.empty()) << "Min = Max by default";
    SetScales(field, 0, 1, 0, 1, 0.5f);
    field.YSamplingScale().SetMin(2); // drags Max along: invalid again
    Compile(field, gl);
    EXPECT_EQ(gl.Count("glBegin"), 0);
    EXPECT_EQ(field.TriangleCount(), 0);
}

TEST(GLHeightField, BuiltInRippleWithoutCallback)
{
    TGLRecorder gl;
    THeightField field;
    SetScales(field, -1, 1, -1, 1, 0.5f);
    Compile(field, gl);
    int checked = 0;
    for (const auto &strip : Strips(gl))
        for (const TVertex &v : strip) {
            const double r = double(v.X) * v.X + double(v.Y) * v.Y;
            EXPECT_NEAR(v.Z, std::cos(12 * r) / ((6.28 * r + 1) * 2), 1e-6);
            ++checked;
        }
    EXPECT_EQ(checked, 4 * 2 * 4); // strips x (2 rows) x 4 columns
    EXPECT_TRUE(gl.Has("glVertex4f", {0, 0, 0.5, 1})) << "the crest at the origin";

    // The second callback hears its sender, and is used only without the first.
    const TGLBaseSceneObject *sender = nullptr;
    field.SetOnGetHeight2([&](TObject *Sender, float, float, float &Z, TVector4f &, TTexPoint &) {
        sender = dynamic_cast<TGLBaseSceneObject *>(Sender);
        Z = 7;
    });
    Compile(field, gl);
    EXPECT_EQ(sender, &field);
    EXPECT_TRUE(gl.Has("glVertex4f", {0, 0, 7, 1}));
    field.SetOnGetHeight([](float, float, float &Z, TVector4f &, TTexPoint &) { Z = 3; });
    Compile(field, gl);
    EXPECT_TRUE(gl.Has("glVertex4f", {0, 0, 3, 1}));
    EXPECT_FALSE(gl.Has("glVertex4f", {0, 0, 7, 1}));
}

TEST(GLHeightField, NormalsOfAPlane)
{
    struct Case {
        const char *Name;
        float A, B; // z = A x + B y
    } cases[] = {{"flat", 0, 0}, {"along x", 0.5f, 0}, {"oblique", 1, -2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl;
        THeightField field;
        SetScales(field, 0, 4, 0, 4, 1);
        field.SetOnGetHeight([&](float X, float Y, float &Z, TVector4f &, TTexPoint &) {
            Z = c.A * X + c.B * Y;
        });
        Compile(field, gl);
        const auto normals = gl.Of("glNormal3fv");
        const auto vertices = gl.Of("glVertex4f");
        ASSERT_EQ(normals.size(), vertices.size());
        for (size_t i = 0; i < normals.size(); ++i) {
            const auto &n = normals[i].Args;
            const auto &v = vertices[i].Args;
            EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1, 1e-6);
            EXPECT_GT(n[2], 0) << "faces up";
            // Leaning against the slope: its horizontal part points downhill.
            EXPECT_LE(n[0] * c.A, 0);
            EXPECT_LE(n[1] * c.B, 0);
            const bool inner = v[0] > 0 && v[0] < 3 && v[1] > 0 && v[1] < 4;
            if (inner) { // differences on both sides in both directions
                const TAffineVec3f e = AffineNormalized({-2 * c.A, -2 * c.B, 1});
                EXPECT_NEAR(n[0], e.X, 1e-6);
                EXPECT_NEAR(n[1], e.Y, 1e-6);
            }
        }
    }
}

TEST(GLHeightField, RowsNeverTakeMoreSamplesThanTheyHold)
{
    // With steps of 0.001 up to 23 a running single-precision sum reaches
    // only 22.999 after 23,000 steps and would sample two more columns
    // than the lattice (and the row buffers) have.
    TGLRecorder gl;
    THeightField field;
    SetScales(field, 0, 23, 0, 0.001f, 0.001f);
    const int capacity = field.XSamplingScale().MaxStepCount() + 1;
    int calls = 0, k = 0;
    float lastY = -1;
    field.SetOnGetHeight([&](float X, float Y, float &, TVector4f &, TTexPoint &) {
        if (Y != lastY)
            k = 0;
        lastY = Y;
        ASSERT_EQ(X, float(double(k) * double(0.001f))) << "column " << k;
        ++k;
        ++calls;
        ASSERT_LE(k, capacity);
    });
    Compile(field, gl);
    EXPECT_EQ(calls, 2 * 23000);
    EXPECT_EQ(field.TriangleCount(), 22999 * 2);
}

TEST(GLHeightField, ColourModesAndTwoSidedSaveTheEnableState)
{
    struct Case {
        const char *Name;
        unsigned Options;
        THeightFieldColorMode Mode;
        double Material; // 0: no colour material
    } cases[] = {
        {"plain", 0, hfcmNone, 0},
        {"two sided", hfoTwoSided, hfcmNone, 0},
        {"emission", 0, hfcmEmission, gl::EMISSION},
        {"ambient", hfoTwoSided, hfcmAmbient, gl::AMBIENT},
        {"diffuse", 0, hfcmDiffuse, gl::DIFFUSE},
        {"ambient and diffuse", 0, hfcmAmbientAndDiffuse, gl::AMBIENT_AND_DIFFUSE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl;
        THeightField field;
        SetScales(field, 0, 2, 0, 1, 1);
        field.SetOptions(c.Options);
        field.SetColorMode(c.Mode);
        field.SetOnGetHeight([](float X, float, float &, TVector4f &Color, TTexPoint &) {
            Color = {X, 0, 0, 1};
        });
        Compile(field, gl);
        const bool saved = c.Options != 0 || c.Mode != hfcmNone;
        EXPECT_EQ(gl.Count("glPushAttrib"), saved ? 1 : 0);
        EXPECT_EQ(gl.Count("glPopAttrib"), saved ? 1 : 0);
        EXPECT_EQ(gl.Has("glDisable", {gl::CULL_FACE}), c.Options == hfoTwoSided);
        if (c.Material) {
            EXPECT_TRUE(gl.Has("glColorMaterial", {gl::FRONT_AND_BACK, c.Material}));
            EXPECT_TRUE(gl.Has("glColor4fv", {1, 0, 0, 1}));
            EXPECT_EQ(gl.Count("glColor4fv"), gl.Count("glVertex4f"));
        } else {
            EXPECT_EQ(gl.Count("glColorMaterial") + gl.Count("glColor4fv"), 0);
        }
    }
}

TEST(GLHeightField, TextureCoordinatesFromTheCallback)
{
    TGLRecorder gl;
    SetStandardMode();
    THeightField field;
    SetScales(field, 0, 2, 0, 1, 1);
    field.SetOnGetHeight([](float X, float Y, float &, TVector4f &, TTexPoint &Tex) {
        Tex = {X / 2, Y * 4};
    });
    Compile(field, gl);
    EXPECT_EQ(gl.Count("glTexCoord2fv"), 0);
    field.SetOptions(hfoTextureCoordinates);
    Compile(field, gl);
    EXPECT_EQ(gl.Count("glTexCoord2fv"), 4);
    EXPECT_TRUE(gl.Has("glTexCoord2fv", {0.5, 4}));
}

TEST(GLHeightField, ARaisingCallbackLeavesTheStateBalanced)
{
    TGLRecorder gl;
    THeightField field;
    SetScales(field, 0, 2, 0, 3, 1);
    int calls = 0;
    field.SetOnGetHeight([&](float, float, float &, TVector4f &, TTexPoint &) {
        if (++calls == 5)
            throw std::runtime_error("no height");
    });
    gl.Clear();
    TRenderContextInfo rci;
    EXPECT_THROW(field.CompileGeometry(rci), std::runtime_error);
    EXPECT_EQ(gl.Count("glPushAttrib"), 1);
    EXPECT_EQ(gl.Count("glPopAttrib"), 1);
    EXPECT_EQ(gl.Count("glBegin"), gl.Count("glEnd"));
}

TEST(GLHeightField, ScaleChangesRecompile)
{
    TSceneFixture f;
    auto *field = f.Scene.Objects().NewChild<THeightField>();
    SetScales(*field, 0, 2, 0, 2, 1);
    f.Buffer.Render();
    ASSERT_FALSE(field->ListStale());
    EXPECT_EQ(f.Gl.Count("glNewList"), 1) << "drawn through a display list";
    f.Signals = 0;
    field->YSamplingScale().SetStep(0.5f);
    EXPECT_TRUE(field->ListStale());
    EXPECT_GE(f.Signals, 1) << "the viewer must repaint";
    f.Buffer.Render();
    field->SetColorMode(hfcmNone); // unchanged
    EXPECT_FALSE(field->ListStale());
    field->SetOnGetHeight(nullptr); // a callback writer always recompiles
    EXPECT_TRUE(field->ListStale());
}

TEST(GLHeightField, AssignTakesTheFirstCallbackOnly)
{
    THeightField from;
    SetScale(from.XSamplingScale(), 1, 5, 0.5f, 2);
    from.SetColorMode(hfcmDiffuse);
    from.SetOptions(hfoTextureCoordinates);
    from.SetOnGetHeight([](float, float, float &Z, TVector4f &, TTexPoint &) { Z = 1; });
    from.SetOnGetHeight2([](TObject *, float, float, float &, TVector4f &, TTexPoint &) {});
    THeightField to;
    to.Assign(from);
    EXPECT_EQ(to.XSamplingScale().Min(), 1);
    EXPECT_EQ(to.XSamplingScale().Max(), 5);
    EXPECT_EQ(to.XSamplingScale().Step(), 0.5f);
    EXPECT_EQ(to.XSamplingScale().Origin(), 2);
    EXPECT_EQ(to.ColorMode(), hfcmDiffuse);
    EXPECT_EQ(to.Options(), unsigned(hfoTextureCoordinates));
    EXPECT_TRUE(bool(to.OnGetHeight()));
    EXPECT_FALSE(bool(to.OnGetHeight2()));
}

// A surface whose heights the test changes, with a count of the samples
// taken; drawn through a buffer as a viewer would.
struct TKeptSurface {
    TSceneFixture F;
    THeightField *Field = F.Scene.Objects().NewChild<THeightField>();
    float Heights[12][12] = {};
    int Samples = 0;
    TKeptSurface()
    {
        SetScales(*Field, 0, 11, 0, 11, 1); // x 0..10, y 0..11
        Field->SetColorMode(hfcmDiffuse);
        Field->SetOnGetHeight([this](float X, float Y, float &Z, TVector4f &Colour, TTexPoint &) {
            ++Samples;
            Z = Heights[int(X)][int(Y)];
            Colour = {Z, 0, 1, 1};
        });
    }
    // One frame; the surface's vertices, normals and colours as drawn.
    std::vector<TGLCall> Frame()
    {
        Samples = 0;
        F.Gl.Clear();
        F.Buffer.Render();
        std::vector<TGLCall> drawn;
        for (const TGLCall &c : F.Gl.Calls)
            if (c.Name == "glVertex4f" || c.Name == "glNormal3fv" || c.Name == "glColor4fv")
                drawn.push_back(c);
        return drawn;
    }
};

bool SameCalls(const std::vector<TGLCall> &A, const std::vector<TGLCall> &B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (A[i].Name != B[i].Name || A[i].Args != B[i].Args)
            return false;
    return true;
}

TEST(GLHeightField, AChangedBoxIsAllThatIsSampledAgain)
{
    TKeptSurface s;
    s.Frame();
    EXPECT_EQ(s.Samples, 11 * 12) << "the first frame samples everything";
    s.Heights[3][4] = -1;
    s.Heights[5][6] = -2;
    s.Field->SamplesChanged(3, 5, 4, 6);
    EXPECT_TRUE(s.Field->ListStale());
    const std::vector<TGLCall> kept = s.Frame();
    EXPECT_EQ(s.Samples, 3 * 3);
    // The same picture as a surface sampled anew: heights, normals (which
    // reach one sample beyond the box) and colours.
    s.Field->GeometryChanged();
    const std::vector<TGLCall> whole = s.Frame();
    EXPECT_EQ(s.Samples, 11 * 12);
    EXPECT_TRUE(SameCalls(kept, whole));
    EXPECT_GT(kept.size(), 0u);
}

TEST(GLHeightField, BoxesGatherUntilTheNextFrame)
{
    TKeptSurface s;
    s.Frame();
    s.Field->SamplesChanged(1, 1, 1, 1);
    s.Field->SamplesChanged(3.5f, 4.5f, 8, 9); // only the lattice points inside count
    EXPECT_EQ(s.Field->UpdateSamples(), size_t(4 * 9)) << "x 1..4, y 1..9";
    EXPECT_EQ(s.Field->UpdateSamples(), 0u) << "nothing left";
    s.Field->SamplesChanged(20, 30, 20, 30); // outside the lattice
    EXPECT_EQ(s.Field->UpdateSamples(), 0u);
}

TEST(GLHeightField, EveryOtherChangeSamplesTheWholeSurface)
{
    struct Case {
        const char *Name;
        std::function<void(THeightField &)> Change;
        int Samples;
    } cases[] = {
        {"geometry changed", [](THeightField &f) { f.GeometryChanged(); }, 11 * 12},
        {"a scale", [](THeightField &f) { f.XSamplingScale().SetMax(6); }, 6 * 12},
        {"an option", [](THeightField &f) { f.SetOptions(hfoTextureCoordinates); }, 11 * 12},
        {"the list made again (a new context)", [](THeightField &f) { f.ReleaseHandle(); },
         11 * 12},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TKeptSurface s;
        s.Frame();
        c.Change(*s.Field);
        s.Frame();
        EXPECT_EQ(s.Samples, c.Samples);
        s.Frame();
        EXPECT_EQ(s.Samples, 0) << "nothing changed since";
    }
}

TEST(GLHeightField, ALatticeTooLargeToKeepIsSampledAtEveryBuild)
{
    TGLRecorder gl;
    gl.KeepCalls = false; // 2.25 million vertices
    THeightField field;
    const float side = 1500; // 1500 x 1501 samples: more than may be kept
    SetScales(field, 0, side, 0, side, 1);
    int samples = 0;
    field.SetOnGetHeight([&](float, float, float &, TVector4f &, TTexPoint &) { ++samples; });
    EXPECT_EQ(field.UpdateSamples(), 0u);
    TRenderContextInfo rci;
    field.CompileGeometry(rci);
    EXPECT_EQ(samples, 1500 * 1501);
    EXPECT_EQ(field.TriangleCount(), 1499 * (1501 * 2 - 2));
}

TEST(GLXYZGrid, LinesAlongTheAxesOfItsParts)
{
    struct Case {
        const char *Name;
        unsigned Parts;
        TXYZGridLinesStyle Style;
        int Strips, Vertices;
    } cases[] = {
        // X and Y 0..2 step 1 (3 values each), Z at its origin.
        {"xy segments", gpX | gpY, glsSegments, 6, 18},
        {"xy lines", gpX | gpY, glsLine, 6, 12},
        {"x only", gpX, glsSegments, 1, 3},
        // Z -1..1.5 from origin 0.5 (-0.5, 0.5, 1.5): 9 lines of 3 along each axis.
        {"xyz segments", gpX | gpY | gpZ, glsSegments, 27, 81},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl;
        TXYZGrid grid;
        SetScales(grid, 0, 2, 0, 2, 1);
        SetScale(grid.ZSamplingScale(), -1, 1.5f, 1, 0.5f);
        grid.SetParts(c.Parts);
        grid.SetLinesStyle(c.Style);
        Compile(grid, gl);
        EXPECT_EQ(gl.Count("glBegin"), c.Strips);
        EXPECT_EQ(gl.Count("glVertex3f"), c.Vertices);
        EXPECT_EQ(gl.Count("glPushAttrib"), 1);
        EXPECT_EQ(gl.Count("glPopAttrib"), 1);
        if (!(c.Parts & gpZ)) {
            for (const TGLCall &v : gl.Of("glVertex3f"))
                EXPECT_EQ(v.Args[2], 0.5) << "a plane at the Z origin";
        }
    }
}

TEST(SceneObjectClasses, HeightFieldAndGridAreRegistered)
{
    for (const char *name : {"THeightField", "TXYZGrid"}) {
        SCOPED_TRACE(name);
        auto object = CreateSceneObject(name);
        ASSERT_TRUE(object);
        EXPECT_EQ(object->ClassName(), name);
    }
    EXPECT_THROW(CreateSceneObject("TNoSuchThing"), EClassNotFound);
}

} // namespace
} // namespace orv
