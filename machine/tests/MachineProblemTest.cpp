// A machine problem without the dialog installed goes to an error box.

#include "machine/MachineProblem.h"
#include "platform/MessageService.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(MachineProblemTest, WithoutTheDialogAnErrorBoxShowsIt) {
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    ShowMachineProblem({"", "Machine Error: Homing aborted", "Close the Guard !"});
    ShowMachineProblem({"M/C Limit Error", "Machine Error: Move Exceeds Limits", ""});
    ASSERT_EQ(messages.Log().size(), 2u);
    EXPECT_EQ(messages.Log()[0].Caption, "Machine Error");
    EXPECT_EQ(messages.Log()[0].Text, "Machine Error: Homing aborted\n\nClose the Guard !");
    EXPECT_EQ(messages.Log()[1].Caption, "M/C Limit Error");
    EXPECT_EQ(messages.Log()[1].Text, "Machine Error: Move Exceeds Limits");

    std::vector<TMachineProblem> shown;
    SetMachineProblemPresenter([&](const TMachineProblem &P) { shown.push_back(P); });
    ShowMachineProblem({"Homing Error", "m", "d"});
    SetMachineProblemPresenter(nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Caption, "Homing Error");
    EXPECT_EQ(messages.Log().size(), 2u);
}

} // namespace
} // namespace orv
