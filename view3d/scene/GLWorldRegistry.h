#pragma once
// Who must hear that a scene object goes: cameras aiming at it, proxies
// drawing it and buffers showing it through a camera. Internal to the
// scene graph.

namespace orv {

class TGLBaseSceneObject;
class TGLCamera;
class TGLProxyObject;
class TGLWorldBuffer;

void SceneObjectFreed(TGLBaseSceneObject *Object);
void CameraCreated(TGLCamera *Camera);
void CameraFreed(TGLCamera *Camera);
void ProxyCreated(TGLProxyObject *Proxy);
void ProxyFreed(TGLProxyObject *Proxy);
void BufferCreated(TGLWorldBuffer *Buffer);
void BufferFreed(TGLWorldBuffer *Buffer);

} // namespace orv
