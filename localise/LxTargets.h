#pragma once
// The target list of a form translator: which properties of which classes
// are translated. An entry names a class (empty: any class) and a property
// (empty: every translatable property of that class) and includes or
// excludes them; names compare without regard to letter case. Stored with
// the form as "TargetsData" (version 1; a later version raises ELxError
// "Unknown target properties data version: " + number).

#include <string>
#include <vector>

namespace orv {

class TLxStoredReader;
class TLxStoredWriter;

enum TLxTargetKind { lxtkInclude = 0, lxtkExclude = 1 };

struct TLxTargetProperty {
    std::string ClassName;
    std::string PropertyName;
    TLxTargetKind Kind = lxtkInclude;

    bool Matches(const std::string &Class, const std::string &Property) const;
    bool operator==(const TLxTargetProperty &Other) const;
};

class TLxTargetProperties {
public:
    // An entry equal to one present is not added twice.
    void Add(const std::string &Class, const std::string &Property,
             TLxTargetKind Kind = lxtkInclude);
    void Clear();
    bool Empty() const { return FItems.empty(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    int ExclusionCount() const { return FExclusions; }
    const TLxTargetProperty &Item(int Index) const { return FItems[Index]; }
    bool Contains(const TLxTargetProperty &Entry) const;
    // No exclusion matches and at least one inclusion does.
    bool IsTarget(const std::string &Class, const std::string &Property) const;

    // "TargetsData": a list of version 1, the count and per entry a list of
    // class, property and kind. Only entries the ancestor's list lacks are
    // written (all of them without an ancestor).
    void ReadData(TLxStoredReader &Reader);
    void WriteData(TLxStoredWriter &Writer, const TLxTargetProperties *Ancestor) const;
    // Whether "TargetsData" is stored at all.
    bool ShouldStore(const TLxTargetProperties *Ancestor) const;
    // Older forms' "Data": the count, then class and property per entry.
    void ReadOldData(TLxStoredReader &Reader);

    bool operator==(const TLxTargetProperties &Other) const { return FItems == Other.FItems; }

private:
    std::vector<TLxTargetProperty> FItems;
    int FExclusions = 0;
};

} // namespace orv
