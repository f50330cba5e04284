#pragma once
// The NC line parser: turns one line of Fanuc-like ISO code into the shared
// block record (modal G groups, M, S and T, address words, bracket keywords,
// block delete, operator messages) and runs the macro statements GOTO,
// "#n = expression" and IF at parse time against the macro variables.

#include "engine/core/Base_cnc.h"
#include "platform/Classes.h"

#include <string>
#include <string_view>
#include <vector>

namespace orv {

class TCNC_Groups;
class TMacroVars;

class CNCLineParser : public TComponent {
public:
    explicit CNCLineParser(TComponent *Owner = nullptr) : TComponent(Owner) {}

    // Also show word errors (messages 29 to 32) in an information box.
    // Message 52 is always shown.
    bool ShowErrorDialogueBox = false;
    // Error_pos is the record's LineNumber, error_message the translated
    // table text, error_string the detail.
    EErrorNotify OnErrorEvent;

    // The variable store; without one (the editor's parsers) every valid
    // variable reads 0 and assignments are dropped.
    void SetMacrovars(TMacroVars *Store) { FMacrovars = Store; }

    // Clears the 39 word and 28 group present flags; values stay.
    static void ClearPresence(TCNC_Groups &Groups);

    // The tokens of one line: letter runs upper-cased, numbers with their
    // sign and "#", single marks; a "(" ends the line and is followed by "1".
    static std::vector<std::string> SplitLine(const std::string &Line);

    // Parses Line into Groups, keeping every value the line does not
    // program. Ordinary line: the status of its last word (true without
    // words or after a comment). Macro statement: true. Reports message 29
    // (fifth G code), 30 (tool number), 31 (bad value), 32 (unknown token,
    // returns false at once) and 52 (macro structure, division by zero,
    // square root of a negative, tangent of 90 degrees).
    bool ParseLine(const std::string &Line, TCNC_Groups &Groups);

    // Table text of the last word error (message 31 or 30).
    const std::string &LastErrorText() const { return FLastError; }

private:
    friend class TMacroStatement;
    using TTokenViews = std::vector<std::string_view>;

    // The line upper-cased once, slashed zeros made plain, into Text; the
    // tokens as views into Text (comment marks into static text).
    static void UpperPlain(const std::string &Line, std::string &Text);
    static void SplitText(std::string &Text, TTokenViews &Tokens);

    bool ParseWords(const std::string &Line, const TTokenViews &Tokens, TCNC_Groups &Groups);
    bool ParseWord(const std::string &Line, const TTokenViews &Tokens, size_t &At, int Index,
                   TCNC_Groups &Groups, bool &EndOfLine);
    bool ParseValueWord(const std::string &Line, int Index, std::string_view Value,
                        TCNC_Groups &Groups, bool &EndOfLine);
    bool ParseGroupInteger(std::string_view Value, int Maximum, int Group, int Word,
                           TCNC_Groups &Groups);
    bool ParseTool(std::string_view Value, TCNC_Groups &Groups);
    bool ParseGCode(std::string_view Value, TCNC_Groups &Groups);
    bool ParseKeyword(const std::string &Line, std::string_view Value, TCNC_Groups &Groups,
                      bool &EndOfLine);
    bool ParseMessageMark(const std::string &Line, std::string_view Mark, TCNC_Groups &Groups);

    bool ReadInteger(std::string_view Token, int Maximum, int &Value) const;
    bool ReadReal(std::string_view Token, long double &Value) const;
    bool ReadVariable(std::string_view NumberText, long double &Value) const;
    void StoreVariable(int Number, long double Value);

    void ReportWordError(int Line, const std::string &EventText, const std::string &Detail,
                         int BoxMessage);
    void ReportMacroError(int Line, const std::vector<std::string> &Tokens);

    // The current line's text and tokens, kept to save allocations; a macro
    // statement copies its tokens before it parses a line of its own.
    std::string FText;
    TTokenViews FTokens;
    TMacroVars *FMacrovars = nullptr;
    std::string FLastError;
    int FGCount = 0;
};

} // namespace orv
