#pragma once
// The appearance of scene objects: the RGBA colour property TGLColor, the
// lighting colours, shininess and polygon mode of one face side
// (TGLFaceProperties) and TGLMaterial (both sides, blending, face culling,
// fog option, texture), applied to the OpenGL state through the caches
// before an object is drawn and taken back afterwards. The named-material
// library and shaders are not offered.

#include "view3d/scene/GLGraphics.h"
#include "view3d/scene/GLMisc.h"

#include <functional>
#include <memory>

namespace orv {

struct TRenderContextInfo;
class TGLTexture;
class TGLTextureHandle;

using TColor = uint32_t; // 0x00BBGGRR, or 0x80000000 | a system colour index

extern const TVector4f ColorBlack, ColorGray20, ColorGray80, ColorWhite, ColorBlue;
constexpr TColor clBtnFace = 0x8000000F;

// System colour indices resolve through this (the Qt part installs the
// application palette); the default is the classic scheme.
using TSystemColorResolver = std::function<TColor(int Index)>;
void SetSystemColorResolver(TSystemColorResolver Resolver);
TColor ColorToRGB(TColor Color);
// R, G, B = bytes 0, 1, 2 times the single nearest 1/255; A = Alpha.
TVector4f WinColorToVector(TColor Color, float Alpha);

class TGLColor : public TGLUpdateAbleObject {
public:
    explicit TGLColor(TPersistent *Owner, const TVector4f &Default = ColorBlack,
                      TNotifyEvent Change = nullptr);
    const TVector4f &Color() const { return FColor; }
    float Red() const { return FColor.X; }
    float Green() const { return FColor.Y; }
    float Blue() const { return FColor.Z; }
    float Alpha() const { return FColor.W; }
    void AssignRGBA(const TVector4f &V); // notifies also when nothing changed
    void WriteComponent(int Index, float Value);
    void FromWinColor(TColor Color); // alpha becomes 1
    const float *ColorAddress() const { return &FColor.X; }
    // The "Color" form property: R, G, B, A as little-endian singles.
    std::string ColorData() const;
    // A scene object as owner recompiles its list first.
    void SignalChange(TObject *Sender) override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    friend class TGLFaceProperties; // copies colours quietly, then notifies once
    TVector4f FColor;
};

enum TPolygonMode { pmFill, pmLines, pmPoints };

class TGLFaceProperties : public TGLUpdateAbleObject {
public:
    explicit TGLFaceProperties(TPersistent *Owner);
    TGLColor &Ambient() { return FAmbient; }
    TGLColor &Diffuse() { return FDiffuse; }
    TGLColor &Emission() { return FEmission; }
    TGLColor &Specular() { return FSpecular; }
    int Shininess() const { return FShininess; }
    TPolygonMode PolygonMode() const { return FPolygonMode; }
    void SetAmbient(const TGLColor &C) { SetColour(FAmbient, C); }
    void SetDiffuse(const TGLColor &C) { SetColour(FDiffuse, C); }
    void SetEmission(const TGLColor &C) { SetColour(FEmission, C); }
    void SetSpecular(const TGLColor &C) { SetColour(FSpecular, C); }
    void SetShininess(int Value); // 0..128
    void SetPolygonMode(TPolygonMode Value);
    void ApplyFace(GLenum Face);
    // Only another TGLFaceProperties is taken; anything else is ignored.
    void AssignFrom(const TPersistent &Source);

private:
    void SetColour(TGLColor &Mine, const TGLColor &Given);
    TGLColor FAmbient, FDiffuse, FEmission, FSpecular;
    int FShininess = 0;
    TPolygonMode FPolygonMode = pmFill;
};

// ---- textures ----

using TTextureNeededEvent = std::function<void(TObject *Sender, std::string &FileName)>;

// The source of a texture's pixels.
class TGLTextureImage : public TGLUpdateAbleObject {
public:
    explicit TGLTextureImage(TGLTexture *Owner);
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual std::string DisplayTitle() const = 0;
    virtual GLenum TargetKind() const;
    // The pixels, converted on first use and kept until DropPixelBitmap.
    virtual TGLBitmap32 *PixelBitmap(GLenum Target) = 0;
    virtual void DropPixelBitmap() {}
    virtual void LoadImageFile(const std::string &FileName);
    void InvalidateImage();
    // The owner texture must send the image again.
    void SignalChange(TObject *Sender) override;
    TTextureNeededEvent OnTextureNeeded;

protected:
    TGLTexture *FTexture;
};

// A picture kept with the object (the program's texture image).
class TGLPersistentImage : public TGLTextureImage {
public:
    explicit TGLPersistentImage(TGLTexture *Owner) : TGLTextureImage(Owner) {}
    const TGLPicture &Picture() const { return FPicture; }
    void SetPicture(TGLPicture Picture);
    int GetWidth() const override { return FPicture.Width; }
    int GetHeight() const override { return FPicture.Height; }
    std::string DisplayTitle() const override { return "Persistent Image"; }
    TGLBitmap32 *PixelBitmap(GLenum Target) override;
    void DropPixelBitmap() override { FBitmap.reset(); }
    // The name passes OnTextureNeeded; a missing file empties the picture
    // and raises EAssertionFailed "Could not open file: <name>"; a JPEG
    // that cannot be decoded raises EInvalidGraphic "JPEG error #<n>".
    void LoadImageFile(const std::string &FileName) override;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    TGLPicture FPicture;
    std::unique_ptr<TGLBitmap32> FBitmap;
};

enum TGLTextureImageAlpha {
    tiaDefault, tiaAlphaFromIntensity, tiaSuperBlackTransparent, tiaLuminance, tiaLuminanceSqrt,
    tiaOpaque, tiaTopLeftPointColorTransparent
};
enum TGLMagFilter { maNearest, maLinear };
enum TGLTextureMode { tmDecal, tmModulate, tmBlend, tmReplace };
enum TGLTextureWrap { twBoth, twNone, twVertical, twHorizontal };
enum TGLTextureFormat {
    tfDefault, tfRGB, tfRGBA, tfRGB16, tfRGBA16, tfAlpha, tfLuminance, tfLuminanceAlpha,
    tfIntensity
};
enum TGLTextureCompression { tcDefault, tcNone, tcStandard, tcHighQuality, tcHighSpeed };
enum TGLTextureMappingMode { tmmUser, tmmObjectLinear, tmmEyeLinear, tmmSphere };

class TGLTexture : public TGLUpdateAbleObject {
public:
    explicit TGLTexture(TPersistent *Owner);
    ~TGLTexture() override;

    TGLTextureImage &Image() { return *FImage; }
    TGLPersistentImage *PersistentImage();
    bool Disabled() const { return FDisabled; }
    void SetDisabled(bool Value);
    TGLTextureImageAlpha ImageAlpha() const { return FImageAlpha; }
    void SetImageAlpha(TGLTextureImageAlpha Value);
    TGLMagFilter MagFilter() const { return FMagFilter; }
    void SetMagFilter(TGLMagFilter V) { SetParameter(FMagFilter, V); }
    TGLMinFilter MinFilter() const { return FMinFilter; }
    void SetMinFilter(TGLMinFilter V) { SetParameter(FMinFilter, V); }
    TGLTextureMode TextureMode() const { return FTextureMode; }
    void SetTextureMode(TGLTextureMode V) { SetParameter(FTextureMode, V); }
    TGLTextureWrap TextureWrap() const { return FTextureWrap; }
    void SetTextureWrap(TGLTextureWrap V) { SetParameter(FTextureWrap, V); }
    TGLTextureFormat TextureFormat() const { return FTextureFormat; }
    void SetTextureFormat(TGLTextureFormat V) { SetParameter(FTextureFormat, V); }
    TGLTextureCompression Compression() const { return FCompression; }
    void SetCompression(TGLTextureCompression V) { SetParameter(FCompression, V); }
    TGLTextureMappingMode MappingMode() const { return FMappingMode; }
    void SetMappingMode(TGLTextureMappingMode Value);
    TGLCoordinates &MappingSCoordinates();
    TGLCoordinates &MappingTCoordinates();
    // Copies the image and every setting (filters, mode, wrap, format,
    // alpha, mapping, Disabled); parameters and image go out again.
    void AssignFrom(const TGLTexture &Source);

    // The texture object, sending parameters and image when they changed.
    GLuint ObjectHandle();
    bool HasTextureObject() const;
    void ReleaseTextureObject();
    void ApplyTexture(TRenderContextInfo &Rci);
    void RevertTexture(TRenderContextInfo &Rci);
    GLenum InternalFormat() const;
    int SentWidth() const { return FSentWidth; }
    int SentHeight() const { return FSentHeight; }
    void SetChanged(unsigned Bits) { FChanges |= Bits; }

    TTextureNeededEvent OnTextureNeeded;

private:
    template <class T> void SetParameter(T &Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        FChanges |= 2;
        SignalChange(this);
    }
    void SendParameters(GLenum Target);
    void SendImage(GLenum Target);
    void TexCoordsChanged();

    std::unique_ptr<TGLTextureImage> FImage;
    std::unique_ptr<TGLTextureHandle> FHandle;
    bool FDisabled = true;
    TGLTextureImageAlpha FImageAlpha = tiaDefault;
    TGLMagFilter FMagFilter = maLinear;
    TGLMinFilter FMinFilter = miLinearMipmapLinear;
    TGLTextureMode FTextureMode = tmDecal;
    TGLTextureWrap FTextureWrap = twBoth;
    TGLTextureFormat FTextureFormat = tfDefault;
    TGLTextureCompression FCompression = tcDefault;
    TGLTextureMappingMode FMappingMode = tmmUser;
    std::unique_ptr<TGLCoordinates> FMapS, FMapT;
    unsigned FChanges = 3; // bit 0: image, bit 1: parameters
    int FSentWidth = 0, FSentHeight = 0;
};

// ---- materials ----

enum TBlendingMode { bmOpaque, bmTransparency, bmAdditive };
enum TFaceCulling { fcBufferDefault, fcCull, fcNoCull };
enum TMaterialOption : unsigned { moIgnoreFog = 1 };

class TGLMaterial : public TGLUpdateAbleObject {
public:
    explicit TGLMaterial(TPersistent *Owner);
    ~TGLMaterial() override;
    TGLFaceProperties &FrontProperties() { return *FFront; }
    TGLFaceProperties &BackProperties(); // made on first access
    bool HasBackProperties() const { return FBack != nullptr; }
    TBlendingMode BlendingMode() const { return FBlendingMode; }
    unsigned MaterialOptions() const { return FOptions; }
    TFaceCulling FaceCulling() const { return FFaceCulling; }
    TGLTexture &Texture() { return *FTexture; }
    void SetBlendingMode(TBlendingMode Value);
    void SetMaterialOptions(unsigned Value);
    void SetFaceCulling(TFaceCulling Value);

    void Apply(TRenderContextInfo &Rci);
    void UnApply(TRenderContextInfo &Rci);
    void ReleaseTextureObject();
    // Texture coordinates live in the owner's display list: it recompiles.
    void TexCoordsChanged();
    void SignalChange(TObject *Sender) override;
    void AssignFrom(const TGLMaterial &Source);

private:
    std::unique_ptr<TGLFaceProperties> FFront, FBack;
    TBlendingMode FBlendingMode = bmOpaque;
    unsigned FOptions = 0;
    TFaceCulling FFaceCulling = fcBufferDefault;
    std::unique_ptr<TGLTexture> FTexture;
};

} // namespace orv
