// The program display: layout in rows of 39 characters, pages, cursor,
// search, editing and the block highlight with its memory line.
#include "fanuc/FScreenUnit.h"
#include "fanuc/FanucMemory.h"

#include <gtest/gtest.h>

namespace orv::fanuc {
namespace {

using Words = std::vector<std::string>;

std::string RowText(const TLabelList &Row)
{
    std::string text;
    for (const auto &label : Row.Labels)
        text += (text.empty() ? "" : " ") + label.Text;
    return text;
}

TEST(FScreen, FreshMemoryIsOneRowWithTheCursorOnTheProgramNumber)
{
    Words words{"O0000", "%"};
    TFScreen pane;
    pane.SetWords(&words);
    ASSERT_EQ(pane.Rows.size(), 1u);
    EXPECT_EQ(RowText(pane.Rows[0]), "O0000 %");
    EXPECT_EQ(pane.CursorWord, 0);
    EXPECT_TRUE(pane.Rows[0].Labels[0].Inverted);
}

TEST(FScreen, LongBlocksContinueAndLongWordsTakeARowOfTheirOwn)
{
    Words words{"G01", "X-123.456", "Y-123.456", "Z-123.456", "F10000", ";",
                std::string(45, 'A'), "X1", ";", "%"};
    TFScreen pane;
    pane.SetWords(&words);
    ASSERT_EQ(pane.Rows.size(), 5u);
    EXPECT_TRUE(pane.Rows[0].Continued);
    EXPECT_EQ(RowText(pane.Rows[1]), "F10000 ;");
    EXPECT_EQ(RowText(pane.Rows[2]), std::string(45, 'A'));
    EXPECT_TRUE(pane.Rows[2].Continued);
    EXPECT_EQ(RowText(pane.Rows[3]), "X1 ;");
    for (const auto &row : pane.Rows)
        EXPECT_FALSE(row.Labels.empty());
    // Cursor moves index real words, never an empty row.
    for (int i = 0; i < 6; ++i)
        pane.CursorDown();
    EXPECT_EQ(words[pane.CursorWord], "%");
}

TEST(FScreen, PagesOfFourRowsAndPageDownStopsOnTheLast)
{
    Words words;
    for (int b = 0; b < 10; ++b)
        words.insert(words.end(), {"N" + std::to_string(b), ";"});
    words.push_back("%");
    TFScreen pane;
    pane.SetRowsMode(0);
    pane.SetWords(&words);
    pane.PageDown();
    pane.PageDown();
    EXPECT_EQ(pane.PageIndex, 2);
    EXPECT_TRUE(pane.LastPage);
    pane.PageDown();
    EXPECT_EQ(pane.PageIndex, 2);
    EXPECT_EQ(RowText(pane.Rows[0]), "N8 ;");
    pane.PageUp();
    EXPECT_EQ(RowText(pane.Rows[0]), "N4 ;");
}

TEST(FScreen, EditingKeepsTheEndMarker)
{
    Words words{"O0000", "%"};
    TFScreen pane;
    pane.SetWords(&words);
    pane.InsertWord("G01");
    EXPECT_EQ(words, (Words{"O0000", "G01", "%"}));
    EXPECT_EQ(pane.CursorWord, 1);
    pane.CursorRight();
    EXPECT_EQ(words[pane.CursorWord], "%");
    pane.DeleteWord();
    pane.AlterWord("X5");
    EXPECT_EQ(words, (Words{"O0000", "G01", "X5", "%"})); // altering the marker inserts
    pane.GotoWord(1);
    pane.DeleteWord();
    EXPECT_EQ(words, (Words{"O0000", "X5", "%"}));
    pane.AlterWord("Y7");
    EXPECT_EQ(words, (Words{"O0000", "Y7", "%"}));
}

TEST(FScreen, SearchMatchesWholeWords)
{
    Words words{"X100", ";", "X10", ";", "%"};
    TFScreen pane;
    pane.SetWords(&words);
    pane.SearchText = "x10";
    pane.CursorDown();
    EXPECT_EQ(pane.CursorWord, 2);
    pane.SearchText = "X10";
    pane.CursorDown();
    EXPECT_EQ(pane.CursorWord, 2); // no further match leaves the cursor
}

TEST(FScreen, BlockLineComesFromTheWordListThroughTheTable)
{
    TFanucMemory memory;
    memory.Lines = {"%", "", "O0001", "G01 X-123.456 Y-123.456 Z-123.456 F1000", "M3", "M30", "%"};
    memory.LinesToWords();
    TFScreen pane;
    pane.SetWords(&memory.Words);
    pane.SetBlockLines(&memory.BlockLines);
    EXPECT_EQ(pane.GetBlockLine(), -1);
    pane.SetBlockMode(true);
    const int expected[] = {2, 3, 4, 5};
    for (int line : expected) {
        EXPECT_EQ(pane.GetBlockLine(), line);
        pane.NextBlock();
    }
    // The last block stays highlighted; a re-highlight keeps its line.
    EXPECT_EQ(pane.GetBlockLine(), 5);
    pane.SetBlockMode(true);
    EXPECT_EQ(pane.GetBlockLine(), 5);
    pane.GotoBlock(1);
    EXPECT_EQ(pane.GetBlockLine(), 3);
    EXPECT_TRUE(pane.Rows[1].Filled);
    EXPECT_TRUE(pane.Rows[2].Filled); // both rows of the long block
}

} // namespace
} // namespace orv::fanuc
