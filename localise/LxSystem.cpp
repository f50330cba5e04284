#include "localise/LxSystem.h"

#include "localise/LxLocaleTable.h"
#include "localise/LxLocales.h"

#include <cstdlib>
#include <string>

namespace orv {

namespace {

const char *EnvironmentLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return nullptr;
}

TLxSystem FromEnvironment()
{
    TLxSystem system;
    const int id = LocaleIdFromPosixName(EnvironmentLocaleName());
    if (id == 0)
        return system;
    system.UserDefaultLocale = id;
    system.SystemDefaultLocale = id;
    system.AnsiCodePage = LocaleAnsiCodePage(id);
    return system;
}

} // namespace

TLxSystem &LxSystem()
{
    static TLxSystem system = FromEnvironment();
    return system;
}

int LocaleIdFromPosixName(const char *Name)
{
    if (Name == nullptr)
        return 0;
    const std::string name(Name);
    const size_t end = name.find_first_of(".@");
    const std::string tag = name.substr(0, end);
    const size_t underscore = tag.find('_');
    const std::string language = tag.substr(0, underscore);
    const std::string country =
        underscore == std::string::npos ? std::string() : tag.substr(underscore + 1);
    size_t count = 0;
    const TLxLocaleData *table = LocaleTable(count);
    const TLxLocaleData *sameLanguage = nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (language != table[i].Iso639)
            continue;
        if (country == table[i].Iso3166)
            return MakeLocaleIdOf(table[i]);
        if (sameLanguage == nullptr)
            sameLanguage = &table[i];
    }
    return sameLanguage != nullptr ? MakeLocaleIdOf(*sameLanguage) : 0;
}

} // namespace orv
