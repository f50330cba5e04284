#include "platform/Classes.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace orv {

std::string TObject::ClassName() const
{
    const char *mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void *)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    auto colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

void TPersistent::Assign(const TPersistent &Source) { Source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent &Dest) const { AssignError(Dest, ClassName()); }

void TPersistent::AssignError(const TPersistent &Dest, const std::string &ShownName) const
{
    throw EConvertError("Cannot assign a " + ShownName + " to a " + Dest.ClassName());
}

} // namespace orv
