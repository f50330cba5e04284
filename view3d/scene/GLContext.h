#pragma once
// Rendering contexts: the abstract context (attributes, activation counted
// per thread, list sharing, the OpenGL objects it owns), the handles
// through which display lists and texture names are owned, and the
// process-wide context manager. The Qt part (qt/GLQtContext) implements
// the context; tests use a fake subclass.

#include "platform/Classes.h"

#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv {

using GLuint = unsigned int;

class EGLContext : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EOpenGLError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads glGetError; on an error drops up to seven further ones and raises
// EOpenGLError with the GLU text of the first.
void CheckGLError();
// Reads glGetError until it reports none, at most seven times.
void ClearGLErrors();

enum TGLAntiAliasing { aaDefault, aaNone, aa2x, aa2xHQ, aa4x, aa4xHQ };
enum TGLAcceleration { chaUnknown, chaHardware, chaSoftware };
enum TGLContextOption : unsigned { coDoubleBuffered = 1, coStereo = 2 };

class TGLContextHandle;
class TGLContextManager;

class TGLContext : public TObject {
public:
    explicit TGLContext(TGLContextManager *Manager = nullptr);
    ~TGLContext() override;
    TGLContext(const TGLContext &) = delete;
    TGLContext &operator=(const TGLContext &) = delete;

    // Attributes; setting one while the context is active raises EGLContext
    // "Cannot alter an active context".
    int ColorBits() const { return FColorBits; }
    int AlphaBits() const { return FAlphaBits; }
    int DepthBits() const { return FDepthBits; }
    int StencilBits() const { return FStencilBits; }
    int AccumBits() const { return FAccumBits; }
    int AuxBuffers() const { return FAuxBuffers; }
    TGLAntiAliasing AntiAliasing() const { return FAntiAliasing; }
    unsigned Options() const { return FOptions; }
    void SetColorBits(int V) { Alter(FColorBits, V); }
    void SetAlphaBits(int V) { Alter(FAlphaBits, V); }
    void SetDepthBits(int V) { Alter(FDepthBits, V); }
    void SetStencilBits(int V) { Alter(FStencilBits, V); }
    void SetAccumBits(int V) { Alter(FAccumBits, V); }
    void SetAuxBuffers(int V) { Alter(FAuxBuffers, V); }
    void SetAntiAliasing(TGLAntiAliasing V) { Alter(FAntiAliasing, V); }
    void SetOptions(unsigned V) { Alter(FOptions, V); }
    TGLAcceleration Acceleration() const { return FAcceleration; }
    TGLContextManager *Manager() const { return FManager; }

    // EGLContext "Context already created" when valid.
    void CreateContext(void *DeviceContext);
    void CreateOffscreenContext(void *DeviceContext, int Width, int Height);
    // Nested activations count; EGLContext "Context not created",
    // "Unbalanced context activations"; activating a context current in
    // another thread is an assertion failure.
    void Activate();
    void Deactivate();
    bool Active() const { return FActivationCount > 0; }
    void SetActive(bool Flag);
    void ShareLists(TGLContext &Other);
    void ReleaseAllHandles();
    // Owned handles move to a sharing context, else their names are deleted.
    void DestroyContext();
    TGLContext *FindSharingContext() const;
    const std::vector<TGLContext *> &SharedContexts() const { return FSharedContexts; }
    const std::vector<TGLContextHandle *> &OwnedHandles() const { return FOwnedHandles; }

    virtual bool IsValid() const = 0;
    virtual void SwapBuffers() = 0;

protected:
    virtual void PlatformActivate() = 0;
    virtual void PlatformDeactivate() = 0;
    virtual void PlatformCreateContext(void *DeviceContext) = 0;
    virtual void PlatformCreateOffscreenContext(void *DeviceContext, int Width, int Height) = 0;
    virtual void PlatformShareLists(TGLContext &Other) = 0;
    virtual void PlatformDestroyContext() = 0;
    TGLAcceleration FAcceleration = chaUnknown;

private:
    friend class TGLContextHandle;
    template <class T> void Alter(T &Field, T Value)
    {
        if (Active())
            throw EGLContext("Cannot alter an active context");
        Field = Value;
    }
    void AfterCreate();

    int FColorBits = 32, FAlphaBits = 0, FDepthBits = 0, FStencilBits = 0, FAccumBits = 0,
        FAuxBuffers = 0;
    TGLAntiAliasing FAntiAliasing = aaDefault;
    unsigned FOptions = 0;
    TGLContextManager *FManager;
    int FActivationCount = 0;
    std::vector<TGLContext *> FSharedContexts;
    std::vector<TGLContextHandle *> FOwnedHandles;
};

// The context last activated in this thread and not yet fully deactivated.
TGLContext *CurrentGLContext();

// Activates a context for a scope and deactivates it on every exit (an
// error of the deactivation gives way to one already on its way out).
class TGLActivation {
public:
    explicit TGLActivation(TGLContext &Context) : FContext(Context) { FContext.Activate(); }
    ~TGLActivation();
    TGLActivation(const TGLActivation &) = delete;
    TGLActivation &operator=(const TGLActivation &) = delete;

private:
    TGLContext &FContext;
};

// An OpenGL object owned through the context that was current when it was made.
class TGLContextHandle : public TObject {
public:
    TGLContextHandle() = default;
    // Each handle class releases its name in its own destructor (the
    // deleting call is virtual); this one only checks nothing is left.
    ~TGLContextHandle() override;
    TGLContextHandle(const TGLContextHandle &) = delete;
    TGLContextHandle &operator=(const TGLContextHandle &) = delete;

    GLuint Handle() const { return FHandle; }
    TGLContext *BufferContext() const { return FContext; }
    // Assertion failure when the handle has a name or no context is current.
    void ObtainHandle();
    // Deletes the name in its owner (activating it for the call when needed).
    void ReleaseHandle();

protected:
    virtual GLuint GenerateName() = 0;
    virtual void DeleteName(GLuint Name) = 0;
    void ReleaseQuietly() noexcept; // for destructors

private:
    friend class TGLContext;
    GLuint FHandle = 0;
    TGLContext *FContext = nullptr;
};

class TGLListHandle : public TGLContextHandle {
public:
    ~TGLListHandle() override { ReleaseQuietly(); }

protected:
    GLuint GenerateName() override;
    void DeleteName(GLuint Name) override;
};

class TGLTextureHandle : public TGLContextHandle {
public:
    ~TGLTextureHandle() override { ReleaseQuietly(); }

protected:
    GLuint GenerateName() override;
    void DeleteName(GLuint Name) override;
};

class TGLVirtualHandle : public TGLContextHandle {
public:
    ~TGLVirtualHandle() override { ReleaseQuietly(); }
    std::function<void(TGLVirtualHandle &Sender, GLuint &Handle)> OnAllocate, OnDestroy;

protected:
    GLuint GenerateName() override;
    void DeleteName(GLuint Name) override;
};

class TGLContextManager {
public:
    using TContextFactory = std::function<std::unique_ptr<TGLContext>(TGLContextManager &)>;
    // The first registered context class makes the contexts; null when none.
    std::unique_ptr<TGLContext> CreateContext();
    // EGLContext "Invalid context registration" for a double or missing entry.
    void RegisterContext(TGLContext &Context);
    void UnregisterContext(TGLContext &Context);
    int ContextCount() const;
    int CreatedCount() const;
    void ContextCreated();
    void ContextDestroyed();
    // Every context, last to first, releases its handles.
    void ReleaseAllHandles();

    static void RegisterContextClass(TContextFactory Factory);
    static void ClearContextClasses(); // for tests

private:
    mutable std::recursive_mutex FLock;
    std::vector<TGLContext *> FContexts;
    int FCreatedCount = 0;
};

TGLContextManager &GLContextManager();

} // namespace orv
