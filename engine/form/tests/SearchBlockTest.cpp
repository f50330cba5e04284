// Block search: the state collected on the way to the target line, the
// target reached by the first record at or after it, and what the window
// is told.

#include "engine/form/BlockSearchOutput.h"
#include "engine/chain/EngineHost.h"
#include "engine/form/tests/FormTestSupport.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::EndRecord;
using test::Move;

class TRecordingView : public TBlockSearchView {
public:
    void ShowValues(const TBlockSearchShown &Values) override { Last = Values; }
    void Show() override { ++Shows; }
    TBlockSearchShown Last;
    int Shows = 0;
};

TCNC_data OnLine(TCNC_data D, int Line)
{
    D.LineNumber = Line;
    return D;
}

class SearchBlockTest : public ::testing::Test {
protected:
    SearchBlockTest()
    {
        auto view = std::make_unique<TRecordingView>();
        View = view.get();
        Search = std::make_unique<TBlockSearchOutput>(std::move(view));
        Search->OnNextNotify = [this](TObject *) { ++Requests; };
        Search->OnReached = [this](TObject *) { ++Reached; };
        Search->Initialise();
        Search->SetCycleState(csRunning);
    }
    // Hands records in order while the search asks for them; returns how
    // many it took.
    int Feed(std::vector<TCNC_data> Records)
    {
        Search->Start();
        int taken = 0;
        for (auto &r : Records) {
            int before = Requests;
            Search->Execute(r);
            ++taken;
            if (Requests == before)
                break;
        }
        return taken;
    }

    TRecordingView *View;
    std::unique_ptr<TBlockSearchOutput> Search;
    int Requests = 0;
    int Reached = 0;
};

TEST_F(SearchBlockTest, TargetZeroIsReachedByTheFirstRecord)
{
    EXPECT_EQ(Feed({OnLine(Move(0, 1), 1), OnLine(Move(1, 2), 2)}), 1);
    EXPECT_EQ(Reached, 1);
    EXPECT_TRUE(Search->Reached());
}

TEST_F(SearchBlockTest, StopsAtTheTargetLineAndFiresOnce)
{
    Search->SetTarget(3);
    EXPECT_EQ(Feed({OnLine(Move(0, 1), 1), OnLine(Move(1, 2), 2), OnLine(Move(1, 3), 3),
                    OnLine(Move(1, 4), 4)}),
              3);
    EXPECT_EQ(Reached, 1);
    EXPECT_EQ(Search->X(), 3);
    EXPECT_EQ(Search->Line(), 3);
    EXPECT_EQ(View->Last.TargetBlock, "3");
    EXPECT_EQ(View->Last.SearchBlock, "3");
}

// Line 3 is a comment: it gives no record, and the search must not run
// past it for ever.
TEST_F(SearchBlockTest, TargetLineWithoutARecordIsReachedByTheNextOne)
{
    Search->SetTarget(3);
    EXPECT_EQ(Feed({OnLine(Move(0, 1), 1), OnLine(Move(1, 2), 2), OnLine(Move(1, 4), 4),
                    OnLine(Move(1, 5), 5)}),
              3);
    EXPECT_EQ(Reached, 1);
    EXPECT_EQ(Search->Line(), 4);
}

TEST_F(SearchBlockTest, TargetBeyondTheProgramRunsToTheEndWithoutFiring)
{
    Search->SetTarget(50);
    EXPECT_EQ(Feed({OnLine(Move(0, 1), 1), OnLine(Move(1, 2), 2), EndRecord()}), 3);
    EXPECT_EQ(Reached, 0);
}

TEST_F(SearchBlockTest, CollectsMCodesToolFeedAndSpindle)
{
    Search->SetTarget(9);
    auto m = [](int Code, int Line) {
        TCNC_data d = OnLine(Move(NoMoveCode), Line);
        d.MCode = Code;
        return d;
    };
    TCNC_data speed = m(3, 1);
    speed.Spindle = 1200;
    TCNC_data tool = OnLine(Move(1, 5, 6, 7), 4);
    tool.Tool = 2;
    tool.Feed = 250;
    TCNC_data unsetSpindle = m(5, 5);
    Feed({speed, m(8, 2), tool, unsetSpindle, OnLine(Move(0), 9)});
    EXPECT_EQ(Search->MCodes(), (std::vector<std::string>{"3", "8"}));
    EXPECT_EQ(Search->LastM(), 5);
    EXPECT_EQ(Search->S(), 1200) << "an unset spindle speed (-1000) keeps the last one";
    EXPECT_EQ(Search->T(), 2);
    EXPECT_EQ(Search->F(), 250);
    EXPECT_EQ(Search->LastMotion(), 0);
    EXPECT_EQ(Search->Z(), 7);
    EXPECT_EQ(View->Last.M, "5");
    EXPECT_EQ(View->Last.MCodes, (std::vector<std::string>{"3", "8"}));
}

// Before the first record the window has no motion, M code or line to
// show: those fields stay empty, the others read 0; the target shows.
TEST_F(SearchBlockTest, NothingSeenYetShowsEmptyFieldsNotMinusOne)
{
    Search->SetTarget(7);
    const TBlockSearchShown &shown = View->Last;
    EXPECT_EQ(shown.G, "");
    EXPECT_EQ(shown.M, "");
    EXPECT_EQ(shown.SearchBlock, "");
    EXPECT_EQ(shown.TargetBlock, "7");
    EXPECT_EQ(shown.T, "0");
    Feed({OnLine(Move(1, 2), 3)});
    EXPECT_EQ(View->Last.G, "1");
    EXPECT_EQ(View->Last.SearchBlock, "3");
}

TEST_F(SearchBlockTest, TargetIsFixedOnceReachedUntilTheNextStart)
{
    Search->SetTarget(1);
    Feed({OnLine(Move(0, 1), 1)});
    ASSERT_TRUE(Search->Reached());
    Search->SetTarget(7);
    EXPECT_EQ(Search->Target(), 1);
    Search->Start();
    Search->SetTarget(7);
    EXPECT_EQ(Search->Target(), 7);
}

TEST_F(SearchBlockTest, LengthsAreShownInTheOutputsUnits)
{
    Search->SetUnits(TUnits::Inch);
    Search->SetTarget(2);
    Feed({OnLine(Move(0, 25.4), 1)});
    EXPECT_EQ(View->Last.X, "1.0000");
}

} // namespace
} // namespace orv
