// The rich edit's link rules without a window: which words of a text the
// scan makes links and of which type, how a changed range widens to whole
// words, and the type, cursor and colour of a link under the mouse.

#include "components/richedit/URLCollection.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

// "text" -> the links as "word=type", in order; other words are left out.
std::string Links(const std::u16string &Text, const TURLCollection &Types = TURLCollection())
{
    std::string out;
    for (const TLinkWord &w : ScanLinkWords(Text, 0, int(Text.size()), Types)) {
        if (w.Type < 0)
            continue;
        std::string word;
        for (char16_t c : Text.substr(size_t(w.Start), size_t(w.Length)))
            word += char(c);
        out += (out.empty() ? "" : " ") + word + "=" + std::to_string(w.Type);
    }
    return out;
}

TEST(URLScan, TextsToLinks)
{
    struct Case {
        const char *Name;
        std::u16string Text;
        std::string Links;
    } cases[] = {
        {"scheme with more after it", u"see http://host/a.nc now", "http://host/a.nc=1"},
        {"any case", u"HTTP://X FtP:/y", "HTTP://X=1 FtP:/y=4"},
        {"scheme and colon only", u"http: ftp:", ""},
        {"scheme needs its colon", u"httpx://a http//a", ""},
        {"first matching type wins", u"https://a", "https://a=5"},
        {"each default scheme",
         u"file:a mailto:b gopher:c nntp:d prospero:e telnet:f news:g wais:h",
         "file:a=2 mailto:b=3 gopher:c=6 nntp:d=7 prospero:e=8 telnet:f=9 news:g=10 wais:h=11"},
        {"e-mail", u"mail john@shop.com", "john@shop.com=0"},
        {"minus ends the word", u"x-john@shop.com", "john@shop.com=0"},
        {"underscore ends the word", u"a_b@c.d", "b@c.d=0"},
        {"@ first", u"@shop.com", ""},
        {"@ last", u"john@", ""},
        {"no dot after @", u"john@shop", ""},
        {"dot right after @", u"john@.com", ""},
        {"dot before @ only", u"j.o@shop", ""},
        {"query characters end the link", u"http://a?b=c#d", "http://a=1"},
        {"backslash and digits are link characters", u"file:\\\\srv\\p1.fnc", "file:\\\\srv\\p1.fnc=2"},
        {"NC text has none", u"N10 G0 X1.5 Y-2 (TOOL:3)", ""},
        {"lines", u"N1\rhttp://a\rb@c.d", "http://a=1 b@c.d=0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Links(c.Text), c.Links);
    }
}

TEST(URLScan, CustomTypesAndEmptyCollection)
{
    TURLCollection types;
    types.AddURLType("nc", 0x00FF00, false, -3);
    types.AddURLType("http", 0x0000FF, true, 0); // updates, does not append
    EXPECT_EQ(types.Count(), 13);
    EXPECT_EQ(types.Items(1).Color, 0x0000FFu);
    EXPECT_EQ(Links(u"nc:prog1 NC:2 nc:", types), "nc:prog1=12 NC:2=12");

    TURLCollection none;
    none.Clear();
    EXPECT_EQ(Links(u"http://a b@c.d", none), "");
}

TEST(URLScan, RangeWidensToWholeWords)
{
    const std::u16string text = u"go http://host/x.nc end";
    struct Case {
        int Start, End, WideStart, WideEnd;
    } cases[] = {
        {8, 9, 3, 19},   // inside the link
        {3, 3, 3, 19},   // at its start
        {19, 19, 3, 19}, // just after it
        {2, 2, 0, 2},    // after "go"
        {-5, 99, 0, 23}, // clamped
    };
    for (const Case &c : cases) {
        int start = c.Start, end = c.End;
        WidenToLinkWords(text, start, end);
        EXPECT_EQ(start, c.WideStart) << c.Start;
        EXPECT_EQ(end, c.WideEnd) << c.End;
    }
    // A part of the text: only the words that lie in it.
    const auto words = ScanLinkWords(text, 3, 19, TURLCollection());
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Start, 3);
    EXPECT_EQ(words[0].Type, 1);
}

TEST(URLScan, TypeCursorAndColourOfALinkUnderTheMouse)
{
    TURLCollection types;
    types.Items(4).Cursor = -3;       // ftp
    types.Items(1).Color = 0x00FF00; // http
    struct Case {
        std::u16string URL;
        int URLCursor, Type, Cursor;
    } cases[] = {
        {u"http://a", crHandPoint, 1, crHandPoint},
        {u"HTTP://a", -2, 1, -2},          // cursor 0 of the type: URLCursor
        {u"http://a", crDefault, 1, crHandPoint}, // and the hand when that is 0
        {u"ftp://a", crHandPoint, 4, -3},
        {u"me@a.b", -2, 0, -2},
        {u"abc:x", -2, -1, -2},            // no such scheme: URLCursor
        {u":x@y.z", -2, 0, -2},            // ":" first does not count
        {u"x:y@z.w", -2, -1, -2},          // a ":" decides, "@" is not looked at
        {u"@x", -2, -1, -2},
    };
    for (const Case &c : cases) {
        const int type = types.TypeOfURL(c.URL);
        EXPECT_EQ(type, c.Type) << c.URL.size();
        EXPECT_EQ(types.CursorOf(type, c.URLCursor), c.Cursor) << c.URL.size();
    }
    EXPECT_EQ(types.ColorOf(1, 0xFF0000), 0x00FF00u);
    EXPECT_EQ(types.ColorOf(2, 0xFF0000), 0xFF0000u); // window text: URLColor
}

} // namespace
} // namespace orv
