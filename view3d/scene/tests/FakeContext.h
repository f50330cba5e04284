#pragma once
// A context without a platform behind it: it records what was asked of it,
// so the bookkeeping of contexts, handles and buffers is tested headless.

#include "view3d/scene/GLContext.h"

#include <string>
#include <vector>

namespace orv {

class TFakeContext : public TGLContext {
public:
    using TGLContext::TGLContext;
    ~TFakeContext() override
    {
        try {
            if (IsValid())
                DestroyContext();
        } catch (...) {
        }
    }
    bool IsValid() const override { return FCreated; }
    void SwapBuffers() override { Log.push_back("swap"); }

    std::vector<std::string> Log;
    bool FailCreation = false;
    void *DeviceContext = nullptr;
    int Width = 0, Height = 0;

protected:
    void PlatformActivate() override { Log.push_back("activate"); }
    void PlatformDeactivate() override { Log.push_back("deactivate"); }
    void PlatformCreateContext(void *DC) override
    {
        if (FailCreation)
            throw EGLContext("no format");
        DeviceContext = DC;
        FCreated = true;
        Log.push_back("create");
    }
    void PlatformCreateOffscreenContext(void *DC, int W, int H) override
    {
        PlatformCreateContext(DC);
        Width = W;
        Height = H;
    }
    void PlatformShareLists(TGLContext &) override { Log.push_back("share"); }
    void PlatformDestroyContext() override
    {
        FCreated = false;
        Log.push_back("destroy");
    }

private:
    bool FCreated = false;
};

// Makes the manager create fake contexts while it lives.
struct TFakeContextClass {
    TFakeContextClass()
    {
        TGLContextManager::ClearContextClasses();
        TGLContextManager::RegisterContextClass(
            [](TGLContextManager &M) { return std::make_unique<TFakeContext>(&M); });
    }
    ~TFakeContextClass() { TGLContextManager::ClearContextClasses(); }
};

} // namespace orv
