#pragma once
// The 32-bit pixel buffer between a picture and OpenGL: R, G, B, A bytes,
// bottom row first (top row first with TopDownRows), alpha adjustments,
// and the upload with power-of-two scaling and mipmaps.

#include "platform/Classes.h"

#include <cstdint>
#include <vector>

namespace orv {

using GLenum = unsigned int;

// A decoded picture: 24-bit B, G, R rows, top row first, no padding.
struct TGLPicture {
    int Width = 0, Height = 0;
    std::vector<uint8_t> BGR;
    bool Empty() const { return Width == 0 || Height == 0; }
};

enum TGLMinFilter {
    miNearest, miLinear, miNearestMipmapNearest, miLinearMipmapNearest, miNearestMipmapLinear,
    miLinearMipmapLinear
};

class TGLBitmap32 : public TPersistent {
public:
    std::vector<uint8_t> Data;
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    size_t DataSize() const { return Data.size(); }
    bool TopDownRows = false;
    bool HasNoPixels() const { return FWidth == 0 || FHeight == 0; }

    void Clear();
    // A picture whose width is a multiple of 4 is taken as it is; any other
    // is first stretched to the next multiple of 4.
    void AssignPicture(const TGLPicture &Picture);
    // Width a multiple of 4 (assertion failure otherwise).
    void TakeBitmap24(const TGLPicture &Picture);
    void ResizeWidth(int W); // rounded up to a multiple of 4; negative: assertion
    void ResizeHeight(int H);

    void AlphaFromIntensity();
    void AlphaKeyColor(uint32_t WinColor); // 0x00BBGGRR
    void AlphaKeyPixel(const uint8_t *Pixel);
    void AlphaFill(uint8_t Value);
    void AlphaSqrtIntensity();

    // Sends the pixels scaled to powers of two (at most GL_MAX_TEXTURE_SIZE)
    // and reports the size sent; nothing when empty.
    void UploadTexture(GLenum Target, TGLMinFilter MinFilter, GLenum InternalFormat,
                       int &SentWidth, int &SentHeight) const;

protected:
    void AssignTo(TPersistent &Dest) const override;

private:
    int FWidth = 0, FHeight = 0;
};

} // namespace orv
