#pragma once
// Who must hear that a scene object goes: cameras aiming at it and
// buffers showing it through a camera. Internal to the scene graph.

namespace orv {

class TGLBaseSceneObject;
class TGLCamera;
class TGLWorldBuffer;

void SceneObjectFreed(TGLBaseSceneObject *Object);
void CameraCreated(TGLCamera *Camera);
void CameraFreed(TGLCamera *Camera);
void BufferCreated(TGLWorldBuffer *Buffer);
void BufferFreed(TGLWorldBuffer *Buffer);

} // namespace orv
