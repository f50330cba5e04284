#include "engine/core/Mess.h"

#include "platform/MessageService.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

class TUpperTranslator : public TTextTranslator {
public:
    std::string TranslateText(const std::string &Text) const override
    {
        return Text == "Invalid Radius" ? "Rayon invalide" : Text;
    }
};

TEST(Mess, TableTextsAtTheEdgesAndThoseWithQuotesAndBlanks)
{
    struct Row {
        int Index;
        const char *Text;
    } rows[] = {{0, "No error; please ignore!"},
                {6, "There is a problem saving the file "},
                {11, " already exists.  Overwrite the current data with the imported data?"},
                {13, "The name \""},
                {14, "\" already exists"},
                {29, "Error too many G codes on one line"},
                {30, "Error in code, Tool Number Not Valid"},
                {31, "Error in code, Value is invalid"},
                {32, "Error in code, Token not recognised"},
                {52, "Macro programming structure is invalid"}};
    TMess mess;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Index);
        EXPECT_EQ(mess.MessageText(row.Index), row.Text);
    }
}

TEST(Mess, NumbersOutsideTheTableAreRefused)
{
    TMess mess;
    EXPECT_TRUE(TMess::IsMessageIndex(52));
    EXPECT_FALSE(TMess::IsMessageIndex(53));
    EXPECT_FALSE(TMess::IsMessageIndex(-1));
    EXPECT_EQ(TMess::TableText(53), "");
    EXPECT_EQ(mess.MessageText(53), "Message number 53 is not in the message table");
    EXPECT_EQ(mess.MessageText(255), "Message number 255 is not in the message table");

    TScriptedMessages boxes;
    TMessageServiceScope scope(boxes);
    boxes.Answer("Yes");
    EXPECT_EQ(mess.ShowMessageByIndex(53, mtConfirmation, mbYesNo), mrNone);
    ASSERT_EQ(boxes.Log().size(), 1u);
    EXPECT_EQ(boxes.Log()[0].Text, "Message number 53 is not in the message table");
    EXPECT_EQ(boxes.Log()[0].Buttons, static_cast<unsigned>(mbOK));
}

TEST(Mess, ShowMessageByIndexReturnsTheAnswer)
{
    TMess mess;
    TScriptedMessages boxes;
    TMessageServiceScope scope(boxes);
    boxes.Answer("Yes");
    EXPECT_EQ(mess.ShowMessageByIndex(4, mtConfirmation, mbYesNo), mrYes);
    ASSERT_EQ(boxes.Log().size(), 1u);
    EXPECT_EQ(boxes.Log()[0].Text, "Exit program? Save your data first!");
    EXPECT_EQ(boxes.Log()[0].Buttons, mbYesNo);
}

TEST(Mess, TextsPassThroughTheInstalledTranslator)
{
    TMess mess;
    EXPECT_EQ(mess.Translate("Invalid Radius"), "Invalid Radius");
    TUpperTranslator translator;
    mess.SetTranslator(&translator);
    EXPECT_EQ(mess.MessageText(33), "Rayon invalide");
    EXPECT_EQ(mess.Translate("Radius"), "Radius");
    mess.SetTranslator(nullptr);
    EXPECT_EQ(mess.MessageText(33), "Invalid Radius");
}

TEST(Mess, TheFirstModuleMadeIsTheGlobalOne)
{
    TMess &fallback = Mess();
    EXPECT_EQ(fallback.MessageText(1), "File not found.");
    {
        TMess first;
        TMess second;
        EXPECT_EQ(&Mess(), &first);
    }
    EXPECT_EQ(&Mess(), &fallback);
}

TEST(Mess, TheDictionaryTranslatesOnceOpenAndSwitchesLanguage)
{
    TMess mess;
    const std::string data = ORV_DATA_DIR;
    std::string error;
    EXPECT_EQ(mess.MessageText(33), "Invalid Radius"); // closed: texts stay as they are
    ASSERT_TRUE(mess.OpenDictionary(data + "/language.txt", data + "/translat.txt", 1, error))
        << error;
    EXPECT_EQ(mess.MessageText(33), "Ung\xc3\xbcltiger Radius");
    EXPECT_EQ(mess.Translate("A text nobody translated"), "A text nobody translated");
    ASSERT_TRUE(mess.OpenDictionary(data + "/language.txt", data + "/translat.txt", 0, error));
    EXPECT_EQ(mess.MessageText(34), "Bad ARC End Point");
}

TEST(Mess, ADictionaryThatCannotOpenLeavesTextsAlone)
{
    struct {
        const char *Name;
        std::string LanguageFile;
        int Language;
    } rows[] = {
        {"missing language file", "/nonexistent/language.txt", -1},
        {"language past the table", std::string(ORV_DATA_DIR) + "/language.txt", 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TMess mess;
        std::string error;
        EXPECT_FALSE(mess.OpenDictionary(row.LanguageFile,
                                         std::string(ORV_DATA_DIR) + "/translat.txt",
                                         row.Language, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(mess.MessageText(33), "Invalid Radius");
    }
}

} // namespace
} // namespace orv
