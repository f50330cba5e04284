#include "view3d/scene/qt/ReferenceScenes.h"

#include "view3d/scene/GLEntries.h"
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
    return {"lit_quad", "translucent_quads", "fog_off", "fog_on", "textured_quad", "axes"};
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
