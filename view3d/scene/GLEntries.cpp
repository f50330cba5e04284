#include "view3d/scene/GLEntries.h"

#include <dlfcn.h>

#include <type_traits>

namespace orv {

namespace {
TGLEntryTable gTable;
} // namespace

TGLEntryTable &GL() { return gTable; }

void SetGLEntries(const TGLEntryTable &Table) { gTable = Table; }

bool LoadSystemGLUTessellator(TGLEntryTable &Table)
{
    // Opened once and kept for the process, like the OpenGL libraries.
    static void *library = dlopen("libGLU.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    auto resolve = [](auto &Slot, const char *Name) {
        Slot = reinterpret_cast<std::remove_reference_t<decltype(Slot)>>(dlsym(library, Name));
        return Slot != nullptr;
    };
    return resolve(Table.gluNewTess, "gluNewTess") &&
           resolve(Table.gluDeleteTess, "gluDeleteTess") &&
           resolve(Table.gluTessCallback, "gluTessCallback") &&
           resolve(Table.gluTessBeginPolygon, "gluTessBeginPolygon") &&
           resolve(Table.gluTessBeginContour, "gluTessBeginContour") &&
           resolve(Table.gluTessVertex, "gluTessVertex") &&
           resolve(Table.gluTessEndContour, "gluTessEndContour") &&
           resolve(Table.gluTessEndPolygon, "gluTessEndPolygon") &&
           resolve(Table.gluTessNormal, "gluTessNormal") &&
           resolve(Table.gluErrorString, "gluErrorString");
}

} // namespace orv
