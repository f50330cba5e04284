// The rich edit's 8-bit facade and search: text crosses in the Language's
// code page (1049 converts with 1251 and reads back the same bytes; no
// Language keeps each byte's value), and FindText searches either way, in
// a range or to the end, with whole words and case as asked; streams in
// each format with progress; the character attribute table.

#include "components/richedit/RichEditW.h"
#include "components/widestrings/WStrList.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <sstream>

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

std::string Saved(TRichEditW &Editor, TOutputFormat Format) {
    std::ostringstream out;
    Editor.OutputFormat = Format;
    EXPECT_TRUE(Editor.SaveToStream(out));
    return out.str();
}

bool Load(TRichEditW &Editor, TInputFormat Format, const std::string &Bytes) {
    std::istringstream in(Bytes);
    Editor.InputFormat = Format;
    return Editor.LoadFromStream(in);
}

// Each format saves what it loads back; RTF keeps braces, backslashes, tabs
// and characters outside the code page.
TEST(RichEditStreams, RoundTrips) {
    const std::u16string text = u"G0 X1\n\u041F\tA{b}\\c \u20AC\nM30";
    struct Case {
        TOutputFormat Out;
        TInputFormat In;
        int Language;
    } cases[] = {{ofRTF, ifRTF, 0},
                 {ofRTFNoObjs, ifRTF, 1049},
                 {ofUnicode, ifUnicode, 0},
                 {ofText, ifText, 1049}};
    for (const Case &c : cases) {
        TRichEditW from, to;
        from.SetLanguage(c.Language);
        to.SetLanguage(c.Language);
        from.WideLines().SetTextStr(c.Out == ofText ? u"G0 X1\n\u041F\tA\nM30" : text);
        const std::u16string before = from.GetWideText();
        ASSERT_TRUE(Load(to, c.In, Saved(from, c.Out))) << c.Out;
        EXPECT_EQ(to.GetWideText(), before) << c.Out;
    }
}

TEST(RichEditStreams, SavedBytesAndForeignInput) {
    TRichEditW editor;
    editor.SetText("A\nB");
    EXPECT_EQ(Saved(editor, ofUnicode), std::string("A\0\r\0\n\0B\0", 8));
    EXPECT_EQ(Saved(editor, ofText), "A\r\nB");
    EXPECT_EQ(Saved(editor, ofTextized), "A\r\nB");
    editor.SetSelection(2, 1);
    editor.SelectedInOut = true;
    EXPECT_EQ(Saved(editor, ofText), "B");

    struct Case {
        TInputFormat Format;
        std::string Bytes;
        std::u16string Text;
    } cases[] = {
        {ifUnicode, std::string("\xFF\xFE\x41\0\x0D\0", 6), u"A\n"},
        {ifRTF,
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
         "{\\*\\generator x;}\\f0\\cf1 Hello\\'e9\\par\r\nWorld}",
         u"Hello\u00E9\nWorld"},
        // RTF that does not close, or broken escapes, loads as plain text.
        {ifRTF, "{\\rtf1 open", u"{\\rtf1 open"},
        {ifRTF, "{\\rtf1 x\\'zz}", u"{\\rtf1 x\\'zz}"},
        {ifRTF, "N10 G0\r\nN20", u"N10 G0\nN20"},
        {ifText, "N10\rN20\nN30", u"N10\nN20\nN30"},
    };
    for (const Case &c : cases) {
        TRichEditW in;
        ASSERT_TRUE(Load(in, c.Format, c.Bytes)) << c.Bytes;
        EXPECT_EQ(in.GetWideText(), c.Text) << c.Bytes;
    }
}

// A no-break space is a character of its own: text, search and every saved
// format keep it (Qt's plain text would make it a space).
TEST(RichEditStreams, NoBreakSpaceIsKept) {
    TRichEditW editor;
    editor.SetText("X\xA0" "1\nY 2");
    EXPECT_EQ(editor.GetWideText(), u"X\u00A0" "1\nY 2");
    EXPECT_EQ(editor.Text(), "X\xA0" "1\nY 2");
    EXPECT_EQ(editor.FindText(" ", 0, 0), 5); // the space of "Y 2"
    EXPECT_EQ(Saved(editor, ofText), "X\xA0" "1\r\nY 2");
    EXPECT_EQ(Saved(editor, ofUnicode), std::string("X\0\xA0\0" "1\0\r\0\n\0Y\0 \0" "2\0", 16));
}

TEST(RichEditStreams, ProgressAndFailures) {
    TRichEditW editor;
    std::vector<std::pair<int, int>> loads, saves;
    editor.OnLoadProgress = [&](int Position, int Size) { loads.emplace_back(Position, Size); };
    editor.OnSaveProgress = [&](int Position, int Size) { saves.emplace_back(Position, Size); };
    ASSERT_TRUE(Load(editor, ifText, std::string(10000, 'x')));
    ASSERT_GE(loads.size(), 3u);
    EXPECT_EQ(loads[0], std::make_pair(0, 10000));
    EXPECT_EQ(loads[1], std::make_pair(4096, 10000));
    EXPECT_EQ(loads[2], std::make_pair(8192, 10000));
    Saved(editor, ofText);
    ASSERT_EQ(saves.size(), 3u);
    EXPECT_EQ(saves.back(), std::make_pair(10000, 10000));

    // An odd count of 16-bit bytes fails and keeps the text.
    EXPECT_FALSE(Load(editor, ifUnicode, std::string("A\0B", 3)));
    EXPECT_EQ(editor.StreamError, "Failed to Load Stream");
    EXPECT_EQ(editor.TextLength(), 10000);
    std::ostream broken(nullptr);
    EXPECT_FALSE(editor.SaveToStream(broken));
    EXPECT_EQ(editor.StreamError, "Failed to Save Stream");
}

// Every attribute written to the selection reads back from it and leaves
// the text after the selection as it was; the effects map onto Qt's own
// font properties where it has them.
TEST(RichEditAttributes, TableRoundTrip) {
    TRichEditW editor;
    editor.SetText("abc def");
    editor.SetLanguage(1049);
    editor.SetSelection(0, 3);
    TTextAttributesW &a = editor.SelAttributes();
    EXPECT_EQ(a.Weight(), 400);
    EXPECT_EQ(a.Language(), 1049);
    EXPECT_EQ(a.UnderlineType(), 0);
    a.SetName("Courier New");
    a.SetSize(14);
    a.SetWeight(700);
    a.SetLanguage(1031);
    a.SetSubscriptStyle(2);
    a.SetOffset(1.5);
    a.SetSpacing(2);
    a.SetKerning(8);
    a.SetUnderlineType(3);
    a.SetAnimation(4);
    EXPECT_EQ(a.Name(), "Courier New");
    EXPECT_EQ(a.Size(), 14);
    EXPECT_EQ(a.Weight(), 700);
    EXPECT_TRUE(a.Effect(TTextAttributesW::efBold));
    EXPECT_EQ(a.Language(), 1031);
    EXPECT_EQ(a.SubscriptStyle(), 2);
    EXPECT_DOUBLE_EQ(a.Offset(), 1.5);
    EXPECT_DOUBLE_EQ(a.Spacing(), 2);
    EXPECT_DOUBLE_EQ(a.Kerning(), 8);
    EXPECT_EQ(a.UnderlineType(), 3);
    EXPECT_TRUE(a.Effect(TTextAttributesW::efUnderline));
    EXPECT_EQ(a.Animation(), 4);

    const unsigned effects[] = {TTextAttributesW::efItalic,  TTextAttributesW::efStrikeOut,
                                TTextAttributesW::efLink,    TTextAttributesW::efSmallCaps,
                                TTextAttributesW::efAllCaps, TTextAttributesW::efHidden,
                                TTextAttributesW::efOutline, TTextAttributesW::efShadow,
                                TTextAttributesW::efEmboss,  TTextAttributesW::efImprint};
    for (unsigned e : effects) {
        a.SetEffect(e, true);
        EXPECT_TRUE(a.Effect(e)) << e;
        for (unsigned other : effects)
            if (other != e && other != TTextAttributesW::efSmallCaps &&
                e != TTextAttributesW::efSmallCaps)
                EXPECT_EQ(a.Effect(other), other < e || other == e) << e << " " << other;
    }
    for (unsigned e : effects) {
        a.SetEffect(e, false);
        EXPECT_FALSE(a.Effect(e)) << e;
    }
    a.SetEffect(TTextAttributesW::efSmallCaps, true);
    EXPECT_FALSE(a.Effect(TTextAttributesW::efAllCaps));

    editor.SetSelection(5, 1);
    EXPECT_EQ(a.Weight(), 400);
    EXPECT_EQ(a.SubscriptStyle(), 0);
    EXPECT_EQ(a.Animation(), 0);
    EXPECT_EQ(a.Language(), 1049);
}

// With no selection a change of the selection attributes goes to the word
// at the caret (WordFormatting, on by default) and to what is typed next;
// with WordFormatting off only to what is typed next.
TEST(RichEditAttributes, WordFormattingAppliesToTheWordAtTheCaret) {
    const struct {
        const char *Name;
        bool WordFormatting;
        int Caret;
        bool WordBold;
    } cases[] = {
        {"inside the first word", true, 1, true},
        {"at the end of the word", true, 3, true},
        {"off", false, 1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TRichEditW editor;
        EXPECT_TRUE(editor.WordFormatting);
        editor.WordFormatting = c.WordFormatting;
        editor.SetText("abc def");
        editor.SetSelection(c.Caret, 0);
        editor.SelAttributes().SetEffect(TTextAttributesW::efBold, true);
        editor.SelAttributes().SetColor(0x0000FF);
        for (int i = 0; i < 3; ++i) {
            uint32_t colour, back;
            uint8_t style;
            editor.CharFormatAt(i, colour, back, style);
            EXPECT_EQ((style & 1) != 0, c.WordBold) << i;
            EXPECT_EQ(colour == 0x0000FF, c.WordBold) << i;
        }
        uint32_t colour, back;
        uint8_t style;
        editor.CharFormatAt(5, colour, back, style);
        EXPECT_EQ(style & 1, 0) << "the other word keeps its format";
        editor.insertPlainText("X");
        editor.CharFormatAt(c.Caret, colour, back, style);
        EXPECT_EQ(style & 1, 1) << "what is typed next";
    }
}

// Assign copies every attribute of the table from one control's selection to
// another's; AssignTo gives a font name, style, size and pitch.
TEST(RichEditAttributes, AssignCopiesEveryAttribute) {
    TRichEditW from, to;
    from.SetText("abc");
    from.SetSelection(0, 3);
    TTextAttributesW &a = from.SelAttributes();
    a.SetColor(0x0000FF);
    a.SetName("Courier New");
    a.SetSize(15);
    a.SetPitch(1);
    a.SetWeight(800);
    a.SetBackColor(0x00FFFF);
    a.SetLanguage(1031);
    a.SetSubscriptStyle(1);
    a.SetOffset(2.5);
    a.SetSpacing(1.5);
    a.SetKerning(9);
    a.SetUnderlineType(2);
    a.SetEffect(TTextAttributesW::efItalic, true);
    a.SetEffect(TTextAttributesW::efStrikeOut, true);
    a.SetAnimation(3);
    a.SetEffect(TTextAttributesW::efAllCaps, true);
    for (unsigned e : {TTextAttributesW::efHidden, TTextAttributesW::efShadow,
                       TTextAttributesW::efImprint, TTextAttributesW::efLink})
        a.SetEffect(e, true);
    to.SetText("xyz");
    to.SetSelection(0, 3);
    to.SelAttributes().SetEffect(TTextAttributesW::efSmallCaps, true);
    to.SelAttributes().SetEffect(TTextAttributesW::efOutline, true);
    TTextAttributesW &b = to.SelAttributes();
    b.Assign(a);
    EXPECT_EQ(b.Color(), 0x0000FFu);
    EXPECT_EQ(b.Name(), "Courier New");
    EXPECT_EQ(b.Size(), 15);
    EXPECT_EQ(b.Pitch(), 1);
    EXPECT_EQ(b.Weight(), 800) << "bold copied after the weight keeps it";
    EXPECT_EQ(b.BackColor(), 0x00FFFFu);
    EXPECT_EQ(b.Language(), 1031);
    EXPECT_EQ(b.SubscriptStyle(), 1);
    EXPECT_DOUBLE_EQ(b.Offset(), 2.5);
    EXPECT_DOUBLE_EQ(b.Spacing(), 1.5);
    EXPECT_DOUBLE_EQ(b.Kerning(), 9);
    EXPECT_EQ(b.UnderlineType(), 2);
    EXPECT_EQ(b.Animation(), 3);
    for (unsigned e : {TTextAttributesW::efBold, TTextAttributesW::efItalic,
                       TTextAttributesW::efStrikeOut, TTextAttributesW::efAllCaps,
                       TTextAttributesW::efHidden, TTextAttributesW::efShadow,
                       TTextAttributesW::efImprint, TTextAttributesW::efLink})
        EXPECT_TRUE(b.Effect(e)) << e;
    for (unsigned e : {TTextAttributesW::efSmallCaps, TTextAttributesW::efOutline,
                       TTextAttributesW::efEmboss})
        EXPECT_FALSE(b.Effect(e)) << e << " was set on the target only";
    EXPECT_EQ(to.Text(), "xyz");

    QFont font("Arial", 9);
    font.setStrikeOut(false);
    a.AssignTo(font);
    EXPECT_EQ(font.family(), "Courier New");
    EXPECT_EQ(font.pointSize(), 15);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.fixedPitch());
    EXPECT_FALSE(font.strikeOut()) << "strike-out is not given to a font";
}

// The selection bar is a left margin where a click selects the line beside
// it; changing it re-creates the window, whose language options are set
// again. Without automatic font, missing characters are not taken from
// other fonts.
TEST(RichEditFacade, SelectionBarAndLanguageOptions) {
    TRichEditW editor;
    editor.resize(300, 200);
    editor.show();
    editor.SetText("N10 G0\nN20 G1 X5\nN30 M30");
    EXPECT_FALSE(editor.ShowSelectionBar());
    EXPECT_EQ(editor.LangOptions(), TLangOptions(loAutoFont));
    EXPECT_EQ(editor.viewport()->x(), editor.frameWidth());
    EXPECT_FALSE(editor.document()->defaultFont().styleStrategy() & QFont::NoFontMerging);

    editor.SetLangOptions(loAutoKeyboard);
    EXPECT_TRUE(editor.document()->defaultFont().styleStrategy() & QFont::NoFontMerging);
    editor.SetShowSelectionBar(true);
    EXPECT_EQ(editor.RecreateCount(), 1);
    editor.SetShowSelectionBar(true);
    EXPECT_EQ(editor.RecreateCount(), 1) << "the same value re-creates nothing";
    EXPECT_EQ(editor.viewport()->x(), editor.frameWidth() + TRichEditW::SelectionBarWidth);
    EXPECT_EQ(editor.LangOptions(), TLangOptions(loAutoKeyboard));
    EXPECT_TRUE(editor.document()->defaultFont().styleStrategy() & QFont::NoFontMerging);
    EXPECT_EQ(editor.Text(), "N10 G0\nN20 G1 X5\nN30 M30");

    // A click in the bar beside the second line selects that line.
    const QRect second = editor.cursorRect(QTextCursor(editor.document()->findBlockByNumber(1)));
    const QPoint inBar(editor.frameWidth() + 2, editor.viewport()->y() + second.center().y());
    QMouseEvent press(QEvent::MouseButtonPress, inBar, editor.mapToGlobal(inBar), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &press);
    EXPECT_EQ(editor.SelText(), "N20 G1 X5");

    editor.SetShowSelectionBar(false);
    EXPECT_EQ(editor.RecreateCount(), 2);
    EXPECT_EQ(editor.viewport()->x(), editor.frameWidth());
    EXPECT_EQ(editor.LangOptions(), TLangOptions(loAutoKeyboard));
    QFont courier = editor.font();
    courier.setPointSize(15);
    editor.setFont(courier); // as the editor windows set their size
    EXPECT_TRUE(editor.document()->defaultFont().styleStrategy() & QFont::NoFontMerging);
    EXPECT_EQ(editor.document()->defaultFont().pointSize(), 15);
    editor.SetLangOptions(loAutoFont | loIMECancelComplete);
    EXPECT_FALSE(editor.document()->defaultFont().styleStrategy() & QFont::NoFontMerging);
}

// Embedded objects are refused with the system's message; the text stays.
TEST(RichEditFacade, NoEmbeddedObjects) {
    TRichEditW editor;
    editor.SetText("N1");
    editor.SetIncludeOLE(false);
    try {
        editor.SetIncludeOLE(true);
        FAIL() << "no error";
    } catch (const EOleError &e) {
        EXPECT_STREQ(e.what(), "Unable to get interface");
    }
    EXPECT_FALSE(editor.IncludeOLE());
    EXPECT_EQ(editor.Text(), "N1");
}

} // namespace
} // namespace orv
