// The rich edit's links in a window: a load scans the whole text and an
// edit the words around it; links get the Link effect, their colour and
// underline, and lose them when an edit breaks them; the cursor over a link
// goes through the cursor service and the move and click events name the
// link; the selection lock puts back the selection and the first visible
// line.

#include "components/richedit/RichEditW.h"
#include "platform/CursorService.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <sstream>

namespace orv {
namespace {

class RichEditLinksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Editor.resize(500, 200);
        Editor.show();
        SetCursorService(&Cursor);
    }
    void TearDown() override { SetCursorService(nullptr); }

    void Load(const std::string &Text)
    {
        std::istringstream in(Text);
        Editor.InputFormat = ifText;
        ASSERT_TRUE(Editor.LoadFromStream(in));
    }
    // The format of the character at Position.
    QTextCharFormat At(int Position)
    {
        QTextCursor c(Editor.document());
        c.setPosition(Position + 1);
        return c.charFormat();
    }
    bool IsLink(int Position) { return At(Position).isAnchor(); }
    // The middle of the character at Position, in the viewport.
    QPoint Middle(int Position)
    {
        QTextCursor c(Editor.document());
        c.setPosition(Position);
        const QRect left = Editor.cursorRect(c);
        c.setPosition(Position + 1);
        const QRect right = Editor.cursorRect(c);
        return QPoint((left.left() + right.left()) / 2, left.center().y());
    }
    void Mouse(QEvent::Type Type, int Position, Qt::MouseButton Button = Qt::NoButton)
    {
        const QPointF p = Middle(Position);
        QMouseEvent e(Type, p, Editor.viewport()->mapToGlobal(p), Button,
                      Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Button),
                      Qt::NoModifier);
        QApplication::sendEvent(Editor.viewport(), &e);
    }

    TRichEditW Editor;
    TRecordingCursor Cursor;
};

TEST_F(RichEditLinksTest, LoadScansTheWholeTextAndEditsRescanAroundThem)
{
    Editor.SetAutoURLDetect(adExtended);
    Editor.CustomURLs().Items(2).Color = 0x0000FF; // file: red
    Editor.CustomURLs().Items(2).Underline = false;
    // Positions: "http://a.b/c" 3..14, "file:x" 19..24, "me@shop.com" 29..39.
    Load("go http://a.b/c or file:x or me@shop.com\nN10 G0 X1.5");
    const QColor blue = TRichEditW::ToQColor(0xFF0000);
    struct Case {
        int Position;
        bool Link, Underline;
        QColor Colour;
    } cases[] = {{3, true, true, blue},   {14, true, true, blue},
                 {19, true, false, Qt::red}, {29, true, true, blue},
                 {0, false, false, QColor()}, {15, false, false, QColor()},
                 {45, false, false, QColor()}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Position);
        EXPECT_EQ(IsLink(c.Position), c.Link);
        EXPECT_EQ(At(c.Position).fontUnderline(), c.Underline);
        if (c.Link)
            EXPECT_EQ(At(c.Position).foreground().color(), c.Colour);
        else
            EXPECT_FALSE(At(c.Position).hasProperty(QTextFormat::ForegroundBrush));
    }

    // Typing a new link once fires OnChange once; the scan's own format
    // changes do not.
    int changes = 0;
    Editor.OnChange = [&] { ++changes; };
    QTextCursor end(Editor.document());
    end.movePosition(QTextCursor::End);
    Editor.setTextCursor(end);
    Editor.textCursor().insertText(" ftp://h");
    EXPECT_EQ(changes, 1);
    const int ftp = Editor.TextLength() - 1;
    EXPECT_TRUE(IsLink(ftp));
    // Text typed after a link is no link.
    Editor.textCursor().insertText(" x");
    EXPECT_FALSE(IsLink(Editor.TextLength() - 1));
    EXPECT_TRUE(IsLink(ftp));

    // Taking the ":" out of "http://..." breaks the link.
    Editor.SetSelection(7, 1);
    Editor.textCursor().removeSelectedText();
    EXPECT_FALSE(IsLink(3));
    EXPECT_FALSE(At(3).fontUnderline());
    EXPECT_FALSE(At(3).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_TRUE(IsLink(18)); // "file:x", one place earlier
}

// The link's format is an undo step of its own after the typing: undo
// takes back the link, then the typing; redo brings them back in turn, and
// neither starts a scan that would wipe the steps left to redo.
TEST_F(RichEditLinksTest, UndoAndRedoOfATypedLink)
{
    Editor.SetAutoURLDetect(adExtended);
    Load("N10 G0");
    QTextCursor end(Editor.document());
    end.movePosition(QTextCursor::End);
    Editor.setTextCursor(end);
    Editor.textCursor().insertText(" http://a");
    ASSERT_TRUE(IsLink(8));
    Editor.undo();
    EXPECT_EQ(Editor.Text(), "N10 G0 http://a");
    EXPECT_FALSE(IsLink(8));
    Editor.undo();
    EXPECT_EQ(Editor.Text(), "N10 G0");
    Editor.redo();
    EXPECT_EQ(Editor.Text(), "N10 G0 http://a");
    EXPECT_FALSE(IsLink(8));
    Editor.redo();
    EXPECT_TRUE(IsLink(8));
    EXPECT_FALSE(Editor.CanRedo());
    // A new edit after an undo scans again.
    Editor.undo();
    Editor.textCursor().insertText("b");
    EXPECT_TRUE(IsLink(8));
}

TEST_F(RichEditLinksTest, NoDetectionLeavesTheText)
{
    Load("http://a.b me@shop.com");
    EXPECT_FALSE(IsLink(3));
    EXPECT_FALSE(IsLink(14));
    // The standard detection knows the default schemes whatever CustomURLs
    // holds.
    Editor.CustomURLs().Clear();
    Editor.SetAutoURLDetect(adDefault);
    Load("http://a.b me@shop.com");
    EXPECT_TRUE(IsLink(3));
    EXPECT_TRUE(IsLink(14));
    Editor.SetAutoURLDetect(adExtended);
    Load("http://a.b me@shop.com");
    EXPECT_FALSE(IsLink(3));
}

TEST_F(RichEditLinksTest, CursorAndEventsOverALink)
{
    Editor.SetAutoURLDetect(adExtended);
    Editor.CustomURLs().Items(4).Cursor = -3; // ftp: cross
    Load("go http://a.b/c ftp://x b");
    std::vector<std::string> moves, clicks;
    Editor.OnURLMove = [&](const std::string &URL) { moves.push_back(URL); };
    Editor.OnURLClick = [&](const std::string &URL) { clicks.push_back(URL); };

    Mouse(QEvent::MouseMove, 8);  // on the http link
    Mouse(QEvent::MouseMove, 18); // the ftp link
    Mouse(QEvent::MouseMove, 1);  // plain text: the I-beam again
    Mouse(QEvent::MouseMove, 0);  // still plain: nothing more
    Editor.URLCursor = crDefault;
    Mouse(QEvent::MouseMove, 4); // type cursor 0, URLCursor 0: the hand
    Editor.URLCursor = -2;
    Mouse(QEvent::MouseMove, 4); // type cursor 0: URLCursor
    EXPECT_EQ(Cursor.Calls, (std::vector<std::string>{"shape -21", "shape -3", "shape -4",
                                                      "shape -21", "shape -2"}));
    EXPECT_EQ(moves, (std::vector<std::string>{"http://a.b/c", "ftp://x", "http://a.b/c",
                                               "http://a.b/c"}));

    Mouse(QEvent::MouseButtonPress, 18, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 18, Qt::LeftButton);
    Mouse(QEvent::MouseButtonPress, 24, Qt::LeftButton); // "b": no link
    Mouse(QEvent::MouseButtonRelease, 24, Qt::LeftButton);
    Mouse(QEvent::MouseButtonPress, 8, Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, 8, Qt::RightButton);
    EXPECT_EQ(clicks, (std::vector<std::string>{"ftp://x"}));
}

TEST_F(RichEditLinksTest, SelectionLockPutsBackSelectionAndFirstLine)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "N" + std::to_string(i) + " G1 X" + std::to_string(i) + "\n";
    Load(text);
    // The selection at line 40, the view scrolled away from it.
    Editor.SetSelection(Editor.LineStart(40) + 1, 3);
    Editor.verticalScrollBar()->setValue(Editor.verticalScrollBar()->maximum() / 3);
    const int first = Editor.cursorForPosition(QPoint(0, 0)).blockNumber();
    ASSERT_GT(first, 45);

    Editor.LockSelection();
    Editor.LockSelection();
    Editor.SetCaretPos(190, 2);
    Editor.ensureCursorVisible();
    Editor.UnlockSelection();
    EXPECT_TRUE(Editor.SelectionLocked()); // nested: still held
    EXPECT_EQ(Editor.CaretLine(), 190);
    Editor.UnlockSelection();
    EXPECT_FALSE(Editor.SelectionLocked());
    EXPECT_EQ(Editor.SelStart(), Editor.LineStart(40) + 1);
    EXPECT_EQ(Editor.SelLength(), 3);
    EXPECT_EQ(Editor.cursorForPosition(QPoint(0, 0)).blockNumber(), first);
    EXPECT_TRUE(Editor.viewport()->updatesEnabled());

    // An unlock without a lock changes nothing.
    Editor.UnlockSelection();
    EXPECT_FALSE(Editor.SelectionLocked());
}

} // namespace
} // namespace orv
