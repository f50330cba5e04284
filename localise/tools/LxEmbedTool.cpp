// Build step: stores a dictionary's language, locale and translation tables
// as the data of their owner (the resource "FORMDATA" named after the
// owner's class), for dictionaries that keep their tables embedded.
// Usage: lxembed OUTPUT OWNERCLASS OWNERNAME DICTIONARYNAME LANGUAGEFILE TRANSLATIONFILE
// [LOCALEFILE]
#include "localise/LxEmbedded.h"
#include "localise/LxErrors.h"
#include "localise/LxTextDictionary.h"

#include <cstdio>
#include <fstream>
#include <iostream>

using namespace orv;

int main(int argc, char **argv)
{
    if (argc < 7) {
        std::cerr << "usage: lxembed OUTPUT OWNERCLASS OWNERNAME DICTIONARYNAME LANGUAGEFILE "
                     "TRANSLATIONFILE "
                     "[LOCALEFILE]\n";
        return 2;
    }
    try {
        TLxTextDictionary dictionary;
        dictionary.SetDictionaryName(argv[4]);
        dictionary.SetLanguageFileName(argv[5]);
        dictionary.SetFileName(argv[6]);
        if (argc > 7)
            dictionary.SetLocaleFileName(argv[7]);
        dictionary.SetCheckLevel(lxclNone);
        dictionary.SetOptions(lxdoAll &
                              ~(lxdoTranslateResourceStrings | lxdoUpdateLocaleVariables));
        const TLxEmbeddedTables tables = SaveEmbeddedTables(dictionary);
        if (!tables.HasLanguages || !tables.HasTranslations)
            return 1;
        std::vector<TLxStoredProperty> properties{
            {"TLxTextDictionary", argv[4], "Languages", tables.Languages},
            {"TLxTextDictionary", argv[4], "Translations", tables.Translations}};
        if (tables.HasLocales)
            properties.push_back({"TLxTextDictionary", argv[4], "Locales", tables.Locales});
        std::ofstream(argv[1], std::ios::binary) << BuildFormData(argv[2], argv[3], properties);
    } catch (const std::exception &e) {
        std::cerr << "lxembed: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
