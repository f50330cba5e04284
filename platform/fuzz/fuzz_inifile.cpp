// Feeds arbitrary bytes to the ini layer as a settings file: every section
// and key must read, a written value must read back, and the file must keep
// what it held (its sections) and the encoding it was read in.

#include "platform/IniFile.h"
#include "platform/fuzz/FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    const std::string name = orv::FuzzFile("fuzz.ini", Data, Size);
    orv::TIniFile ini(name);
    std::vector<std::string> sections = ini.ReadSections();
    for (const std::string &section : sections)
        for (const std::string &key : ini.ReadSection(section))
            ini.ReadString(section, key, "");
    orv::TIniEncoding encoding = ini.Encoding();
    ini.WriteString("Fuzz Check", "Written", "42");
    if (!ini.LastWriteOk())
        return 0;
    orv::TIniFile again(name);
    if (again.ReadString("Fuzz Check", "Written", "") != "42")
        std::abort();
    if (again.ReadSections().size() < sections.size())
        std::abort();
    if (again.Encoding() != encoding)
        std::abort();
    return 0;
}
