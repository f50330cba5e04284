#include "view3d/scene/XOpenGL.h"

#include "view3d/geometry/Assertion.h"

namespace orv {

namespace {

TXOpenGLEntries DisabledEntries()
{
    return {[](GLfloat, GLfloat) {},
            [](const GLfloat *) {},
            [](GLfloat, GLfloat, GLfloat) {},
            [](const GLfloat *) {},
            [](GLfloat, GLfloat, GLfloat, GLfloat) {},
            [](const GLfloat *) {},
            [](GLenum, GLenum, GLfloat) {},
            [](GLenum, GLenum, const GLfloat *) {},
            [](GLenum, GLenum, GLint) {},
            [](GLenum, GLenum, const GLint *) {},
            [](GLint, GLenum, GLsizei, const void *) {},
            [](GLenum) {},
            [](GLenum) {},
            [](GLenum) {},
            [](GLenum) {}};
}

TXOpenGLEntries StandardEntries()
{
    const TGLEntryTable &g = GL();
    return {g.glTexCoord2f, g.glTexCoord2fv, g.glTexCoord3f,    g.glTexCoord3fv,
            g.glTexCoord4f, g.glTexCoord4fv, g.glTexGenf,       g.glTexGenfv,
            g.glTexGeni,    g.glTexGeniv,    g.glTexCoordPointer, g.glEnableClientState,
            g.glDisableClientState, g.glEnable, g.glDisable};
}

// The two multi-unit modes read the entry table at every call and always
// leave unit 0 active. Unit 1 gets the same values as unit 0.
namespace dual {
constexpr GLenum U0 = gl::TEXTURE0_ARB, U1 = gl::TEXTURE1_ARB;
void TexCoord2f(GLfloat S, GLfloat T)
{
    GL().glTexCoord2f(S, T);
    GL().glMultiTexCoord2fARB(U1, S, T);
}
void TexCoord2fv(const GLfloat *V)
{
    GL().glTexCoord2fv(V);
    GL().glMultiTexCoord2fvARB(U1, V);
}
void TexCoord3f(GLfloat S, GLfloat T, GLfloat R)
{
    GL().glTexCoord3f(S, T, R); GL().glMultiTexCoord3fARB(U1, S, T, R);
}
void TexCoord3fv(const GLfloat *V)
{
    GL().glTexCoord3fv(V);
    GL().glMultiTexCoord3fvARB(U1, V);
}
void TexCoord4f(GLfloat S, GLfloat T, GLfloat R, GLfloat Q)
{
    GL().glTexCoord4f(S, T, R, Q); GL().glMultiTexCoord4fARB(U1, S, T, R, Q);
}
void TexCoord4fv(const GLfloat *V)
{
    GL().glTexCoord4fv(V);
    GL().glMultiTexCoord4fvARB(U1, V);
}
// Call on unit 0, then on unit 1 through Select, back to unit 0.
template <class F> void Both(void (*Select)(GLenum), F Call)
{
    Call();
    Select(U1);
    Call();
    Select(U0);
}
template <class F> void Second(void (*Select)(GLenum), F Call)
{
    Select(U1);
    Call();
    Select(U0);
}
void TexGenf(GLenum C, GLenum P, GLfloat V)
{
    Both(GL().glActiveTextureARB, [&] { GL().glTexGenf(C, P, V); });
}
void TexGenfv(GLenum C, GLenum P, const GLfloat *V)
{
    Both(GL().glActiveTextureARB, [&] { GL().glTexGenfv(C, P, V); });
}
void TexGeni(GLenum C, GLenum P, GLint V)
{
    Both(GL().glActiveTextureARB, [&] { GL().glTexGeni(C, P, V); });
}
void TexGeniv(GLenum C, GLenum P, const GLint *V)
{
    Both(GL().glActiveTextureARB, [&] { GL().glTexGeniv(C, P, V); });
}
void TexCoordPointer(GLint N, GLenum T, GLsizei S, const void *P)
{
    Both(GL().glClientActiveTextureARB, [&] { GL().glTexCoordPointer(N, T, S, P); });
}
void EnableClientState(GLenum A)
{
    Both(GL().glClientActiveTextureARB, [&] { GL().glEnableClientState(A); });
}
void DisableClientState(GLenum A)
{
    Both(GL().glClientActiveTextureARB, [&] { GL().glDisableClientState(A); });
}
void Enable(GLenum C) { Both(GL().glActiveTextureARB, [&] { GL().glEnable(C); }); }
void Disable(GLenum C) { Both(GL().glActiveTextureARB, [&] { GL().glDisable(C); }); }
} // namespace dual

namespace second {
using dual::Second;
using dual::U1;
void TexCoord2f(GLfloat S, GLfloat T) { GL().glMultiTexCoord2fARB(U1, S, T); }
void TexCoord2fv(const GLfloat *V) { GL().glMultiTexCoord2fvARB(U1, V); }
void TexCoord3f(GLfloat S, GLfloat T, GLfloat R) { GL().glMultiTexCoord3fARB(U1, S, T, R); }
void TexCoord3fv(const GLfloat *V) { GL().glMultiTexCoord3fvARB(U1, V); }
void TexCoord4f(GLfloat S, GLfloat T, GLfloat R, GLfloat Q)
{
    GL().glMultiTexCoord4fARB(U1, S, T, R, Q);
}
void TexCoord4fv(const GLfloat *V) { GL().glMultiTexCoord4fvARB(U1, V); }
void TexGenf(GLenum C, GLenum P, GLfloat V)
{
    Second(GL().glActiveTextureARB, [&] { GL().glTexGenf(C, P, V); });
}
void TexGenfv(GLenum C, GLenum P, const GLfloat *V)
{
    Second(GL().glActiveTextureARB, [&] { GL().glTexGenfv(C, P, V); });
}
void TexGeni(GLenum C, GLenum P, GLint V)
{
    Second(GL().glActiveTextureARB, [&] { GL().glTexGeni(C, P, V); });
}
void TexGeniv(GLenum C, GLenum P, const GLint *V)
{
    Second(GL().glActiveTextureARB, [&] { GL().glTexGeniv(C, P, V); });
}
void TexCoordPointer(GLint N, GLenum T, GLsizei S, const void *P)
{
    Second(GL().glClientActiveTextureARB, [&] { GL().glTexCoordPointer(N, T, S, P); });
}
void EnableClientState(GLenum A)
{
    Second(GL().glClientActiveTextureARB, [&] { GL().glEnableClientState(A); });
}
void DisableClientState(GLenum A)
{
    Second(GL().glClientActiveTextureARB, [&] { GL().glDisableClientState(A); });
}
void Enable(GLenum C) { Second(GL().glActiveTextureARB, [&] { GL().glEnable(C); }); }
void Disable(GLenum C) { Second(GL().glActiveTextureARB, [&] { GL().glDisable(C); }); }
} // namespace second

#define ORV_XGL_ENTRIES(NS)                                                                        \
    TXOpenGLEntries                                                                                \
    {                                                                                              \
        NS::TexCoord2f, NS::TexCoord2fv, NS::TexCoord3f, NS::TexCoord3fv, NS::TexCoord4f,          \
            NS::TexCoord4fv, NS::TexGenf, NS::TexGenfv, NS::TexGeni, NS::TexGeniv,                 \
            NS::TexCoordPointer, NS::EnableClientState, NS::DisableClientState, NS::Enable,        \
            NS::Disable                                                                            \
    }

struct TLayerState {
    TXOpenGLMode Mode = xmNone;
    TXOpenGLEntries Entries = DisabledEntries();
    int ModeChangeLevel = 0;
    TXOpenGLMode PendingMode = xmNone;
};

TLayerState &State()
{
    static TLayerState s = [] {
        TLayerState init;
        init.Mode = xmDisabled;
        return init;
    }();
    return s;
}

// Switches now, or records the mode while a mode change is open.
bool Defer(TXOpenGLMode Mode)
{
    TLayerState &s = State();
    if (s.ModeChangeLevel > 0) {
        s.PendingMode = Mode;
        return true;
    }
    return s.Mode == Mode;
}

void RequireMultitexture() { Check(GL().ARBMultitexture, "Assertion failure"); }

} // namespace

const TXOpenGLEntries &xgl() { return State().Entries; }
TXOpenGLMode XOpenGLMode() { return State().Mode; }

void SetDisabledMode()
{
    if (Defer(xmDisabled))
        return;
    State().Mode = xmDisabled;
    State().Entries = DisabledEntries();
}

void SetStandardMode()
{
    if (Defer(xmStandard))
        return;
    State().Mode = xmStandard;
    State().Entries = StandardEntries();
}

void SetDualTextureMode()
{
    RequireMultitexture();
    if (Defer(xmDualTexture))
        return;
    State().Mode = xmDualTexture;
    State().Entries = ORV_XGL_ENTRIES(dual);
}

void SetSecondUnitMode()
{
    RequireMultitexture();
    if (Defer(xmSecondUnitOnly))
        return;
    State().Mode = xmSecondUnitOnly;
    State().Entries = ORV_XGL_ENTRIES(second);
}

void BeginModeChange()
{
    TLayerState &s = State();
    if (s.ModeChangeLevel == 0)
        s.PendingMode = s.Mode;
    ++s.ModeChangeLevel;
}

void EndModeChange()
{
    TLayerState &s = State();
    Check(s.ModeChangeLevel > 0, "Assertion failure");
    if (--s.ModeChangeLevel > 0 || s.PendingMode == s.Mode)
        return;
    switch (s.PendingMode) {
    case xmDisabled:
        SetDisabledMode();
        break;
    case xmStandard:
        SetStandardMode();
        break;
    case xmDualTexture:
        SetDualTextureMode();
        break;
    case xmSecondUnitOnly:
        SetSecondUnitMode();
        break;
    default:
        Check(false, "Assertion failure");
    }
}

} // namespace orv
