// Drawing one scene object and its subtree: culling, the matrix stack,
// picking names, axes, the display list and the order of the children.
#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLWorld.h"
#include "view3d/scene/XOpenGL.h"

namespace orv {

namespace {

void ResetStateCaches(bool FrontFace)
{
    ClearPolygonModeCache();
    ClearMaterialCache();
    ClearTextureBindCache();
    if (FrontFace)
        ClearFrontFace();
}

// The object's box in world coordinates: hierarchical culling compares it
// with the view cone, which is in world coordinates too.
bool IsBoxCulled(TGLBaseSceneObject &Object, const TRenderContextInfo &Rci)
{
    TCornerBox box = Object.BoundingBox();
    TransformBox(box, Object.WorldMatrix());
    const TAxisBox a = BoxToAxisBox(box);
    return BoxCulled(PointFromAffine(a.Min), PointFromAffine(a.Max), Rci.ViewCone);
}

// Switches depth testing off around an object that ignores it.
struct TDepthTestOff {
    TRenderContextInfo &Rci;
    bool Active;
    TDepthTestOff(TRenderContextInfo &R, bool On) : Rci(R), Active(On)
    {
        if (Active)
            DisableCapability(Rci.StateSet, TGLState::DepthTest);
    }
    ~TDepthTestOff()
    {
        if (Active)
            EnableCapability(Rci.StateSet, TGLState::DepthTest);
    }
};

} // namespace

void TGLBaseSceneObject::Render(TRenderContextInfo &Rci)
{
    if (!FVisible)
        return;
    bool drawSelf = true, drawChildren = true;
    const bool neverCulled = FStyle & osNeverCulled;
    switch (Rci.VisibilityCulling) {
    case vcInherited:
    case vcNone:
        break;
    case vcObjectBased:
        drawSelf = neverCulled || !SphereCulled(WorldPosition(), EnclosingRadius(), Rci.ViewCone);
        break;
    case vcHierarchical:
        drawSelf = drawChildren = neverCulled || !IsBoxCulled(*this, Rci);
        break;
    default:
        Check(false, "Unknown visibility culling option");
    }
    const TGLEntryTable &g = GL();
    g.glPushMatrix();
    g.glMultMatrixf(&LocalMatrix()[0].X);
    const GLuint name = GLuint(reinterpret_cast<uintptr_t>(this));
    if (Rci.DrawState == dsPicking) {
        if (Rci.NestedNames)
            g.glPushName(name);
        else
            g.glLoadName(name);
    }
    const bool ignoresDepth = FStyle & osIgnoresDepthTest;
    if (drawSelf) {
        if (FShowAxes && Rci.Buffer && Rci.Buffer->Camera())
            RenderAxes(0xCCCC, Rci.Buffer->Camera()->DepthOfView());
        if (HasEffects()) {
            g.glPushMatrix();
            FEffects->DrawPreEffects(Rci.Buffer, Rci);
            g.glPopMatrix();
            g.glPushMatrix();
            {
                TDepthTestOff depth(Rci, ignoresDepth);
                RenderObject(Rci, true, drawChildren);
            }
            if (FStyle & osRestoresStateCaches)
                ResetStateCaches(true);
            FEffects->DrawPostEffects(Rci.Buffer, Rci);
            g.glPopMatrix();
        } else {
            {
                TDepthTestOff depth(Rci, ignoresDepth);
                RenderObject(Rci, true, drawChildren);
            }
            if (FStyle & osRestoresStateCaches)
                ResetStateCaches(false);
        }
    } else {
        const bool bufferDepth = Rci.Buffer && Rci.Buffer->DepthTest();
        TDepthTestOff depth(Rci, ignoresDepth && bufferDepth);
        RenderObject(Rci, false, drawChildren);
    }
    if (Rci.DrawState == dsPicking && Rci.NestedNames)
        g.glPopName();
    g.glPopMatrix();
}

void TGLBaseSceneObject::DrawGeometry(TRenderContextInfo &Rci)
{
    if (FStyle & osImmediateDraw)
        CompileGeometry(Rci);
    else
        GL().glCallList(CompiledListHandle(Rci));
}

void TGLBaseSceneObject::RenderObject(TRenderContextInfo &Rci, bool DrawSelf, bool DrawChildren)
{
    if (DrawSelf)
        DrawGeometry(Rci);
    if (DrawChildren && !FChildren.empty())
        RenderChildRange(0, ChildCount() - 1, Rci);
}

void TGLCustomSceneObject::RenderObject(TRenderContextInfo &Rci, bool DrawSelf,
                                        bool DrawChildren)
{
    if (DrawSelf) {
        if (Rci.IgnoreMaterials) {
            DrawGeometry(Rci);
        } else {
            FMaterial.Apply(Rci);
            DrawGeometry(Rci);
            FMaterial.UnApply(Rci);
        }
    }
    if (DrawChildren && ChildCount() > 0)
        RenderChildRange(0, ChildCount() - 1, Rci);
}

void TGLCamera::RenderObject(TRenderContextInfo &Rci, bool, bool DrawChildren)
{
    if (DrawChildren && ChildCount() > 0)
        RenderChildRange(0, ChildCount() - 1, Rci);
}

void TGLLightSource::RenderObject(TRenderContextInfo &Rci, bool, bool DrawChildren)
{
    if (DrawChildren && ChildCount() > 0)
        RenderChildRange(0, ChildCount() - 1, Rci);
}

GLuint TGLBaseSceneObject::CompiledListHandle(TRenderContextInfo &Rci)
{
    if (FListHandle.Handle() != 0 && !(FChanges & cListStale))
        return FListHandle.Handle();
    if (FListHandle.Handle() == 0)
        FListHandle.ObtainHandle();
    if (FListHandle.Handle() == 0)
        throw EAssertionFailed("Handle=0 for " + ClassName());
    const TGLEntryTable &g = GL();
    g.glNewList(FListHandle.Handle(), gl::COMPILE);
    try {
        CompileGeometry(Rci);
    } catch (...) {
        g.glEndList(); // the list is closed; it stays stale and compiles again
        throw;
    }
    g.glEndList();
    FChanges &= uint8_t(~cListStale);
    return FListHandle.Handle();
}

void TGLBaseSceneObject::RenderChildRange(int First, int Last, TRenderContextInfo &Rci)
{
    const TGLVisibilityCulling savedCulling = Rci.VisibilityCulling;
    if (FVisibilityCulling != vcInherited)
        Rci.VisibilityCulling = FVisibilityCulling;
    try {
        if (First == Last)
            FChildren[size_t(First)]->Render(Rci);
        else if (First < Last)
            RenderSorted(First, Last, Rci);
    } catch (...) {
        Rci.VisibilityCulling = savedCulling;
        throw;
    }
    Rci.VisibilityCulling = savedCulling;
}

void TGLBaseSceneObject::RenderSorted(int First, int Last, TRenderContextInfo &Rci)
{
    const TGLObjectsSorting saved = Rci.ObjectsSorting;
    if (FObjectsSorting != osInherited)
        Rci.ObjectsSorting = FObjectsSorting;
    const TGLObjectsSorting mode = Rci.ObjectsSorting;
    struct TRestore {
        TRenderContextInfo &R;
        TGLObjectsSorting S;
        ~TRestore() { R.ObjectsSorting = S; }
    } restore{Rci, saved};
    if (mode == osNone || mode == osInherited) {
        for (int i = First; i <= Last; ++i)
            FChildren[size_t(i)]->Render(Rci);
        return;
    }
    Check(mode == osRenderFarthestFirst || mode == osRenderBlendedLast, "Assertion failure");
    FSortKeys.ResizeCount(0);
    std::vector<void *> collected;
    for (int i = First; i <= Last; ++i) {
        TGLBaseSceneObject *c = FChildren[size_t(i)];
        if (mode == osRenderBlendedLast && !c->HasBlending()) {
            c->Render(Rci);
            continue;
        }
        if (!c->Visible())
            continue;
        FSortKeys.AddValue(c->DistanceToCameraSquared(Rci));
        collected.push_back(c);
    }
    if (collected.size() > 1)
        SortByKeys(0, int(collected.size()) - 1, FSortKeys, collected);
    for (auto it = collected.rbegin(); it != collected.rend(); ++it)
        static_cast<TGLBaseSceneObject *>(*it)->Render(Rci);
}

void TGLBaseSceneObject::RenderAxes(uint16_t Pattern, float Length)
{
    const TGLEntryTable &g = GL();
    g.glPushAttrib(gl::ENABLE_BIT | gl::LIGHTING_BIT | gl::LINE_BIT);
    g.glDisable(gl::LIGHTING);
    g.glEnable(gl::LINE_STIPPLE);
    g.glEnable(gl::LINE_SMOOTH);
    g.glEnable(gl::BLEND);
    g.glBlendFunc(gl::SRC_ALPHA, gl::ONE_MINUS_SRC_ALPHA);
    g.glLineWidth(1);
    g.glLineStipple(1, Pattern);
    g.glBegin(gl::LINES);
    const struct {
        float X, Y, Z, R, G, B;
    } ends[] = {{-Length, 0, 0, 0.5f, 0, 0}, {Length, 0, 0, 1, 0, 0},
                {0, -Length, 0, 0, 0.5f, 0}, {0, Length, 0, 0, 1, 0},
                {0, 0, -Length, 0, 0, 0.5f}, {0, 0, Length, 0, 0, 1}};
    for (const auto &e : ends) {
        g.glColor4f(e.R, e.G, e.B, 1);
        g.glVertex3f(0, 0, 0);
        g.glVertex3f(e.X, e.Y, e.Z);
    }
    g.glEnd();
    g.glPopAttrib();
}

void TGLProxyObject::RenderObject(TRenderContextInfo &Rci, bool DrawSelf, bool DrawChildren)
{
    if (FRendering)
        return; // inside its own master's subtree
    FRendering = true;
    struct TDone {
        TGLProxyObject &P;
        ~TDone()
        {
            P.FRendering = false;
            P.FChanges &= uint8_t(~cListStale);
        }
    } done{*this};
    if (FMaster && (FOptions & pooObjects)) {
        const bool nested = Rci.NestedNames;
        Rci.NestedNames = true;
        struct TRestore {
            TRenderContextInfo &R;
            bool N;
            ~TRestore() { R.NestedNames = N; }
        } restore{Rci, nested};
        if (FOptions & pooTransformation)
            GL().glMultMatrixf(&FMaster->LocalMatrix()[0].X);
        FMaster->RenderObject(Rci, DrawSelf, DrawChildren);
    }
    if (DrawChildren && ChildCount() > 0)
        RenderChildRange(0, ChildCount() - 1, Rci);
    if ((FOptions & pooEffects) && FMaster && FMaster->HasEffects())
        FMaster->Effects().DrawPostEffects(Rci.Buffer, Rci);
}

void TDirectOpenGL::CompileGeometry(TRenderContextInfo &Rci)
{
    SetStandardMode();
    if (OnRender)
        OnRender(Rci);
}

} // namespace orv
