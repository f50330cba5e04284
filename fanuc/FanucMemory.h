#pragma once
// The program memory of the Fanuc stations: the program as text lines and as
// a word list (one address word per entry, ";" closing each block, an end
// marker last), with the table that maps each block to the line it came
// from, so the run's line index and the display's block agree even with
// "%" and blank lines in the file.

#include <string>
#include <vector>

namespace orv::fanuc {

// The words of one line: "Ø" (byte 216 or UTF-8) reads as "0"; blanks, "%"
// and characters outside "!".."~" separate words; ":" at a word's start is
// "O"; a word is up to 32 letters and a number or one other character.
// "G01X-10.5Y3;" -> G01, X-10.5, Y3, ";".
std::vector<std::string> SplitToWords(const std::string &Line);

// The blocks of a word list as lines: each word followed by one blank, up to
// the ";" that ends the block. The last word (the end marker) is written
// only when WriteEndMarker (the 0M writes its "%").
std::vector<std::string> JoinWords(const std::vector<std::string> &Words,
                                   bool WriteEndMarker = false);

struct TFanucMemory {
    std::vector<std::string> Lines;
    std::vector<std::string> Words;
    // Block b starts in line BlockLines[b].
    std::vector<int> BlockLines;

    // Words and the block table from Lines; a memory without words holds the
    // lone end marker ";".
    void LinesToWords();
    // Lines from the words (blocks are lines then: the table is 0, 1, 2 ...).
    void WordsToLines(bool WriteEndMarker = false);
    // The block that line Line belongs to: the last block starting in or
    // before it (0 when none does).
    int BlockOfLine(int Line) const;
};

// Reads a file's lines (CR LF or LF); false when it cannot be opened.
bool ReadLines(const std::string &FileName, std::vector<std::string> &Lines);
// Writes the lines with CR LF; false when the file cannot be written.
bool WriteLines(const std::string &FileName, const std::vector<std::string> &Lines);

} // namespace orv::fanuc
