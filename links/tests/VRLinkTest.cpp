// The VR link in the engine's machine slot over the simulated world:
// carousel turns the shorter way (and none with no places), M codes of 200
// and above stay with the link, jogs go to the travel limits, a billet
// record moves nothing, an M6 changes the tool once, every device wait
// ends on Escape, Stop or the time-out, and the machine file's steps per
// mm come back when the link leaves the slot.

#include "engine/form/HeadlessHost.h"
#include "engine/form/base.h"
#include "engine/form/tests/FormTestSupport.h"
#include "links/VRLink.h"
#include "links/VRWorld.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv {
namespace {

class VRLink : public ::testing::Test {
protected:
    VRLink()
    {
        test::CopyDefaultData(Folder);
        std::ofstream(Folder.File("machines/BENCHMILL.ini"), std::ios::app)
            << "\n[Auto Tool Change]\n1=M5\n2=CAROUSEL\n";
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
        auto world = std::make_unique<TVRWorld>();
        World = world.get();
        World->OnTrace = [this](const std::string &Line) { Trace.push_back(Line); };
        auto link = std::make_unique<TVRLink>(Engine.get(), std::move(world));
        Link = link.get();
        Inserted = Engine->InsertMachine(std::move(link), true);
        Trace.clear();
        Folder.Messages.ClearLog();
    }
    ~VRLink() override { Engine.reset(); }

    std::vector<std::string> Lines(const std::string &Prefix) const
    {
        std::vector<std::string> out;
        for (const std::string &l : Trace)
            if (l.rfind(Prefix, 0) == 0)
                out.push_back(l);
        return out;
    }
    TRead_Machinedata_file &Data() { return *Engine->MachineData(); }

    test::TFormFolder Folder;
    THeadlessHost Host;
    std::unique_ptr<TBaseForm> Engine;
    TVRWorld *World = nullptr;
    TVRLink *Link = nullptr;
    bool Inserted = false;
    std::vector<std::string> Trace;
};

TEST_F(VRLink, TheWorldScaleIsTheStepsWhileTheLinkIsInTheSlot)
{
    ASSERT_TRUE(Inserted);
    EXPECT_TRUE(Engine->MachineIsVRLink());
    EXPECT_EQ(Link->Scale, 10);
    EXPECT_EQ(Link->YSign, -1);
    EXPECT_EQ(Data().Feed.StepsX, 10);
    EXPECT_EQ(Data().Feed.StepsF, 10);
    Engine->FreeMachine();
    EXPECT_FALSE(Engine->MachineIsVRLink());
    EXPECT_EQ(Data().Feed.StepsX, 400);
    EXPECT_EQ(Data().Feed.StepsY, 400);
    EXPECT_EQ(Data().Feed.StepsZ, 400);
    EXPECT_EQ(Data().Feed.StepsF, 400);
}

TEST_F(VRLink, TheCarouselTurnsTheShorterWay)
{
    struct TCase {
        int Places, Current, Tool;
        std::vector<std::string> Turn;
    } cases[] = {
        {8, 2, 7, {"set carousal.Tool Count = 3", "set carousal.Direction = 1"}},
        {8, 2, 4, {"set carousal.Tool Count = 2", "set carousal.Direction = -1"}},
        {8, 2, 6, {"set carousal.Tool Count = 4", "set carousal.Direction = -1"}}, // half: forward
        {8, 2, 2, {}},
        {0, 2, 5, {}}, // a changer of no places turns not
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.Places) + ": " + std::to_string(c.Current) + " to " +
                     std::to_string(c.Tool));
        Data().ToolChange.MaximumNumber = c.Places;
        World->SetInt("carousal", "current", c.Current);
        Trace.clear();
        Link->ToolChange(c.Tool);
        std::vector<std::string> turn = Lines("set carousal.Tool Count");
        for (const std::string &l : Lines("set carousal.Direction"))
            turn.push_back(l);
        EXPECT_EQ(turn, c.Turn);
        EXPECT_EQ(Lines("set Mcode.Mcode"), std::vector<std::string>{"set Mcode.Mcode = 5"});
    }
}

TEST_F(VRLink, MCodesFrom200StayWithTheLink)
{
    for (int m : {3, 199, 200, 203, 206, -1000}) {
        int code = m;
        Link->ExecuteMCode(code);
    }
    EXPECT_EQ(Lines("set Mcode.Mcode"),
              (std::vector<std::string>{"set Mcode.Mcode = 3", "set Mcode.Mcode = 199"}));
}

TEST_F(VRLink, JogsGoToTheTravelAndAreClamped)
{
    // Travel X- is 0, X+ 310; Z- -130: steps are world units (x10).
    EXPECT_TRUE(Link->JogContinuous(0, 600, false));
    EXPECT_EQ(Lines("set MillerData.xaxis_go").back(), "set MillerData.xaxis_go = 0");
    Link->JogContinuous(2, 600, false);
    EXPECT_EQ(Lines("set MillerData.zaxis_go").back(), "set MillerData.zaxis_go = -1300");
    Link->JogIncrement(0, 600, 12.5);
    EXPECT_EQ(Lines("set MillerData.xaxis_go").back(), "set MillerData.xaxis_go = 125");
    Link->JogIncrement(0, 600, 1000);
    EXPECT_EQ(Lines("set MillerData.xaxis_go").back(), "set MillerData.xaxis_go = 3100");
    EXPECT_EQ(Lines("set MillerData.feed_rate").back(), "set MillerData.feed_rate = 100");
}

TEST_F(VRLink, ABilletRecordSetsTheSizesAndMovesNothing)
{
    Link->SetBillet(20, 30, 100, 80, 25);
    Trace.clear();
    TCNC_data billet = test::Move(-1, 120, 90, 40);
    Link->ProcessCNCData(billet);
    EXPECT_EQ(Lines("set Billett"),
              (std::vector<std::string>{"set Billett.X pos = 200", "set Billett.Y pos = 300",
                                        "set Billett.X size = 1200", "set Billett.Y size = 900",
                                        "set Billett.Z size = 400"}));
    EXPECT_TRUE(Lines("action MillerData").empty());
}

TEST_F(VRLink, AnM6ChangesTheToolOnce)
{
    TMachineBlock block;
    block.M = 6;
    block.T = 3;
    Link->ApplyBlockTool(block);
    EXPECT_EQ(Lines("set Mcode.Mcode = 5").size(), 1u); // the auto tool change's M5
    EXPECT_EQ(Link->CurrentTool, 3);
    // The engine's changer changed the tool already: the block changes nothing.
    Trace.clear();
    Link->ApplyBlockTool(block);
    EXPECT_TRUE(Trace.empty());
}

TEST_F(VRLink, RapidsGoAtMaximumRateZConvertedOnce)
{
    TMachineBlock rapid;
    rapid.BlockType = 0;
    Link->ApplyBlockFeed(rapid); // 1000 mm/min x 10 / 60
    TMachineBlock line;
    line.BlockType = 1;
    line.Feed = 50;              // already world units per second
    Link->ApplyBlockFeed(line);
    EXPECT_EQ(Lines("set MillerData.feed_rate"),
              (std::vector<std::string>{"set MillerData.feed_rate = 167",
                                        "set MillerData.feed_rate = 50"}));
}

TEST_F(VRLink, EveryDeviceWaitEnds)
{
    TIniFile(Folder.File("Router.xvr")).WriteString("never", "mcodes", "8");
    World->SetWorldFile(Folder.File("Router.xvr"));
    Data().Communications.MCodeTimeOut = 2000;
    struct TCase {
        const char *Name;
        std::function<void()> Interrupt;
        bool Error;
    } cases[] = {
        {"time-out", nullptr, true},
        {"escape", [this] { Folder.Loop.SetKeyDown(VK_ESCAPE, true); }, true},
        {"stop", [this] { Link->Stop(); }, false},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Folder.Messages.ClearLog();
        Folder.Loop.SetKeyDown(VK_ESCAPE, false);
        int turns = 0;
        Folder.Loop.Hook = [&] {
            if (++turns == 5 && c.Interrupt)
                c.Interrupt();
        };
        TCNC_data start = test::Move(-5); // a fresh block: the link takes commands again
        Link->ProcessCNCData(start);
        const int64_t before = Folder.Loop.NowMs();
        int code = 8;
        Link->ExecuteMCode(code);
        Folder.Loop.Hook = nullptr;
        EXPECT_LE(Folder.Loop.NowMs() - before, 2100);
        EXPECT_EQ(!Folder.Messages.Log().empty(), c.Error);
        // A wait that failed leaves the rest of the block undone.
        Trace.clear();
        int next = 3;
        Link->ExecuteMCode(next);
        EXPECT_TRUE(Lines("set Mcode.Mcode").empty());
    }
}

// Numbers of the world file beyond what the world can hold read as none
// (or the default timing); a carousel turn with the largest counts comes
// out on a place.
TEST_F(VRLink, WorldNumbersBeyondRangeReadAsNone)
{
    const std::string file = Folder.File("odd.xvr");
    std::ofstream(file) << "[vrparams]\nvrscale=2\nbig=1e300\n"
                           "[control]\nversion=3.99999999999.1\n"
                           "[carousal]\npositions=7\ncurrent=2147483647\n"
                           "Tool Count=2147483647\nDirection=-1\nhuge=3e9\n"
                           "[timing]\nmcode=1e12\ncarousel step=0\n"
                           "[never]\nmcodes=6, 1e20\n";
    TVRWorld world;
    std::vector<int> events;
    world.OnSCL = [&](int, int Code) { events.push_back(Code); };
    world.SetWorldFile(file);
    Folder.Loop.Advance(20);
    ASSERT_EQ(world.LoadError(), "");
    EXPECT_EQ(world.GetInt("carousal", "huge"), 0);
    EXPECT_EQ(world.GetReal("vrparams", "big"), 0.0f);
    int major = -1, minor = -1, release = -1;
    world.Version(major, minor, release);
    EXPECT_EQ(std::vector<int>({major, minor, release}), std::vector<int>({3, 0, 1}));

    world.Action("carousal", 1);
    Folder.Loop.Advance(20);
    EXPECT_EQ(world.GetText("carousal", "current"), "2"); // (2^31 - 2 + 2^31 - 1) mod 7, + 1
    world.SetInt("Mcode", "Mcode", 6);
    world.SetFlag("Mcode", "DoIt", true); // never done
    world.SetInt("Mcode", "Mcode", 7);
    world.SetFlag("Mcode", "DoIt", true); // done after the default 100 ms
    Folder.Loop.Advance(150);
    EXPECT_EQ(events, std::vector<int>({4, 7}));

    std::ofstream(file) << "[vrparams]\nvrscale=1e999\n";
    world.SetWorldFile(file);
    EXPECT_EQ(world.LoadError(), "World file without a scale: " + file);
}

} // namespace
} // namespace orv
