#pragma once
// Owned, ordered lists of items of different classes, streamed with their
// class names: the behaviours and effects of scene objects. Stream: the
// item count, then per item its class (the name the first time, later the
// index of that name in the stream's own list) and the item's data, in the
// archive value encoding (PersistentClasses.h).

#include "view3d/geometry/PersistentClasses.h"

#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

namespace orv {

class TXCollection;

class TXCollectionItem : public TPersistent {
public:
    // Joins Owner (when given) at the end. Items made through their
    // registered class get Name := ItemTitle.
    explicit TXCollectionItem(TXCollection *Owner);
    ~TXCollectionItem() override; // leaves its collection
    TXCollection *Owner() const { return FOwner; }
    std::string Name;
    int IndexInCollection() const;
    std::string GetNamePath() const; // "<collection path>[<index>]"

    virtual std::string ItemTitle() const = 0;
    virtual std::string ItemDescription() const { return ItemTitle(); }
    virtual std::string CategoryName() const { return {}; }
    virtual bool SingleInstance() const { return false; }
    // Version 0 and Name; another version is an assertion failure.
    virtual void WriteItemData(TVirtualWriter &Writer) const;
    virtual void ReadItemData(TVirtualReader &Reader);
    virtual void Loaded() {}

protected:
    void AssignTo(TPersistent &Dest) const override; // copies Name

private:
    friend class TXCollection;
    TXCollection *FOwner;
};

// A registered item class: its name, a maker and a test of its ancestry.
struct TXCollectionItemClass {
    std::string Name;
    std::type_index Type;
    std::function<TXCollectionItem *(TXCollection *)> Create;
    std::function<bool(const TXCollectionItem &)> IsInstance; // this class or a descendant
    bool SingleInstance = false;
};
void RegisterXCollectionItemClass(TXCollectionItemClass Class);
const TXCollectionItemClass *FindItemClass(const std::string &Name);
template <class T> void RegisterXCollectionItemClass(const std::string &Name, bool Single = false)
{
    RegisterXCollectionItemClass(
        {Name, typeid(T),
         [](TXCollection *C) -> TXCollectionItem * {
             auto *item = new T(C);
             item->Name = item->ItemTitle();
             return item;
         },
         [](const TXCollectionItem &I) { return dynamic_cast<const T *>(&I) != nullptr; },
         Single});
}

class TXCollection : public TPersistent {
public:
    // OwnerPath: the name path of the owner ("" without one).
    explicit TXCollection(TPersistent *Owner, std::string OwnerPath = {});
    ~TXCollection() override;
    TPersistent *GetOwner() const { return FOwner; }
    int Count() const { return int(FItems.size()); }
    TXCollectionItem *Items(int Index) const { return FItems.at(size_t(Index)); }
    void Clear();
    void Loaded();
    std::string GetNamePath() const;
    // A single-instance class already present (itself or a descendant) is refused.
    virtual bool AcceptsClass(const TXCollectionItemClass &Class) const;
    void AssignFrom(const TXCollection &Source); // same class only, else EConvertError

    void WriteItemData(TVirtualWriter &Writer) const;
    // An unknown class raises EAssertionFailed "Class <name> unknown. Add the
    // relevant unit to your "uses".", a class index outside the stream's
    // list or a negative count EReadError "Broken XCollection stream".
    void ReadItemData(TVirtualReader &Reader);
    std::string SaveToText() const;
    void LoadFromText(const std::string &Data);

protected:
    // The owner's name path ("" without one).
    virtual std::string OwnerPath() const { return FOwnerPath; }

private:
    friend class TXCollectionItem;
    TPersistent *FOwner;
    std::string FOwnerPath;
    std::vector<TXCollectionItem *> FItems; // owned
};

} // namespace orv
