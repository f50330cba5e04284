#include "fanuc/FanucMemory.h"
#include "platform/SafeSave.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace orv::fanuc {

namespace {

constexpr size_t MaxWord = 32;

bool IsLetter(char C) { return std::isalpha(static_cast<unsigned char>(C)) != 0; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
bool IsSeparator(char C)
{
    unsigned char u = static_cast<unsigned char>(C);
    return C == ' ' || C == '%' || u < '!' || u > '~';
}
bool StartsNumber(char C) { return C == '-' || C == '+' || C == '.' || IsDigit(C); }

// "Ø" as byte 216 (the control's own code page) or as UTF-8 (C3 98) is a zero.
std::string ZeroesForSlashedO(const std::string &Line)
{
    std::string out;
    out.reserve(Line.size());
    for (size_t i = 0; i < Line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(Line[i]);
        if (c == 0xC3 && i + 1 < Line.size() && static_cast<unsigned char>(Line[i + 1]) == 0x98) {
            out += '0';
            ++i;
        } else {
            out += c == 216 ? '0' : Line[i];
        }
    }
    return out;
}

} // namespace

std::vector<std::string> SplitToWords(const std::string &Text)
{
    const std::string line = ZeroesForSlashedO(Text);
    std::vector<std::string> words;
    size_t i = 0;
    while (true) {
        while (i < line.size() && IsSeparator(line[i]))
            ++i;
        if (i >= line.size())
            break;
        std::string word;
        if (line[i] == ':') {
            word = "O";
            ++i;
        }
        while (i < line.size() && IsLetter(line[i]) && word.size() < MaxWord)
            word += char(std::toupper(static_cast<unsigned char>(line[i++])));
        if (i < line.size() && StartsNumber(line[i])) {
            word += line[i++];
            while (i < line.size() && (IsDigit(line[i]) || line[i] == '.') && word.size() < MaxWord)
                word += line[i++];
        } else if (i < line.size() && !IsSeparator(line[i]) && !IsLetter(line[i])) {
            word += line[i++];
        }
        if (!word.empty())
            words.push_back(word);
    }
    return words;
}

std::vector<std::string> JoinWords(const std::vector<std::string> &Words, bool WriteEndMarker)
{
    std::vector<std::string> lines;
    const size_t end = Words.empty() ? 0 : Words.size() - 1;
    std::string line;
    bool open = false;
    for (size_t i = 0; i < end; ++i) {
        if (Words[i] == ";") {
            lines.push_back(line);
            line.clear();
            open = false;
            continue;
        }
        line += Words[i] + " ";
        open = true;
    }
    if (open)
        lines.push_back(line);
    if (WriteEndMarker && !Words.empty() && Words.back() != ";")
        lines.push_back(Words.back());
    return lines;
}

void TFanucMemory::LinesToWords()
{
    Words.clear();
    BlockLines.clear();
    bool blockOpen = false;
    for (int l = 0; l < int(Lines.size()); ++l) {
        for (std::string &word : SplitToWords(Lines[l])) {
            if (!blockOpen) {
                BlockLines.push_back(l);
                blockOpen = true;
            }
            if (word == ";")
                blockOpen = false;
            Words.push_back(std::move(word));
        }
        if (!Words.empty() && Words.back() != ";") {
            Words.push_back(";");
            blockOpen = false;
        }
    }
    if (Words.empty()) {
        Words.push_back(";");
        BlockLines.push_back(0);
    }
}

void TFanucMemory::WordsToLines(bool WriteEndMarker)
{
    Lines = JoinWords(Words, WriteEndMarker);
    BlockLines.resize(Lines.size());
    for (int b = 0; b < int(BlockLines.size()); ++b)
        BlockLines[b] = b;
}

int TFanucMemory::BlockOfLine(int Line) const
{
    auto it = std::upper_bound(BlockLines.begin(), BlockLines.end(), Line);
    return it == BlockLines.begin() ? 0 : int(it - BlockLines.begin()) - 1;
}

bool ReadLines(const std::string &FileName, std::vector<std::string> &Lines)
{
    std::ifstream in(FileName, std::ios::binary);
    if (!in)
        return false;
    Lines.clear();
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Lines.push_back(line);
    }
    return true;
}

bool WriteLines(const std::string &FileName, const std::vector<std::string> &Lines)
{
    std::string text;
    for (const std::string &line : Lines)
        text += line + "\r\n";
    return static_cast<bool>(SaveFileReplacing(FileName, text));
}

} // namespace orv::fanuc
