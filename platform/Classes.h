#pragma once
// The small object model the suite's records and components share: a class
// name for messages, persistent objects that copy by Assign (refusing a
// target of another class), and components with an owner, a name and a tag.
// Ownership here is only a reference: C++ owners hold their parts themselves.

#include <stdexcept>
#include <string>

namespace orv {

// Raised when a value or object cannot be converted or copied as asked.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TObject {
public:
    virtual ~TObject() = default;
    // The class name without namespace ("TCNC_Groups"), also for subclasses.
    std::string ClassName() const;
};

class TPersistent : public TObject {
public:
    // Copies Source into this object through Source.AssignTo.
    void Assign(const TPersistent &Source);

protected:
    // Writes this object into Dest; the base refuses with EConvertError
    // "Cannot assign a <this class> to a <Dest class>".
    virtual void AssignTo(TPersistent &Dest) const;
    [[noreturn]] void AssignError(const TPersistent &Dest, const std::string &ShownName) const;
};

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent *Owner = nullptr) : FOwner(Owner) {}
    TComponent *Owner() const { return FOwner; }

    std::string Name;
    int Tag = 0;

private:
    TComponent *FOwner;
};

} // namespace orv
