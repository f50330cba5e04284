#include "localise/LxTargets.h"

#include "localise/LxEmbedded.h"
#include "localise/LxErrors.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cctype>

namespace orv {

bool TLxTargetProperty::Matches(const std::string &Class, const std::string &Property) const
{
    if ((ClassName.empty() || SameText(ClassName, Class)) && SameText(PropertyName, Property))
        return true;
    return !ClassName.empty() && SameText(ClassName, Class) && PropertyName.empty();
}

bool TLxTargetProperty::operator==(const TLxTargetProperty &Other) const
{
    return ClassName == Other.ClassName && PropertyName == Other.PropertyName &&
           Kind == Other.Kind;
}

void TLxTargetProperties::Add(const std::string &Class, const std::string &Property,
                              TLxTargetKind Kind)
{
    const TLxTargetProperty entry{Class, Property, Kind};
    if (Contains(entry))
        return;
    FItems.push_back(entry);
    if (Kind == lxtkExclude)
        ++FExclusions;
}

void TLxTargetProperties::Clear()
{
    FItems.clear();
    FExclusions = 0;
}

bool TLxTargetProperties::Contains(const TLxTargetProperty &Entry) const
{
    return std::find(FItems.begin(), FItems.end(), Entry) != FItems.end();
}

bool TLxTargetProperties::IsTarget(const std::string &Class, const std::string &Property) const
{
    bool included = false;
    for (const TLxTargetProperty &entry : FItems) {
        if (!entry.Matches(Class, Property))
            continue;
        if (entry.Kind == lxtkExclude)
            return false;
        included = true;
    }
    return included;
}

void TLxTargetProperties::ReadData(TLxStoredReader &Reader)
{
    Reader.ListBegin();
    const int version = Reader.Integer();
    if (version > 1)
        throw ELxError("Unknown target properties data version: " + std::to_string(version));
    const int count = Reader.Integer();
    for (int i = 0; i < count; ++i) {
        Reader.ListBegin();
        const std::string className = Reader.String();
        const std::string property = Reader.String();
        const int kind = Reader.Integer();
        Reader.ListEnd();
        Add(className, property, kind == 1 ? lxtkExclude : lxtkInclude);
    }
    Reader.ListEnd();
}

void TLxTargetProperties::WriteData(TLxStoredWriter &Writer,
                                    const TLxTargetProperties *Ancestor) const
{
    std::vector<const TLxTargetProperty *> own;
    for (const TLxTargetProperty &entry : FItems)
        if (!Ancestor || !Ancestor->Contains(entry))
            own.push_back(&entry);
    Writer.ListBegin();
    Writer.Integer(1);
    Writer.Integer(static_cast<int32_t>(own.size()));
    for (const TLxTargetProperty *entry : own) {
        Writer.ListBegin();
        Writer.String(entry->ClassName);
        Writer.String(entry->PropertyName);
        Writer.Integer(entry->Kind);
        Writer.ListEnd();
    }
    Writer.ListEnd();
}

bool TLxTargetProperties::ShouldStore(const TLxTargetProperties *Ancestor) const
{
    return !FItems.empty() && (!Ancestor || !(*Ancestor == *this));
}

void TLxTargetProperties::ReadOldData(TLxStoredReader &Reader)
{
    Reader.ListBegin();
    const int count = Reader.Integer();
    for (int i = 0; i < count; ++i) {
        const std::string className = Reader.String();
        Add(className, Reader.String());
    }
    Reader.ListEnd();
}

} // namespace orv
