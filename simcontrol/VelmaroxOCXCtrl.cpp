#include "simcontrol/VelmaroxOCXCtrl.h"

#include "platform/CursorService.h"
#include "simcontrol/render/ObliqueRender.h"
#include "simcontrol/render/SavedImage.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr double DegreesToRadians = 0.017453292522222223;
constexpr double QuarterTurn = 1.570796;
constexpr uint32_t DefaultRampColour = 235 | (255 << 8) | (230 << 16);

int Red(uint32_t C) { return C & 0xFF; }
int Green(uint32_t C) { return (C >> 8) & 0xFF; }
int Blue(uint32_t C) { return (C >> 16) & 0xFF; }

bool Finite(std::initializer_list<double> Values)
{
    for (double v : Values)
        if (!std::isfinite(v))
            return false;
    return true;
}

TDispMember Property(int32_t Id, const char *Name, TVarType Type)
{
    return {Id, Name, true, Type, {}};
}

TDispMember Method(int32_t Id, const char *Name, std::vector<TVarType> Params,
                   TVarType Result = VT_EMPTY)
{
    return {Id, Name, false, Result, std::move(Params)};
}

// Tilt from a cursor row: 0 at the top row, 1 at the bottom one.
bool TiltFromRow(int Y, int Height, double &Tilt)
{
    if (Height <= 1)
        return false;
    Tilt = std::clamp(static_cast<double>(Y) / (Height - 1), 0.0, 1.0);
    return true;
}

} // namespace

const std::vector<TDispMember> &VelmaroxMembers()
{
    static const std::vector<TDispMember> members = {
        Property(dispMode, "Mode", VT_I2),
        Property(dispRapid, "Rapid", VT_BOOL),
        Property(dispTilt, "Tilt", VT_R8),
        Property(dispRotation, "Rotation", VT_R8),
        Property(dispBackgroundColour, "BackgroundColour", VT_I4),
        Property(dispBilletColour, "BilletColour", VT_I4),
        Property(dispSurfaceColour, "SurfaceColour", VT_I4),
        Method(dispSetBillet, "SetBillet", {VT_R4, VT_R4, VT_R4, VT_R4, VT_R4, VT_R4}),
        Method(dispLinear, "Linear", {VT_R4, VT_R4, VT_R4, VT_R4, VT_R4, VT_R4}),
        Method(dispArc, "Arc", {VT_R4, VT_R4, VT_R4, VT_R4, VT_R4, VT_R4, VT_BOOL}),
        Method(dispShowViewer, "ShowViewer", {VT_BOOL}),
        Method(dispSave, "Save", {VT_BSTR}, VT_BOOL),
        Method(dispTool, "Tool", {VT_I2, VT_R4, VT_BOOL, VT_I4}),
        Method(dispRedraw, "Redraw", {VT_I2}),
        Method(dispAboutBox, "AboutBox", {}),
    };
    return members;
}

CVelmaroxOCXCtrl::CVelmaroxOCXCtrl() : FBilletColour(DefaultRampColour) {}

CVelmaroxOCXCtrl::~CVelmaroxOCXCtrl() { *FAlive = false; }

// --- Dispatch -------------------------------------------------------------------

TComResult CVelmaroxOCXCtrl::Invoke(int32_t Id, TInvokeKind Kind,
                                    const std::vector<TVariant> &Args, TVariant *Result)
{
    std::vector<TVariant> a;
    const TComResult check = CheckCall(VelmaroxMembers(), Id, Kind, Args, a);
    if (check != S_OK)
        return check;
    const bool get = Kind == DISPATCH_PROPERTYGET;
    TVariant out;
    switch (Id) {
    case dispMode:
        if (get)
            out = TVariant::I2(Mode);
        else {
            Mode = a[0].AsI2();
            Modified();
        }
        break;
    case dispRapid:
        if (get)
            out = TVariant::Bool(Rapid);
        else {
            Rapid = a[0].AsBool();
            Modified();
        }
        break;
    case dispTilt:
        if (get)
            out = TVariant::R8(Tilt());
        else
            SetTilt(a[0].AsR8());
        break;
    case dispRotation:
        if (get)
            out = TVariant::R8(Rotation());
        else
            SetRotation(a[0].AsR8());
        break;
    case dispBackgroundColour:
        if (get)
            out = TVariant::I4(static_cast<int32_t>(BackgroundColour()));
        else
            SetBackgroundColour(static_cast<uint32_t>(a[0].AsI4()));
        break;
    case dispBilletColour:
        if (get)
            out = TVariant::I4(static_cast<int32_t>(BilletColour()));
        else
            SetBilletColour(static_cast<uint32_t>(a[0].AsI4()));
        break;
    case dispSurfaceColour:
        if (get)
            out = TVariant::I4(static_cast<int32_t>(SurfaceColour()));
        else
            SetSurfaceColour(static_cast<uint32_t>(a[0].AsI4()));
        break;
    case dispSetBillet:
        SetBillet(a[0].AsR4(), a[1].AsR4(), a[2].AsR4(), a[3].AsR4(), a[4].AsR4(), a[5].AsR4());
        break;
    case dispLinear:
        Linear(a[0].AsR4(), a[1].AsR4(), a[2].AsR4(), a[3].AsR4(), a[4].AsR4(), a[5].AsR4());
        break;
    case dispArc:
        Arc(a[0].AsR4(), a[1].AsR4(), a[2].AsR4(), a[3].AsR4(), a[4].AsR4(), a[5].AsR4(),
            a[6].AsBool());
        break;
    case dispShowViewer: ShowViewer(a[0].AsBool()); break;
    case dispSave: out = TVariant::Bool(Save(a[0].Text)); break;
    case dispTool:
        Tool(a[0].AsI2(), a[1].AsR4(), a[2].AsBool(), static_cast<uint32_t>(a[3].AsI4()));
        break;
    case dispRedraw: Redraw(a[0].AsI2()); break;
    case dispAboutBox:
        if (FWindow)
            FWindow->ShowAboutBox();
        break;
    default: return DISP_E_MEMBERNOTFOUND;
    }
    if (Result)
        *Result = out;
    return S_OK;
}

void CVelmaroxOCXCtrl::Modified()
{
    if (FWindow)
        FWindow->SetModified();
}

// --- Drawing ----------------------------------------------------------------------

void CVelmaroxOCXCtrl::OnDraw(int Width, int Height, bool Invalid)
{
    const std::shared_ptr<bool> alive = FAlive;
    if (Invalid)
        FScene.DrawScene(Width, Height);
    if (!*alive)
        return;
    FBoundsW = Width;
    FBoundsH = Height;
    FScene.SetClientSize(Width, Height);
}

bool CVelmaroxOCXCtrl::Redraw(int DrawMode)
{
    const std::shared_ptr<bool> alive = FAlive;
    FScene.DrawFlags = DrawMode;
    if (FWindow)
        FWindow->RepaintNow();
    else if (FBoundsW > 0 && FBoundsH > 0)
        OnDraw(FBoundsW, FBoundsH);
    return *alive;
}

// --- Properties -------------------------------------------------------------------

void CVelmaroxOCXCtrl::SetTilt(double Value)
{
    FScene.SetView(Value, FScene.Rotation());
    Modified();
}

void CVelmaroxOCXCtrl::SetRotation(double Value)
{
    FScene.SetView(FScene.Tilt(), Value);
    Modified();
}

uint32_t CVelmaroxOCXCtrl::BackgroundColour() const
{
    return FScene.Palette().Get(EntryBackground);
}

void CVelmaroxOCXCtrl::SetBackgroundColour(uint32_t Colour)
{
    FScene.SetPaletteEntry(EntryBackground, Colour & 0xFFFFFF);
    Modified();
}

void CVelmaroxOCXCtrl::SetBilletColour(uint32_t Colour)
{
    FBilletColour = Colour;
    FScene.BuildShadeRamp(Red(Colour), Green(Colour), Blue(Colour));
    Modified();
}

uint32_t CVelmaroxOCXCtrl::SurfaceColour() const
{
    return FScene.Palette().Get(EntrySurface);
}

void CVelmaroxOCXCtrl::SetSurfaceColour(uint32_t Colour)
{
    FScene.SetPaletteEntry(EntrySurface, Colour & 0xFFFFFF);
    Modified();
}

// --- Methods ----------------------------------------------------------------------

void CVelmaroxOCXCtrl::SetBillet(float LowX, float LowY, float LowZ, float HighX, float HighY,
                                 float HighZ)
{
    FScene.SetBillet(LowX, LowY, LowZ, HighX, HighY, HighZ);
}

// Host z values have the billet top at 0; the model measures from its bottom.
void CVelmaroxOCXCtrl::Linear(float X1, float Y1, float Z1, float X2, float Y2, float Z2)
{
    if (!Finite({X1, Y1, Z1, X2, Y2, Z2}))
        return;
    const double h = FScene.BilletHeight();
    FScene.AppendLine({X1, Y1, Z1 + h, X2, Y2, Z2 + h, Rapid});
    ModeStep();
}

void CVelmaroxOCXCtrl::Arc(float CX, float CY, float CZ, float Radius, float StartAngle,
                           float EndAngle, bool Clockwise)
{
    if (!Finite({CX, CY, CZ, Radius, StartAngle, EndAngle}))
        return;
    const double a0 = StartAngle * DegreesToRadians, a1 = EndAngle * DegreesToRadians;
    ArcMoveRecord r;
    r.CX = CX;
    r.CY = CY;
    r.CZ = CZ + FScene.BilletHeight();
    r.Radius = Radius;
    r.SX = std::cos(a0);
    r.SY = std::sin(a0);
    r.EX = std::cos(a1);
    r.EY = std::sin(a1);
    r.Clockwise = Clockwise;
    r.Rapid = Rapid;
    FScene.AppendArc(r);
    ModeStep();
}

void CVelmaroxOCXCtrl::Tool(int16_t Number, float Radius, bool Flat, uint32_t Colour)
{
    if (!std::isfinite(Radius))
        return;
    FScene.AppendTool({Number, Radius, Flat, Colour});
    ModeStep();
}

void CVelmaroxOCXCtrl::ModeStep()
{
    if (Mode == 1) {
        FScene.ApplyLastMove();
        Redraw(dfSmallMarker);
    }
    else if (Mode == 2) {
        FScene.ApplyLastMove();
        FScene.QuickDraw = false;
        if (Redraw(dfClear | dfRender | dfLargeMarker))
            FScene.QuickDraw = true;
    }
}

void CVelmaroxOCXCtrl::ShowViewer(bool Visible)
{
    if (FScene.FirstDraw())
        return;
    FScene.ShowViewer(Visible);
}

bool CVelmaroxOCXCtrl::Save(const std::string &FileName)
{
    return SaveBitmap(FileName, FScene.Image(), FScene.Palette());
}

// --- Mouse --------------------------------------------------------------------------

void CVelmaroxOCXCtrl::LeftButtonDown(int X, int Y, int Keys)
{
    void *handle = FWindow ? FWindow->Handle() : nullptr;
    CursorService().Confine(handle);
    CursorService().Capture(handle);
    if (FFirstPress) {
        FViewX = FLightX = X;
        FViewY = FLightY = Y;
        FFirstPress = false;
    }
    const int mods = Keys & (mkShift | mkControl);
    if (mods == 0) {
        FDragMode = 1;
        CursorService().MoveTo(handle, FViewX, FViewY);
    }
    else if (mods == mkShift) {
        FDragMode = 3;
    }
    else if (mods == mkControl) {
        FDragMode = 2;
        CursorService().MoveTo(handle, FLightX, FLightY);
    }
}

void CVelmaroxOCXCtrl::MouseMove(int X, int Y, int Keys)
{
    if (Keys == 0 || FDragMode == 0)
        return;
    const int w = FBoundsW, h = FBoundsH;
    if (FDragMode == 1) {
        FViewX = X;
        FViewY = Y;
        double tilt = FScene.Tilt();
        TiltFromRow(Y, h, tilt);
        const double rotation = w > 0 ? (2.0 * X - w) * QuarterTurn / w : FScene.Rotation();
        FScene.SetView(tilt, rotation);
        if (!Redraw(dfClear | dfQuick))
            return;
    }
    else if (FDragMode == 2) {
        FLightX = X;
        FLightY = Y;
        if (w > 0 && h > 0) {
            const double g = std::clamp(2.0 * X / w - 1, -1.0, 1.0);
            const double d = std::clamp(static_cast<double>(Y) / h, 0.0, 1.0);
            const double lx = g * d, ly = -d * std::sqrt(1 - g * g);
            FScene.SetLight(lx, ly, std::sqrt(std::max(0.0, 1 - lx * lx - ly * ly)));
        }
        if (!Redraw(dfClear | dfQuick))
            return;
    }
    else if (FDragMode == 3) {
        double tilt;
        if (TiltFromRow(Y, h, tilt))
            SetTilt(tilt);
        FScene.QuickDraw = false;
        if (!Redraw(dfClear | dfRender))
            return;
        FScene.QuickDraw = true;
    }
    if (FWindow)
        FWindow->DrainMouseMoves();
}

void CVelmaroxOCXCtrl::LeftButtonUp(int X, int Y)
{
    CursorService().ReleaseCapture();
    CursorService().ReleaseConfine();
    const int mode = FDragMode;
    FDragMode = 0;
    if (mode == 1 || mode == 2) {
        if (Redraw(dfReplay))
            Redraw(dfClear | dfRender);
    }
    else if (mode == 3) {
        FScene.QuickDraw = false;
        if (Redraw(dfClear | dfRender))
            FScene.QuickDraw = true;
    }
}

void CVelmaroxOCXCtrl::RightButtonDown(int X, int Y)
{
    Probe(FScene.Model(), FScene.Image(), X, Y);
}

} // namespace orv
