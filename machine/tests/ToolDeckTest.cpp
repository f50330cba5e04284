// The changer's "Machine Tooling" window, as the tooling drives it: the
// carousel layout, the pointer, inserting, moving, swapping and dropping
// tools (in-use flags kept right), a tool change by Ctrl-click, and the file
// menu's export failure and "New".

#include "engine/core/DIniFile.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/tests/ToolingFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orv {
namespace {

using test::TToolingFixture;

const char *const Library = "[End 6]\r\nDiameter=6\r\nTool Length offset=20\r\ncolour=255\r\n"
                            "Tool In Use=1\r\n"
                            "[Drill 3]\r\nDiameter=3\r\nTool Length offset=30\r\nType=4\r\n"
                            "Tool In Use=1\r\n"
                            "[Ball 4]\r\nDiameter=4\r\nTool In Use=0\r\n";
const char *const Changer = "[Global]\r\nCurrent Tool=1\r\n"
                            "[Tool1]\r\nTool Name=End 6\r\nFile Location=rack A\r\n"
                            "[Tool2]\r\nTool Name=Drill 3\r\n";

class TFakeDeck : public TToolDeckView {
public:
    explicit TFakeDeck(int &Refreshes) : FRefreshes(Refreshes) {}
    void Refresh() override { ++FRefreshes; }
    void Show() override {}

private:
    int &FRefreshes;
};

class ToolDeck : public TToolingFixture {
protected:
    ToolDeck()
    {
        LoadTooling(Tooling, Library, Changer, 6);
        Tooling.OnDataChanged = [this](TObject *, int P) { Data.push_back(P); };
        TMachine_Tooling::DeckFactory = [this](TMachine_Tooling &) {
            return std::make_unique<TFakeDeck>(Refreshes);
        };
        Tooling.ShowDeck();
    }
    ~ToolDeck() override { TMachine_Tooling::DeckFactory = nullptr; }

    std::string NameAt(int P) { return TDIniFile(Tooling.DataFile()).ReadString(ToolSection(P), "Tool Name", ""); }
    std::string InUse(const std::string &Tool)
    {
        return TDIniFile(Dir.File("lib.MTD")).ReadString(Tool, "Tool In Use", "");
    }

    TMachine_Tooling Tooling;
    std::vector<int> Data;
    int Refreshes = 0;
};

TEST(ToolDeckLayout, CurrentToolAtTheTopAndTheNextOneStepClockwise)
{
    const double r = 100;
    struct TCase {
        const char *Name;
        int Position;
        TCircularDirection Direction;
        double Degrees; // clockwise from straight up, on the screen
    };
    const TCase cases[] = {
        {"the current tool is on top", 4, ClockWise, 0},
        {"the next one 60 degrees clockwise", 5, ClockWise, 60},
        {"the one before 60 degrees anticlockwise", 3, ClockWise, -60},
        {"anticlockwise layout mirrors it", 5, AntiClockWise, -60},
        {"opposite the current tool", 1, ClockWise, -180},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TDeckPoint p = CarouselPoint(c.Position, 4, 6, c.Direction, 200, 200, r);
        double a = c.Degrees * 3.14159265358979323846 / 180;
        EXPECT_EQ(p, (TDeckPoint{int(std::lround(200 + r * std::sin(a))),
                                 int(std::lround(200 - r * std::cos(a)))}));
    }
}

TEST_F(ToolDeck, ShowingLaysOutTheCapacityAndShowsTheCurrentTool)
{
    const TToolDeckShown &s = Tooling.DeckShown();
    EXPECT_TRUE(s.Buttons[5].Visible);
    EXPECT_FALSE(s.Buttons[6].Visible);
    EXPECT_TRUE(s.Buttons[0].Occupied);
    EXPECT_EQ(s.Buttons[0].Strip, 255);
    EXPECT_EQ(s.Buttons[0].Hint, "End 6");
    EXPECT_EQ(s.Buttons[2].Hint, "Tool Position Empty");
    EXPECT_EQ(s.Number, "T: 1");
    ASSERT_TRUE(s.DetailsVisible);
    EXPECT_EQ(s.Rows[4], "Tool Diameter : 6.000");
    EXPECT_EQ(s.FileName, "mill.MTF");
    // Position 1, the current tool, sits at the top of the image.
    const int centreX = TToolDeckShown::ImageLeft + TToolDeckShown::ImageWidth / 2;
    EXPECT_NEAR(s.Buttons[0].Left + TToolDeckShown::ButtonWidth / 2.0, centreX, 1);
    EXPECT_NEAR(s.Apex.X, centreX + 0.5, 0.5) << "the pointer points up at the current tool";
    EXPECT_NEAR(s.Apex.Y, TToolDeckShown::ImageTop + 115 - 112.5, 0.5);
    EXPECT_GT(Refreshes, 0);
}

TEST_F(ToolDeck, TheInformationFollowsTheUnits)
{
    Tooling.SetUnits(Inch);
    EXPECT_EQ(Tooling.DeckShown().Rows[4], "Tool Diameter : 0.2362");
    EXPECT_NE(Tooling.DeckShown().Summary.find("\" Dia."), std::string::npos);
}

TEST_F(ToolDeck, InsertingAToolAlreadyInTheChangerDoesNothing)
{
    Data.clear();
    Tooling.InsertTool(4, "Drill 3");
    EXPECT_EQ(NameAt(4), "");
    EXPECT_TRUE(Data.empty());
    Tooling.InsertTool(4, "Ball 4");
    EXPECT_EQ(NameAt(4), "Ball 4");
    EXPECT_EQ(InUse("Ball 4"), "1");
    EXPECT_EQ(Tooling.DeckShown().Number, "T: 4");
}

TEST_F(ToolDeck, CtrlClickOnTheCurrentToolDoesNothing)
{
    std::vector<int> requested;
    Tooling.ToolChangeRequiredNotify = [&](TObject *, int P) { requested.push_back(P); };
    Tooling.PositionCtrlReleased(1);
    EXPECT_TRUE(requested.empty());
    Tooling.PositionCtrlReleased(2);
    EXPECT_EQ(requested, std::vector<int>{2});
    EXPECT_EQ(Tooling.CurrentTool(), 2);
}

TEST_F(ToolDeck, MovingOntoAnOccupiedPositionTakesThatToolOut)
{
    Tooling.MoveTool(2, 1);
    EXPECT_EQ(NameAt(1), "Drill 3");
    EXPECT_EQ(NameAt(2), "");
    EXPECT_EQ(InUse("End 6"), "0") << "the displaced tool left the changer";
    EXPECT_EQ(InUse("Drill 3"), "1");
}

TEST_F(ToolDeck, DroppingOntoAnOccupiedPositionTakesThatToolOutToo)
{
    Tooling.DropPosition(2, 1);
    EXPECT_EQ(NameAt(1), "Drill 3");
    EXPECT_EQ(NameAt(2), "");
    EXPECT_EQ(InUse("End 6"), "0");
    EXPECT_FALSE(Tooling.DeckShown().Buttons[1].Occupied);
}

TEST_F(ToolDeck, ALibraryToolDroppedOnAPositionGoesInOnlyWhenNotInTheChanger)
{
    Tooling.DropLibraryTool(3, "End 6");
    EXPECT_EQ(NameAt(3), "") << "End 6 sits at position 1 already";
    Data.clear();
    Tooling.DropLibraryTool(3, "Ball 4");
    EXPECT_EQ(NameAt(3), "Ball 4");
    EXPECT_EQ(InUse("Ball 4"), "1");
    EXPECT_EQ(Data, std::vector<int>{3});
    EXPECT_EQ(Tooling.DeckShown().Buttons[2].Hint, "Ball 4");
}

TEST_F(ToolDeck, ALibraryToolDroppedOnAnOccupiedPositionTakesThatToolOut)
{
    ASSERT_EQ(NameAt(1), "End 6");
    Tooling.DropLibraryTool(1, "Ball 4");
    EXPECT_EQ(NameAt(1), "Ball 4");
    EXPECT_EQ(InUse("Ball 4"), "1");
    EXPECT_EQ(InUse("End 6"), "0") << "the displaced tool left the changer";
    EXPECT_EQ(Tooling.DeckShown().Buttons[0].Hint, "Ball 4");
    // Out of the changer, it can go in again elsewhere.
    Tooling.DropLibraryTool(3, "End 6");
    EXPECT_EQ(NameAt(3), "End 6");
    EXPECT_EQ(InUse("End 6"), "1");
}

TEST_F(ToolDeck, RemoveToolEmptiesThePositionAndFreesTheTool)
{
    Tooling.MenuPosition = 2;
    Tooling.RemoveToolFromPosition();
    EXPECT_EQ(NameAt(2), "");
    EXPECT_EQ(InUse("Drill 3"), "0");
    EXPECT_FALSE(Tooling.DeckShown().Buttons[1].Occupied);
    Tooling.MenuPosition = 2;
    Tooling.RemoveToolFromPosition();
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown().back(), "Value was not acceptable") << "message 2 for an empty position";
}

TEST_F(ToolDeck, SwapExchangesTheTwoTools)
{
    Tooling.SwapTool(1, 2);
    EXPECT_EQ(NameAt(1), "Drill 3");
    EXPECT_EQ(NameAt(2), "End 6");
    Tooling.SwapTool(1, 5);
    EXPECT_EQ(NameAt(5), "Drill 3");
    EXPECT_EQ(NameAt(1), "");
}

TEST_F(ToolDeck, ExportFailureGivesMessageSixAndTheName)
{
    std::string target = Dir.File("no/such/folder/copy.MTF");
    Tooling.ExportToolingFile(target);
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown().back(), "There is a problem saving the file " + target);
    EXPECT_EQ(Tooling.DataFile(), Dir.File("mill.MTF"));
}

TEST_F(ToolDeck, NewTakesTheFirstFreeNameAndKeepsEarlierJobs)
{
    Dir.Write("NewData.mtf", "[Tool1]\r\nTool Name=Kept\r\n");
    Tooling.NewToolingFile();
    EXPECT_EQ(Tooling.DataFile(), Dir.File("NewData1.mtf"));
    EXPECT_EQ(TDIniFile(Dir.File("NewData.mtf")).ReadString("Tool1", "Tool Name", ""), "Kept");
    EXPECT_EQ(Tooling.CurrentTool(), 1);
    EXPECT_FALSE(Tooling.HasTool(1));
    EXPECT_EQ(Data.back(), -1);
}

} // namespace
} // namespace orv
