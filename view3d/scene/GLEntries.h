#pragma once
// The one table of every OpenGL and GLU entry point the scene graph calls.
// Scene code calls GL().glEnable(...) and never links OpenGL itself: the Qt
// part fills the table from the current context (GLU from the system's
// library), tests install the recording fake (GLRecorder.h). The constants
// are the standard enumerant values, in namespace gl (gl::BLEND), so they
// never meet the macros of a system header.

#include <cstdint>

namespace orv {

using GLenum = unsigned int;
using GLboolean = unsigned char;
using GLbitfield = unsigned int;
using GLint = int;
using GLsizei = int;
using GLuint = unsigned int;
using GLushort = unsigned short;
using GLubyte = unsigned char;
using GLfloat = float;
using GLdouble = double;
using GLUtesselator = void;
using GLUquadric = void;
using TGLUCallback = void (*)();

// X(result, name, parameters): the entries, in table order.
#define ORV_GL_ENTRIES(X)                                                                          \
    X(void, glBegin, (GLenum))                                                                     \
    X(void, glEnd, ())                                                                             \
    X(void, glVertex3f, (GLfloat, GLfloat, GLfloat))                                               \
    X(void, glVertex3fv, (const GLfloat *))                                                        \
    X(void, glNormal3f, (GLfloat, GLfloat, GLfloat))                                               \
    X(void, glNormal3fv, (const GLfloat *))                                                        \
    X(void, glColor4f, (GLfloat, GLfloat, GLfloat, GLfloat))                                       \
    X(void, glColor4fv, (const GLfloat *))                                                         \
    X(void, glTexCoord2f, (GLfloat, GLfloat))                                                      \
    X(void, glTexCoord2fv, (const GLfloat *))                                                      \
    X(void, glTexCoord3f, (GLfloat, GLfloat, GLfloat))                                             \
    X(void, glTexCoord3fv, (const GLfloat *))                                                      \
    X(void, glTexCoord4f, (GLfloat, GLfloat, GLfloat, GLfloat))                                    \
    X(void, glTexCoord4fv, (const GLfloat *))                                                      \
    X(void, glTexGenf, (GLenum, GLenum, GLfloat))                                                  \
    X(void, glTexGenfv, (GLenum, GLenum, const GLfloat *))                                         \
    X(void, glTexGeni, (GLenum, GLenum, GLint))                                                    \
    X(void, glTexGeniv, (GLenum, GLenum, const GLint *))                                           \
    X(void, glTexCoordPointer, (GLint, GLenum, GLsizei, const void *))                             \
    X(void, glEnableClientState, (GLenum))                                                         \
    X(void, glDisableClientState, (GLenum))                                                        \
    X(void, glEnable, (GLenum))                                                                    \
    X(void, glDisable, (GLenum))                                                                   \
    X(void, glMatrixMode, (GLenum))                                                                \
    X(void, glLoadIdentity, ())                                                                    \
    X(void, glLoadMatrixf, (const GLfloat *))                                                      \
    X(void, glMultMatrixf, (const GLfloat *))                                                      \
    X(void, glPushMatrix, ())                                                                      \
    X(void, glPopMatrix, ())                                                                       \
    X(void, glGetFloatv, (GLenum, GLfloat *))                                                      \
    X(void, glGetIntegerv, (GLenum, GLint *))                                                      \
    X(const GLubyte *, glGetString, (GLenum))                                                      \
    X(GLenum, glGetError, ())                                                                      \
    X(void, glViewport, (GLint, GLint, GLsizei, GLsizei))                                          \
    X(void, glClearColor, (GLfloat, GLfloat, GLfloat, GLfloat))                                    \
    X(void, glClear, (GLbitfield))                                                                 \
    X(void, glFlush, ())                                                                           \
    X(void, glFinish, ())                                                                          \
    X(void, glFrustum, (GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble))               \
    X(void, glOrtho, (GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble))                 \
    X(void, glLightfv, (GLenum, GLenum, const GLfloat *))                                          \
    X(void, glLightf, (GLenum, GLenum, GLfloat))                                                   \
    X(void, glLightModeli, (GLenum, GLint))                                                        \
    X(void, glMaterialfv, (GLenum, GLenum, const GLfloat *))                                       \
    X(void, glMateriali, (GLenum, GLenum, GLint))                                                  \
    X(void, glPolygonMode, (GLenum, GLenum))                                                       \
    X(void, glFrontFace, (GLenum))                                                                 \
    X(GLuint, glGenLists, (GLsizei))                                                               \
    X(void, glDeleteLists, (GLuint, GLsizei))                                                      \
    X(void, glNewList, (GLuint, GLenum))                                                           \
    X(void, glEndList, ())                                                                         \
    X(void, glCallList, (GLuint))                                                                  \
    X(void, glGenTextures, (GLsizei, GLuint *))                                                    \
    X(void, glDeleteTextures, (GLsizei, const GLuint *))                                           \
    X(void, glBindTexture, (GLenum, GLuint))                                                       \
    X(void, glTexImage2D,                                                                          \
      (GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void *))               \
    X(void, glTexParameteri, (GLenum, GLenum, GLint))                                              \
    X(void, glTexEnvi, (GLenum, GLenum, GLint))                                                    \
    X(void, glTexEnvfv, (GLenum, GLenum, const GLfloat *))                                         \
    X(void, glPixelStorei, (GLenum, GLint))                                                        \
    X(void, glReadPixels, (GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void *))                \
    X(void, glCopyTexSubImage2D, (GLenum, GLint, GLint, GLint, GLint, GLint, GLsizei, GLsizei))    \
    X(void, glBlendFunc, (GLenum, GLenum))                                                         \
    X(void, glColorMask, (GLboolean, GLboolean, GLboolean, GLboolean))                             \
    X(void, glDepthFunc, (GLenum))                                                                 \
    X(void, glHint, (GLenum, GLenum))                                                              \
    X(void, glShadeModel, (GLenum))                                                                \
    X(void, glFogi, (GLenum, GLint))                                                               \
    X(void, glFogf, (GLenum, GLfloat))                                                             \
    X(void, glFogfv, (GLenum, const GLfloat *))                                                    \
    X(void, glPushAttrib, (GLbitfield))                                                            \
    X(void, glPopAttrib, ())                                                                       \
    X(void, glLineWidth, (GLfloat))                                                                \
    X(void, glLineStipple, (GLint, GLushort))                                                      \
    X(void, glPushName, (GLuint))                                                                  \
    X(void, glPopName, ())                                                                         \
    X(void, glLoadName, (GLuint))                                                                  \
    X(void, gluLookAt,                                                                             \
      (GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble))  \
    X(void, gluOrtho2D, (GLdouble, GLdouble, GLdouble, GLdouble))                                  \
    X(void, gluPickMatrix, (GLdouble, GLdouble, GLdouble, GLdouble, GLint *))                      \
    X(const GLubyte *, gluErrorString, (GLenum))                                                   \
    X(GLUtesselator *, gluNewTess, ())                                                             \
    X(void, gluDeleteTess, (GLUtesselator *))                                                      \
    X(void, gluTessCallback, (GLUtesselator *, GLenum, TGLUCallback))                              \
    X(void, gluTessBeginPolygon, (GLUtesselator *, void *))                                        \
    X(void, gluTessBeginContour, (GLUtesselator *))                                                \
    X(void, gluTessVertex, (GLUtesselator *, GLdouble *, void *))                                  \
    X(void, gluTessEndContour, (GLUtesselator *))                                                  \
    X(void, gluTessEndPolygon, (GLUtesselator *))                                                  \
    X(void, gluTessNormal, (GLUtesselator *, GLdouble, GLdouble, GLdouble))                        \
    X(GLint, gluScaleImage,                                                                        \
      (GLenum, GLint, GLint, GLenum, const void *, GLint, GLint, GLenum, void *))                  \
    X(GLint, gluBuild2DMipmaps, (GLenum, GLint, GLint, GLint, GLenum, GLenum, const void *))      \
    X(void, glVertex4f, (GLfloat, GLfloat, GLfloat, GLfloat))                                      \
    X(void, glColor3fv, (const GLfloat *))                                                         \
    X(void, glColorMaterial, (GLenum, GLenum))                                                     \
    X(void, glRotatef, (GLfloat, GLfloat, GLfloat, GLfloat))                                       \
    X(void, glTranslatef, (GLfloat, GLfloat, GLfloat))                                             \
    X(void, glScalef, (GLfloat, GLfloat, GLfloat))                                                 \
    X(void, glDepthMask, (GLboolean))                                                              \
    X(void, glMap2f,                                                                               \
      (GLenum, GLfloat, GLfloat, GLint, GLint, GLfloat, GLfloat, GLint, GLint, const GLfloat *))   \
    X(void, glMapGrid2f, (GLint, GLfloat, GLfloat, GLint, GLfloat, GLfloat))                       \
    X(void, glEvalMesh2, (GLenum, GLint, GLint, GLint, GLint))                                     \
    X(GLUquadric *, gluNewQuadric, ())                                                             \
    X(void, gluDeleteQuadric, (GLUquadric *))                                                      \
    X(void, gluQuadricDrawStyle, (GLUquadric *, GLenum))                                           \
    X(void, gluQuadricNormals, (GLUquadric *, GLenum))                                             \
    X(void, gluQuadricOrientation, (GLUquadric *, GLenum))                                         \
    X(void, gluQuadricTexture, (GLUquadric *, GLboolean))                                          \
    X(void, gluCylinder, (GLUquadric *, GLdouble, GLdouble, GLdouble, GLint, GLint))               \
    X(void, gluDisk, (GLUquadric *, GLdouble, GLdouble, GLint, GLint))                             \
    X(void, gluPartialDisk, (GLUquadric *, GLdouble, GLdouble, GLint, GLint, GLdouble, GLdouble))

// The second texture unit's entries (GL_ARB_multitexture): set only when
// the context offers the extension, so they are not among those every
// context must have.
#define ORV_GL_MULTITEXTURE_ENTRIES(X)                                                             \
    X(void, glActiveTextureARB, (GLenum))                                                          \
    X(void, glClientActiveTextureARB, (GLenum))                                                    \
    X(void, glMultiTexCoord2fARB, (GLenum, GLfloat, GLfloat))                                      \
    X(void, glMultiTexCoord2fvARB, (GLenum, const GLfloat *))                                      \
    X(void, glMultiTexCoord3fARB, (GLenum, GLfloat, GLfloat, GLfloat))                             \
    X(void, glMultiTexCoord3fvARB, (GLenum, const GLfloat *))                                      \
    X(void, glMultiTexCoord4fARB, (GLenum, GLfloat, GLfloat, GLfloat, GLfloat))                    \
    X(void, glMultiTexCoord4fvARB, (GLenum, const GLfloat *))

struct TGLEntryTable {
#define ORV_GL_MEMBER(R, N, P) R(*N) P = nullptr;
    ORV_GL_ENTRIES(ORV_GL_MEMBER)
    ORV_GL_MULTITEXTURE_ENTRIES(ORV_GL_MEMBER)
#undef ORV_GL_MEMBER
    // What the loader found besides the entries.
    bool OpenGL11 = false;  // the libraries loaded and give at least OpenGL 1.1
    bool NVFogDistance = false; // GL_NV_fog_distance
    // GL_ARB_multitexture, with every entry of ORV_GL_MULTITEXTURE_ENTRIES.
    bool ARBMultitexture = false;
};

// The table in force. Empty (every entry null) until the Qt part or a test
// installs one.
TGLEntryTable &GL();
void SetGLEntries(const TGLEntryTable &Table);

// The GLU tessellator entries of the system library (resolved by name),
// for fakes that record OpenGL but tessellate for real. False when the
// library cannot be loaded.
bool LoadSystemGLUTessellator(TGLEntryTable &Table);

namespace gl {
// Enumerants, as the OpenGL 1.1 and GLU specifications number them.
constexpr GLenum NO_ERROR = 0;
constexpr GLenum POINTS = 0x0000, LINES = 0x0001, TRIANGLES = 0x0004, QUADS = 0x0007,
                 POLYGON = 0x0009;
constexpr GLbitfield DEPTH_BUFFER_BIT = 0x0100, STENCIL_BUFFER_BIT = 0x0400,
                     COLOR_BUFFER_BIT = 0x4000;
constexpr GLbitfield LIGHTING_BIT = 0x0040, ENABLE_BIT = 0x2000, LINE_BIT = 0x0004;
constexpr GLenum FRONT = 0x0404, BACK = 0x0405, FRONT_AND_BACK = 0x0408;
constexpr GLenum CW = 0x0900, CCW = 0x0901;
constexpr GLenum POINT = 0x1B00, LINE = 0x1B01, FILL = 0x1B02;
constexpr GLenum FLAT = 0x1D00, SMOOTH = 0x1D01;
constexpr GLenum MODELVIEW = 0x1700, PROJECTION = 0x1701, TEXTURE = 0x1702;
constexpr GLenum MODELVIEW_MATRIX = 0x0BA6, PROJECTION_MATRIX = 0x0BA7;
constexpr GLenum COMPILE = 0x1300;
constexpr GLenum LESS = 0x0201, NICEST = 0x1102, PERSPECTIVE_CORRECTION_HINT = 0x0C50;
constexpr GLenum SRC_ALPHA = 0x0302, ONE_MINUS_SRC_ALPHA = 0x0303, ONE = 1, ZERO = 0;
// Capabilities.
constexpr GLenum ALPHA_TEST = 0x0BC0, AUTO_NORMAL = 0x0D80, BLEND = 0x0BE2,
                 COLOR_MATERIAL = 0x0B57, CULL_FACE = 0x0B44, DEPTH_TEST = 0x0B71,
                 DITHER = 0x0BD0, FOG = 0x0B60, LIGHTING = 0x0B50, LINE_SMOOTH = 0x0B20,
                 LINE_STIPPLE = 0x0B24, INDEX_LOGIC_OP = 0x0BF1, NORMALIZE = 0x0BA1,
                 POINT_SMOOTH = 0x0B10, POLYGON_SMOOTH = 0x0B41, POLYGON_STIPPLE = 0x0B42,
                 SCISSOR_TEST = 0x0C11, STENCIL_TEST = 0x0B90, TEXTURE_1D = 0x0DE0,
                 TEXTURE_2D = 0x0DE1, TEXTURE_CUBE_MAP = 0x8513;
// Lights and materials.
constexpr GLenum LIGHT0 = 0x4000;
constexpr GLenum AMBIENT = 0x1200, DIFFUSE = 0x1201, SPECULAR = 0x1202, POSITION = 0x1203,
                 SPOT_DIRECTION = 0x1204, SPOT_EXPONENT = 0x1205, SPOT_CUTOFF = 0x1206,
                 CONSTANT_ATTENUATION = 0x1207, LINEAR_ATTENUATION = 0x1208,
                 QUADRATIC_ATTENUATION = 0x1209, EMISSION = 0x1600, SHININESS = 0x1601;
constexpr GLenum LIGHT_MODEL_TWO_SIDE = 0x0B52;
// Fog.
constexpr GLenum FOG_DENSITY = 0x0B62, FOG_START = 0x0B63, FOG_END = 0x0B64, FOG_MODE = 0x0B65,
                 FOG_COLOR = 0x0B66, EXP = 0x0800, EXP2 = 0x0801, LINEAR = 0x2601,
                 FOG_DISTANCE_MODE_NV = 0x855A, EYE_RADIAL_NV = 0x855B,
                 EYE_PLANE_ABSOLUTE_NV = 0x855C;
// Limits and queries.
constexpr GLenum MAX_CLIP_PLANES = 0x0D32, MAX_EVAL_ORDER = 0x0D30, MAX_LIGHTS = 0x0D31,
                 MAX_LIST_NESTING = 0x0B31, MAX_MODELVIEW_STACK_DEPTH = 0x0D36,
                 MAX_NAME_STACK_DEPTH = 0x0D37, MAX_PIXEL_MAP_TABLE = 0x0D34,
                 MAX_PROJECTION_STACK_DEPTH = 0x0D38, MAX_TEXTURE_SIZE = 0x0D33,
                 MAX_TEXTURE_STACK_DEPTH = 0x0D39, MAX_VIEWPORT_DIMS = 0x0D3A,
                 ACCUM_ALPHA_BITS = 0x0D5B, ACCUM_BLUE_BITS = 0x0D5A,
                 ACCUM_GREEN_BITS = 0x0D59, ACCUM_RED_BITS = 0x0D58, ALPHA_BITS = 0x0D55,
                 AUX_BUFFERS = 0x0C00, BLUE_BITS = 0x0D54, GREEN_BITS = 0x0D53,
                 RED_BITS = 0x0D52, INDEX_BITS = 0x0D51, STEREO = 0x0C33,
                 DOUBLEBUFFER = 0x0C32, SUBPIXEL_BITS = 0x0D50, DEPTH_BITS = 0x0D56,
                 STENCIL_BITS = 0x0D57;
constexpr GLenum VENDOR = 0x1F00, RENDERER = 0x1F01, VERSION = 0x1F02, EXTENSIONS = 0x1F03;
// Texture units (GL_ARB_multitexture).
constexpr GLenum TEXTURE0_ARB = 0x84C0, TEXTURE1_ARB = 0x84C1, ACTIVE_TEXTURE_ARB = 0x84E0,
                 CURRENT_TEXTURE_COORDS = 0x0B03;
// Textures.
constexpr GLenum TEXTURE_MAG_FILTER = 0x2800, TEXTURE_MIN_FILTER = 0x2801,
                 TEXTURE_WRAP_S = 0x2802, TEXTURE_WRAP_T = 0x2803, NEAREST = 0x2600,
                 LINEAR_FILTER = 0x2601, NEAREST_MIPMAP_NEAREST = 0x2700,
                 LINEAR_MIPMAP_NEAREST = 0x2701, NEAREST_MIPMAP_LINEAR = 0x2702,
                 LINEAR_MIPMAP_LINEAR = 0x2703, CLAMP = 0x2900, REPEAT = 0x2901,
                 RGBA = 0x1908, RGB = 0x1907, UNSIGNED_BYTE = 0x1401, FLOAT = 0x1406,
                 TEXTURE_ENV = 0x2300, TEXTURE_ENV_MODE = 0x2200, TEXTURE_ENV_COLOR = 0x2201,
                 MODULATE = 0x2100, DECAL = 0x2101, REPLACE = 0x1E01, UNPACK_ALIGNMENT = 0x0CF5,
                 PACK_ALIGNMENT = 0x0D05;
constexpr GLenum S = 0x2000, T = 0x2001, R = 0x2002, Q = 0x2003, TEXTURE_GEN_MODE = 0x2500,
                 OBJECT_LINEAR = 0x2401, EYE_LINEAR = 0x2400, SPHERE_MAP = 0x2402,
                 OBJECT_PLANE = 0x2501, EYE_PLANE = 0x2502, TEXTURE_GEN_S = 0x0C60,
                 TEXTURE_GEN_T = 0x0C61;
// Primitives, attribute groups and evaluators.
constexpr GLenum LINE_STRIP = 0x0003, TRIANGLE_STRIP = 0x0005, TRIANGLE_FAN = 0x0006,
                 QUAD_STRIP = 0x0008;
constexpr GLbitfield CURRENT_BIT = 0x0001, POLYGON_BIT = 0x0008;
constexpr GLenum AMBIENT_AND_DIFFUSE = 0x1602;
constexpr GLenum MAP2_NORMAL = 0x0DB2, MAP2_TEXTURE_COORD_2 = 0x0DB4, MAP2_VERTEX_3 = 0x0DB7;
// GLU quadrics.
constexpr GLenum GLU_SMOOTH = 100000, GLU_FLAT = 100001, GLU_NONE = 100002,
                 GLU_FILL = 100012, GLU_OUTSIDE = 100020, GLU_INSIDE = 100021;
// GLU tessellator callbacks and properties.
constexpr GLenum GLU_TESS_BEGIN = 100100, GLU_TESS_VERTEX = 100101, GLU_TESS_END = 100102,
                 GLU_TESS_ERROR = 100103, GLU_TESS_COMBINE = 100105;
} // namespace gl

} // namespace orv
