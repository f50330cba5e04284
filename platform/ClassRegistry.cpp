#include "platform/ClassRegistry.h"

#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <cstdlib>

namespace orv {

namespace {

bool SameKey(const std::string &A, const std::string &B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(A[i])) !=
            std::tolower(static_cast<unsigned char>(B[i])))
            return false;
    return true;
}

bool IsBelow(const std::string &Key, const std::string &Top)
{
    return SameKey(Key, Top) ||
           (Key.size() > Top.size() && Key[Top.size()] == '\\' &&
            SameKey(Key.substr(0, Top.size()), Top));
}

} // namespace

std::string TClassRegistry::DefaultFile()
{
    if (const char *file = std::getenv("ORV_CLASS_REGISTRY"); file && *file)
        return file;
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/orvellan/classes.reg";
    const char *home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/orvellan/classes.reg";
}

TClassRegistry::TClassRegistry(std::string File) : FFile(std::move(File)) {}

bool TClassRegistry::SetValue(const std::string &Key, const std::string &Name,
                              const std::string &Value)
{
    const std::string folder = ExtractFilePath(FFile);
    if (!folder.empty() && !DirectoryExists(folder) && !ForceDirectories(folder))
        return false;
    TIniFile ini(FFile);
    ini.WriteString(Key, Name, Value);
    return ini.LastWriteOk();
}

std::string TClassRegistry::Value(const std::string &Key, const std::string &Name) const
{
    return TIniFile(FFile).ReadString(Key, Name, "");
}

bool TClassRegistry::KeyExists(const std::string &Key) const
{
    return TIniFile(FFile).SectionExists(Key);
}

bool TClassRegistry::DeleteTree(const std::string &Key)
{
    if (!FileExists(FFile))
        return true;
    TIniFile ini(FFile);
    for (const std::string &section : ini.ReadSections())
        if (IsBelow(section, Key))
            ini.EraseSection(section);
    return ini.LastWriteOk();
}

std::vector<std::string> TClassRegistry::Keys() const { return TIniFile(FFile).ReadSections(); }

} // namespace orv
