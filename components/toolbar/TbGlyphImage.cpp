#include "components/toolbar/TbGlyphImage.h"

#include "components/toolbar/TbGlyphLayout.h"

namespace orv {

namespace {

constexpr uint32_t OpaqueBit = 0xFF000000u;
constexpr uint32_t Transparent = 0x00000000u;

uint32_t Opaque(uint32_t Rgb) { return OpaqueBit | (Rgb & 0xFFFFFFu); }

bool IsWhiteOrSilver(uint32_t Rgb) { return Rgb == 0xFFFFFFu || Rgb == 0xC0C0C0u; }

bool InDisabledShape(const TBitmap32 &Cell, int X, int Y, bool OldStyle, bool HasExplicitMask)
{
    if (!Cell.Opaque(X, Y))
        return false;
    if (OldStyle)
        return HasExplicitMask || Cell.Rgb(X, Y) == 0;
    return !IsWhiteOrSilver(Cell.Rgb(X, Y));
}

std::unique_ptr<TGlyphCache> GCache;

} // namespace

TBitmap32::TBitmap32(int W, int H, uint32_t Fill)
    : Width(W), Height(H), Pixels(size_t(W > 0 ? W : 0) * size_t(H > 0 ? H : 0), Fill)
{
}

TBitmap32 CutCell(const TBitmap32 &Strip, int Index, int CellWidth)
{
    TBitmap32 cell(CellWidth, Strip.Height);
    const int x0 = Index * CellWidth;
    for (int y = 0; y < Strip.Height; ++y)
        for (int x = 0; x < CellWidth && x0 + x < Strip.Width; ++x)
            cell.SetPixel(x, y, Strip.Pixel(x0 + x, y));
    return cell;
}

TBitmap32 WithMaskColour(const TBitmap32 &Image, uint32_t TransparentRgb)
{
    TBitmap32 out = Image;
    for (uint32_t &p : out.Pixels)
        p = (p & 0xFFFFFFu) == (TransparentRgb & 0xFFFFFFu) ? Transparent : Opaque(p);
    return out;
}

TBitmap32 WithMask(const TBitmap32 &Image, const TBitmap32 &Mask)
{
    TBitmap32 out = Image;
    for (int y = 0; y < out.Height; ++y)
        for (int x = 0; x < out.Width; ++x) {
            bool masked = x < Mask.Width && y < Mask.Height && Mask.Rgb(x, y) == 0xFFFFFFu;
            out.SetPixel(x, y, masked ? Transparent : Opaque(out.Pixel(x, y)));
        }
    return out;
}

TBitmap32 EmbossDisabled(const TBitmap32 &Cell, bool OldStyle, bool HasExplicitMask)
{
    const TSysColors &c = SysColors();
    TBitmap32 out(Cell.Width + 1, Cell.Height + 1, Transparent);
    for (int y = 0; y < Cell.Height; ++y)
        for (int x = 0; x < Cell.Width; ++x)
            if (InDisabledShape(Cell, x, y, OldStyle, HasExplicitMask))
                out.SetPixel(x + 1, y + 1, Opaque(c.BtnHighlight));
    for (int y = 0; y < Cell.Height; ++y)
        for (int x = 0; x < Cell.Width; ++x)
            if (InDisabledShape(Cell, x, y, OldStyle, HasExplicitMask))
                out.SetPixel(x, y, Opaque(c.BtnShadow));
    // The face colour is the transparent colour of the built image.
    for (uint32_t &p : out.Pixels)
        if (p == Opaque(c.BtnFace))
            p = Transparent;
    return out;
}

TBitmap32 RecolourDisabledCell(const TBitmap32 &Cell)
{
    const TSysColors &c = SysColors();
    TBitmap32 out = Cell;
    for (uint32_t &p : out.Pixels) {
        if ((p >> 24) == 0)
            continue;
        if ((p & 0xFFFFFFu) == 0xFFFFFFu)
            p = Opaque(c.BtnHighlight);
        else if ((p & 0xFFFFFFu) == 0x808080u)
            p = Opaque(c.BtnShadow);
    }
    return out;
}

// ---------------------------------------------------------------- TGlyphList

int TGlyphList::AllocateIndex()
{
    for (size_t i = 0; i < FUsed.size(); ++i)
        if (!FUsed[i]) {
            FUsed[i] = true;
            ++FCount;
            return int(i);
        }
    FUsed.push_back(true);
    FImages.emplace_back(FWidth, FHeight, Transparent);
    ++FCount;
    return int(FUsed.size()) - 1;
}

int TGlyphList::Add(const TBitmap32 &Image)
{
    if (Image.Width < FWidth || Image.Height < FHeight)
        throw EInvalidOperation("Invalid image size");
    int index = AllocateIndex();
    FImages[index] = CutCell(Image, 0, FWidth);
    FImages[index].Height = FHeight;
    FImages[index].Pixels.resize(size_t(FWidth) * FHeight);
    return index;
}

void TGlyphList::Replace(int Index, const TBitmap32 &Image)
{
    bool valid = Index >= 0 && Index < int(FUsed.size()) && FUsed[Index];
    if (!valid || Image.Width != FWidth || Image.Height != FHeight)
        throw EInvalidOperation("Unable to Replace Image");
    FImages[Index] = Image;
}

void TGlyphList::Delete(int Index)
{
    if (Index < 0 || Index >= int(FUsed.size()) || !FUsed[Index])
        return;
    FUsed[Index] = false;
    --FCount;
}

// --------------------------------------------------------------- TGlyphCache

TGlyphList *TGlyphCache::GetList(int Width, int Height)
{
    for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
        if ((*it)->Width() == Width && (*it)->Height() == Height) {
            ++(*it)->FUsers;
            return it->get();
        }
    FLists.push_back(std::make_unique<TGlyphList>(Width, Height));
    FLists.back()->FUsers = 1;
    return FLists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList *List)
{
    for (auto it = FLists.begin(); it != FLists.end(); ++it)
        if (it->get() == List) {
            if (--List->FUsers == 0)
                FLists.erase(it);
            return;
        }
}

TGlyphCache *GlyphCache() { return GCache.get(); }

// ---------------------------------------------------------------- TImageList

TImageList::~TImageList()
{
    auto links = FLinks;
    for (auto &[id, link] : links)
        Fire(link.OnFree);
}

int TImageList::AddMasked(const TBitmap32 &Image)
{
    uint32_t key = Image.Empty() ? 0 : Image.Rgb(0, Image.Height - 1);
    FImages.push_back(WithMaskColour(Image, key));
    Changed();
    return Count() - 1;
}

void TImageList::Replace(int Index, const TBitmap32 &Image)
{
    if (Index < 0 || Index >= Count() || Image.Width != FWidth || Image.Height != FHeight)
        throw EInvalidOperation("Unable to Replace Image");
    FImages[Index] = Image;
    Changed();
}

int TImageList::RegisterChanges(std::function<void()> OnChange, std::function<void()> OnFree)
{
    FLinks[FNextLink] = {std::move(OnChange), std::move(OnFree)};
    return FNextLink++;
}

void TImageList::UnRegisterChanges(int Link) { FLinks.erase(Link); }

void TImageList::Changed()
{
    auto links = FLinks;
    for (auto &[id, link] : links)
        Fire(link.OnChange);
}

// -------------------------------------------------------------- TButtonGlyph

TButtonGlyph::TButtonGlyph()
{
    for (auto &row : FIndexs)
        for (int &i : row)
            i = -1;
    if (!GCache)
        GCache = std::make_unique<TGlyphCache>();
}

TButtonGlyph::~TButtonGlyph()
{
    OnChange = nullptr;
    Invalidate();
    if (FImages)
        FImages->UnRegisterChanges(FImageLink);
    if (GCache && GCache->Empty())
        GCache.reset();
}

void TButtonGlyph::Invalidate()
{
    for (int row = 0; row < 2; ++row)
        for (int &i : FIndexs[row]) {
            TGlyphList *list = row == 0 ? FDisabledList : FNormalList;
            if (i != -1 && list)
                list->Delete(i);
            i = -1;
        }
    if (GCache) {
        GCache->ReturnList(FNormalList);
        GCache->ReturnList(FDisabledList);
    }
    FNormalList = nullptr;
    FDisabledList = nullptr;
}

void TButtonGlyph::SetGlyph(const TBitmap32 &Strip)
{
    Invalidate();
    FGlyph = Strip;
    FTransparent = Strip.Empty() ? 0 : Strip.Rgb(0, Strip.Height - 1);
    FNumGlyphs = DeriveNumGlyphs(Strip.Width, Strip.Height, UsesImageList());
    Fire(OnChange);
}

void TButtonGlyph::SetGlyphMask(const TBitmap32 &Mask)
{
    Invalidate();
    FMask = Mask;
}

void TButtonGlyph::SetNumGlyphs(int Value)
{
    if (Value <= 0 || Value > 5 || UsesImageList())
        Value = 1;
    if (Value == FNumGlyphs)
        return;
    Invalidate();
    FNumGlyphs = Value;
}

void TButtonGlyph::SetImages(TImageList *List)
{
    if (List == FImages)
        return;
    if (FImages)
        FImages->UnRegisterChanges(FImageLink);
    FImages = List;
    FImageLink = 0;
    if (FImages)
        FImageLink =
            FImages->RegisterChanges([this] { ImagesChanged(); }, [this] { SetImages(nullptr); });
    FNumGlyphs = UsesImageList() ? 1 : DeriveNumGlyphs(FGlyph.Width, FGlyph.Height, false);
    ImagesChanged();
}

void TButtonGlyph::ImagesChanged()
{
    Invalidate();
    Fire(OnChange);
}

void TButtonGlyph::SetImageIndex(int Index)
{
    if (Index == FImageIndex)
        return;
    FImageIndex = Index;
    if (FImages)
        ImagesChanged();
}

void TButtonGlyph::SetOldDisabledStyle(bool Value)
{
    FOldDisabledStyle = Value;
    Invalidate();
}

TSize TButtonGlyph::ImageSize() const
{
    if (FImages)
        return {FImages->Width(), FImages->Height()};
    if (FGlyph.Empty())
        return {};
    return {FGlyph.Width / FNumGlyphs, FGlyph.Height};
}

TBitmap32 TButtonGlyph::BuildImage(int Index, bool &Disabled) const
{
    const TSize size = ImageSize();
    const bool generateDisabled = Index == int(bsDisabled) && FNumGlyphs < 2;
    TBitmap32 cell;
    bool explicitMask = false;
    if (FImages) {
        cell = FImages->Image(FImageIndex);
        explicitMask = true;
    } else {
        cell = CutCell(FGlyph, generateDisabled ? 0 : Index, size.Width);
        explicitMask = !FMask.Empty();
        cell = explicitMask
                   ? WithMask(cell, CutCell(FMask, generateDisabled ? 0 : Index, size.Width))
                   : WithMaskColour(cell, FTransparent);
    }
    Disabled = generateDisabled;
    if (generateDisabled)
        return EmbossDisabled(cell, FOldDisabledStyle, explicitMask);
    if (Index == int(bsDisabled))
        return RecolourDisabledCell(cell);
    return cell;
}

const TBitmap32 *TButtonGlyph::StateImage(TButtonDrawState State)
{
    const int index = GlyphIndexOfState(State, FNumGlyphs);
    if (FIndexs[1][index] != -1)
        return &FNormalList->Image(FIndexs[1][index]);
    if (FIndexs[0][index] != -1)
        return &FDisabledList->Image(FIndexs[0][index]);
    if (FImages && (FImageIndex < 0 || FImageIndex >= FImages->Count()))
        return nullptr;
    if (!FImages && FGlyph.Empty())
        return nullptr;
    if (!GCache)
        GCache = std::make_unique<TGlyphCache>();
    if (!FNormalList) {
        const TSize size = ImageSize();
        FNormalList = GCache->GetList(size.Width, size.Height);
        FDisabledList = GCache->GetList(size.Width + 1, size.Height + 1);
    }
    bool disabled = false;
    TBitmap32 image = BuildImage(index, disabled);
    TGlyphList *list = disabled ? FDisabledList : FNormalList;
    int slot = list->Add(image);
    FIndexs[disabled ? 0 : 1][index] = slot;
    return &list->Image(slot);
}

} // namespace orv
