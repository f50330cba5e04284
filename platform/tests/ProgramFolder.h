#pragma once
// While it lives, the program's own folder (the settings file beside the
// program, window positions, custom colours) is a test's temporary folder,
// so that a test never writes beside its binary.

#include "platform/Paths.h"

#include <string>

namespace orv::test {

class TProgramFolder {
public:
    explicit TProgramFolder(const std::string &Folder, const std::string &Name = "Tarnwick")
    {
        SetProgramPathOverride(Folder, Name);
    }
    ~TProgramFolder() { SetProgramPathOverride("", ""); }
    TProgramFolder(const TProgramFolder &) = delete;
    TProgramFolder &operator=(const TProgramFolder &) = delete;
};

} // namespace orv::test
