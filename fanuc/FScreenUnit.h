#pragma once
// The program display of both Fanuc stations: an NC program held as a word
// list (one address word per entry, ";" closing each block, an end marker
// last) laid out in rows of at most 39 characters, a page of 4, 8 or 11 rows,
// a cursor on one word (editing) or one block (running). The page is data
// (rows of word index, x, text); the station's window paints it.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orv::fanuc {

// One word shown on the page; X in pixels from the left margin.
struct TScreenWord {
    int Index = 0; // the word's index in Words (the label's Tag)
    int X = 0;
    std::string Text;
    bool Inverted = false;
};

// One row of the page. Continued: the block of this row goes on in the next
// row. Filled: the row's background is painted in the text colour (block
// highlight).
struct TLabelList {
    std::vector<TScreenWord> Labels;
    bool Continued = false;
    bool Filled = false;
};

// Characters a row holds.
constexpr int RowCharacters = 39;

class TFScreen {
public:
    TFScreen();

    // Shows List (not owned; its last word is the end marker) from its start.
    void SetWords(std::vector<std::string> *List);
    // Block -> line of the memory the words came from (empty: block b is line b).
    void SetBlockLines(const std::vector<int> *Table) { FBlockLines = Table; }
    // Rows a page: 0 -> 4, 1 -> 8, 2 -> 11.
    void SetRowsMode(uint8_t Mode);
    void SetBackColor(uint32_t Color);
    void SetTextColor(uint32_t Color);

    // Cursor keys (nothing in block mode).
    void CursorRight();
    void CursorLeft();
    void CursorUp();
    void CursorDown();
    void PageUp();
    void PageDown();

    // Editing (nothing in block mode); the end marker is never deleted or replaced.
    void InsertWord(const std::string &Text);
    void InsertBeforeEnd(const std::string &Text);
    void AlterWord(const std::string &Text);
    void DeleteWord();

    void GotoStart();
    void GotoWord(int Index);
    // Block mode: the highlight moves to the next block.
    void NextBlock();
    // Block mode: the highlight moves to block Block (0-based), paging as needed.
    void GotoBlock(int Block);
    void SetBlockMode(bool On);
    void SetShown(bool Value);
    // The memory line of the highlighted block; -1 outside block mode.
    int GetBlockLine() const { return BlockMode ? BlockLine : -1; }
    // The block (0-based) the cursor stands in.
    int CursorBlock() const;

    int RowsPerPage() const;
    const std::vector<std::string> *Words() const { return FWords; }

    std::vector<TLabelList> Rows; // the current page
    uint8_t RowsMode = 1;
    int CursorRow = 0, CursorCol = 0;
    int CursorWord = 0;
    std::vector<std::pair<int, int>> Pages; // (first word, blocks up to the page's end)
    int PageIndex = -1;
    int PageCount = 1;
    bool LastPage = false;
    int WordGap = 8;
    int CharWidth = 8; // pixels a character of the fixed-pitch font
    int RowHeight = 16;
    bool BlockMode = false;
    int Margin = 2;
    std::string SearchText;
    int BlockLine = 0;
    bool Shown = false;
    uint32_t BackColor = 14803425;
    uint32_t TextColor = 0;
    int LastRowReported = 0;
    // The cursor entered another row: the row's first word when it holds
    // "N", else empty.
    std::function<void(const std::string &Text)> OnRowChange;
    // Fired whenever the page's look changed (the window repaints).
    std::function<void()> OnRepaint;

private:
    // MeasureOnly: the rows hold the words' places but no texts.
    std::pair<int, int> BuildPage(bool MeasureOnly = false);
    void ResetPages();
    bool NextPage(bool Redraw, bool MeasureOnly = false);
    bool PrevPage();
    void Rebuild();
    void ShowCursor();
    void HideCursor();
    bool HasCursorLabel() const;
    void HighlightBlock(bool On);
    void Search(bool Forward);
    void Repaint();
    int WordCount() const { return FWords ? int(FWords->size()) : 0; }
    int BlocksBeforePage() const;
    int BlockToLine(int Block) const;

    std::vector<std::string> *FWords = nullptr;
    const std::vector<int> *FBlockLines = nullptr;
};

} // namespace orv::fanuc
