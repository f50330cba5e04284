// An exception that no handler caught, in German: the program's message
// dictionary (the shipped language and translation files) is open, so the
// top-level handler shows the message translated, with its period.

#include "localise/LxHooks.h"
#include "localise/LxTextDictionary.h"
#include "localise/tests/LxTestSupport.h"
#include "localise/ui/LxApplication.h"
#include "platform/MessageService.h"

#include <QObject>

#include <gtest/gtest.h>

#include <stdexcept>

namespace orv {
namespace {

class LxApplicationException : public test::TLxEnvironmentTest {};

TEST_F(LxApplicationException, UncaughtExceptionShowsItsMessageInGerman)
{
    ApplicationOnException() = nullptr;
    TLxTextDictionary Dictionary; // the first dictionary installs the handler
    Dictionary.SetLanguageFileName(ORV_DATA_DIR "/language.txt");
    Dictionary.SetFileName(ORV_DATA_DIR "/translat.txt");
    Dictionary.SetLanguage(1);
    Dictionary.Open();
    ASSERT_TRUE(Dictionary.Active());
    TScriptedMessages Messages;
    TMessageServiceScope Scope(Messages);
    QObject Receiver;
    const bool Delivered = DeliverToExceptionHandler(&Receiver, []() -> bool {
        throw std::runtime_error("Value was not acceptable");
    });
    EXPECT_FALSE(Delivered);
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_EQ(Messages.Log()[0].Text, "Der Wert ist nicht zulässig.");
    EXPECT_EQ(Messages.Log()[0].Buttons, unsigned(mbOK));
    EXPECT_TRUE(DeliverToExceptionHandler(&Receiver, [] { return true; }));
    EXPECT_EQ(Messages.Log().size(), 1u) << "nothing shown without an exception";
}

} // namespace
} // namespace orv
