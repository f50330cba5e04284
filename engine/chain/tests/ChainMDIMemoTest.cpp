// The MDI memo widget over its source: typed text reaches the source with
// CR LF line ends, Enter on the 100th line is refused, a long paste is cut
// back, and the running line shows as the selection.

#include "engine/chain/MDIInput.h"
#include "engine/chain/ui/MDIMemo.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <gtest/gtest.h>

namespace orv {
namespace {

class ChainMDIMemo : public ::testing::Test {
protected:
    ChainMDIMemo()
    {
        auto memo = std::make_unique<TMDIMemo>();
        Memo = memo.get();
        Input.SetView(std::move(memo));
        Input.OnChange = [this](TObject *, const std::string &Text) { Changes.push_back(Text); };
    }
    void Press(int Key, const QString &Text)
    {
        QKeyEvent event(QEvent::KeyPress, Key, Qt::NoModifier, Text);
        QApplication::sendEvent(Memo, &event);
    }
    static std::string Lines(int Count)
    {
        std::string text;
        for (int i = 1; i <= Count; ++i)
            text += (i > 1 ? "\n" : "") + std::string("X") + std::to_string(i);
        return text;
    }

    TMDIInput Input;
    TMDIMemo *Memo;
    std::vector<std::string> Changes;
};

TEST_F(ChainMDIMemo, TypedLinesReachTheSourceAndTheRunningLineIsSelected)
{
    Press(Qt::Key_M, "M");
    Press(Qt::Key_3, "3");
    Press(Qt::Key_Return, "\r");
    Press(Qt::Key_G, "G");
    EXPECT_EQ(Input.Text(), "M3\r\nG");
    Input.HiliteLine(4, 0);
    EXPECT_EQ(Memo->textCursor().selectedText(), "G");
    EXPECT_EQ(Memo->textCursor().selectionStart(), 3) << "one character for the line end";
}

TEST_F(ChainMDIMemo, EnterOnTheHundredthLineIsRefusedAndAPasteIsCutBack)
{
    Memo->setPlainText(QString::fromStdString(Lines(100)));
    Memo->moveCursor(QTextCursor::End);
    Changes.clear();
    Press(Qt::Key_Return, "\r");
    EXPECT_EQ(Input.Lines(), 100);
    ASSERT_FALSE(Changes.empty());
    EXPECT_EQ(Changes.back(), "Reached MDI Line Limit");

    Memo->clear();
    QApplication::clipboard()->setText(QString::fromStdString(Lines(150)));
    Memo->paste();
    EXPECT_EQ(Input.Lines(), 100);
    EXPECT_EQ(Memo->blockCount(), 100);
}

TEST_F(ChainMDIMemo, ThePopupOffersTheMCodesAndEnablesEditsBySelection)
{
    Input.SetupMenus({{"M8 - Coolant On", 8}}, {});
    QMenu *menu = Memo->MemoMenu();
    ASSERT_EQ(menu->actions().size(), 3);
    QMenu *codes = menu->actions()[0]->menu();
    ASSERT_EQ(codes->actions().size(), 1);
    codes->actions()[0]->trigger();
    EXPECT_EQ(Input.Text(), "M8");
    QMenu *edit = menu->actions()[1]->menu();
    auto enabled = [edit](int Tag) {
        for (QAction *a : edit->actions())
            if (a->data().toInt() == Tag)
                return a->isEnabled();
        return false;
    };
    Memo->MemoMenu();
    EXPECT_FALSE(enabled(2)) << "Cut needs a selection";
    EXPECT_TRUE(enabled(4)) << "Paste always";
    Memo->selectAll();
    Memo->MemoMenu();
    EXPECT_TRUE(enabled(2));
    EXPECT_FALSE(enabled(6)) << "all is selected already";
}

} // namespace
} // namespace orv
