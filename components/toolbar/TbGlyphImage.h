#pragma once
// Glyph images of the toolbar buttons: 32-bit bitmaps, the image lists of one
// fixed size that all buttons share through one process-wide cache, and the
// per-button glyph (TButtonGlyph) that cuts state images from a strip or an
// image list on first use and generates the embossed disabled image.

#include "components/toolbar/TbTypes.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace orv {

// A 32-bit bitmap, pixels 0xAARRGGBB row by row; alpha 0 is transparent.
struct TBitmap32 {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;

    TBitmap32() = default;
    TBitmap32(int W, int H, uint32_t Fill = 0xFF000000u);
    bool Empty() const { return Width <= 0 || Height <= 0; }
    uint32_t Pixel(int X, int Y) const { return Pixels[size_t(Y) * Width + X]; }
    void SetPixel(int X, int Y, uint32_t Value) { Pixels[size_t(Y) * Width + X] = Value; }
    uint32_t Rgb(int X, int Y) const { return Pixel(X, Y) & 0xFFFFFFu; }
    bool Opaque(int X, int Y) const { return (Pixel(X, Y) >> 24) != 0; }
    bool operator==(const TBitmap32 &) const = default;
};

// Cell Index (of width CellWidth) of a strip.
TBitmap32 CutCell(const TBitmap32 &Strip, int Index, int CellWidth);
// Pixels of colour Transparent (0xRRGGBB) become transparent.
TBitmap32 WithMaskColour(const TBitmap32 &Image, uint32_t Transparent);
// Pixels whose mask pixel is white become transparent.
TBitmap32 WithMask(const TBitmap32 &Image, const TBitmap32 &Mask);

// The embossed disabled image of a cell, one pixel wider and higher: the
// shape in highlight at (1, 1), then in shadow at (0, 0), the rest
// transparent. The shape: every pixel that is opaque and neither white nor
// silver ($C0C0C0); with OldStyle only the black ones (with an explicit mask,
// the masked shape itself).
TBitmap32 EmbossDisabled(const TBitmap32 &Cell, bool OldStyle, bool HasExplicitMask);

// A strip's own disabled cell: white becomes highlight, grey ($808080) shadow.
TBitmap32 RecolourDisabledCell(const TBitmap32 &Cell);

// An image list of one fixed size that keeps a bit set of used slots.
class TGlyphList {
public:
    TGlyphList(int Width, int Height) : FWidth(Width), FHeight(Height) {}
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return FCount; }
    // Glyphs that hold this list (taken with GetList, given back with ReturnList).
    int Users() const { return FUsers; }
    // Adds Image (already transparent) into the first free slot. An image
    // smaller than the list's size raises "Invalid image size".
    int Add(const TBitmap32 &Image);
    // Replaces slot Index; a wrong size or a free slot raises "Unable to Replace Image".
    void Replace(int Index, const TBitmap32 &Image);
    void Delete(int Index);
    const TBitmap32 &Image(int Index) const { return FImages[Index]; }

private:
    int AllocateIndex();
    int FWidth;
    int FHeight;
    int FCount = 0;
    int FUsers = 0;
    std::vector<bool> FUsed;
    friend class TGlyphCache;
    std::vector<TBitmap32> FImages;
};

// The process-wide list of glyph lists, one per image size.
class TGlyphCache {
public:
    // The list of that size, taken by one more glyph.
    TGlyphList *GetList(int Width, int Height);
    // A glyph gives its list back; the list goes with its last glyph, so
    // it lives as long as any glyph points at it.
    void ReturnList(TGlyphList *List);
    bool Empty() const { return FLists.empty(); }
    int ListCount() const { return int(FLists.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> FLists;
};

// The glyph cache while any glyph needs it (nullptr otherwise).
TGlyphCache *GlyphCache();

// An image list with a change notification, as buttons take their image
// from with Images and ImageIndex.
class TImageList {
public:
    TImageList(int Width, int Height) : FWidth(Width), FHeight(Height) {}
    ~TImageList();
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return int(FImages.size()); }
    // Image is made transparent with its bottom-left pixel's colour.
    int AddMasked(const TBitmap32 &Image);
    const TBitmap32 &Image(int Index) const { return FImages[Index]; }
    void Replace(int Index, const TBitmap32 &Image);

    // Change links: OnChange after every change, OnFree when the list goes.
    int RegisterChanges(std::function<void()> OnChange, std::function<void()> OnFree);
    void UnRegisterChanges(int Link);

private:
    void Changed();
    struct TLink {
        std::function<void()> OnChange;
        std::function<void()> OnFree;
    };
    int FWidth;
    int FHeight;
    std::vector<TBitmap32> FImages;
    std::map<int, TLink> FLinks;
    int FNextLink = 1;
};

// The glyph of one button: the source strip (or image-list entry), NumGlyphs
// and the built state images, shared through the glyph cache.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph &) = delete;
    TButtonGlyph &operator=(const TButtonGlyph &) = delete;

    const TBitmap32 &Glyph() const { return FGlyph; }
    // Drops the built images, takes the strip and derives NumGlyphs.
    void SetGlyph(const TBitmap32 &Strip);
    const TBitmap32 &GlyphMask() const { return FMask; }
    void SetGlyphMask(const TBitmap32 &Mask);
    int NumGlyphs() const { return FNumGlyphs; }
    // 0, above 5, or any value while an image list is used, becomes 1.
    void SetNumGlyphs(int Value);
    TImageList *Images() const { return FImages; }
    void SetImages(TImageList *List);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Index);
    bool OldDisabledStyle() const { return FOldDisabledStyle; }
    void SetOldDisabledStyle(bool Value);
    // The strip's bottom-left pixel, taken when the strip changes.
    uint32_t TransparentColour() const { return FTransparent; }

    // Size of one image: the image list's, else strip width / NumGlyphs x height.
    TSize ImageSize() const;
    // The image of a state, built on first use; nullptr when there is none
    // (empty strip, or an image index outside the list).
    const TBitmap32 *StateImage(TButtonDrawState State);
    // Drops every built image and returns the lists to the cache.
    void Invalidate();

    // Fired after an invalidation that follows a change of the strip or of
    // the image list (the button redraws).
    std::function<void()> OnChange;

private:
    TBitmap32 BuildImage(int Index, bool &Disabled) const;
    bool UsesImageList() const { return FImages != nullptr; }
    void ImagesChanged();

    TBitmap32 FGlyph;
    TBitmap32 FMask;
    TImageList *FImages = nullptr;
    int FImageLink = 0;
    int FImageIndex = -1;
    int FNumGlyphs = 1;
    uint32_t FTransparent = 0;
    bool FOldDisabledStyle = false;
    TGlyphList *FNormalList = nullptr;
    TGlyphList *FDisabledList = nullptr;
    int FIndexs[2][5]; // [0] disabled list, [1] normal list; -1 not built
};

} // namespace orv
