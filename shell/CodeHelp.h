#pragma once
// The editor's code help and syntax check, both through the NC line parser:
// the G or M code of a block (the help topic of the code under the caret),
// the help context of a code from the help reference file ("Help.ini"), and
// the check of a range of lines that stops at each error with a question.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orv {

class TIniFile;
class TLxDictionary;

// Help is given only while the name of the dictionary's current language
// contains "ENGLISH" (any case). Without a chosen language the program
// speaks the language its texts are written in: "English".
std::string HelpLanguageName(const TLxDictionary &Dictionary);
bool HelpInEnglish(const TLxDictionary &Dictionary);

// A code as the help knows it: "G" and "01", or no letter and "00".
struct THelpCode {
    std::string Letter;
    std::string Code;
    bool operator==(const THelpCode &) const = default;
};

// Two digits below 10: 1 gives "01", 98 gives "98".
std::string HelpCodeText(int Number);

// The code of a block's text: the text up to its first control character
// is parsed; while it does not parse its first character is dropped. A G
// word gives "G", else an M word "M", else no letter and "00".
THelpCode CodeOfBlock(const std::string &Text);

// The help context of a code: section "Standard Code" gives the letter's
// context prefix (default the "*" value, else "0") and whether the code is
// appended ("NUMBER"); the letter's own section may rename the code. None
// when the context text is no integer: no help is shown then.
std::optional<int> HelpContext(const TIniFile &Reference, const THelpCode &Code);

// One error the check stopped at: the line index (from 0), the message
// table's text and the detail.
struct TSyntaxError {
    int Line = 0;
    std::string Message;
    std::string Detail;
};

// The syntax check over lines 0 to LastLine. Every line is checked once, in
// order; a line whose parse fails or that reports an error counts one error
// and is shown to OnError, which answers true to go on, false to stop.
// Stop is polled before each line (Escape).
class TSyntaxCheck {
public:
    std::function<bool(const TSyntaxError &Error)> OnError;
    std::function<bool()> Stop;
    // Told of each line as the check moves past it (the caret follows).
    std::function<void(int Line)> OnLineChecked;

    struct TResult {
        int ErrorCount = 0;
        bool Stopped = false; // cancelled at an error or by Stop
        int LastChecked = 0;  // the line the check ended on
        bool Clean() const { return ErrorCount == 0 && !Stopped; }
    };
    TResult Run(const std::function<std::string(int Line)> &LineText, int LastLine);
};

// The text the editor shows with an error: the message, the detail and how
// to go on.
std::string SyntaxErrorText(const TSyntaxError &Error);

} // namespace orv
