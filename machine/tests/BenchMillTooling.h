#pragma once
// Shared set-up of the tests on the tool files shipped in data/ for a small
// bench mill: the files are copied into the temporary program folder and
// the tool changer is loaded with its eight positions and the library.

#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/tests/ToolingFixture.h"

#include <filesystem>
#include <memory>
#include <string>

namespace orv::test {

class TBenchMillTooling : public TToolingFixture {
protected:
    TBenchMillTooling()
    {
        for (const char *name : {"Tarnwick.MTD", "Tarnwick.MTF", "Tarnwick.TOF", "Tarnwick.MOL"})
            std::filesystem::copy_file(std::string(ORV_DATA_DIR) + "/" + name, Dir.File(name));
        auto lib = std::make_unique<TTooling_Library>();
        lib->SetDataFile("Tarnwick.MTD");
        Tooling.SetToolLibrary(std::move(lib));
        Tooling.SetToolCapacity(8);
        Tooling.SetMachineToolCount(8);
        Tooling.SetDataFile("Tarnwick.MTF");
    }

    TMachine_Tooling Tooling;
};

} // namespace orv::test
