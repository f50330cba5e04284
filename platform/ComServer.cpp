#include "platform/ComServer.h"

#include "platform/ClassRegistry.h"

#include <dlfcn.h>

namespace orv {

std::string ClassKey(const std::string &ClassId) { return "CLSID\\" + ClassId; }

TComResult CreateInstance(const std::string &ClassId, TComPtr &Object)
{
    return CreateInstance(ClassId, Object, TClassRegistry());
}

TComResult CreateInstance(const std::string &ClassId, TComPtr &Object,
                          const TClassRegistry &Registry)
{
    Object.reset();
    const std::string library = Registry.Value(ClassKey(ClassId) + "\\InprocServer32");
    if (library.empty())
        return REGDB_E_CLASSNOTREG;
    // Servers stay loaded: their objects and windows may outlive any one
    // holder.
    void *handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return CO_E_DLLNOTFOUND;
    auto entry = reinterpret_cast<TDllGetClassObject>(::dlsym(handle, "DllGetClassObject"));
    if (!entry)
        return CO_E_ERRORINDLL;
    TClassFactory *factory = nullptr;
    TComResult result = entry(ClassId.c_str(), &factory);
    if (result != S_OK || !factory)
        return result != S_OK ? result : CLASS_E_CLASSNOTAVAILABLE;
    TComObject *object = nullptr;
    result = factory->CreateInstance(&object);
    factory->Release();
    if (result == S_OK)
        Object.reset(object);
    return result;
}

TComResult CallRegistrationExport(const std::string &Library, const char *Export)
{
    void *handle = ::dlopen(Library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return CO_E_DLLNOTFOUND;
    auto entry = reinterpret_cast<TDllRegistrationEntry>(::dlsym(handle, Export));
    const TComResult result = entry ? entry() : CO_E_ERRORINDLL;
    return result;
}

} // namespace orv
