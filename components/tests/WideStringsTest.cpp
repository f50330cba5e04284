// The wide string list: lines of a text, the file bytes (our FE FF mark and
// the usual FF FE, both little-endian), the form value, case-blind search,
// and the locale functions.

#include "components/widestrings/Langs.h"
#include "components/widestrings/WStrList.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orv {
namespace {

std::vector<std::u16string> Lines(const TWideStrings &L) {
    std::vector<std::u16string> v;
    for (int i = 0; i < L.GetCount(); ++i)
        v.push_back(L.Get(i));
    return v;
}

TEST(WideStrings, TextIntoLines) {
    struct Case {
        const char *Name;
        std::u16string Text;
        std::vector<std::u16string> Lines;
    };
    const Case cases[] = {
        {"CR LF, LF LF, closing CR", u"a\r\nb\n\nc\r", {u"a", u"b", u"", u"c"}},
        {"LF CR is two breaks", u"a\n\rb", {u"a", u"", u"b"}},
        {"empty text", u"", {}},
        {"no closing break", u"x", {u"x"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TWideStringList l;
        l.Add(u"old");
        l.SetTextStr(c.Text);
        EXPECT_EQ(Lines(l), c.Lines);
    }
}

TEST(WideStrings, FileBytesAndMarks) {
    TWideStringList l;
    l.Add(u"x");
    l.Add(u"y");
    std::ostringstream out;
    l.SaveToStream(out);
    EXPECT_EQ(out.str(), std::string("\xFE\xFFx\0\r\0\n\0y\0\r\0\n\0", 14));

    struct Case {
        const char *Name;
        std::string Bytes;
    };
    const Case cases[] = {
        {"our own mark", out.str()},
        {"the usual little-endian mark", std::string("\xFF\xFEx\0\r\0\n\0y\0", 10)},
        {"no mark", std::string("x\0\n\0y\0\r\0\n\0", 10)},
        {"odd last byte ignored", std::string("\xFF\xFEx\0\n\0y\0Z", 9)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TWideStringList back;
        std::istringstream in(c.Bytes);
        back.LoadFromStream(in);
        EXPECT_TRUE(back.Equals(l));
    }

    // A Cyrillic line survives a file round trip.
    test::TTempDir dir;
    TWideStringList ru;
    ru.Add(u"\u041F\u0440\u0438\u0432\u0435\u0442");
    ASSERT_TRUE(ru.SaveToFile(dir.File("ru.wst")));
    TWideStringList ruBack;
    ASSERT_TRUE(ruBack.LoadFromFile(dir.File("ru.wst")));
    EXPECT_TRUE(ruBack.Equals(ru));
    EXPECT_FALSE(ruBack.LoadFromFile(dir.File("missing.wst")));

    // A save the disk refuses part way keeps the old file whole.
    const std::string saved = dir.Read("ru.wst");
    ru.Add(u"\u041F\u043E\u043A\u0430");
    {
        test::TFileSizeLimit limit(saved.size());
        EXPECT_FALSE(ru.SaveToFile(dir.File("ru.wst")));
    }
    EXPECT_EQ(dir.Read("ru.wst"), saved);
}

TEST(WideStrings, FormValueSearchAndEditing) {
    TWideStringList l;
    l.Add(u"A");
    EXPECT_EQ(l.WideStringsProperty(), "0041000D000A");
    TWideStringList back;
    back.ReadWideStringsProperty("0041000D000A004");
    EXPECT_EQ(Lines(back), (std::vector<std::u16string>{u"A"}));

    // The form value read back, with the trailing incomplete group ignored.
    TWideStringList good;
    std::string error = "old";
    EXPECT_TRUE(good.ReadWideStringsProperty("0041000D000A004", &error));
    EXPECT_EQ(Lines(good), (std::vector<std::u16string>{u"A"}));
    EXPECT_EQ(error, "");

    TWideStringList s;
    s.Add(u"abc");
    s.Add(u"\u0434\u0430");
    EXPECT_EQ(s.IndexOf(u"ABC"), 0);
    EXPECT_EQ(s.IndexOf(u"\u0414\u0410"), 1);
    EXPECT_EQ(s.IndexOf(u"ab"), -1);

    int tag = 7;
    s.AddObject(u"z", &tag);
    s.Move(2, 0);
    EXPECT_EQ(s.Get(0), u"z");
    EXPECT_EQ(s.GetObject(0), &tag);
    s.Exchange(0, 1);
    EXPECT_EQ(s.Get(1), u"z");
    EXPECT_EQ(s.GetObject(1), &tag);
    s.Insert(99, u"end"); // past the end appends
    EXPECT_EQ(s.Get(s.GetCount() - 1), u"end");
}

// A form value with anything but four hexadecimal digits per character is
// the reader's error: the list keeps its lines and nothing is thrown.
TEST(WideStrings, BadFormValueIsTheReadersError) {
    const struct {
        const char *Name;
        std::string Hex;
        std::string Group;
    } cases[] = {
        {"letters", "ZZZZ", "ZZZZ"},
        {"bad digit in the second group", "0041004G", "004G"},
        {"sign", "+041", "+041"},
        {"minus", "-001", "-001"},
        {"leading space", " 041", " 041"},
        {"C prefix", "0x41", "0x41"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TWideStringList l;
        l.Add(u"keep");
        std::string error;
        bool read = true;
        EXPECT_NO_THROW(read = l.ReadWideStringsProperty(c.Hex, &error));
        EXPECT_FALSE(read);
        EXPECT_EQ(error, "Error reading WideStrings: \"" + c.Group +
                             "\" is not a hexadecimal character code");
        EXPECT_EQ(Lines(l), (std::vector<std::u16string>{u"keep"}));
        EXPECT_NO_THROW(read = l.ReadWideStringsProperty(c.Hex));
        EXPECT_FALSE(read);
    }
}

TEST(Langs, CodePagesAndConversions) {
    EXPECT_EQ(LocaleCodePage(1049), 1251);
    EXPECT_EQ(LocaleCodePage(1033), 1252);
    EXPECT_EQ(LocaleCharset(1049), 204); // Russian character set
    const std::string cp1251 = "\xCF\xF0\xE8";
    std::u16string wide = TextToWide(cp1251, 1251);
    EXPECT_EQ(wide, u"\u041F\u0440\u0438");
    EXPECT_EQ(WideToText(wide, LocaleCodePage(1049)), cp1251);
    EXPECT_EQ(TextToWide("", 1251), u"");
    EXPECT_EQ(WideToText(u"", 1251), "");
}

} // namespace
} // namespace orv
