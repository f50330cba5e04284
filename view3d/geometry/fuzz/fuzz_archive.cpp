// Feeds arbitrary bytes to the scene graph's archive reader, as an object
// list (the first byte 0) or one of the registered vector lists. Bad data
// must raise a filer error and leave nothing behind; what reads must write
// an archive that reads back to the same archive.
#include "view3d/geometry/PersistentClasses.h"
#include "view3d/geometry/VectorLists.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The list's objects are its reader's to free, also after an error.
struct TOwnedList : orv::TPersistentObjectList {
    ~TOwnedList() override { FreeEntries(); }
};

std::unique_ptr<orv::TPersistentObject> Make(uint8_t Kind)
{
    switch (Kind % 5) {
    case 1: return std::make_unique<orv::TAffineVectorList>();
    case 2: return std::make_unique<orv::TVectorList>();
    case 3: return std::make_unique<orv::TTexPointList>();
    case 4: return std::make_unique<orv::TSingleList>();
    default: return std::make_unique<TOwnedList>();
    }
}

// True when Text reads into Object; false on a filer error.
bool Restore(orv::TPersistentObject &Object, const std::string &Text)
{
    try {
        Object.RestoreFromText(Text);
        return true;
    } catch (const orv::EFilerError &) {
    } catch (const orv::EInvalidFileSignature &) {
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    if (Size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char *>(Data) + 1, Size - 1);
    std::unique_ptr<orv::TPersistentObject> object = Make(Data[0]);
    if (!Restore(*object, text))
        return 0;
    const std::string stored = object->StoreToText();
    std::unique_ptr<orv::TPersistentObject> copy = Make(Data[0]);
    if (!Restore(*copy, stored) || copy->StoreToText() != stored)
        std::abort();
    return 0;
}
