#pragma once
// Small reference scenes of the scene graph: a lit quad, translucent quads
// drawn blended last, quads in fog, a textured quad and axes (quads drawn
// by TDirectOpenGL), and the scene primitives: sphere, cylinder, cone,
// disk, lines, the height field's ripple and the small solids (cube,
// frustrum, annulus, torus, teapot, dodecahedron, arrow line, polygon, sprite).

#include "view3d/scene/GLWorld.h"

#include <memory>
#include <string>
#include <vector>

class QImage;

namespace orv {

struct TReferenceScene {
    std::string Name;
    std::unique_ptr<TGLWorld> Scene;
    TGLCamera *Camera = nullptr;
    bool Fog = false;
};

// A 2 x 2 quad in its XY plane facing +Z, with texture coordinates 0..1.
TDirectOpenGL *AddQuad(TGLBaseSceneObject &Parent, float Z, const TVector4f &Diffuse);

// "lit_quad", "translucent_quads", "fog_off", "fog_on", "textured_quad", "axes",
// "sphere", "cylinder", "cone", "disk", "lines", "height_field", "solids".
std::vector<std::string> ReferenceSceneNames();
TReferenceScene BuildReferenceScene(const std::string &Name);
// Draws the scene into a picture through RenderBitmap (96 dpi).
QImage RenderReferenceScene(TReferenceScene &Scene, int Width, int Height);

} // namespace orv
