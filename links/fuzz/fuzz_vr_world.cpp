// Loads arbitrary bytes as the simulated VR world's file and drives the
// world as the VR link does: its version, a move, a carousel turn, a tool
// set-up and an M code, with the clock moving on. A world without a scale
// must say so; nothing may crash or overflow, whatever numbers it holds.
#include "links/VRWorld.h"
#include "platform/fuzz/FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static orv::TFuzzScopes scopes;
    orv::TTestEventLoop &loop = scopes.Loop;
    const std::string name = orv::FuzzFile("fuzz.xvr", Data, Size);
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
