// Feeds arbitrary bytes to the ini layer as a settings file: every section
// and key must read, a written value must read back, and the file must keep
// what it held (its sections) and the encoding it was read in.

#include "platform/IniFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string gFolder;

void RemoveFolder() { std::filesystem::remove_all(gFolder); }

std::string MakeFolder()
{
    // A memory-backed folder where there is one: the file is rewritten per input.
    std::string pattern =
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/orvfuzzXXXXXX" : "/tmp/orvfuzzXXXXXX";
    gFolder = std::string(::mkdtemp(pattern.data())) + "/";
    std::atexit(RemoveFolder);
    return gFolder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static const std::string folder = MakeFolder();
    const std::string name = folder + "fuzz.ini";
    {
        std::ofstream file(name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(Data), std::streamsize(Size));
    }
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
