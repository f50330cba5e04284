#include "view3d/scene/GLGraphics.h"

#include "view3d/geometry/Assertion.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLMisc.h"

#include <algorithm>

namespace orv {

void TGLBitmap32::Clear()
{
    FWidth = FHeight = 0;
    Data.clear();
    Data.shrink_to_fit();
}

void TGLBitmap32::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TGLBitmap32 *>(&Dest)) {
        d->FWidth = FWidth;
        d->FHeight = FHeight;
        d->Data = Data;
        return;
    }
    TPersistent::AssignTo(Dest);
}

void TGLBitmap32::AssignPicture(const TGLPicture &Picture)
{
    if (Picture.Width % 4 == 0) {
        TakeBitmap24(Picture);
        return;
    }
    // Stretched over the next multiple of 4, nearest pixel.
    TGLPicture wide;
    wide.Width = (Picture.Width + 3) / 4 * 4;
    wide.Height = Picture.Height;
    wide.BGR.resize(size_t(wide.Width) * size_t(wide.Height) * 3);
    for (int y = 0; y < wide.Height; ++y)
        for (int x = 0; x < wide.Width; ++x) {
            const int sx = int(int64_t(x) * Picture.Width / wide.Width);
            const uint8_t *s = &Picture.BGR[(size_t(y) * size_t(Picture.Width) + size_t(sx)) * 3];
            std::copy(s, s + 3, &wide.BGR[(size_t(y) * size_t(wide.Width) + size_t(x)) * 3]);
        }
    TakeBitmap24(wide);
}

void TGLBitmap32::TakeBitmap24(const TGLPicture &Picture)
{
    Check(Picture.Width % 4 == 0, "TakeBitmap24 of a width that is a multiple of 4");
    Check(Picture.BGR.size() == size_t(Picture.Width) * size_t(Picture.Height) * 3,
          "TakeBitmap24 of a whole picture");
    FWidth = Picture.Width;
    FHeight = Picture.Height;
    Data.resize(size_t(FWidth) * size_t(FHeight) * 4);
    for (int row = 0; row < FHeight; ++row) {
        // The picture's top row goes to the last row of Data (first with TopDownRows).
        const int source = TopDownRows ? FHeight - 1 - row : row;
        const uint8_t *s = &Picture.BGR[size_t(source) * size_t(FWidth) * 3];
        uint8_t *d = &Data[size_t(FHeight - 1 - row) * size_t(FWidth) * 4];
        for (int x = 0; x < FWidth; ++x, s += 3, d += 4) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = 255;
        }
    }
}

void TGLBitmap32::ResizeWidth(int W)
{
    Check(W >= 0, "ResizeWidth of a negative width");
    W = (W + 3) / 4 * 4;
    if (W == FWidth)
        return;
    FWidth = W;
    Data.resize(size_t(FWidth) * size_t(FHeight) * 4);
}

void TGLBitmap32::ResizeHeight(int H)
{
    Check(H >= 0, "ResizeHeight of a negative height");
    if (H == FHeight)
        return;
    FHeight = H;
    Data.resize(size_t(FWidth) * size_t(FHeight) * 4);
}

void TGLBitmap32::AlphaFromIntensity()
{
    for (size_t i = 0; i + 3 < Data.size(); i += 4)
        Data[i + 3] = uint8_t((Data[i] + Data[i + 1] + Data[i + 2]) / 3);
}

void TGLBitmap32::AlphaKeyColor(uint32_t WinColor)
{
    const uint8_t key[3] = {uint8_t(WinColor), uint8_t(WinColor >> 8), uint8_t(WinColor >> 16)};
    AlphaKeyPixel(key);
}

void TGLBitmap32::AlphaKeyPixel(const uint8_t *Pixel)
{
    const uint8_t r = Pixel[0], g = Pixel[1], b = Pixel[2];
    for (size_t i = 0; i + 3 < Data.size(); i += 4)
        Data[i + 3] = (Data[i] == r && Data[i + 1] == g && Data[i + 2] == b) ? 0 : 255;
}

void TGLBitmap32::AlphaFill(uint8_t Value)
{
    for (size_t i = 3; i < Data.size(); i += 4)
        Data[i] = Value;
}

void TGLBitmap32::AlphaSqrtIntensity()
{
    const uint8_t *ramp = SqrtRamp255();
    for (size_t i = 0; i + 3 < Data.size(); i += 4)
        Data[i + 3] = ramp[(Data[i] + Data[i + 1] + Data[i + 2]) / 3];
}

void TGLBitmap32::UploadTexture(GLenum Target, TGLMinFilter MinFilter, GLenum InternalFormat,
                                int &SentWidth, int &SentHeight) const
{
    SentWidth = SentHeight = 0;
    if (Data.empty())
        return;
    const TGLEntryTable &g = GL();
    GLint maxSize = 0;
    g.glGetIntegerv(gl::MAX_TEXTURE_SIZE, &maxSize);
    int w2 = NextPowerOfTwo(FWidth), h2 = NextPowerOfTwo(FHeight);
    if (maxSize > 0) {
        w2 = std::min(w2, maxSize);
        h2 = std::min(h2, maxSize);
    }
    SentWidth = w2;
    SentHeight = h2;
    std::vector<uint8_t> scaled; // freed on every exit
    const void *pixels = Data.data();
    if (w2 != FWidth || h2 != FHeight) {
        scaled.resize(size_t(w2) * size_t(h2) * 4);
        g.gluScaleImage(gl::RGBA, FWidth, FHeight, gl::UNSIGNED_BYTE, Data.data(), w2, h2,
                        gl::UNSIGNED_BYTE, scaled.data());
        pixels = scaled.data();
    }
    if (MinFilter == miNearest || MinFilter == miLinear)
        g.glTexImage2D(Target, 0, GLint(InternalFormat), w2, h2, 0, gl::RGBA, gl::UNSIGNED_BYTE,
                       pixels);
    else
        g.gluBuild2DMipmaps(Target, GLint(InternalFormat), w2, h2, gl::RGBA, gl::UNSIGNED_BYTE,
                            pixels);
}

} // namespace orv
