// Loads arbitrary bytes as the simulated VR world's file and drives the
// world as the VR link does: its version, a move, a carousel turn, a tool
// set-up and an M code, with the clock moving on. A world without a scale
// must say so; nothing may crash or overflow, whatever numbers it holds.
#include "links/VRWorld.h"
#include "platform/EventLoop.h"
#include "platform/fuzz/SilentMessages.h"

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
    std::string pattern =
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/orvfuzzXXXXXX" : "/tmp/orvfuzzXXXXXX";
    gFolder = std::string(::mkdtemp(pattern.data())) + "/";
    std::atexit(RemoveFolder);
    return gFolder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static orv::TTestEventLoop loop;
    static orv::TEventLoopScope scope(loop);
    static orv::TSilentMessages messages;
    static orv::TMessageServiceScope messageScope(messages);
    static const std::string folder = MakeFolder();
    const std::string name = folder + "fuzz.xvr";
    {
        std::ofstream file(name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(Data), std::streamsize(Size));
    }
    orv::TVRWorld world;
    int events = 0;
    world.OnSCL = [&](int, int) { ++events; };
    world.SetWorldFile(name);
    loop.Advance(10);
    if (world.LoadError().empty() != (world.ReadyState() == orv::TVRWorld::ReadyComplete))
        std::abort();
    int major = 0, minor = 0, release = 0;
    world.Version(major, minor, release);
    (void)world.GetInt("carousal", "positions");
    (void)world.GetReal("vrparams", "vrscale");
    world.Action("MillerData", 0);
    world.Action("carousal", 1);
    world.Action("caro", 1);
    world.SetFlag("Mcode", "DoIt", true);
    loop.Advance(1000);
    world.Action("MillerData", 3);
    return 0;
}
