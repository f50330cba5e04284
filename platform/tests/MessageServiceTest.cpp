#include "platform/MessageService.h"

#include <gtest/gtest.h>

using namespace orv;

TEST(MessageService, ScriptedAnswersAreUsedInOrderThenDefaults)
{
    TScriptedMessages script;
    TMessageServiceScope scope(script);
    script.Answer("No");
    script.Answer("2");
    EXPECT_EQ(MessageDlg("Q", "Save?", mtConfirmation, mbYesNo), mrNo);
    EXPECT_EQ(MessageDlg("Q", "Again?", mtConfirmation, mbYesNoCancel), mrCancel);
    EXPECT_EQ(MessageDlg("Q", "Default?", mtConfirmation, mbYesNo), mrYes);
    EXPECT_EQ(MessageDlg("Q", "Explicit?", mtConfirmation, mbYesNo, mrNo), mrNo);
    ASSERT_EQ(script.Log().size(), 4u);
    EXPECT_EQ(script.Log()[0].Text, "Save?");
    EXPECT_EQ(script.Log()[2].Answer, "6");
}

TEST(MessageService, InputAndFileRequests)
{
    TScriptedMessages script;
    TMessageServiceScope scope(script);
    script.Answer("12.5");
    script.Answer("\x1b");
    script.Answer("");
    std::string value = "0";
    EXPECT_TRUE(Messages().InputQuery("Set Offset", "X", value));
    EXPECT_EQ(value, "12.5");
    EXPECT_FALSE(Messages().InputQuery("Set Offset", "Y", value));
    EXPECT_EQ(value, "12.5");
    EXPECT_FALSE(Messages().ChooseFile({}).has_value());
    EXPECT_FALSE(Messages().ChooseFile({}).has_value()); // nothing scripted: cancelled
}
