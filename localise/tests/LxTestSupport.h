#pragma once
// Shared ground for the localisation tests: known system facts, format
// settings and hooks restored after each test, fixture paths, and program
// resources served from memory.

#include "localise/LxHooks.h"
#include "localise/LxLocales.h"
#include "localise/LxResources.h"
#include "localise/LxTextDictionary.h"
#include "localise/LxSystem.h"
#include "platform/FormatSettings.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace orv::test {

inline std::string LxFixture(const std::string &Name)
{
    return std::string(ORV_SOURCE_DIR) + "/localise/tests/data/" + Name;
}

class TLxEnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSystem = LxSystem();
        FFormat = FormatSettings();
        FLocale = ProcessLocale();
        FHandler = ApplicationOnException();
        LxSystem() = TLxSystem(); // English (United States), code page 1252
    }
    void TearDown() override
    {
        RemoveTranslationHooks();
        LxSystem() = FSystem;
        FormatSettings() = FFormat;
        ProcessLocale() = FLocale;
        ApplicationOnException() = FHandler;
        SetEuroRule(lxeNormal);
    }

private:
    TLxSystem FSystem;
    TFormatSettings FFormat;
    TProcessLocale FLocale;
    TExceptionEvent FHandler;
};

// Opens Dictionary as "Dictionary1" on tables written into Dir, every
// language allowed, retranslating its forms, in language 0.
inline void OpenTestDictionary(TLxTextDictionary &Dictionary, const TTempDir &Dir,
                               const std::string &Languages, const std::string &Translations)
{
    Dictionary.SetDictionaryName("Dictionary1");
    Dictionary.SetLanguageFileName(Dir.Write("language.txt", Languages));
    Dictionary.SetFileName(Dir.Write("translat.txt", Translations));
    Dictionary.SetCheckLevel(lxclNone);
    Dictionary.SetOptions(lxdoAutoTranslate);
    Dictionary.SetLanguage(0);
    Dictionary.Open();
}

// Serves program resources from memory for the life of a scope.
class TMemoryResources {
public:
    TMemoryResources()
    {
        FPrevious = SetLxResourceLoader(
            [this](const std::string &Type, const std::string &Name, std::string &Data) {
                auto found = FData.find(Type + "/" + Name);
                if (found == FData.end())
                    return false;
                Data = found->second;
                return true;
            });
    }
    ~TMemoryResources() { SetLxResourceLoader(FPrevious); }
    TMemoryResources(const TMemoryResources &) = delete;
    TMemoryResources &operator=(const TMemoryResources &) = delete;
    void Add(const std::string &Type, const std::string &Name, const std::string &Data)
    {
        FData[Type + "/" + Name] = Data;
    }

private:
    std::map<std::string, std::string> FData;
    TLxResourceLoader FPrevious;
};

} // namespace orv::test
