#pragma once
// The texture-coordinate layer: drawing code sends texture coordinates,
// generation settings and texture enables through these entries, and a
// process-wide mode decides which texture units get them. The render pass
// switches to the disabled mode and back to the standard one before every
// scene rendering, which re-reads the entry table of the current context.
// The two multi-unit modes need GL_ARB_multitexture (the entry table's
// ARBMultitexture): asking for them without it is an assertion failure.
// Their entries always leave texture unit 0 active.

#include "view3d/scene/GLEntries.h"

namespace orv {

enum TXOpenGLMode { xmNone, xmDisabled, xmStandard, xmDualTexture, xmSecondUnitOnly };

struct TXOpenGLEntries {
    void (*TexCoord2f)(GLfloat, GLfloat);
    void (*TexCoord2fv)(const GLfloat *);
    void (*TexCoord3f)(GLfloat, GLfloat, GLfloat);
    void (*TexCoord3fv)(const GLfloat *);
    void (*TexCoord4f)(GLfloat, GLfloat, GLfloat, GLfloat);
    void (*TexCoord4fv)(const GLfloat *);
    void (*TexGenf)(GLenum, GLenum, GLfloat);
    void (*TexGenfv)(GLenum, GLenum, const GLfloat *);
    void (*TexGeni)(GLenum, GLenum, GLint);
    void (*TexGeniv)(GLenum, GLenum, const GLint *);
    void (*TexCoordPointer)(GLint, GLenum, GLsizei, const void *);
    void (*EnableClientState)(GLenum);
    void (*DisableClientState)(GLenum);
    void (*Enable)(GLenum);
    void (*Disable)(GLenum);
};

// The entries of the current mode.
const TXOpenGLEntries &xgl();
TXOpenGLMode XOpenGLMode();
void SetDisabledMode();
void SetStandardMode();
void SetDualTextureMode();
void SetSecondUnitMode();
// Mode changes between these only record the mode to reach at the outermost end.
void BeginModeChange();
void EndModeChange();

} // namespace orv
