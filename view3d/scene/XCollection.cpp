#include "view3d/scene/XCollection.h"

#include "view3d/geometry/Assertion.h"

#include <algorithm>
#include <sstream>
#include <typeinfo>

namespace orv {

namespace {

std::vector<TXCollectionItemClass> &Classes()
{
    static std::vector<TXCollectionItemClass> c;
    return c;
}

const TXCollectionItemClass *ClassOf(const TXCollectionItem &Item)
{
    for (const TXCollectionItemClass &c : Classes())
        if (c.Type == typeid(Item))
            return &c;
    return nullptr;
}

} // namespace

void RegisterXCollectionItemClass(TXCollectionItemClass Class)
{
    Classes().push_back(std::move(Class));
}

const TXCollectionItemClass *FindItemClass(const std::string &Name)
{
    for (const TXCollectionItemClass &c : Classes())
        if (c.Name == Name)
            return &c;
    return nullptr;
}

// ---- items ----

TXCollectionItem::TXCollectionItem(TXCollection *Owner) : FOwner(Owner)
{
    if (FOwner)
        FOwner->FItems.push_back(this);
}

TXCollectionItem::~TXCollectionItem()
{
    if (FOwner) {
        auto &items = FOwner->FItems;
        items.erase(std::remove(items.begin(), items.end(), this), items.end());
    }
}

int TXCollectionItem::IndexInCollection() const
{
    if (!FOwner)
        return -1;
    auto &items = FOwner->FItems;
    return int(std::find(items.begin(), items.end(), this) - items.begin());
}

std::string TXCollectionItem::GetNamePath() const
{
    if (!FOwner)
        return ClassName();
    return FOwner->GetNamePath() + "[" + std::to_string(IndexInCollection()) + "]";
}

void TXCollectionItem::WriteItemData(TVirtualWriter &Writer) const
{
    Writer.PutInteger(0);
    Writer.PutString(Name);
}

void TXCollectionItem::ReadItemData(TVirtualReader &Reader)
{
    Check(Reader.GetInteger() == 0, "Assertion failure");
    Name = Reader.GetString();
}

void TXCollectionItem::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TXCollectionItem *>(&Dest)) {
        d->Name = Name;
        return;
    }
    TPersistent::AssignTo(Dest);
}

// ---- collection ----

TXCollection::TXCollection(TPersistent *Owner, std::string OwnerPath)
    : FOwner(Owner), FOwnerPath(std::move(OwnerPath))
{
}

TXCollection::~TXCollection() { Clear(); }

void TXCollection::Clear()
{
    std::vector<TXCollectionItem *> items;
    items.swap(FItems);
    for (TXCollectionItem *i : items) {
        i->FOwner = nullptr;
        delete i;
    }
}

void TXCollection::Loaded()
{
    for (TXCollectionItem *i : FItems)
        i->Loaded();
}

std::string TXCollection::GetNamePath() const
{
    if (FOwner && !OwnerPath().empty())
        return OwnerPath() + ".XCollection";
    return ClassName();
}

bool TXCollection::AcceptsClass(const TXCollectionItemClass &Class) const
{
    for (const TXCollectionItem *i : FItems) {
        if (Class.SingleInstance && Class.IsInstance(*i))
            return false;
        // An item of a single-instance class that the new class descends from.
        const TXCollectionItemClass *present = ClassOf(*i);
        if (present && present->SingleInstance) {
            std::unique_ptr<TXCollectionItem> probe(Class.Create(nullptr));
            if (present->IsInstance(*probe))
                return false;
        }
    }
    return true;
}

void TXCollection::AssignFrom(const TXCollection &Source)
{
    if (typeid(Source) != typeid(*this))
        throw EConvertError("Cannot assign a " + Source.ClassName() + " to a " + ClassName());
    if (&Source == this)
        return;
    Clear();
    FItems.reserve(Source.FItems.size());
    for (const TXCollectionItem *i : Source.FItems) {
        const TXCollectionItemClass *c = ClassOf(*i);
        if (!c)
            throw EConvertError("Cannot assign a " + i->ClassName() + ": class not registered");
        TXCollectionItem *copy = c->Create(this);
        copy->Assign(*i);
    }
}

void TXCollection::WriteItemData(TVirtualWriter &Writer) const
{
    Writer.PutInteger(Count());
    std::vector<std::string> names;
    for (const TXCollectionItem *i : FItems) {
        const TXCollectionItemClass *c = ClassOf(*i);
        const std::string name = c ? c->Name : i->ClassName();
        auto it = std::find(names.begin(), names.end(), name);
        if (it == names.end()) {
            Writer.PutString(name);
            names.push_back(name);
        } else {
            Writer.PutInteger(int32_t(it - names.begin()));
        }
        i->WriteItemData(Writer);
    }
}

void TXCollection::ReadItemData(TVirtualReader &Reader)
{
    Clear();
    const int32_t n = Reader.GetInteger();
    if (n < 0)
        throw EReadError("Broken XCollection stream");
    std::vector<const TXCollectionItemClass *> classes;
    for (int32_t k = 0; k < n; ++k) {
        const TXCollectionItemClass *c;
        const int tag = Reader.PeekTag();
        if (tag == vaString || tag == vaLString) {
            const std::string name = Reader.GetString();
            c = FindItemClass(name);
            if (!c)
                throw EAssertionFailed("Class " + name +
                                       " unknown. Add the relevant unit to your \"uses\".");
            classes.push_back(c);
        } else {
            const int32_t index = Reader.GetInteger();
            if (index < 0 || size_t(index) >= classes.size())
                throw EReadError("Broken XCollection stream");
            c = classes[size_t(index)];
        }
        c->Create(this)->ReadItemData(Reader);
    }
}

std::string TXCollection::SaveToText() const
{
    std::ostringstream s(std::ios::binary);
    {
        TBinaryWriter w(s);
        WriteItemData(w);
    }
    return s.str();
}

void TXCollection::LoadFromText(const std::string &Data)
{
    std::istringstream s(Data, std::ios::binary);
    TBinaryReader r(s);
    ReadItemData(r);
}

} // namespace orv
