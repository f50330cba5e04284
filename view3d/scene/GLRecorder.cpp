#include "view3d/scene/GLRecorder.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>

namespace orv {

namespace {

TGLRecorder *gActive = nullptr;

template <size_t N> struct TLiteral {
    char S[N];
    constexpr TLiteral(const char (&Text)[N])
    {
        for (size_t i = 0; i < N; ++i)
            S[i] = Text[i];
    }
};

void Append(std::vector<double> &, GLUtesselator *) {}
void Append(std::vector<double> &, const void *) {}
void Append(std::vector<double> &, TGLUCallback) {}
void Append(std::vector<double> &Out, const GLfloat *P)
{
    if (P)
        Out.insert(Out.end(), P, P + 4);
}
void Append(std::vector<double> &Out, const GLint *P)
{
    if (P)
        Out.insert(Out.end(), P, P + 4);
}
void Append(std::vector<double> &Out, const GLuint *P)
{
    if (P)
        Out.push_back(*P);
}
void Append(std::vector<double> &Out, GLdouble *P)
{
    if (P)
        Out.insert(Out.end(), P, P + 3);
}
template <class T>
    requires std::is_arithmetic_v<T>
void Append(std::vector<double> &Out, T Value)
{
    Out.push_back(double(Value));
}

template <TLiteral Name, class R, class... A> struct TRecordingEntry {
    static R Call(A... Args)
    {
        std::vector<double> values;
        (Append(values, Args), ...);
        if (gActive)
            gActive->Add(Name.S, std::move(values));
        if constexpr (!std::is_void_v<R>)
            return R{};
    }
};

template <TLiteral Name, class R, class... A> void Fill(R (*&Slot)(A...))
{
    Slot = &TRecordingEntry<Name, R, A...>::Call;
}

// Entries whose single pointer argument holds N floats.
template <TLiteral Name, size_t N> void RecordFloats(const GLfloat *P)
{
    if (gActive)
        gActive->Add(Name.S, std::vector<double>(P, P + N));
}

// Entries whose arguments are a texture unit and N floats.
template <TLiteral Name, size_t N> void RecordUnitFloats(GLenum Unit, const GLfloat *P)
{
    if (!gActive)
        return;
    std::vector<double> values{double(Unit)};
    values.insert(values.end(), P, P + N);
    gActive->Add(Name.S, std::move(values));
}

void Answer(GLenum Name, auto *Out)
{
    if (!gActive)
        return;
    gActive->Add("glGet", {double(Name)});
    auto it = gActive->Values.find(Name);
    if (it == gActive->Values.end()) {
        Out[0] = 0;
        return;
    }
    for (size_t i = 0; i < it->second.size(); ++i)
        Out[i] = static_cast<std::remove_pointer_t<decltype(Out)>>(it->second[i]);
}

TGLEntryTable RecordingTable()
{
    TGLEntryTable t;
#define ORV_GL_FILL(R, N, P) Fill<#N>(t.N);
    ORV_GL_ENTRIES(ORV_GL_FILL)
    ORV_GL_MULTITEXTURE_ENTRIES(ORV_GL_FILL)
#undef ORV_GL_FILL
    t.glMultiTexCoord2fvARB = &RecordUnitFloats<"glMultiTexCoord2fvARB", 2>;
    t.glMultiTexCoord3fvARB = &RecordUnitFloats<"glMultiTexCoord3fvARB", 3>;
    t.glMultiTexCoord4fvARB = &RecordUnitFloats<"glMultiTexCoord4fvARB", 4>;
    t.glTexCoord4fv = &RecordFloats<"glTexCoord4fv", 4>;
    t.glLoadMatrixf = &RecordFloats<"glLoadMatrixf", 16>;
    t.glMultMatrixf = &RecordFloats<"glMultMatrixf", 16>;
    t.glVertex3fv = &RecordFloats<"glVertex3fv", 3>;
    t.glNormal3fv = &RecordFloats<"glNormal3fv", 3>;
    t.glColor3fv = &RecordFloats<"glColor3fv", 3>;
    t.gluNewQuadric = []() -> GLUquadric * {
        static int quadric; // any address will do: the fake never reads it
        if (gActive)
            gActive->Add("gluNewQuadric", {});
        return &quadric;
    };
    t.glTexCoord2fv = &RecordFloats<"glTexCoord2fv", 2>;
    t.glTexCoord3fv = &RecordFloats<"glTexCoord3fv", 3>;
    t.glGetIntegerv = [](GLenum Name, GLint *Out) { Answer(Name, Out); };
    t.glGetFloatv = [](GLenum Name, GLfloat *Out) { Answer(Name, Out); };
    t.glGetString = [](GLenum Name) -> const GLubyte * {
        if (!gActive)
            return nullptr;
        return reinterpret_cast<const GLubyte *>(gActive->Strings[Name].c_str());
    };
    t.glGetError = []() -> GLenum {
        if (!gActive || gActive->Errors.empty())
            return gl::NO_ERROR;
        const GLenum e = gActive->Errors.front();
        gActive->Errors.pop_front();
        return e;
    };
    t.glGenLists = [](GLsizei Range) -> GLuint {
        if (!gActive)
            return 0;
        gActive->Add("glGenLists", {double(Range)});
        const GLuint n = gActive->NextName;
        gActive->NextName += GLuint(Range);
        return n;
    };
    t.glGenTextures = [](GLsizei Count, GLuint *Names) {
        if (!gActive)
            return;
        gActive->Add("glGenTextures", {double(Count)});
        for (GLsizei i = 0; i < Count; ++i)
            Names[i] = gActive->NextName++;
    };
    t.gluErrorString = [](GLenum Code) -> const GLubyte * {
        static std::string text;
        text = "GL error " + std::to_string(Code);
        return reinterpret_cast<const GLubyte *>(text.c_str());
    };
    t.OpenGL11 = true;
    t.ARBMultitexture = true;
    return t;
}

} // namespace

TGLRecorder::TGLRecorder(bool RealTessellator) : FPrevious(GL()), FPreviousRecorder(gActive)
{
    TGLEntryTable t = RecordingTable();
    if (RealTessellator)
        LoadSystemGLUTessellator(t);
    SetGLEntries(t);
    gActive = this;
}

TGLRecorder::~TGLRecorder()
{
    SetGLEntries(FPrevious);
    gActive = FPreviousRecorder;
}

TGLRecorder *TGLRecorder::Active() { return gActive; }

void TGLRecorder::Add(const char *Name, std::vector<double> Args)
{
    if (KeepCalls)
        Calls.push_back({Name, std::move(Args)});
}

std::vector<std::string> TGLRecorder::Names() const
{
    std::vector<std::string> names;
    for (const TGLCall &c : Calls)
        names.push_back(c.Name);
    return names;
}

int TGLRecorder::Count(const std::string &Name) const
{
    return int(std::count_if(Calls.begin(), Calls.end(),
                             [&](const TGLCall &c) { return c.Name == Name; }));
}

std::vector<TGLCall> TGLRecorder::Of(const std::string &Name) const
{
    std::vector<TGLCall> r;
    for (const TGLCall &c : Calls)
        if (c.Name == Name)
            r.push_back(c);
    return r;
}

bool TGLRecorder::Has(const std::string &Name, const std::vector<double> &Args) const
{
    return std::any_of(Calls.begin(), Calls.end(),
                       [&](const TGLCall &c) { return c.Name == Name && c.Args == Args; });
}

} // namespace orv
