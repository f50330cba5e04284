#include "view3d/scene/qt/ReferenceScenes.h"

#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLGraph.h"
#include "view3d/scene/GLObjects.h"
#include "view3d/scene/JPEGImage.h"
#include "view3d/scene/XOpenGL.h"
#include "view3d/scene/qt/GLQtContext.h"

#include <QImage>

namespace orv {

namespace {

constexpr TColor cBackground = 0x00503020; // a dark blue, independent of the palette

void DrawQuad(TRenderContextInfo &)
{
    const TGLEntryTable &g = GL();
    g.glNormal3f(0, 0, 1);
    g.glBegin(gl::QUADS);
    const float corners[4][4] = {{-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1}, {-1, 1, 0, 1}};
    for (const auto &c : corners) {
        xgl().TexCoord2f(c[2], c[3]);
        g.glVertex3f(c[0], c[1], 0);
    }
    g.glEnd();
}

void AddCameraAndLight(TReferenceScene &R)
{
    R.Camera = R.Scene->Cameras().NewChild<TGLCamera>();
    R.Camera->SetPosition({0, 0, 9, 1});
    R.Camera->SetDirection({0, 0, -1, 0});
    R.Camera->SetFocalLength(50);
    auto *light = R.Scene->Objects().NewChild<TGLLightSource>();
    light->SetPosition({2, 3, 6, 1});
    light->SetLightStyle(lsOmni);
}

template <class T> T *AddSolid(TGLBaseSceneObject &Parent, const TVector4f &Diffuse)
{
    auto *solid = Parent.NewChild<T>();
    solid->Material().FrontProperties().Diffuse().AssignRGBA(Diffuse);
    solid->Material().FrontProperties().Ambient().AssignRGBA({0.2f, 0.2f, 0.2f, 1});
    return solid;
}

// The small solids on a 3 x 3 grid, each turned to show three sides.
void AddSolids(TGLBaseSceneObject &Objects)
{
    std::vector<TGLCustomSceneObject *> solids;
    solids.push_back(AddSolid<TCube>(Objects, {0.8f, 0.3f, 0.2f, 1}));
    solids.push_back(AddSolid<TFrustrum>(Objects, {0.3f, 0.7f, 0.3f, 1}));
    auto *annulus = AddSolid<TAnnulus>(Objects, {0.3f, 0.5f, 0.9f, 1});
    annulus->SetSlices(24);
    solids.push_back(annulus);
    auto *torus = AddSolid<TTorus>(Objects, {0.9f, 0.8f, 0.2f, 1});
    torus->SetPitchAngle(-60); // before the common turn, so the ring is seen at an angle
    solids.push_back(torus);
    solids.push_back(AddSolid<TTeapot>(Objects, {0.9f, 0.9f, 0.9f, 1}));
    solids.push_back(AddSolid<TDodecahedron>(Objects, {0.8f, 0.3f, 0.8f, 1}));
    auto *arrow = AddSolid<TArrowLine>(Objects, {0.3f, 0.8f, 0.8f, 1});
    arrow->SetParts(alLine | alTopArrow | alBottomArrow);
    arrow->SetHeight(0.6f);
    arrow->SetTopArrowHeadHeight(0.2f);
    arrow->SetBottomArrowHeadHeight(0.2f);
    arrow->SetSlices(16);
    solids.push_back(arrow);
    auto *polygon = AddSolid<TPolygon>(Objects, {0.9f, 0.5f, 0.2f, 1});
    const float star[][2] = {{0, 0.5f}, {0.12f, 0.15f}, {0.48f, 0.15f}, {0.19f, -0.06f},
                             {0.29f, -0.4f}, {0, -0.2f}, {-0.29f, -0.4f}, {-0.19f, -0.06f},
                             {-0.48f, 0.15f}, {-0.12f, 0.15f}};
    for (const auto &p : star)
        polygon->AddNode(p[0], p[1], 0);
    solids.push_back(polygon);
    solids.push_back(AddSolid<TSprite>(Objects, {0.5f, 0.9f, 0.5f, 1}));
    for (size_t i = 0; i < solids.size(); ++i) {
        TGLCustomSceneObject *s = solids[i];
        s->SetPosition({-1.3f + 1.3f * float(i % 3), 1.0f - 1.0f * float(i / 3), 0, 1});
        s->SetScale({0.7f, 0.7f, 0.7f, 0});
        if (s != polygon && s != solids.back()) {
            s->SetTurnAngle(30);
            s->SetPitchAngle(s->PitchAngle() + 20);
        }
    }
}

// The scene primitives, each turned a little towards the light.
void AddPrimitive(const std::string &Name, TGLBaseSceneObject &Objects)
{
    if (Name == "sphere") {
        auto *s = AddSolid<TSphere>(Objects, {0.8f, 0.3f, 0.2f, 1});
        s->SetRadius(1.2f);
        s->SetSlices(24);
    } else if (Name == "cylinder") {
        auto *c = AddSolid<TCylinder>(Objects, {0.3f, 0.7f, 0.3f, 1});
        c->SetBottomRadius(1);
        c->SetTopRadius(0.6f);
        c->SetHeight(2.5f);
        c->SetSlices(24);
        c->SetPitchAngle(25);
    } else if (Name == "cone") {
        auto *c = AddSolid<TCone>(Objects, {0.9f, 0.8f, 0.2f, 1});
        c->SetBottomRadius(1.2f);
        c->SetHeight(2.5f);
        c->SetSlices(24);
        c->SetPitchAngle(-25);
    } else if (Name == "disk") {
        auto *d = AddSolid<TDisk>(Objects, {0.3f, 0.5f, 0.9f, 1});
        d->SetOuterRadius(1.3f);
        d->SetInnerRadius(0.45f);
        d->SetStartAngle(30);
        d->SetSweepAngle(270);
        d->SetSlices(32);
    } else if (Name == "lines") {
        auto *l = Objects.NewChild<TLines>();
        l->SetLineWidth(3);
        l->SetNodesAspect(lnaCube);
        l->SetNodeSize(0.3f);
        l->SetOptions(loUseNodeColorForLines);
        const TVector4f colours[] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}, {0, 1, 1, 1}};
        const float nodes[][2] = {{-1.5f, -0.8f}, {-0.5f, 0.8f}, {0.5f, -0.8f}, {1.5f, 0.8f}};
        for (int i = 0; i < 4; ++i) {
            l->AddNode(nodes[i][0], nodes[i][1], 0);
            l->Nodes().Node(i).Color().AssignRGBA(colours[i]);
        }
    } else if (Name == "solids") {
        AddSolids(Objects);
    } else if (Name == "height_field") {
        // The built-in ripple, seen from above at an angle.
        auto *h = AddSolid<THeightField>(Objects, {0.7f, 0.7f, 0.9f, 1});
        for (TGLSamplingScale *s : {&h->XSamplingScale(), &h->YSamplingScale()}) {
            s->SetMax(1.5f);
            s->SetMin(-1.5f);
            s->SetStep(0.05f);
        }
        h->SetPitchAngle(55);
        h->SetScale({1.1f, 1.1f, 1.1f, 0});
    }
}

} // namespace

TDirectOpenGL *AddQuad(TGLBaseSceneObject &Parent, float Z, const TVector4f &Diffuse)
{
    auto *quad = Parent.NewChild<TDirectOpenGL>();
    quad->SetPosition({0, 0, Z, 1});
    quad->OnRender = DrawQuad;
    quad->Material().FrontProperties().Diffuse().AssignRGBA(Diffuse);
    quad->Material().FrontProperties().Ambient().AssignRGBA({0.2f, 0.2f, 0.2f, 1});
    if (Diffuse.W < 1)
        quad->Material().SetBlendingMode(bmTransparency);
    return quad;
}

std::vector<std::string> ReferenceSceneNames()
{
    return {"lit_quad", "translucent_quads", "fog_off", "fog_on", "textured_quad", "axes",
            "sphere",   "cylinder",          "cone",    "disk",   "lines",         "height_field",
            "solids"};
}

TReferenceScene BuildReferenceScene(const std::string &Name)
{
    TReferenceScene r;
    r.Name = Name;
    r.Scene = std::make_unique<TGLWorld>();
    AddCameraAndLight(r);
    TGLBaseSceneObject &objects = r.Scene->Objects();
    if (Name == "lit_quad") {
        auto *q = AddQuad(objects, 0, {0.9f, 0.9f, 0.8f, 1});
        q->SetTurnAngle(30);
    } else if (Name == "translucent_quads") {
        AddQuad(objects, -1, {0.1f, 0.2f, 0.9f, 1})->SetScale({1.5f, 1.5f, 1, 0});
        // Listed nearest first: blended-last order draws the far one first.
        auto *nearQuad = AddQuad(objects, 1, {0.9f, 0.1f, 0.1f, 0.5f});
        nearQuad->SetPosition({0.5f, 0.5f, 1, 1});
        auto *farQuad = AddQuad(objects, 0, {0.1f, 0.9f, 0.1f, 0.5f});
        farQuad->SetPosition({-0.5f, -0.5f, 0, 1});
    } else if (Name == "fog_off" || Name == "fog_on") {
        r.Fog = Name == "fog_on";
        for (int i = 0; i < 3; ++i) {
            auto *q = AddQuad(objects, -4.0f * float(i), {0.9f, 0.9f, 0.9f, 1});
            q->SetPosition({-1.5f + 1.5f * float(i), 0, -4.0f * float(i), 1});
        }
    } else if (Name == "textured_quad") {
        auto *q = AddQuad(objects, 0, {1, 1, 1, 1});
        TGLTexture &t = q->Material().Texture();
        t.PersistentImage()->LoadImageFile(std::string(ORV_DATA_DIR) + "/pictures/checker.jpg");
        t.SetTextureMode(tmModulate);
        t.SetMinFilter(miLinear);
        t.SetDisabled(false);
    } else if (Name == "axes") {
        auto *node = objects.NewChild<TGLBaseSceneObject>();
        node->SetTurnAngle(20);
        node->SetPitchAngle(20);
        node->SetShowAxes(true);
    } else {
        AddPrimitive(Name, objects);
    }
    return r;
}

QImage RenderReferenceScene(TReferenceScene &R, int Width, int Height)
{
    TGLQtContext::Register();
    TComponent owner;
    TGLWorldBuffer buffer(&owner);
    buffer.SetBackgroundColor(cBackground);
    buffer.SetCamera(R.Camera);
    buffer.SetFogEnable(R.Fog);
    buffer.FogEnvironment().FogColor().AssignRGBA({0.31f, 0.19f, 0.13f, 1});
    buffer.FogEnvironment().SetFogStart(4);
    buffer.FogEnvironment().SetFogEnd(16);
    TGLQtBitmap bitmap(Width, Height);
    buffer.Resize(Width, Height);
    buffer.RenderBitmap(bitmap, 96);
    return bitmap.Image;
}

} // namespace orv
