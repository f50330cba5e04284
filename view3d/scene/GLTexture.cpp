#include "view3d/scene/GLTexture.h"

#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"
#include "view3d/scene/GLContext.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/JPEGImage.h"
#include "view3d/scene/RenderContextInfo.h"
#include "view3d/scene/XOpenGL.h"

#include <cstring>
#include <filesystem>

namespace orv {

const TVector4f ColorBlack = {0, 0, 0, 1};
const TVector4f ColorGray20 = {0.2f, 0.2f, 0.2f, 1};
const TVector4f ColorGray80 = {0.8f, 0.8f, 0.8f, 1};
const TVector4f ColorWhite = {1, 1, 1, 1};
const TVector4f ColorBlue = {0, 0, 1, 1};

namespace {

// The classic scheme's system colours, 0x00BBGGRR by index.
TColor ClassicSystemColor(int Index)
{
    static const TColor table[] = {
        0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF};
    if (Index < 0 || Index >= int(std::size(table)))
        return 0;
    return table[Index];
}

TSystemColorResolver &Resolver()
{
    static TSystemColorResolver r = ClassicSystemColor;
    return r;
}

bool IsSceneObjectOwner(TPersistent *Owner)
{
    auto *c = dynamic_cast<TGLUpdateAbleComponent *>(Owner);
    return c && c->IsSceneObject();
}

constexpr GLenum cTextureModes[] = {gl::DECAL, gl::MODULATE, 0x0BE2 /* GL_BLEND */, gl::REPLACE};
constexpr GLenum cWrapS[] = {gl::REPEAT, gl::CLAMP, gl::CLAMP, gl::REPEAT};
constexpr GLenum cWrapT[] = {gl::REPEAT, gl::CLAMP, gl::REPEAT, gl::CLAMP};
constexpr GLenum cMinFilters[] = {gl::NEAREST,
                                  gl::LINEAR_FILTER,
                                  gl::NEAREST_MIPMAP_NEAREST,
                                  gl::LINEAR_MIPMAP_NEAREST,
                                  gl::NEAREST_MIPMAP_LINEAR,
                                  gl::LINEAR_MIPMAP_LINEAR};
constexpr GLenum cMagFilters[] = {gl::NEAREST, gl::LINEAR_FILTER};
// tfRGB .. tfIntensity, uncompressed.
constexpr GLenum cFormats[] = {gl::RGB,    gl::RGBA,   0x8050 /* RGB5 */, 0x8056 /* RGBA4 */,
                               0x1906,     0x1909,     0x190A,            0x8049};
constexpr GLenum cMappingModes[] = {0, gl::OBJECT_LINEAR, gl::EYE_LINEAR, gl::SPHERE_MAP};

} // namespace

void SetSystemColorResolver(TSystemColorResolver R)
{
    Resolver() = R ? std::move(R) : TSystemColorResolver(ClassicSystemColor);
}

TColor ColorToRGB(TColor Color)
{
    if (Color & 0x80000000u)
        return Resolver()(int(Color & 0xFF));
    return Color & 0xFFFFFF;
}

TVector4f WinColorToVector(TColor Color, float Alpha)
{
    const TColor rgb = ColorToRGB(Color);
    const float k = float(1.0L / 255);
    return {float((rgb & 0xFF) * (long double)k), float(((rgb >> 8) & 0xFF) * (long double)k),
            float(((rgb >> 16) & 0xFF) * (long double)k), Alpha};
}

// ---- TGLColor ----

TGLColor::TGLColor(TPersistent *Owner, const TVector4f &Default, TNotifyEvent Change)
    : TGLUpdateAbleObject(Owner), FColor(Default)
{
    OnChange = std::move(Change);
}

void TGLColor::AssignRGBA(const TVector4f &V)
{
    FColor = V;
    SignalChange(this);
}

void TGLColor::WriteComponent(int Index, float Value)
{
    if (std::memcmp(&FColor[Index], &Value, 4) == 0)
        return;
    FColor[Index] = Value;
    SignalChange(this);
}

void TGLColor::FromWinColor(TColor Color)
{
    FColor = WinColorToVector(Color, 1);
    SignalChange(this);
}

std::string TGLColor::ColorData() const
{
    std::string data(16, '\0');
    std::memcpy(data.data(), &FColor, 16); // little-endian machine
    return data;
}

void TGLColor::SignalChange(TObject *Sender)
{
    if (!GetOwner())
        return;
    if (IsSceneObjectOwner(GetOwner()))
        static_cast<TGLUpdateAbleComponent *>(GetOwner())->GeometryChanged();
    TGLUpdateAbleObject::SignalChange(Sender);
}

void TGLColor::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TGLColor *>(&Dest)) {
        d->FColor = FColor;
        d->SignalChange(d);
        return;
    }
    TGLUpdateAbleObject::AssignTo(Dest);
}

// ---- TGLFaceProperties ----

TGLFaceProperties::TGLFaceProperties(TPersistent *Owner)
    : TGLUpdateAbleObject(Owner), FAmbient(this, ColorGray20), FDiffuse(this, ColorGray80),
      FEmission(this, ColorBlack), FSpecular(this, ColorBlack)
{
}

void TGLFaceProperties::SetColour(TGLColor &Mine, const TGLColor &Given)
{
    Mine.AssignRGBA(Given.Color()); // climbs once through this object
}

void TGLFaceProperties::SetShininess(int Value)
{
    Value = std::clamp(Value, 0, 128);
    if (Value == FShininess)
        return;
    FShininess = Value;
    SignalChange(this);
}

void TGLFaceProperties::SetPolygonMode(TPolygonMode Value)
{
    if (StoreChanged(FPolygonMode, Value))
        SignalChange(this);
}

void TGLFaceProperties::ApplyFace(GLenum Face)
{
    static constexpr GLenum modes[] = {gl::FILL, gl::LINE, gl::POINT};
    CachedMaterialColors(Face, FEmission.Color(), FAmbient.Color(), FDiffuse.Color(),
                         FSpecular.Color(), FShininess);
    CachedPolygonMode(Face, modes[FPolygonMode]);
}

void TGLFaceProperties::AssignFrom(const TPersistent &Source)
{
    auto *s = dynamic_cast<const TGLFaceProperties *>(&Source);
    if (!s || s == this)
        return;
    // Copied quietly, then one notice.
    FAmbient.FColor = s->FAmbient.FColor;
    FDiffuse.FColor = s->FDiffuse.FColor;
    FEmission.FColor = s->FEmission.FColor;
    FSpecular.FColor = s->FSpecular.FColor;
    FShininess = s->FShininess;
    FPolygonMode = s->FPolygonMode;
    SignalChange(this);
}

// ---- texture images ----

TGLTextureImage::TGLTextureImage(TGLTexture *Owner) : TGLUpdateAbleObject(Owner), FTexture(Owner) {}

GLenum TGLTextureImage::TargetKind() const { return gl::TEXTURE_2D; }

void TGLTextureImage::LoadImageFile(const std::string &FileName)
{
    std::string name = FileName;
    if (OnTextureNeeded)
        OnTextureNeeded(this, name);
}

void TGLTextureImage::InvalidateImage()
{
    DropPixelBitmap();
    SignalChange(this);
}

void TGLTextureImage::SignalChange(TObject *Sender)
{
    if (FTexture)
        FTexture->SetChanged(1);
    TGLUpdateAbleObject::SignalChange(Sender);
}

void TGLPersistentImage::SetPicture(TGLPicture Picture)
{
    FPicture = std::move(Picture);
    InvalidateImage();
}

TGLBitmap32 *TGLPersistentImage::PixelBitmap(GLenum)
{
    if (!FBitmap) {
        FBitmap = std::make_unique<TGLBitmap32>();
        FBitmap->AssignPicture(FPicture);
    }
    return FBitmap.get();
}

void TGLPersistentImage::LoadImageFile(const std::string &FileName)
{
    std::string name = FileName;
    if (OnTextureNeeded)
        OnTextureNeeded(this, name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(name, ec)) {
        SetPicture({});
        throw EAssertionFailed("Could not open file: " + FileName);
    }
    SetPicture(LoadPictureFile(name));
}

void TGLPersistentImage::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TGLPersistentImage *>(&Dest)) {
        d->SetPicture(FPicture);
        return;
    }
    TGLTextureImage::AssignTo(Dest);
}

// ---- TGLTexture ----

TGLTexture::TGLTexture(TPersistent *Owner)
    : TGLUpdateAbleObject(Owner), FImage(std::make_unique<TGLPersistentImage>(this))
{
    FImage->OnTextureNeeded = [this](TObject *Sender, std::string &Name) {
        if (OnTextureNeeded)
            OnTextureNeeded(Sender, Name);
    };
}

TGLTexture::~TGLTexture() = default;

TGLPersistentImage *TGLTexture::PersistentImage()
{
    return dynamic_cast<TGLPersistentImage *>(FImage.get());
}

void TGLTexture::TexCoordsChanged()
{
    if (auto *m = dynamic_cast<TGLMaterial *>(GetOwner()))
        m->TexCoordsChanged();
    else
        SignalChange(this);
}

void TGLTexture::SetDisabled(bool Value)
{
    if (Value == FDisabled)
        return;
    FDisabled = Value;
    TexCoordsChanged();
}

void TGLTexture::SetImageAlpha(TGLTextureImageAlpha Value)
{
    FImageAlpha = Value;
    FChanges |= 1;
    SignalChange(this);
}

void TGLTexture::SetMappingMode(TGLTextureMappingMode Value)
{
    if (Value == FMappingMode)
        return;
    const TGLTextureMappingMode old = FMappingMode;
    FMappingMode = Value;
    if (Value == tmmUser && old != tmmUser)
        TexCoordsChanged();
    else
        SignalChange(this);
}

TGLCoordinates &TGLTexture::MappingSCoordinates()
{
    if (!FMapS)
        FMapS = std::make_unique<TGLCoordinates>(this, TVector4f{1, 0, 0, 0}, ckVector);
    return *FMapS;
}

TGLCoordinates &TGLTexture::MappingTCoordinates()
{
    if (!FMapT)
        FMapT = std::make_unique<TGLCoordinates>(this, TVector4f{1, 0, 0, 0}, ckVector);
    return *FMapT;
}

void TGLTexture::AssignFrom(const TGLTexture &Source)
{
    if (&Source == this)
        return;
    FImageAlpha = Source.FImageAlpha;
    FTextureMode = Source.FTextureMode;
    FTextureWrap = Source.FTextureWrap;
    FTextureFormat = Source.FTextureFormat;
    FCompression = Source.FCompression;
    FMinFilter = Source.FMinFilter;
    FMagFilter = Source.FMagFilter;
    FMappingMode = Source.FMappingMode;
    // A plane not made yet holds the default.
    if (Source.FMapS)
        MappingSCoordinates().Assign(*Source.FMapS);
    else
        FMapS.reset();
    if (Source.FMapT)
        MappingTCoordinates().Assign(*Source.FMapT);
    else
        FMapT.reset();
    // The texture coordinates are compiled into the owner's list.
    SetDisabled(Source.FDisabled);
    FImage->Assign(*Source.FImage);
    FChanges = 3;
}

bool TGLTexture::HasTextureObject() const { return FHandle && FHandle->Handle() != 0; }

void TGLTexture::ReleaseTextureObject()
{
    if (FHandle)
        FHandle->ReleaseHandle();
    FChanges = 3;
}

GLenum TGLTexture::InternalFormat() const
{
    // No texture compression is offered by the entry table: uncompressed.
    const TGLTextureFormat f = FTextureFormat == tfDefault ? tfRGBA : FTextureFormat;
    return cFormats[f - tfRGB];
}

GLuint TGLTexture::ObjectHandle()
{
    if (!HasTextureObject() || FChanges != 0) {
        if (!FHandle)
            FHandle = std::make_unique<TGLTextureHandle>();
        if (FHandle->Handle() == 0)
            FHandle->ObtainHandle();
        Check(FHandle->Handle() != 0, "Assertion failure");
        GL().glBindTexture(gl::TEXTURE_2D, FHandle->Handle());
        SendParameters(gl::TEXTURE_2D);
        FChanges = 0;
        SendImage(gl::TEXTURE_2D);
    }
    return FHandle->Handle();
}

void TGLTexture::SendParameters(GLenum Target)
{
    const TGLEntryTable &g = GL();
    g.glHint(gl::PERSPECTIVE_CORRECTION_HINT, gl::NICEST);
    g.glPixelStorei(gl::UNPACK_ALIGNMENT, 4);
    g.glPixelStorei(0x0CF2 /* UNPACK_ROW_LENGTH */, 0);
    g.glPixelStorei(0x0CF3 /* UNPACK_SKIP_ROWS */, 0);
    g.glPixelStorei(0x0CF4 /* UNPACK_SKIP_PIXELS */, 0);
    g.glTexParameteri(Target, gl::TEXTURE_WRAP_S, GLint(cWrapS[FTextureWrap]));
    g.glTexParameteri(Target, gl::TEXTURE_WRAP_T, GLint(cWrapT[FTextureWrap]));
    g.glTexParameteri(Target, gl::TEXTURE_MIN_FILTER, GLint(cMinFilters[FMinFilter]));
    g.glTexParameteri(Target, gl::TEXTURE_MAG_FILTER, GLint(cMagFilters[FMagFilter]));
}

void TGLTexture::SendImage(GLenum Target)
{
    TGLBitmap32 *bitmap = FImage->PixelBitmap(Target);
    if (!bitmap || bitmap->HasNoPixels())
        return;
    switch (FImageAlpha) {
    case tiaDefault:
        break;
    case tiaAlphaFromIntensity:
    case tiaLuminance:
        bitmap->AlphaFromIntensity();
        break;
    case tiaSuperBlackTransparent:
        bitmap->AlphaKeyColor(0);
        break;
    case tiaLuminanceSqrt:
        bitmap->AlphaFromIntensity();
        bitmap->AlphaSqrtIntensity();
        break;
    case tiaOpaque:
        bitmap->AlphaFill(255);
        break;
    case tiaTopLeftPointColorTransparent: {
        const uint8_t first[3] = {bitmap->Data[0], bitmap->Data[1], bitmap->Data[2]};
        bitmap->AlphaKeyPixel(first);
        break;
    }
    }
    CheckGLError();
    bitmap->UploadTexture(Target, FMinFilter, InternalFormat(), FSentWidth, FSentHeight);
    for (int i = 0; i < 16 && GL().glGetError() != gl::NO_ERROR; ++i) {
    }
    FImage->DropPixelBitmap();
}

void TGLTexture::ApplyTexture(TRenderContextInfo &Rci)
{
    if (FDisabled) {
        DisableCapability(Rci.StateSet, TGLState::Texture2D);
        SetDisabledMode();
        return;
    }
    EnableCapability(Rci.StateSet, TGLState::Texture2D);
    CachedTextureBind(0, gl::TEXTURE_2D, ObjectHandle());
    const TGLEntryTable &g = GL();
    g.glTexEnvi(gl::TEXTURE_ENV, gl::TEXTURE_ENV_MODE, GLint(cTextureModes[FTextureMode]));
    if (FMappingMode == tmmObjectLinear || FMappingMode == tmmEyeLinear) {
        const GLenum plane = FMappingMode == tmmObjectLinear ? gl::OBJECT_PLANE : gl::EYE_PLANE;
        g.glTexGeni(gl::S, gl::TEXTURE_GEN_MODE, GLint(cMappingModes[FMappingMode]));
        g.glTexGeni(gl::T, gl::TEXTURE_GEN_MODE, GLint(cMappingModes[FMappingMode]));
        g.glTexGenfv(gl::S, plane, &MappingSCoordinates().AsVector().X);
        g.glTexGenfv(gl::T, plane, &MappingTCoordinates().AsVector().X);
        g.glEnable(gl::TEXTURE_GEN_S);
        g.glEnable(gl::TEXTURE_GEN_T);
    } else if (FMappingMode == tmmSphere) {
        g.glTexGeni(gl::S, gl::TEXTURE_GEN_MODE, GLint(gl::SPHERE_MAP));
        g.glTexGeni(gl::T, gl::TEXTURE_GEN_MODE, GLint(gl::SPHERE_MAP));
        g.glEnable(gl::TEXTURE_GEN_S);
        g.glEnable(gl::TEXTURE_GEN_T);
    }
    SetStandardMode();
}

void TGLTexture::RevertTexture(TRenderContextInfo &Rci)
{
    if (FMappingMode != tmmUser) {
        GL().glDisable(gl::TEXTURE_GEN_S);
        GL().glDisable(gl::TEXTURE_GEN_T);
        GL().glDisable(0x0C62 /* TEXTURE_GEN_R */);
    }
}

// ---- TGLMaterial ----

TGLMaterial::TGLMaterial(TPersistent *Owner)
    : TGLUpdateAbleObject(Owner), FFront(std::make_unique<TGLFaceProperties>(this)),
      FTexture(std::make_unique<TGLTexture>(this))
{
}

TGLMaterial::~TGLMaterial() = default;

TGLFaceProperties &TGLMaterial::BackProperties()
{
    if (!FBack)
        FBack = std::make_unique<TGLFaceProperties>(this);
    return *FBack;
}

void TGLMaterial::SetBlendingMode(TBlendingMode Value)
{
    if (StoreChanged(FBlendingMode, Value))
        SignalChange(this);
}

void TGLMaterial::SetMaterialOptions(unsigned Value)
{
    if (StoreChanged(FOptions, Value))
        SignalChange(this);
}

void TGLMaterial::SetFaceCulling(TFaceCulling Value)
{
    if (StoreChanged(FFaceCulling, Value))
        SignalChange(this);
}

void TGLMaterial::Apply(TRenderContextInfo &Rci)
{
    FFront->ApplyFace(gl::FRONT);
    const bool culling = InStates(Rci.StateSet, TGLState::CullFace);
    switch (FFaceCulling) {
    case fcBufferDefault:
        if (culling && !Rci.FaceCulling) {
            DisableCapability(Rci.StateSet, TGLState::CullFace);
            BackProperties().ApplyFace(gl::BACK);
        } else if (!culling) {
            if (Rci.FaceCulling)
                EnableCapability(Rci.StateSet, TGLState::CullFace);
            else
                BackProperties().ApplyFace(gl::BACK);
        }
        break;
    case fcCull:
        EnableCapability(Rci.StateSet, TGLState::CullFace);
        break;
    case fcNoCull:
        DisableCapability(Rci.StateSet, TGLState::CullFace);
        BackProperties().ApplyFace(gl::BACK);
        break;
    }
    if (FBlendingMode == bmOpaque) {
        DisableCapability(Rci.StateSet, TGLState::Blend);
    } else {
        EnableCapability(Rci.StateSet, TGLState::Blend);
        GL().glBlendFunc(gl::SRC_ALPHA, FBlendingMode == bmTransparency ? gl::ONE_MINUS_SRC_ALPHA
                                                                        : gl::ONE);
    }
    // A material inside another that already suspended the fog counts too,
    // so the fog comes back only when the outermost one is taken back.
    if ((FOptions & moIgnoreFog) &&
        (InStates(Rci.StateSet, TGLState::Fog) || Rci.FogSuspendCount > 0)) {
        DisableCapability(Rci.StateSet, TGLState::Fog);
        ++Rci.FogSuspendCount;
    }
    FTexture->ApplyTexture(Rci);
}

void TGLMaterial::UnApply(TRenderContextInfo &Rci)
{
    if ((FOptions & moIgnoreFog) && Rci.FogSuspendCount > 0) {
        if (--Rci.FogSuspendCount == 0)
            EnableCapability(Rci.StateSet, TGLState::Fog);
    }
    if (!FTexture->Disabled())
        FTexture->RevertTexture(Rci);
}

void TGLMaterial::ReleaseTextureObject() { FTexture->ReleaseTextureObject(); }

void TGLMaterial::TexCoordsChanged()
{
    if (IsSceneObjectOwner(GetOwner()))
        static_cast<TGLUpdateAbleComponent *>(GetOwner())->GeometryChanged();
}

void TGLMaterial::SignalChange(TObject *Sender)
{
    if (IsSceneObjectOwner(GetOwner()))
        static_cast<TGLUpdateAbleComponent *>(GetOwner())->SignalChange(this);
}

void TGLMaterial::AssignFrom(const TGLMaterial &Source)
{
    if (&Source == this)
        return;
    if (Source.FBack)
        BackProperties().AssignFrom(*Source.FBack);
    else
        FBack.reset();
    FFront->AssignFrom(*Source.FFront);
    FBlendingMode = Source.FBlendingMode;
    FOptions = Source.FOptions;
    FTexture->AssignFrom(*Source.FTexture);
    SignalChange(this);
}

} // namespace orv
