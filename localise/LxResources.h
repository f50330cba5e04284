#pragma once
// Program resources of the localisation runtime: named blocks of bytes of a
// given type ("LINGVARD" for dictionary tables, "FORMDATA" for the tables
// stored with a form). The program installs a loader that reads them from
// its own resources; tests install one that serves bytes from memory.

#include <functional>
#include <string>

namespace orv {

// True and Data filled when the resource exists.
using TLxResourceLoader =
    std::function<bool(const std::string &Type, const std::string &Name, std::string &Data)>;

// Installs the loader; an empty one means the program has no resources.
// Returns the previous loader so that a scope can put it back.
TLxResourceLoader SetLxResourceLoader(TLxResourceLoader Loader);
bool LoadLxResource(const std::string &Type, const std::string &Name, std::string &Data);

} // namespace orv
