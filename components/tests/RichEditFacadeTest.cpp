// The rich edit's 8-bit facade and search: text crosses in the Language's
// code page (1049 converts with 1251 and reads back the same bytes; no
// Language keeps each byte's value), and FindText searches either way, in
// a range or to the end, with whole words and case as asked.

#include "components/richedit/RichEditW.h"
#include "components/widestrings/WStrList.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(RichEditFacade, LanguageCodePageRoundTrip) {
    TRichEditW editor;
    editor.SetText("\xD8 X1\n");
    EXPECT_EQ(editor.GetWideText()[0], u'\u00D8');
    EXPECT_EQ(editor.Line(0), "\xD8 X1");

    editor.SetLanguage(1049);
    EXPECT_EQ(editor.WideLines().Language(), 1049);
    const std::string russian = "\xCF\xF0\xE8\xE2\xE5\xF2"; // "Privet" in 1251
    editor.SetLine(0, russian);
    EXPECT_EQ(editor.WideLines().Get(0), u"\u041F\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(editor.Line(0), russian);
    EXPECT_EQ(editor.FindText("\xE2\xE5", 0, 0), 3);
}

TEST(RichEditFacade, FindTextBothWays) {
    TRichEditW editor;
    // Positions: "Alpha" 0, "beta" 6, "ALPHA" 11, "alphabet" 17, "beta" 26.
    editor.SetText("Alpha beta\nALPHA alphabet\nbeta");
    const int back = TRichEditW::FindBackward, whole = TRichEditW::FindWholeWord,
              match = TRichEditW::FindMatchCase;
    struct Case {
        const char *Text;
        int Start, Length, Options, Expected;
    } cases[] = {
        {"alpha", 0, 0, 0, 0},
        {"alpha", 1, 0, 0, 11},
        {"alpha", 1, 0, match, 17},
        {"alpha", 12, 0, whole, -1},
        {"alpha", 0, 5, 0, 0},
        {"alpha", 0, 4, 0, -1},
        {"alpha", 30, 0, back, 17},
        {"alpha", 30, 0, back | whole, 11},
        {"Alpha", 30, 0, back | whole | match, 0},
        {"beta", 30, 5, back, 26},
        {"beta", 29, 10, back, -1},
        {"beta", 29, 0, back, 6},
        {"beta", -5, 0, 0, 6},
        {"", 0, 0, 0, -1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(editor.FindText(c.Text, c.Start, c.Length, c.Options), c.Expected)
            << c.Text << " from " << c.Start << " over " << c.Length << " options " << c.Options;
}

} // namespace
} // namespace orv
