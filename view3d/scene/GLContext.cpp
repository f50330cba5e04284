#include "view3d/scene/GLContext.h"

#include "view3d/geometry/Assertion.h"
#include "view3d/scene/GLEntries.h"

#include <algorithm>

namespace orv {

namespace {

thread_local TGLContext *gCurrentContext = nullptr;

std::vector<TGLContextManager::TContextFactory> &ContextClasses()
{
    static std::vector<TGLContextManager::TContextFactory> classes;
    return classes;
}

template <class T> void Erase(std::vector<T *> &List, T *Item)
{
    List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}

} // namespace

void CheckGLError()
{
    const GLenum first = GL().glGetError();
    if (first == gl::NO_ERROR)
        return;
    try {
        for (int i = 0; i < 7 && GL().glGetError() != gl::NO_ERROR; ++i) {
        }
    } catch (...) {
    }
    const GLubyte *text = GL().gluErrorString ? GL().gluErrorString(first) : nullptr;
    throw EOpenGLError(text ? reinterpret_cast<const char *>(text)
                            : "OpenGL error " + std::to_string(first));
}

void ClearGLErrors()
{
    for (int i = 0; i < 7 && GL().glGetError() != gl::NO_ERROR; ++i) {
    }
}

TGLContext *CurrentGLContext() { return gCurrentContext; }

TGLActivation::~TGLActivation()
{
    try {
        FContext.Deactivate();
    } catch (...) {
    }
}

// ---- TGLContext ----

TGLContext::TGLContext(TGLContextManager *Manager)
    : FManager(Manager ? Manager : &GLContextManager())
{
    FManager->RegisterContext(*this);
}

TGLContext::~TGLContext()
{
    // A subclass destroys its platform context in its own destructor (it
    // cannot be reached from here); what is left is the bookkeeping.
    try {
        FManager->UnregisterContext(*this);
    } catch (...) {
    }
    for (TGLContext *c : FSharedContexts)
        if (c != this)
            Erase(c->FSharedContexts, this);
    for (TGLContextHandle *h : FOwnedHandles)
        h->FContext = nullptr, h->FHandle = 0;
    if (gCurrentContext == this)
        gCurrentContext = nullptr;
}

void TGLContext::AfterCreate()
{
    FSharedContexts = {this};
    FManager->ContextCreated();
}

void TGLContext::CreateContext(void *DeviceContext)
{
    if (IsValid())
        throw EGLContext("Context already created");
    FAcceleration = chaUnknown;
    PlatformCreateContext(DeviceContext);
    AfterCreate();
}

void TGLContext::CreateOffscreenContext(void *DeviceContext, int Width, int Height)
{
    if (IsValid())
        throw EGLContext("Context already created");
    FAcceleration = chaUnknown;
    PlatformCreateOffscreenContext(DeviceContext, Width, Height);
    AfterCreate();
}

void TGLContext::Activate()
{
    if (FActivationCount == 0) {
        if (!IsValid())
            throw EGLContext("Context not created");
        PlatformActivate();
        gCurrentContext = this;
    } else {
        Check(gCurrentContext == this, "Assertion failure");
    }
    ++FActivationCount;
}

void TGLContext::Deactivate()
{
    if (FActivationCount <= 0)
        throw EGLContext("Unbalanced context activations");
    Check(gCurrentContext == this, "Assertion failure");
    if (--FActivationCount > 0)
        return;
    if (!IsValid())
        throw EGLContext("Context not created");
    PlatformDeactivate();
    gCurrentContext = nullptr;
}

void TGLContext::SetActive(bool Flag)
{
    while (Active() != Flag)
        Flag ? Activate() : Deactivate();
}

void TGLContext::ShareLists(TGLContext &Other)
{
    if (!IsValid())
        throw EGLContext("Context not created");
    PlatformShareLists(Other);
    if (std::find(FSharedContexts.begin(), FSharedContexts.end(), &Other) != FSharedContexts.end())
        return;
    FSharedContexts.push_back(&Other);
    for (TGLContext *c : FSharedContexts)
        if (c != this)
            c->FSharedContexts = FSharedContexts;
}

void TGLContext::ReleaseAllHandles()
{
    TGLActivation active(*this);
    while (!FOwnedHandles.empty())
        FOwnedHandles.back()->ReleaseHandle();
}

TGLContext *TGLContext::FindSharingContext() const
{
    for (TGLContext *c : FSharedContexts)
        if (c != this)
            return c;
    return nullptr;
}

void TGLContext::DestroyContext()
{
    TGLContext *previous = gCurrentContext != this ? gCurrentContext : nullptr;
    if (previous)
        previous->SetActive(false);
    try {
        if (gCurrentContext != this)
            Activate();
        if (TGLContext *heir = FindSharingContext()) {
            for (TGLContextHandle *h : FOwnedHandles) {
                h->FContext = heir;
                heir->FOwnedHandles.push_back(h);
            }
        } else {
            for (auto it = FOwnedHandles.rbegin(); it != FOwnedHandles.rend(); ++it) {
                (*it)->DeleteName((*it)->FHandle);
                (*it)->FHandle = 0;
                (*it)->FContext = nullptr;
            }
        }
        FOwnedHandles.clear();
        FManager->ContextDestroyed();
        for (TGLContext *c : FSharedContexts)
            if (c != this) {
                c->FSharedContexts = FSharedContexts;
                Erase(c->FSharedContexts, this);
            }
        FSharedContexts.clear();
        SetActive(false);
        PlatformDestroyContext();
    } catch (...) {
        if (previous)
            previous->Activate();
        FAcceleration = chaUnknown;
        throw;
    }
    if (previous)
        previous->Activate();
    FAcceleration = chaUnknown;
}

// ---- handles ----

TGLContextHandle::~TGLContextHandle()
{
    // A subclass that forgot to release: at least leave no dangling entry.
    if (FContext)
        Erase(FContext->FOwnedHandles, this);
}

void TGLContextHandle::ReleaseQuietly() noexcept
{
    try {
        ReleaseHandle();
    } catch (...) {
        // A handle that goes while its context fails must not raise again.
    }
}

void TGLContextHandle::ObtainHandle()
{
    Check(FHandle == 0 && gCurrentContext != nullptr, "Assertion failure");
    FHandle = GenerateName();
    if (FHandle != 0) {
        FContext = gCurrentContext;
        FContext->FOwnedHandles.push_back(this);
    }
}

void TGLContextHandle::ReleaseHandle()
{
    if (FHandle == 0)
        return;
    TGLContext *owner = FContext;
    const GLuint name = FHandle;
    FHandle = 0;
    FContext = nullptr;
    if (!owner)
        return;
    Erase(owner->FOwnedHandles, this);
    TGLContext *current = gCurrentContext;
    const auto &shared = owner->SharedContexts();
    if (current == owner ||
        (current && std::find(shared.begin(), shared.end(), current) != shared.end())) {
        DeleteName(name);
        return;
    }
    // Borrow the owner for the call and give the thread its context back.
    int depth = 0;
    if (current)
        while (current->Active()) {
            current->Deactivate();
            ++depth;
        }
    try {
        TGLActivation active(*owner);
        DeleteName(name);
    } catch (...) {
        for (int i = 0; i < depth; ++i)
            current->Activate();
        throw;
    }
    for (int i = 0; i < depth; ++i)
        current->Activate();
}

GLuint TGLListHandle::GenerateName() { return GL().glGenLists(1); }

void TGLListHandle::DeleteName(GLuint Name)
{
    ClearGLErrors();
    GL().glDeleteLists(Name, 1);
    CheckGLError();
}

GLuint TGLTextureHandle::GenerateName()
{
    GLuint name = 0;
    GL().glGenTextures(1, &name);
    return name;
}

void TGLTextureHandle::DeleteName(GLuint Name)
{
    GL().glGetError();
    GL().glDeleteTextures(1, &Name);
    CheckGLError();
}

GLuint TGLVirtualHandle::GenerateName()
{
    GLuint name = 0;
    if (OnAllocate)
        OnAllocate(*this, name);
    return name;
}

void TGLVirtualHandle::DeleteName(GLuint Name)
{
    ClearGLErrors();
    if (OnDestroy)
        OnDestroy(*this, Name);
    CheckGLError();
}

// ---- manager ----

std::unique_ptr<TGLContext> TGLContextManager::CreateContext()
{
    if (ContextClasses().empty())
        return nullptr;
    return ContextClasses().front()(*this);
}

void TGLContextManager::RegisterContext(TGLContext &Context)
{
    std::lock_guard<std::recursive_mutex> guard(FLock);
    if (std::find(FContexts.begin(), FContexts.end(), &Context) != FContexts.end())
        throw EGLContext("Invalid context registration");
    FContexts.push_back(&Context);
}

void TGLContextManager::UnregisterContext(TGLContext &Context)
{
    std::lock_guard<std::recursive_mutex> guard(FLock);
    auto it = std::find(FContexts.begin(), FContexts.end(), &Context);
    if (it == FContexts.end())
        throw EGLContext("Invalid context registration");
    FContexts.erase(it);
}

int TGLContextManager::ContextCount() const
{
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return int(FContexts.size());
}

int TGLContextManager::CreatedCount() const
{
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FCreatedCount;
}

void TGLContextManager::ContextCreated()
{
    std::lock_guard<std::recursive_mutex> guard(FLock);
    ++FCreatedCount;
}

void TGLContextManager::ContextDestroyed()
{
    std::lock_guard<std::recursive_mutex> guard(FLock);
    --FCreatedCount;
}

void TGLContextManager::ReleaseAllHandles()
{
    std::lock_guard<std::recursive_mutex> guard(FLock);
    for (auto it = FContexts.rbegin(); it != FContexts.rend(); ++it)
        if ((*it)->IsValid())
            (*it)->ReleaseAllHandles();
}

void TGLContextManager::RegisterContextClass(TContextFactory Factory)
{
    ContextClasses().push_back(std::move(Factory));
}

void TGLContextManager::ClearContextClasses() { ContextClasses().clear(); }

TGLContextManager &GLContextManager()
{
    static TGLContextManager manager;
    return manager;
}

} // namespace orv
