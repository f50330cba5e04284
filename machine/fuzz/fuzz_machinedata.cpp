// Feeds arbitrary bytes to the machine data reader as the active machine's
// parameter file: it must load (with warnings) and never fault.

#include "machine/Read_Machinedata_file.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string gFolder;

void RemoveFolder() {
    std::filesystem::remove_all(gFolder);
}

std::string MakeFolder() {
    // A memory-backed folder where there is one: the file is rewritten per input.
    std::string pattern =
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/orvfuzzXXXXXX" : "/tmp/orvfuzzXXXXXX";
    std::string folder = ::mkdtemp(pattern.data());
    folder += "/";
    std::ofstream(folder + "Tarnwick.ini")
        << "[Default Settings]\nActive Machine=FUZZ\n[directories]\nmachine list file=list.ini\n";
    std::ofstream(folder + "list.ini") << "[Millers]\nFUZZ=\n";
    gFolder = folder;
    std::atexit(RemoveFolder);
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    static const std::string folder = MakeFolder();
    {
        std::ofstream file(folder + "FUZZ.ini", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(Data), std::streamsize(Size));
    }
    orv::TRead_Machinedata_file reader;
    reader.MainSettingsFile = folder + "Tarnwick.ini";
    reader.Load();
    if (reader.MotionDataComplete() && !reader.MissingMotionData().empty())
        std::abort();
    return 0;
}
