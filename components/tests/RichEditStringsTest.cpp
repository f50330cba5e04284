// The rich edit's 8-bit lines: the count without an empty last line, the
// Language's code page both ways (a file in it saved back byte for byte,
// its undefined bytes too), text set without change events, adding
// without selection events, Assign; files through the conversion of their
// extension (any case), with the failures named and the text kept; the
// wide lines' files going through the same path, with both byte marks.

#include "components/richedit/RichEditStrings.h"
#include "components/richedit/RichEditW.h"
#include "components/widestrings/WStrList.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

namespace orv {
namespace {

TEST(RichEditLines, CountLeavesOutAnEmptyLastLine)
{
    struct Case {
        const char *Text;
        int Count;
    } cases[] = {{"", 0}, {"a", 1}, {"a\n", 1}, {"a\nb", 2}, {"a\n\n", 2}, {"\n", 1}};
    for (const Case &c : cases) {
        TRichEditW editor;
        editor.SetText(c.Text);
        EXPECT_EQ(editor.Lines().GetCount(), c.Count) << c.Text;
    }
    // Adding after a closing break fills the empty last line's place.
    TRichEditW editor;
    editor.SetText("a\n");
    EXPECT_EQ(editor.Lines().Add("b"), 1);
    EXPECT_EQ(editor.Lines().Strings(), (std::vector<std::string>{"a", "b"}));
}

TEST(RichEditLines, CodePageOfTheLanguage)
{
    TRichEditW editor;
    editor.SetLanguage(1049);
    const std::string russian = "\xCF\xF0\xE8\xE2\xE5\xF2"; // in code page 1251
    TRichEditStringsW &lines = editor.Lines();
    lines.Add("x");
    lines.Put(0, russian);
    EXPECT_EQ(editor.WideLines().Get(0), u"\u041F\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(lines.Get(0), russian);
    lines.Insert(0, "\xC0");
    EXPECT_EQ(editor.WideLines().Get(0), u"\u0410");
    lines.Delete(0);
    EXPECT_EQ(lines.Get(0), russian);
    // The wide lines' language is the control's, both ways.
    editor.WideLines().SetLanguage(1031);
    EXPECT_EQ(editor.Language(), 1031);
}

TEST(RichEditLines, FileInTheLanguagesCodePageSavesEveryByte)
{
    test::TTempDir dir;
    TRichEditW editor;
    editor.SetLanguage(1032); // Greek: code page 1253, which leaves 0xD2 and 0xFF undefined
    editor.InputFormat = ifText;
    editor.OutputFormat = ofText;
    const std::string program = "N10 (\xC1\xAA\xD2)\r\nN20 (\xFF)";
    dir.Write("greek.fnc", program);
    ASSERT_TRUE(editor.Lines().LoadFromFile(dir.File("greek.fnc")));
    EXPECT_EQ(editor.WideLines().Get(0), u"N10 (\u0391\u00AA\uF7D2)");
    EXPECT_EQ(editor.Lines().Get(1), "N20 (\xFF)");
    ASSERT_TRUE(editor.Lines().SaveToFile(dir.File("back.fnc")));
    EXPECT_EQ(dir.Read("back.fnc"), program);
}

TEST(RichEditLines, TextAddAndAssign)
{
    TRichEditW editor;
    int changes = 0, selections = 0;
    editor.OnChange = [&] { ++changes; };
    editor.OnSelectionChange = [&] { ++selections; };
    TRichEditStringsW &lines = editor.Lines();

    lines.SetTextStr("a\r\nb\nc\r");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(lines.Strings(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(lines.GetTextStr(), "a\r\nb\r\nc\r\n");

    selections = 0;
    lines.AddStrings({"d", "e"});
    EXPECT_EQ(selections, 0);
    ASSERT_TRUE(editor.OnSelectionChange); // given back
    EXPECT_EQ(lines.GetCount(), 5);

    TRichEditW other;
    other.Lines().SetTextStr("x\ny");
    lines.Assign(other.Lines());
    EXPECT_EQ(lines.Strings(), (std::vector<std::string>{"x", "y"}));
    lines.Assign(std::vector<std::string>{});
    EXPECT_EQ(lines.GetCount(), 0);
    lines.Clear();
    EXPECT_EQ(editor.TextLength(), 0);

    // Updates nest; painting comes back with the last.
    lines.BeginUpdate();
    lines.BeginUpdate();
    lines.EndUpdate();
    EXPECT_FALSE(editor.viewport()->updatesEnabled());
    lines.EndUpdate();
    EXPECT_TRUE(editor.viewport()->updatesEnabled());
}

// Upper-cases what it reads and counts the live objects.
class TShoutConversion : public TConversion {
public:
    TShoutConversion() { ++Live; }
    ~TShoutConversion() override { --Live; }
    int ConvertReadStream(std::istream &In, char *Buffer, int Size) override
    {
        if (Fail)
            return -1;
        const int n = TConversion::ConvertReadStream(In, Buffer, Size);
        for (int i = 0; i < n; ++i)
            Buffer[i] = char(std::toupper(uint8_t(Buffer[i])));
        return n;
    }
    static inline int Live = 0;
    static inline bool Fail = false;
};

TEST(RichEditLines, FilesGoThroughTheConversionOfTheirExtension)
{
    test::TTempDir dir;
    TRichEditStringsW::RegisterConversionFormat(
        "rtf", [] { return std::make_unique<TShoutConversion>(); });
    TRichEditW editor;
    editor.InputFormat = ifText;
    struct Case {
        const char *File;
        const char *Text;
    } cases[] = {{"a.RTF", "N10 G0"}, {"b.rtf", "N10 G0"}, {"c.txt", "n10 g0"}, {"d.fnc", "n10 g0"},
                 {"noext", "n10 g0"}};
    for (const Case &c : cases) {
        dir.Write(c.File, "n10 g0");
        ASSERT_TRUE(editor.Lines().LoadFromFile(dir.File(c.File))) << c.File;
        EXPECT_EQ(editor.Text(), c.Text) << c.File;
    }
    EXPECT_EQ(TShoutConversion::Live, 0);

    // A failing block: the error, the text kept, the conversion freed.
    TShoutConversion::Fail = true;
    EXPECT_FALSE(editor.Lines().LoadFromFile(dir.File("a.RTF")));
    TShoutConversion::Fail = false;
    EXPECT_EQ(editor.StreamError, "Failed to Load Stream");
    EXPECT_EQ(editor.Text(), "n10 g0");
    EXPECT_EQ(TShoutConversion::Live, 0);
    TRichEditStringsW::RegisterConversionFormat(
        "rtf", [] { return std::make_unique<TConversion>(); });

    EXPECT_FALSE(editor.Lines().LoadFromFile(dir.File("missing.fnc")));
    EXPECT_EQ(editor.StreamError, "Cannot open file " + dir.File("missing.fnc"));
    EXPECT_FALSE(editor.Lines().LoadFromFile(dir.Path()));
    EXPECT_EQ(editor.Text(), "n10 g0");

    editor.OutputFormat = ofText;
    editor.SetText("N1\nN2");
    ASSERT_TRUE(editor.Lines().SaveToFile(dir.File("out.fnc")));
    EXPECT_EQ(dir.Read("out.fnc"), "N1\r\nN2");
    EXPECT_FALSE(editor.Lines().SaveToFile(dir.File("no/such/out.fnc")));
    EXPECT_EQ(editor.StreamError, "Cannot create file " + dir.File("no/such/out.fnc"));

    // The disk refusing the text part way: the old file stays whole.
    editor.SetText("N10 G0 X0\nN20 G1 X100 F500\nN30 M30");
    {
        test::TFileSizeLimit limit(8);
        EXPECT_FALSE(editor.Lines().SaveToFile(dir.File("out.fnc")));
    }
    EXPECT_EQ(editor.StreamError, "Failed to Save Stream");
    EXPECT_EQ(dir.Read("out.fnc"), "N1\r\nN2");
}

TEST(RichEditLines, WideLinesFilesUseTheControlsFormats)
{
    test::TTempDir dir;
    TRichEditW editor;
    editor.InputFormat = ifUnicode;
    editor.OutputFormat = ofUnicode;
    const std::string units("A\0\r\0B\0", 6);
    struct Case {
        const char *Name;
        std::string Bytes;
    } cases[] = {{"usual mark FF FE", "\xFF\xFE" + units},
                 {"list mark FE FF", "\xFE\xFF" + units},
                 {"no mark", units}};
    for (const Case &c : cases) {
        dir.Write("w.txt", c.Bytes);
        ASSERT_TRUE(editor.WideLines().LoadFromFile(dir.File("w.txt"))) << c.Name;
        EXPECT_EQ(editor.WideLines().GetCount(), 2) << c.Name;
        EXPECT_EQ(editor.WideLines().Get(1), u"B") << c.Name;
    }
    ASSERT_TRUE(editor.WideLines().SaveToFile(dir.File("back.txt")));
    EXPECT_EQ(dir.Read("back.txt"), std::string("A\0\r\0\n\0B\0", 8));

    editor.WideLines().SetTextStr(u"A");
    EXPECT_EQ(editor.WideLines().WideStringsProperty(), "0041000D000A");
}

} // namespace
} // namespace orv
