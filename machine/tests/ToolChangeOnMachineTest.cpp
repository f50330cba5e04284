// The bench-mill tool and offset files on the machine model: a tool change
// and a work-offset selection wired as the engine form wires them reach the
// unit converter, so the blocks sent to the machine carry tool 3's length
// offset and the G55 shift.

#include "engine/core/data_types.h"
#include "machine/BasicMachine.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/Work_piece_offset.h"
#include "machine/convert.h"
#include "machine/tests/BenchMillTooling.h"

#include <gmock/gmock.h>

namespace orv {
namespace {

using test::TBenchMillTooling;
using ::testing::ElementsAre;

class ToolChangeOnMachine : public TBenchMillTooling {
protected:
    ToolChangeOnMachine()
    {
        Machine.Tooling = &Tooling;
        Machine.Convertor = &Convert;
        // The engine form's handlers.
        Tooling.ToolChangeRequiredNotify = [this](TObject *, int Tool) {
            Machine.ToolChange(Tool);
            Tooling.CommitToolChange();
        };
        Tooling.Tool_Z_offsetChanged = [this](TObject *) {
            Convert.ToolLength = Tooling.CurrentLengthOffset;
        };
        Work.WorkDataChanged = [this](TObject *, const std::string &, const std::string &) {
            Convert.OffsetX = Work.MX();
            Convert.OffsetY = Work.MY();
            Convert.OffsetZ = Work.MZ();
        };
    }
    TCNC_data Sent(double X, double Z)
    {
        TCNC_data block, sent;
        block.Motion = 1;
        block.X = X;
        block.Z = Z;
        Convert.AddOffsets(block, sent);
        return sent;
    }

    TConvert Convert{nullptr, nullptr};
    TBasicMachine Machine{nullptr};
    TWork_piece_offset Work;
};

TEST_F(ToolChangeOnMachine, ToolThreeAndG55ShiftTheBlocksSentToTheMachine)
{
    Msgs.Answer("OK"); // the manual tool change: the operator fitted the tool
    ASSERT_TRUE(Tooling.RequestToolChange(3, true));
    EXPECT_EQ(Machine.GetCurrentTool(), 3);
    EXPECT_EQ(Convert.ToolLength, 52.35);
    EXPECT_EQ(Sent(10, 0).Z, 52.35);

    ASSERT_TRUE(Work.SelectByCode(55));
    TCNC_data sent = Sent(10, -2);
    EXPECT_EQ(sent.X, 70);
    EXPECT_DOUBLE_EQ(sent.Z, -85.5 + 52.35 - 2);
    EXPECT_EQ(sent.Y, NoValue);
    ASSERT_EQ(Msgs.Log().size(), 1u);
    EXPECT_EQ(Msgs.Log()[0].Text, "Change the tool in the machine to Tool Number 3");
}

TEST_F(ToolChangeOnMachine, EmptyPositionLeavesNoToolLengthBehind)
{
    Msgs.Answer("OK");
    ASSERT_TRUE(Tooling.RequestToolChange(3, true));
    Msgs.Answer("OK");
    ASSERT_TRUE(Tooling.RequestToolChange(7, true)); // position 7 holds no tool
    EXPECT_EQ(Convert.ToolLength, 0);
    EXPECT_EQ(Sent(0, 0).Z, 0);
    EXPECT_EQ(Msgs.Log().back().Text, "Failed to Find a valid Tool-7");
}

} // namespace
} // namespace orv
