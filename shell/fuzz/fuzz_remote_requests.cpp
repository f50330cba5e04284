// The remote inputs' requests for programs, from arbitrary bytes: a
// copy-data request (first byte even), a poked DDE command (first byte
// 1 mod 4) or CIM serial chunks (3 mod 4, a chunk ending after each LF).
// Whatever names they bring, a program opened must be a file inside the
// "FNC Folder" - never the file beside it, one in a folder whose name
// starts alike, or one a link inside points out to.
#include "engine/core/NetUtil.h"
#include "engine/form/EngineRequests.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/fuzz/FuzzSupport.h"
#include "shell/RemoteInputs.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A program folder holding the settings, the FNC folder with programs, a
// folder named like it and a file outside it with a link to it inside.
struct TFuzzWorld {
    TFuzzWorld() : Scope(Messages)
    {
        std::string pattern = "/tmp/orvfuzzXXXXXX";
        Root = fs::canonical(::mkdtemp(pattern.data())).string() + "/";
        Fnc = Root + "fnc/";
        for (const char *folder : {"fnc/sub", "fnc2"})
            fs::create_directories(Root + folder);
        for (const char *file : {"fnc/PART.FNC", "fnc/sub/DEEP.FNC", "fnc/PLAIN", "fnc2/NEAR.FNC",
                                 "SECRET.FNC"})
            std::ofstream(Root + file) << "G00 X0\n";
        fs::create_symlink(Root + "SECRET.FNC", Root + "fnc/LINK.FNC");
        fs::create_symlink(Root, Root + "fnc/up");
        orv::SetProgramPathOverride(Root, "Tarnwick");
        orv::NetUtil().WorkingFolder = Root;
        orv::NetUtil().ExeName = "Tarnwick";
        orv::TIniFile(Root + "Tarnwick.ini").WriteString("directories", "FNC Folder", Fnc);
    }
    ~TFuzzWorld()
    {
        std::error_code ec;
        fs::remove_all(Root, ec);
    }
    std::string Root, Fnc;
    orv::TSilentMessages Messages;
    orv::TMessageServiceScope Scope;
};

// Aborts unless File is a program inside the FNC folder.
void CheckInside(const TFuzzWorld &World, const std::string &File)
{
    std::error_code ec;
    if (File.compare(0, World.Fnc.size(), World.Fnc) != 0 || !fs::is_regular_file(File, ec) ||
        fs::canonical(File, ec).string() != File || fs::is_symlink(File, ec))
        std::abort();
}

class TWindow : public orv::TRemoteWindow {
public:
    explicit TWindow(const TFuzzWorld &World) : FWorld(World) {}
    orv::TBaseForm *Engine() const override { return nullptr; }
    bool OpenProgramFile(int, std::string &FileName) override
    {
        CheckInside(FWorld, FileName);
        return true;
    }
    void PressButton(orv::TMainButton) override {}
    void PressControl(const std::string &, bool) override {}
    void SendKey(uint8_t, unsigned) override {}

private:
    const TFuzzWorld &FWorld;
};

// The resolution every request goes through.
void Resolve(const TFuzzWorld &World, const std::string &Name)
{
    std::string file;
    if (orv::ResolveInFolder(orv::FncFolder(), Name, file))
        CheckInside(World, file);
    else if (!file.empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static TFuzzWorld world;
    static TWindow window(world);
    static orv::TRemoteInputs inputs(window);
    if (Size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char *>(Data) + 1, Size - 1);
    if (Data[0] % 2 == 0) {
        inputs.WMCopyData(orv::TRemoteInputs::CopyDataIdentifier, text);
    } else if (Data[0] % 4 == 1) {
        orv::Tdevice_type device;
        const std::string reply = orv::ParseDDECommand(device, text);
        if (orv::DDECommandAction(device, reply) == orv::TDDEAction::LoadFile)
            Resolve(world, device.FileName);
    } else {
        std::string line, name;
        size_t from = 0;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n' || i + 1 == text.size()) {
                if (orv::ParseCimLine(line, text.data() + from, int(i + 1 - from), orv::FncFolder(),
                                      name))
                    Resolve(world, name);
                from = i + 1;
            }
    }
    return 0;
}
