#pragma once
// The editor's rewriting commands as functions on lines of program text
// (8-bit ".FNC" bytes, no line breaks): block numbering, padding between
// words, line-end tokens, change of case and the alteration of F, S, X, Y
// and Z values. The editor window takes the lines out of its text, runs a
// command and puts the result back; nothing here touches a window.

#include <functional>
#include <string>
#include <vector>

namespace orv {

using TLines = std::vector<std::string>;
// Polled between lines by the long commands; true stops the command and
// leaves the lines not yet processed as they were.
using TStopCheck = std::function<bool()>;

// The character 216 ("Ø" in the Windows Latin-1 code page) belongs to a
// number in this dialect.
constexpr char TokenNumberChar = '\xD8';
// "+", "-", ".", a digit or character 216.
bool IsNumberChar(char C);
// Lines the commands leave alone: comments and bracket keywords.
bool IsCommentOrKeywordLine(const std::string &Line);

// Block numbering: NumberString ("N") + Start + k * Increment, at least Size
// digits with leading zeros, then the padding, then the block.
struct TNumbering {
    std::string NumberString = "N";
    int Start = 0;
    int Increment = 1;
    int Size = 0;
    bool Remove = false;
};

// Strips the old block numbers (leading digits, character 216, the first
// character of the padding and of the number string) and, unless removing,
// numbers every block that is not a comment or keyword line. Empty lines are
// dropped; so is a line that held only a block number when removing (when
// numbering it keeps its new number alone).
TLines Renumber(const TLines &Lines, const TNumbering &Numbering, const std::string &Padding);

// Puts Padding before every word from the second character on (numbers,
// signs and "." are kept together). Comment, keyword and empty lines stay.
TLines AddPadding(const TLines &Lines, const std::string &Padding, const TStopCheck &Stop = {});
// Removes every whole occurrence of Padding; an empty padding removes nothing.
TLines RemovePadding(const TLines &Lines, const std::string &Padding,
                     const TStopCheck &Stop = {});

// Appends Token to every block that does not already end with it.
TLines AppendLineEnd(const TLines &Lines, const std::string &Token, const TStopCheck &Stop = {});
// Removes Token from the end of every block that ends with it.
TLines RemoveLineEnd(const TLines &Lines, const std::string &Token, const TStopCheck &Stop = {});

TLines ChangeCase(const TLines &Lines, bool Upper);

// Where an address letter's word lies in a line: the letter, the padding
// when it is one character and follows the letter, then the number.
struct TTokenExtent {
    int Start = 0;
    int Length = 0;
};
// Every word of Letter in Line, found in an upper-cased copy (so "g1" is a
// G word too). Comment and keyword lines have none.
std::vector<TTokenExtent> LetterExtents(const std::string &Line, char Letter,
                                        const std::string &Padding);

// Alter values: the letter's values changed by a percentage and shifted by
// an amount where they lie above, below or at ß.
struct TAlterValues {
    char Letter = 'X';
    int Percentage = 100; // 1 to 1000
    double Shift = 0;
    double Beta = 0;      // ß
    bool Above = false;
    bool Below = false;
    bool At = false;
    bool Confirm = false;
};
enum class TAlterAnswer { Yes, No, All, Cancel };

// Runs over Lines in place. Ask (when confirming) is asked with the word's
// line index and extent; Changed is told of each rewrite (line index, start,
// old length, new text) as it is made, so a window can follow it. A word
// whose number cannot be read (X#1) is left and the command goes on.
// False when the operator cancelled.
class TValueAlterer {
public:
    std::function<TAlterAnswer(int Line, const TTokenExtent &Word)> Ask;
    std::function<void(int Line, const TTokenExtent &Old, const std::string &NewText)> Changed;

    bool Run(TLines &Lines, const TAlterValues &Values, const std::string &Padding);

private:
    enum class TCondition { Percent, Above, Below, At };
    bool AlterLine(std::string &Line, int Index, TCondition Condition);
    bool Applies(TCondition Condition, long double Value) const;

    TAlterValues FValues;
    std::string FPadding;
    bool FConfirm = false;
};

} // namespace orv
