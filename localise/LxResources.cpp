#include "localise/LxResources.h"

#include <utility>

namespace orv {

namespace {

TLxResourceLoader &CurrentLoader()
{
    static TLxResourceLoader loader;
    return loader;
}

} // namespace

TLxResourceLoader SetLxResourceLoader(TLxResourceLoader Loader)
{
    return std::exchange(CurrentLoader(), std::move(Loader));
}

bool LoadLxResource(const std::string &Type, const std::string &Name, std::string &Data)
{
    Data.clear();
    const TLxResourceLoader &loader = CurrentLoader();
    return loader && loader(Type, Name, Data);
}

} // namespace orv
