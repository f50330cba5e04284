#pragma once
// Growable arrays of fixed-size values in one contiguous block: affine and
// homogeneous vectors, texture points and singles, archivable as persistent
// objects. The render pass sorts scene objects by a TSingleList of
// distances (SortByKeys).

#include "view3d/geometry/PersistentClasses.h"
#include "view3d/geometry/VectorTypes.h"

#include <vector>

namespace orv {

class EAbstractError : public std::logic_error {
public:
    EAbstractError() : std::logic_error("Abstract error") {}
};

class TBaseList : public TPersistentObject {
public:
    int Count() const { return FCount; }
    int Capacity() const { return FCapacity; }
    int ItemSize() const { return FItemSize; }
    int GrowthDelta = 16;
    bool ZeroFillOnGrow = true;

    // N >= 0 (assertion). Grows the capacity to exactly N when needed; with
    // ZeroFillOnGrow the new entries are zero.
    void ResizeCount(int N);
    // Keeps the entries that fit.
    virtual void ResizeCapacity(int N);
    void ClearList();
    void Exchange(int I, int J);

    // Version 0, Count, ItemSize, then the raw entries. Reading refuses an
    // item size not its own, a negative count and a count the stream does
    // not hold (EReadError "Broken ObjectList archive" / "Stream read error").
    void WriteArchive(TVirtualWriter &Writer) const override;
    void ReadArchive(TVirtualReader &Reader) override;

protected:
    explicit TBaseList(int ItemSize) : FItemSize(ItemSize) {}
    unsigned char *Item(int I) { return FData.data() + size_t(I) * size_t(FItemSize); }
    const unsigned char *Item(int I) const
    {
        return FData.data() + size_t(I) * size_t(FItemSize);
    }
    // Makes room for one more entry (growing by GrowthDelta) and returns its index.
    int AppendSlot();
    // From another list: capacity and count of the source, its growth delta,
    // and its entries when it is of this list's class.
    void AssignTo(TPersistent &Dest) const override;

private:
    int FItemSize;
    int FCount = 0;
    int FCapacity = 0;
    std::vector<unsigned char> FData;
};

// Entries whose first three singles are an affine vector.
class TBaseVectorList : public TBaseList {
public:
    TAffineVec3f *ItemAddress(int I) { return reinterpret_cast<TAffineVec3f *>(Item(I)); }
    const TAffineVec3f *ItemAddress(int I) const
    {
        return reinterpret_cast<const TAffineVec3f *>(Item(I));
    }
    // An empty list leaves Min at +infinity and Max at -infinity.
    void GetExtents(TAffineVec3f &Min, TAffineVec3f &Max) const;
    TAffineVec3f Sum() const;
    virtual void NormalizeAll();
    // Largest AffineSpacing of entries with equal index; equal counts (assertion).
    float MaxSpacing(const TBaseVectorList &Other) const;
    virtual void Translate(const TAffineVec3f &Delta);
    void TranslateBy(const TBaseVectorList &Other);
    void CombineWith(const TBaseVectorList &Other, float Factor);
    // Rotation angles (radians) interpolated entry by entry.
    void InterpolateAngleFrom(const TBaseVectorList &List1, const TBaseVectorList &List2, float T);
    // EAbstractError unless both lists are of this class; equal counts (assertion).
    virtual void LerpFrom(const TBaseVectorList &List1, const TBaseVectorList &List2, float T);

    void WriteArchive(TVirtualWriter &Writer) const override;
    void ReadArchive(TVirtualReader &Reader) override;

protected:
    using TBaseList::TBaseList;
};

class TAffineVectorList : public TBaseVectorList {
public:
    TAffineVectorList() : TBaseVectorList(sizeof(TAffineVec3f)) {}
    TAffineVec3f &operator[](int I) { return *ItemAddress(I); }
    const TAffineVec3f &operator[](int I) const { return *ItemAddress(I); }
    int Add(const TAffineVec3f &V);
    void NormalizeAll() override;
    void Translate(const TAffineVec3f &Delta) override;
    void LerpFrom(const TBaseVectorList &List1, const TBaseVectorList &List2, float T) override;
};

class TVectorList : public TBaseVectorList {
public:
    TVectorList() : TBaseVectorList(sizeof(TVector4f)) {}
    TVector4f &operator[](int I) { return *reinterpret_cast<TVector4f *>(Item(I)); }
    const TVector4f &operator[](int I) const
    {
        return *reinterpret_cast<const TVector4f *>(Item(I));
    }
    int Add(const TVector4f &V);
    void LerpFrom(const TBaseVectorList &List1, const TBaseVectorList &List2, float T) override;
};

class TTexPointList : public TBaseList {
public:
    TTexPointList() : TBaseList(sizeof(TTexPoint)) {}
    TTexPoint &operator[](int I) { return *reinterpret_cast<TTexPoint *>(Item(I)); }
    const TTexPoint &operator[](int I) const
    {
        return *reinterpret_cast<const TTexPoint *>(Item(I));
    }
    int Add(const TTexPoint &P);
};

class TSingleList : public TBaseList {
public:
    TSingleList() : TBaseList(sizeof(float)) {}
    float &operator[](int I) { return *reinterpret_cast<float *>(Item(I)); }
    float operator[](int I) const { return *reinterpret_cast<const float *>(Item(I)); }
    int AddValue(float Value);
};

// Sorts Keys[First..Last] ascending (keys must not be negative) and applies
// every exchange to Objects, so object i stays paired with key i. Not stable.
void SortByKeys(int First, int Last, TSingleList &Keys, std::vector<void *> &Objects);

} // namespace orv
