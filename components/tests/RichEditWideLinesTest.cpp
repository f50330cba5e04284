// The rich edit's wide lines: no length limit, inserts at or past the end
// append (also after an empty last line), and a save and load through the
// wide file format keeps every line.

#include "components/richedit/RichEditW.h"
#include "components/widestrings/WStrList.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(RichEditWideLines, LongLinesAndAppends) {
    TRichEditW editor;
    TWideStrings &lines = editor.WideLines();
    const std::u16string longLine(20000, u'X');
    lines.Add(u"\u041F\u0440\u0438");
    lines.Add(longLine);
    EXPECT_EQ(lines.Get(1).size(), 20000u);
    lines.Add(u"");
    lines.Insert(3, u"after empty");
    lines.Insert(99, u"past the end");
    ASSERT_EQ(lines.GetCount(), 5);
    EXPECT_EQ(lines.Get(2), u"");
    EXPECT_EQ(lines.Get(3), u"after empty");
    EXPECT_EQ(lines.Get(4), u"past the end");
    lines.Insert(0, u"first");
    EXPECT_EQ(lines.Get(0), u"first");
    EXPECT_EQ(editor.LineCount(), 6);

    test::TTempDir dir;
    ASSERT_TRUE(lines.SaveToFile(dir.File("w.wst")));
    TRichEditW other;
    ASSERT_TRUE(other.WideLines().LoadFromFile(dir.File("w.wst")));
    EXPECT_TRUE(other.WideLines().Equals(lines));
    EXPECT_EQ(other.WideLines().Get(2).size(), 20000u);
}

} // namespace
} // namespace orv
