#include "view3d/geometry/VectorLists.h"

#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"

#include <bit>
#include <cstring>
#include <limits>
#include <typeinfo>

namespace orv {

namespace {

const struct TRegisterLists {
    TRegisterLists()
    {
        RegisterPersistentClass<TAffineVectorList>("TAffineVectorList");
        RegisterPersistentClass<TVectorList>("TVectorList");
        RegisterPersistentClass<TTexPointList>("TTexPointList");
        RegisterPersistentClass<TSingleList>("TSingleList");
    }
} gRegisterLists;

// Raw entries are read in pieces of this size, so a count the stream does
// not hold allocates no more than the stream had.
constexpr size_t cReadPiece = 65536;

} // namespace

// ---- TBaseList ----

void TBaseList::ResizeCount(int N)
{
    Check(N >= 0, "ResizeCount of a negative count");
    if (N > FCapacity)
        ResizeCapacity(N);
    if (ZeroFillOnGrow && N > FCount)
        std::memset(Item(FCount), 0, size_t(N - FCount) * size_t(FItemSize));
    FCount = N;
}

void TBaseList::ResizeCapacity(int N)
{
    if (N == FCapacity)
        return;
    FData.resize(size_t(N) * size_t(FItemSize));
    FData.shrink_to_fit();
    FCapacity = N;
    if (FCount > N)
        FCount = N;
}

void TBaseList::ClearList()
{
    FCount = 0;
    ResizeCapacity(0);
}

void TBaseList::Exchange(int I, int J)
{
    Check(I >= 0 && I < FCount && J >= 0 && J < FCount, "Exchange index in range");
    std::swap_ranges(Item(I), Item(I) + FItemSize, Item(J));
}

int TBaseList::AppendSlot()
{
    if (FCount == FCapacity)
        ResizeCapacity(FCapacity + GrowthDelta);
    return FCount++;
}

void TBaseList::AssignTo(TPersistent &Dest) const
{
    auto *dest = dynamic_cast<TBaseList *>(&Dest);
    if (!dest) {
        TPersistentObject::AssignTo(Dest);
        return;
    }
    if (dest == this)
        return;
    dest->ResizeCapacity(FCount);
    dest->GrowthDelta = GrowthDelta;
    dest->FCount = FCount;
    if (FCount == 0)
        return;
    if (typeid(*dest) == typeid(*this))
        std::memcpy(dest->Item(0), Item(0), size_t(FCount) * size_t(FItemSize));
    else
        std::memset(dest->Item(0), 0, size_t(FCount) * size_t(dest->FItemSize));
}

void TBaseList::WriteArchive(TVirtualWriter &Writer) const
{
    Writer.PutInteger(0);
    Writer.PutInteger(FCount);
    Writer.PutInteger(FItemSize);
    if (FCount > 0)
        Writer.PutBytes(Item(0), size_t(FCount) * size_t(FItemSize));
}

void TBaseList::ReadArchive(TVirtualReader &Reader)
{
    const int32_t version = Reader.GetInteger();
    if (version != 0)
        RaiseVersionError(version);
    const int32_t count = Reader.GetInteger();
    const int32_t itemSize = Reader.GetInteger();
    if (count < 0 || itemSize != FItemSize)
        throw EReadError(SBrokenObjectListArchive);
    ClearList();
    const size_t total = size_t(count) * size_t(FItemSize);
    std::vector<unsigned char> data;
    while (data.size() < total) {
        const size_t n = std::min(cReadPiece, total - data.size());
        const size_t at = data.size();
        data.resize(at + n);
        Reader.GetBytes(data.data() + at, n);
    }
    FData = std::move(data);
    FCapacity = count;
    FCount = count;
}

// ---- TBaseVectorList ----

void TBaseVectorList::GetExtents(TAffineVec3f &Min, TAffineVec3f &Max) const
{
    const float inf = std::numeric_limits<float>::infinity();
    Min = {inf, inf, inf};
    Max = {-inf, -inf, -inf};
    for (int i = 0; i < Count(); ++i) {
        const TAffineVec3f &v = *ItemAddress(i);
        for (int k = 0; k < 3; ++k) {
            if (v[k] < Min[k])
                Min[k] = v[k];
            if (v[k] > Max[k])
                Max[k] = v[k];
        }
    }
}

TAffineVec3f TBaseVectorList::Sum() const
{
    TAffineVec3f s;
    for (int i = 0; i < Count(); ++i)
        AffineAddTo(s, *ItemAddress(i));
    return s;
}

void TBaseVectorList::NormalizeAll()
{
    for (int i = 0; i < Count(); ++i)
        AffineNormalize(*ItemAddress(i));
}

float TBaseVectorList::MaxSpacing(const TBaseVectorList &Other) const
{
    Check(Other.Count() == Count(), "MaxSpacing of lists of equal count");
    float m = 0;
    for (int i = 0; i < Count(); ++i) {
        const float s = float(AffineSpacing(*ItemAddress(i), *Other.ItemAddress(i)));
        if (s > m)
            m = s;
    }
    return m;
}

void TBaseVectorList::Translate(const TAffineVec3f &Delta)
{
    for (int i = 0; i < Count(); ++i)
        AffineAddTo(*ItemAddress(i), Delta);
}

void TBaseVectorList::TranslateBy(const TBaseVectorList &Other)
{
    Check(Other.Count() >= Count(), "TranslateBy a list at least as long");
    for (int i = 0; i < Count(); ++i)
        AffineAddTo(*ItemAddress(i), *Other.ItemAddress(i));
}

void TBaseVectorList::CombineWith(const TBaseVectorList &Other, float Factor)
{
    Check(Other.Count() >= Count(), "CombineWith a list at least as long");
    for (int i = 0; i < Count(); ++i)
        AffineCombineInto(*ItemAddress(i), *Other.ItemAddress(i), Factor);
}

void TBaseVectorList::InterpolateAngleFrom(const TBaseVectorList &List1,
                                           const TBaseVectorList &List2, float T)
{
    Check(List1.Count() == List2.Count(), "InterpolateAngleFrom lists of equal count");
    ResizeCount(List1.Count());
    for (int i = 0; i < Count(); ++i)
        *ItemAddress(i) = InterpolateAngle(*List1.ItemAddress(i), *List2.ItemAddress(i), T);
}

void TBaseVectorList::LerpFrom(const TBaseVectorList &, const TBaseVectorList &, float)
{
    throw EAbstractError();
}

void TBaseVectorList::WriteArchive(TVirtualWriter &Writer) const
{
    TBaseList::WriteArchive(Writer);
    Writer.PutInteger(0);
}

void TBaseVectorList::ReadArchive(TVirtualReader &Reader)
{
    TBaseList::ReadArchive(Reader);
    const int32_t version = Reader.GetInteger();
    if (version != 0)
        RaiseVersionError(version);
}

// ---- typed lists ----

int TAffineVectorList::Add(const TAffineVec3f &V)
{
    const int i = AppendSlot();
    (*this)[i] = V;
    return i;
}

void TAffineVectorList::NormalizeAll()
{
    if (Count() > 0)
        AffineArrayNormalize(ItemAddress(0), Count());
}

void TAffineVectorList::Translate(const TAffineVec3f &Delta)
{
    if (Count() > 0)
        AffineArrayOffset(ItemAddress(0), Delta, Count(), ItemAddress(0));
}

void TAffineVectorList::LerpFrom(const TBaseVectorList &List1, const TBaseVectorList &List2,
                                 float T)
{
    auto *a = dynamic_cast<const TAffineVectorList *>(&List1);
    auto *b = dynamic_cast<const TAffineVectorList *>(&List2);
    if (!a || !b)
        throw EAbstractError();
    Check(a->Count() == b->Count(), "LerpFrom lists of equal count");
    ResizeCount(a->Count());
    if (Count() > 0)
        AffineArrayLerp(a->ItemAddress(0), b->ItemAddress(0), T, Count(), ItemAddress(0));
}

int TVectorList::Add(const TVector4f &V)
{
    const int i = AppendSlot();
    (*this)[i] = V;
    return i;
}

void TVectorList::LerpFrom(const TBaseVectorList &List1, const TBaseVectorList &List2, float T)
{
    auto *a = dynamic_cast<const TVectorList *>(&List1);
    auto *b = dynamic_cast<const TVectorList *>(&List2);
    if (!a || !b)
        throw EAbstractError();
    Check(a->Count() == b->Count(), "LerpFrom lists of equal count");
    ResizeCount(a->Count());
    if (Count() > 0)
        HomogeneousArrayLerp(&(*a)[0], &(*b)[0], T, Count(), &(*this)[0]);
}

int TTexPointList::Add(const TTexPoint &P)
{
    const int i = AppendSlot();
    (*this)[i] = P;
    return i;
}

int TSingleList::AddValue(float Value)
{
    const int i = AppendSlot();
    (*this)[i] = Value;
    return i;
}

// ---- SortByKeys ----

namespace {

// The outermost partition compares the keys' bit patterns as signed
// integers (the same order as the values for non-negative singles); the
// recursive sorts compare the singles.
bool KeyLess(float A, float B, bool AsBits)
{
    if (AsBits)
        return std::bit_cast<int32_t>(A) < std::bit_cast<int32_t>(B);
    return A < B;
}

void QuickSortByKeys(int Lo, int Hi, TSingleList &Keys, std::vector<void *> &Objects,
                     bool AsBits)
{
    while (Lo < Hi) {
        const float pivot = Keys[(Lo + Hi) / 2];
        int i = Lo, j = Hi;
        do {
            while (KeyLess(Keys[i], pivot, AsBits))
                ++i;
            while (KeyLess(pivot, Keys[j], AsBits))
                --j;
            if (i <= j) {
                Keys.Exchange(i, j);
                std::swap(Objects[size_t(i)], Objects[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (Lo < j)
            QuickSortByKeys(Lo, j, Keys, Objects, false);
        Lo = i;
    }
}

} // namespace

void SortByKeys(int First, int Last, TSingleList &Keys, std::vector<void *> &Objects)
{
    if (Last <= First)
        return;
    Check(First >= 0 && Last < Keys.Count() && size_t(Last) < Objects.size(),
          "SortByKeys range inside both lists");
    if (Last == First + 1) {
        if (Keys[Last] < Keys[First]) {
            Keys.Exchange(First, Last);
            std::swap(Objects[size_t(First)], Objects[size_t(Last)]);
        }
        return;
    }
    QuickSortByKeys(First, Last, Keys, Objects, true);
}

} // namespace orv
