#include "engine/core/Base_cnc.h"

#include "platform/MessageService.h"

#include <gtest/gtest.h>
#include <vector>

namespace orv {
namespace {

class TStage : public TBase_cnc {
public:
    using TBase_cnc::TBase_cnc;
    void Fail(int Line) { ReportError(Line, "X1.2.3", "Error in code, Value is invalid"); }
    void Pull() { NotifyNext(); }
};

struct TReport {
    TObject *Sender;
    int Line;
    std::string Detail, Message;
};

TEST(Base_cnc, TwoStagesShareOneHandlerAndAreToldApartBySender)
{
    TComponent owner;
    TStage first(&owner), second(&owner);
    std::vector<TReport> reports;
    auto handler = [&](TObject *Sender, int Pos, const std::string &Detail,
                       const std::string &Message) {
        reports.push_back({Sender, Pos, Detail, Message});
    };
    first.OnErrorEvent = handler;
    second.OnErrorEvent = handler;
    first.Fail(3);
    second.Fail(7);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].Sender, &first);
    EXPECT_EQ(reports[0].Line, 3);
    EXPECT_EQ(reports[0].Detail, "X1.2.3");
    EXPECT_EQ(reports[1].Sender, &second);
    EXPECT_EQ(reports[1].Line, 7);
    EXPECT_EQ(first.Owner(), &owner);
}

TEST(Base_cnc, EmptyHandlersAreSkippedAndTheBoxFollowsTheFlag)
{
    TScriptedMessages boxes;
    TMessageServiceScope scope(boxes);
    TStage stage;
    stage.Fail(1);
    stage.Pull();
    EXPECT_TRUE(boxes.Log().empty());
    stage.ShowErrorDialogueBox = true;
    stage.Fail(1);
    ASSERT_EQ(boxes.Log().size(), 1u);
    EXPECT_EQ(boxes.Log()[0].Text, "Error in code, Value is invalid\nX1.2.3");
}

TEST(Base_cnc, NextNotifyReachesTheSupplierWithTheStage)
{
    TStage stage;
    TObject *asked = nullptr;
    stage.OnNextNotify = [&](TObject *Sender) { asked = Sender; };
    stage.Pull();
    EXPECT_EQ(asked, &stage);
}

} // namespace
} // namespace orv
