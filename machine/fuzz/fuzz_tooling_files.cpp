// Loads arbitrary bytes as a tool library, a tool changer file and a work
// offset file: every file must load, answer and be written back without a
// crash or a read past its end.
#include "engine/core/NetUtil.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/Work_piece_offset.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct TFuzzWorld {
    TFuzzWorld() : Scope(Boxes)
    {
        // Memory-backed when the system has it: every ini write replaces a file.
        char pattern[] = "/dev/shm/orvfuzzXXXXXX";
        if (!std::filesystem::is_directory("/dev/shm"))
            std::strcpy(pattern, "/tmp/orvfuzzXXXXXX");
        const char *made = ::mkdtemp(pattern);
        Folder = std::string(made ? made : "/tmp") + "/";
        orv::SetProgramPathOverride(Folder, "Tarnwick");
        orv::NetUtil().WorkingFolder = Folder;
        orv::NetUtil().ExeName = "Tarnwick";
    }
    std::string Write(const std::string &Name, const uint8_t *Data, size_t Size) const
    {
        std::ofstream(Folder + Name, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char *>(Data), static_cast<std::streamsize>(Size));
        return Folder + Name;
    }
    ~TFuzzWorld()
    {
        std::error_code ec;
        std::filesystem::remove_all(Folder, ec);
    }
    std::string Folder;
    orv::TScriptedMessages Boxes;
    orv::TMessageServiceScope Scope;
};

void LoadAsLibrary(TFuzzWorld &World, const uint8_t *Data, size_t Size)
{
    orv::TTooling_Library library;
    library.SetDataFile(World.Write("fuzz.MTD", Data, Size));
    // A few tools keep each input quick.
    std::vector<std::string> names = library.SectionNames();
    for (size_t i = 0; i < names.size() && i < 3; ++i)
        library.SetCurrentTool(names[i]);
    library.SetOffSet(1.5);
}

void LoadAsChanger(TFuzzWorld &World, const uint8_t *Data, size_t Size)
{
    auto library = std::make_unique<orv::TTooling_Library>();
    library->SetDataFile(World.Write("fuzz.MTD", Data, Size));
    orv::TMachine_Tooling tooling;
    tooling.SetToolLibrary(std::move(library));
    tooling.SetMachineToolCount(32);
    tooling.SetDataFile(World.Write("fuzz.MTF", Data, Size));
    orv::TTool_data data;
    for (int p : {-1, 0, 1, 2, 32, 33})
        tooling.GetToolData(p, data);
    tooling.RequestToolChange(tooling.CurrentTool(), true);
}

void LoadAsWorkOffsets(TFuzzWorld &World, const uint8_t *Data, size_t Size)
{
    orv::TWork_piece_offset offsets;
    offsets.SetFilename(World.Write("fuzz.MOL", Data, Size));
    for (int code : {53, 54, 55, 60})
        offsets.SelectByCode(code);
    offsets.ShowWindow(true);
    std::vector<std::string> names = offsets.ReadNames();
    if (!names.empty()) {
        offsets.SelectNode(names.front());
        offsets.ChangeEdit(1, offsets.EditValue(1));
        offsets.FlushEdits();
    }
    offsets.CloseWindow();
}

} // namespace

// The first byte picks the kind of file the rest is loaded as.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static TFuzzWorld world;
    world.Boxes.ClearLog();
    if (Size == 0)
        return 0;
    switch (Data[0] % 3) {
    case 0:
        LoadAsLibrary(world, Data + 1, Size - 1);
        break;
    case 1:
        LoadAsChanger(world, Data + 1, Size - 1);
        break;
    default:
        LoadAsWorkOffsets(world, Data + 1, Size - 1);
        break;
    }
    return 0;
}
