#pragma once
// The recording fake of the OpenGL entry table: while a TGLRecorder lives,
// every entry records its name and arguments instead of drawing, so state
// logic (caches, materials, the render pass) is tested without a context.
// Pointer arguments record the values they point at (four for colours and
// vectors, sixteen for matrices). Queries answer from Integers and Floats;
// glGetError hands out the queued Errors, then 0; glGenLists and
// glGenTextures count up from 1.

#include "view3d/scene/GLEntries.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace orv {

struct TGLCall {
    std::string Name;
    std::vector<double> Args;
};

class TGLRecorder {
public:
    // RealTessellator: the GLU tessellator entries are the system's.
    explicit TGLRecorder(bool RealTessellator = false);
    ~TGLRecorder(); // puts the previous table back
    TGLRecorder(const TGLRecorder &) = delete;
    TGLRecorder &operator=(const TGLRecorder &) = delete;

    std::vector<TGLCall> Calls;
    std::map<GLenum, std::vector<double>> Values; // glGetIntegerv / glGetFloatv answers
    std::map<GLenum, std::string> Strings;        // glGetString answers
    std::deque<GLenum> Errors;
    GLuint NextName = 1;
    // Off: the entries answer as usual but leave no call behind, for a test
    // that draws millions of vertices and looks only at what was drawn.
    bool KeepCalls = true;

    void Clear() { Calls.clear(); }
    std::vector<std::string> Names() const;
    int Count(const std::string &Name) const;
    // The calls of that name, in order.
    std::vector<TGLCall> Of(const std::string &Name) const;
    bool Has(const std::string &Name, const std::vector<double> &Args) const;

    void Add(const char *Name, std::vector<double> Args);
    static TGLRecorder *Active();

private:
    TGLEntryTable FPrevious;
    TGLRecorder *FPreviousRecorder;
};

} // namespace orv
