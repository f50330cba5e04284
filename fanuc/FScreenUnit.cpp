#include "fanuc/FScreenUnit.h"

#include "platform/NumberText.h"

#include <algorithm>

namespace orv::fanuc {

namespace {
constexpr int RowsPerPageTable[3] = {4, 8, 11};

bool EndsBlock(const std::vector<std::string> &Words, int Index)
{
    return Words[Index] == ";" || Index == int(Words.size()) - 1;
}
} // namespace

TFScreen::TFScreen() { ResetPages(); }

int TFScreen::RowsPerPage() const { return RowsPerPageTable[std::min<int>(RowsMode, 2)]; }

void TFScreen::SetWords(std::vector<std::string> *List)
{
    FWords = List;
    ResetPages();
    NextPage(true);
    CursorRow = 0;
    CursorCol = 0;
    LastRowReported = 0;
    if (BlockMode)
        HighlightBlock(true);
    else
        ShowCursor();
}

void TFScreen::SetRowsMode(uint8_t Mode)
{
    if (Mode == RowsMode)
        return;
    int word = CursorWord;
    RowsMode = std::min<uint8_t>(Mode, 2);
    GotoWord(word);
}

void TFScreen::SetBackColor(uint32_t Color)
{
    if (Color == BackColor)
        return;
    BackColor = Color;
    Repaint();
}

void TFScreen::SetTextColor(uint32_t Color)
{
    if (Color == TextColor)
        return;
    TextColor = Color;
    Repaint();
}

// --- Pages ---

// Lays out the page PageIndex: rows of at most 39 characters; a block ends
// its row. Result: (first word of the next page, or the last word's index
// when the list ended, blocks up to this page's end). A word longer than a
// row takes a row of its own; no row is left empty.
std::pair<int, int> TFScreen::BuildPage(bool MeasureOnly)
{
    std::pair<int, int> result{WordCount() - 1, 0};
    if (PageIndex >= PageCount || !FWords || FWords->empty())
        return result;
    const auto &words = *FWords;
    Rows.clear();
    Rows.emplace_back();
    int x = 0, n = 0;
    int blocks = PageIndex > 0 ? Pages[PageIndex - 1].second : 0;
    const int rows = RowsPerPage();
    for (int i = Pages[PageIndex].first; i < int(words.size()); ++i) {
        int finished = int(Rows.size()) - 1;
        if (finished == rows) {
            Rows.pop_back();
            return {i, blocks};
        }
        const int len = int(words[i].size());
        if (n + len > RowCharacters && !Rows.back().Labels.empty()) {
            Rows.back().Continued = true;
            Rows.emplace_back();
            n = x = 0;
            if (int(Rows.size()) - 1 == rows) {
                Rows.pop_back();
                return {i, blocks};
            }
        }
        if (MeasureOnly)
            Rows.back().Labels.push_back({i, x, std::string(), false});
        else
            Rows.back().Labels.push_back({i, x, words[i], false});
        x += len * CharWidth + WordGap;
        n += len + 1;
        if (EndsBlock(words, i)) {
            Rows.emplace_back();
            ++blocks;
            n = x = 0;
        }
    }
    Rows.pop_back(); // the open row after the last word is empty
    result.second = blocks;
    return result;
}

void TFScreen::ResetPages()
{
    PageCount = 1;
    PageIndex = -1;
    LastPage = false;
    Pages.assign(1, {0, 0});
}

bool TFScreen::NextPage(bool Redraw, bool MeasureOnly)
{
    const bool wasLast = LastPage;
    if (wasLast && PageIndex >= 0)
        return false;
    ++PageIndex;
    auto [next, blocks] = BuildPage(MeasureOnly);
    Pages[PageIndex].second = blocks;
    if (next >= WordCount() - 1 && (Rows.empty() || Rows.back().Labels.back().Index >= next)) {
        LastPage = true;
    } else {
        if (PageIndex == PageCount - 1) {
            Pages.emplace_back(next, 0);
            ++PageCount;
        }
        Pages[PageIndex + 1].first = next;
        LastPage = false;
    }
    if (Redraw)
        Repaint();
    return !wasLast;
}

bool TFScreen::PrevPage()
{
    if (PageIndex < 1)
        return false;
    --PageIndex;
    BuildPage();
    LastPage = false;
    Repaint();
    return true;
}

// The page is laid out again from its first word after an edit; the pages
// behind it are measured anew.
void TFScreen::Rebuild()
{
    int page = std::max(PageIndex, 0);
    Pages.resize(page + 1);
    PageCount = page + 1;
    PageIndex = page - 1;
    LastPage = false;
    if (Pages[page].first > WordCount() - 1) {
        GotoWord(WordCount() - 1);
        return;
    }
    NextPage(true);
}

int TFScreen::BlocksBeforePage() const { return PageIndex > 0 ? Pages[PageIndex - 1].second : 0; }

int TFScreen::CursorBlock() const
{
    int block = BlocksBeforePage();
    for (int r = 0; r < CursorRow && r < int(Rows.size()); ++r)
        if (!Rows[r].Continued)
            ++block;
    return block;
}

int TFScreen::BlockToLine(int Block) const
{
    if (!FBlockLines || FBlockLines->empty())
        return Block;
    const auto &table = *FBlockLines;
    if (Block < int(table.size()))
        return table[Block];
    return table.back() + Block - int(table.size()) + 1;
}

void TFScreen::Repaint()
{
    if (Shown && OnRepaint)
        OnRepaint();
}

// --- Cursor ---

bool TFScreen::HasCursorLabel() const
{
    return CursorRow >= 0 && CursorRow < int(Rows.size()) && CursorCol >= 0 &&
           CursorCol < int(Rows[CursorRow].Labels.size());
}

void TFScreen::ShowCursor()
{
    if (!HasCursorLabel())
        return;
    TScreenWord &label = Rows[CursorRow].Labels[CursorCol];
    label.Inverted = true;
    CursorWord = label.Index;
    if ((CursorRow != LastRowReported || LastRowReported == 0) && OnRowChange) {
        const std::string &first = Rows[CursorRow].Labels.front().Text;
        OnRowChange(first.find('N') != std::string::npos ? first : std::string());
    }
    LastRowReported = CursorRow;
    Repaint();
}

void TFScreen::HideCursor()
{
    if (HasCursorLabel())
        Rows[CursorRow].Labels[CursorCol].Inverted = false;
}

void TFScreen::CursorRight()
{
    if (BlockMode || Rows.empty())
        return;
    HideCursor();
    if (CursorCol + 1 < int(Rows[CursorRow].Labels.size()))
        ++CursorCol;
    else if (CursorRow + 1 < int(Rows.size()))
        CursorRow++, CursorCol = 0;
    else if (!LastPage && NextPage(true))
        CursorRow = CursorCol = 0;
    ShowCursor();
}

void TFScreen::CursorLeft()
{
    if (BlockMode || Rows.empty())
        return;
    HideCursor();
    if (CursorCol > 0) {
        --CursorCol;
    } else if (CursorRow > 0) {
        --CursorRow;
        CursorCol = int(Rows[CursorRow].Labels.size()) - 1;
    } else if (PrevPage()) {
        CursorRow = int(Rows.size()) - 1;
        CursorCol = int(Rows[CursorRow].Labels.size()) - 1;
    }
    ShowCursor();
}

void TFScreen::CursorDown()
{
    if (BlockMode || Rows.empty())
        return;
    if (!SearchText.empty()) {
        Search(true);
        SearchText.clear();
        return;
    }
    HideCursor();
    if (CursorRow + 1 < int(Rows.size()))
        CursorRow++, CursorCol = 0;
    else if (!LastPage && NextPage(true))
        CursorRow = CursorCol = 0;
    ShowCursor();
}

void TFScreen::CursorUp()
{
    if (BlockMode || Rows.empty())
        return;
    if (!SearchText.empty()) {
        Search(false);
        SearchText.clear();
        return;
    }
    HideCursor();
    if (CursorRow > 0)
        CursorRow--, CursorCol = 0;
    else if (PrevPage())
        CursorRow = int(Rows.size()) - 1, CursorCol = 0;
    ShowCursor();
}

void TFScreen::PageUp()
{
    if (BlockMode || Rows.empty())
        return;
    HideCursor();
    if (PrevPage())
        CursorRow = CursorCol = 0;
    ShowCursor();
}

void TFScreen::PageDown()
{
    if (BlockMode || Rows.empty())
        return;
    HideCursor();
    if (!LastPage && NextPage(true))
        CursorRow = CursorCol = 0;
    ShowCursor();
}

// Whole words, compared upper-cased: X10 finds "X10", never "X100".
void TFScreen::Search(bool Forward)
{
    if (!FWords)
        return;
    const std::string wanted = UpperCase(SearchText);
    const int count = WordCount();
    if (Forward) {
        for (int i = CursorWord + 1; i < count; ++i)
            if (UpperCase((*FWords)[i]) == wanted)
                return GotoWord(i);
    } else {
        for (int i = std::min(CursorWord - 1, count - 1); i >= 0; --i)
            if (UpperCase((*FWords)[i]) == wanted)
                return GotoWord(i);
    }
}

void TFScreen::GotoWord(int Index)
{
    HideCursor();
    ResetPages();
    bool found = false;
    while (!found) {
        // Pages before the word's are only measured; its own gets its labels.
        NextPage(false, true);
        const bool wordsPage =
            LastPage || (PageIndex + 1 < PageCount && Index < Pages[PageIndex + 1].first);
        if (!wordsPage)
            continue;
        BuildPage(false);
        for (int r = 0; r < int(Rows.size()) && !found; ++r)
            for (int c = 0; c < int(Rows[r].Labels.size()); ++c)
                if (Rows[r].Labels[c].Index == Index) {
                    CursorRow = r, CursorCol = c;
                    found = true;
                    break;
                }
        if (found || LastPage || (PageIndex + 1 < PageCount && Index < Pages[PageIndex + 1].first))
            break;
    }
    if (!found)
        CursorRow = CursorCol = 0;
    Repaint();
    if (BlockMode)
        HighlightBlock(true);
    else
        ShowCursor();
}

// --- Editing ---

void TFScreen::InsertWord(const std::string &Text)
{
    if (BlockMode || !FWords || !HasCursorLabel())
        return;
    const int a = CursorWord;
    const int at = a >= WordCount() - 1 ? WordCount() - 1 : a + 1;
    FWords->insert(FWords->begin() + at, Text);
    Rebuild();
    GotoWord(a + 1);
}

void TFScreen::InsertBeforeEnd(const std::string &Text)
{
    if (BlockMode || !FWords || FWords->empty())
        return;
    const int a = CursorWord;
    FWords->insert(FWords->end() - 1, Text);
    GotoWord(std::min(a + 2, WordCount() - 1));
}

void TFScreen::DeleteWord()
{
    if (BlockMode || !FWords || Rows.empty() || !HasCursorLabel())
        return;
    const int a = CursorWord;
    if (a < 0 || a >= WordCount() - 1)
        return;
    FWords->erase(FWords->begin() + a);
    Rebuild();
    if (HasCursorLabel()) {
        ShowCursor();
        return;
    }
    if (Rows.empty())
        return GotoWord(a);
    CursorRow = std::min(CursorRow, int(Rows.size()) - 1);
    CursorCol = int(Rows[CursorRow].Labels.size());
    CursorLeft();
}

void TFScreen::AlterWord(const std::string &Text)
{
    if (BlockMode || !FWords)
        return;
    const int a = CursorWord;
    if (a < 0 || a >= WordCount() - 1)
        return InsertWord(Text);
    (*FWords)[a] = Text;
    Rebuild();
    GotoWord(a);
}

// --- Blocks ---

void TFScreen::GotoStart()
{
    HideCursor();
    CursorRow = CursorCol = 0;
    ResetPages();
    NextPage(true);
    if (BlockMode)
        HighlightBlock(true);
    else
        ShowCursor();
}

// The block's rows are the cursor row and the rows after it while the row
// before is continued. After a highlight the cursor stands on the block's
// first row, after an un-highlight on its last.
void TFScreen::HighlightBlock(bool On)
{
    if (Rows.empty())
        return;
    CursorRow = std::clamp(CursorRow, 0, int(Rows.size()) - 1);
    const int first = CursorRow;
    int r = first;
    for (; r < int(Rows.size()); ++r) {
        if (r > first && !Rows[r - 1].Continued)
            break;
        Rows[r].Filled = On;
        for (auto &label : Rows[r].Labels)
            label.Inverted = On;
    }
    if (On) {
        CursorCol = 0;
        CursorWord = Rows[first].Labels.front().Index;
        if ((first != LastRowReported || LastRowReported == 0) && OnRowChange) {
            const std::string &text = Rows[first].Labels.front().Text;
            OnRowChange(text.find('N') != std::string::npos ? text : std::string());
        }
        LastRowReported = first;
        BlockLine = BlockToLine(CursorBlock());
    } else {
        CursorRow = r - 1;
    }
    Repaint();
}

void TFScreen::NextBlock()
{
    if (!BlockMode || Rows.empty())
        return;
    const int first = CursorRow;
    HighlightBlock(false);
    if (CursorRow + 1 < int(Rows.size()))
        ++CursorRow;
    else if (!LastPage && NextPage(true))
        CursorRow = 0;
    else
        CursorRow = first; // the last block stays highlighted
    HighlightBlock(true);
}

void TFScreen::GotoBlock(int Block)
{
    if (!BlockMode)
        return;
    if (Block < CursorBlock())
        GotoStart();
    while (CursorBlock() < Block) {
        int before = CursorBlock();
        NextBlock();
        if (CursorBlock() == before)
            break;
    }
}

void TFScreen::SetBlockMode(bool On)
{
    if (On) {
        HideCursor();
        BlockMode = true;
        HighlightBlock(true);
        return;
    }
    if (!BlockMode)
        return;
    HighlightBlock(false);
    BlockMode = false;
    CursorCol = 0;
    ShowCursor();
}

void TFScreen::SetShown(bool Value)
{
    Shown = Value;
    if (Shown && BlockMode)
        HighlightBlock(true);
}

} // namespace orv::fanuc
