#pragma once
// The render-info record the render pass builds for each scene rendering
// and hands down the tree by reference.

#include "view3d/geometry/Geometry.h"
#include "view3d/scene/GLMisc.h"

namespace orv {

class TGLWorldBuffer;
class TGLWorld;

enum TGLObjectsSorting { osInherited, osNone, osRenderFarthestFirst, osRenderBlendedLast };
enum TGLVisibilityCulling { vcInherited, vcNone, vcObjectBased, vcHierarchical };
enum TDrawState : uint8_t { dsRendering = 0, dsPicking = 1, dsPrinting = 2 };

struct TRenderContextInfo {
    TVector4f CameraPosition;
    TVector4f CameraDirection;
    const TMatrix4x4f *ModelViewMatrix = nullptr;
    int ViewportWidth = 0, ViewportHeight = 0;
    int RenderResolution = 96;
    int FogSuspendCount = 0;
    TDrawState DrawState = dsRendering;
    TGLObjectsSorting ObjectsSorting = osNone;
    TGLVisibilityCulling VisibilityCulling = vcNone;
    TGLStates StateSet = 0;
    bool FaceCulling = true;
    bool NestedNames = false;
    bool IgnoreMaterials = false;
    TViewClippingInfo ViewCone;
    TGLWorldBuffer *Buffer = nullptr;
    TGLWorld *Scene = nullptr;
};

} // namespace orv
