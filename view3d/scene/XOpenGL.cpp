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
    Defer(xmDualTexture);
}

void SetSecondUnitMode()
{
    RequireMultitexture();
    Defer(xmSecondUnitOnly);
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
