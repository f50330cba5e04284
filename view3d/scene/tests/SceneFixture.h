#pragma once
// A scene drawn through a buffer on a fake context with the recording
// OpenGL fake: a camera at (0, 0, 10) looking down -Z, a 200 x 100 view,
// and a count of the buffer's change signals; and one object's geometry
// recorded on its own.

#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/GLWorld.h"
#include "view3d/scene/tests/FakeContext.h"

namespace orv {

struct TSceneFixture {
    TGLRecorder Gl;
    TFakeContextClass Contexts;
    TGLWorld Scene;
    TGLBaseSceneObject Viewer; // the owner the buffer's events need
    TGLWorldBuffer Buffer{&Viewer};
    TGLCamera *Camera;
    int Signals = 0;
    TSceneFixture()
    {
        Camera = Scene.Cameras().NewChild<TGLCamera>();
        Camera->SetPosition({0, 0, 10, 1});
        Camera->SetDirection({0, 0, -1, 0});
        Buffer.SetCamera(Camera);
        Buffer.Resize(200, 100);
        Buffer.OnChange = [this](TObject *) { ++Signals; };
        Buffer.CreateBufferContext(nullptr);
        Buffer.Render(); // registers the buffer
        Signals = 0;
        Gl.Clear();
    }
};

// Clears the record, then compiles Object's geometry into it.
inline void Compile(TGLBaseSceneObject &Object, TGLRecorder &Gl)
{
    Gl.Clear();
    TRenderContextInfo rci;
    Object.CompileGeometry(rci);
}

} // namespace orv
