#include "engine/core/Mess.h"

#include "localise/LxTextDictionary.h"
#include "platform/MessageService.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

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

// Every numbered message and every title of a message box has its German
// row: in German none reads as it does in English, but for the texts that
// are the same in both languages.
TEST(Mess, EveryMessageAndBoxTitleReadsGerman)
{
    TMess mess;
    const std::string data = ORV_DATA_DIR;
    std::string error;
    ASSERT_TRUE(mess.OpenDictionary(data + "/language.txt", data + "/translat.txt", 1, error))
        << error;
    const std::set<std::string> sameInGerman = {"Radius", "Information", "Orvellan"};
    std::vector<std::string> texts;
    for (int i = 0; i < TMess::MessageCount; ++i)
        texts.push_back(TMess::TableText(i));
    for (int type : {mtWarning, mtError, mtInformation, mtConfirmation, mtCustom})
        texts.push_back(TMess::DialogCaption(type));
    for (const std::string &text : texts)
        if (!sameInGerman.count(text))
            EXPECT_NE(mess.Translate(text), text) << "no German row for \"" << text << "\"";
}

// The text of the C++ string literals that start at Text[At] (adjacent
// ones joined), its escapes decoded; At moves past them. Empty when no
// literal starts there.
std::string LiteralAt(const std::string &Text, size_t &At)
{
    std::string value;
    while (At < Text.size() && Text[At] == '"') {
        for (++At; At < Text.size() && Text[At] != '"'; ++At) {
            if (Text[At] != '\\') {
                value += Text[At];
                continue;
            }
            const char escaped = Text[++At];
            if (escaped == 'n')
                value += '\n';
            else if (escaped == 't')
                value += '\t';
            else if (escaped == 'x') {
                size_t digits = 0;
                const int code = std::stoi(Text.substr(At + 1, 2), &digits, 16);
                value += static_cast<char>(code);
                At += digits;
            } else
                value += escaped;
        }
        ++At;
        while (At < Text.size() && std::isspace(static_cast<unsigned char>(Text[At])))
            ++At;
    }
    return value;
}

// Every text the program's code hands to the translation as it stands
// (Translate("..."), Tr("..."), TrQ("..."), QTr("...")) has a German row: a
// caption or message written without one fails here, where it is written.
TEST(Mess, EveryTextTheCodeTranslatesHasAGermanRow)
{
    TMess mess;
    const std::string data = ORV_DATA_DIR;
    std::string error;
    ASSERT_TRUE(mess.OpenDictionary(data + "/language.txt", data + "/translat.txt", 1, error))
        << error;
    std::set<std::string> rows;
    for (int i = 0; i < mess.Dictionary().GetTranslationCount(); ++i)
        if (!mess.Dictionary().Translation(i).Translation.empty())
            rows.insert(mess.Dictionary().Translation(i).Source);
    const std::set<std::string> calls = {"Translate", "Tr", "TrQ", "QTr"};
    int found = 0;
    std::vector<std::string> missing;
    // Rostrel, the transfer tool, speaks English only.
    for (const char *module : {"engine", "machine", "shell", "links", "view3d", "fanuc",
                               "components", "simcontrol", "localise", "platform"}) {
        const std::filesystem::path folder = std::filesystem::path(ORV_SOURCE_DIR) / module;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(folder)) {
            const std::string path = entry.path().generic_string();
            const std::string extension = entry.path().extension().string();
            if ((extension != ".cpp" && extension != ".h") ||
                path.find("/tests/") != std::string::npos)
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            for (size_t open = text.find('('); open != std::string::npos;
                 open = text.find('(', open + 1)) {
                size_t name = open;
                while (name > 0 && (std::isalnum(static_cast<unsigned char>(text[name - 1])) ||
                                    text[name - 1] == '_'))
                    --name;
                size_t at = open + 1;
                while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
                    ++at;
                if (at >= text.size() || text[at] != '"' ||
                    !calls.count(text.substr(name, open - name)))
                    continue;
                const std::string literal = LiteralAt(text, at);
                // A literal joined to a value is translated as a whole
                // elsewhere; a literal alone is the text itself.
                if (at >= text.size() || text[at] != ')' || literal.empty())
                    continue;
                ++found;
                if (!rows.count(literal))
                    missing.push_back(literal + "  [" +
                                      entry.path().lexically_relative(ORV_SOURCE_DIR).string() +
                                      "]");
            }
        }
    }
    EXPECT_GT(found, 100) << "the scan finds the program's texts";
    std::string list;
    for (const std::string &text : missing)
        list += "\n  " + text;
    EXPECT_TRUE(missing.empty()) << missing.size() << " texts without a German row:" << list;
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
