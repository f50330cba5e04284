#include "shell/EditorCommands.h"

#include "platform/NumberText.h"

#include <cctype>

namespace orv {

bool IsNumberChar(char C)
{
    return C == '+' || C == '-' || C == '.' || C == TokenNumberChar ||
           std::isdigit(static_cast<unsigned char>(C));
}

bool IsCommentOrKeywordLine(const std::string &Line)
{
    return !Line.empty() && (Line[0] == '(' || Line[0] == '[');
}

namespace {

bool IsLeftAlone(const std::string &Line) { return Line.empty() || IsCommentOrKeywordLine(Line); }

bool EndsWith(const std::string &Line, const std::string &Token)
{
    return Line.size() >= Token.size() &&
           Line.compare(Line.size() - Token.size(), Token.size(), Token) == 0;
}

// Applies Rewrite to every line a command changes, until Stop says so; the
// lines after that stay as they were.
TLines RewriteLines(const TLines &Lines, const TStopCheck &Stop,
                    const std::function<std::string(const std::string &)> &Rewrite)
{
    TLines result = Lines;
    for (std::string &line : result) {
        if (Stop && Stop())
            break;
        if (!IsLeftAlone(line))
            line = Rewrite(line);
    }
    return result;
}

bool IsOldNumberChar(char C, char NumberLetter, char PaddingChar)
{
    return C == NumberLetter || C == PaddingChar || C == TokenNumberChar ||
           std::isdigit(static_cast<unsigned char>(C));
}

std::string NumberText(int Number, int Size)
{
    std::string digits = IntToStr(Number);
    if ((int)digits.size() < Size)
        digits.insert(0, Size - digits.size(), '0');
    return digits;
}

} // namespace

TLines Renumber(const TLines &Lines, const TNumbering &Numbering, const std::string &Padding)
{
    const char numberLetter = Numbering.NumberString.empty() ? '0' : Numbering.NumberString[0];
    const char paddingChar = Padding.empty() ? ' ' : Padding[0];
    TLines result;
    int k = 0;
    for (const std::string &original : Lines) {
        if (original.empty())
            continue;
        size_t first = 0;
        while (first < original.size() && IsOldNumberChar(original[first], numberLetter, paddingChar))
            ++first;
        std::string line = original.substr(first);
        if (Numbering.Remove) {
            if (!line.empty())
                result.push_back(line);
            continue;
        }
        if (IsCommentOrKeywordLine(line)) {
            result.push_back(line);
            continue;
        }
        std::string number =
            Numbering.NumberString + NumberText(Numbering.Start + k * Numbering.Increment, Numbering.Size);
        ++k;
        result.push_back(line.empty() ? number : number + Padding + line);
    }
    return result;
}

TLines AddPadding(const TLines &Lines, const std::string &Padding, const TStopCheck &Stop)
{
    return RewriteLines(Lines, Stop, [&Padding](const std::string &Line) {
        std::string padded;
        for (size_t i = 0; i < Line.size(); ++i) {
            if (i > 0 && !IsNumberChar(Line[i]))
                padded += Padding;
            padded += Line[i];
        }
        return padded;
    });
}

TLines RemovePadding(const TLines &Lines, const std::string &Padding, const TStopCheck &Stop)
{
    if (Padding.empty())
        return Lines;
    return RewriteLines(Lines, Stop, [&Padding](const std::string &Line) {
        std::string kept;
        size_t from = 0;
        for (size_t at = Line.find(Padding); at != std::string::npos; at = Line.find(Padding, from)) {
            kept.append(Line, from, at - from);
            from = at + Padding.size();
        }
        kept.append(Line, from, std::string::npos);
        return kept;
    });
}

TLines AppendLineEnd(const TLines &Lines, const std::string &Token, const TStopCheck &Stop)
{
    return RewriteLines(Lines, Stop, [&Token](const std::string &Line) {
        return EndsWith(Line, Token) ? Line : Line + Token;
    });
}

TLines RemoveLineEnd(const TLines &Lines, const std::string &Token, const TStopCheck &Stop)
{
    if (Token.empty())
        return Lines;
    return RewriteLines(Lines, Stop, [&Token](const std::string &Line) {
        return EndsWith(Line, Token) ? Line.substr(0, Line.size() - Token.size()) : Line;
    });
}

TLines ChangeCase(const TLines &Lines, bool Upper)
{
    TLines result;
    result.reserve(Lines.size());
    for (const std::string &line : Lines)
        result.push_back(Upper ? UpperCase(line) : LowerCase(line));
    return result;
}

std::vector<TTokenExtent> LetterExtents(const std::string &Line, char Letter,
                                        const std::string &Padding)
{
    std::vector<TTokenExtent> words;
    if (IsCommentOrKeywordLine(Line))
        return words;
    const std::string upper = UpperCase(Line);
    const char letter = (char)std::toupper(static_cast<unsigned char>(Letter));
    for (size_t at = upper.find(letter); at != std::string::npos; at = upper.find(letter, at + 1)) {
        size_t end = at + 1;
        if (Padding.size() == 1 && end < Line.size() && Line[end] == Padding[0])
            ++end;
        while (end < Line.size() && IsNumberChar(Line[end]))
            ++end;
        words.push_back({(int)at, (int)(end - at)});
    }
    return words;
}

// --- Alter values ---

bool TValueAlterer::Run(TLines &Lines, const TAlterValues &Values, const std::string &Padding)
{
    FValues = Values;
    FPadding = Padding;
    FConfirm = Values.Confirm;
    for (int i = 0; i < (int)Lines.size(); ++i) {
        if (Values.Percentage != 100 && !AlterLine(Lines[i], i, TCondition::Percent))
            return false;
        if (Values.Shift == 0)
            continue;
        const std::pair<bool, TCondition> shifts[] = {{Values.Above, TCondition::Above},
                                                      {Values.Below, TCondition::Below},
                                                      {Values.At, TCondition::At}};
        for (const auto &[ticked, condition] : shifts)
            if (ticked && !AlterLine(Lines[i], i, condition))
                return false;
    }
    return true;
}

bool TValueAlterer::Applies(TCondition Condition, long double Value) const
{
    switch (Condition) {
    case TCondition::Above:
        return Value > FValues.Beta;
    case TCondition::Below:
        return Value < FValues.Beta;
    case TCondition::At:
        return Value == (long double)FValues.Beta;
    default:
        return true;
    }
}

// One pass over a line's words; false when the operator cancelled. Words
// are found again after each rewrite, as a new value may be longer or
// shorter than the old one.
bool TValueAlterer::AlterLine(std::string &Line, int Index, TCondition Condition)
{
    size_t word = 0;
    for (;;) {
        const std::vector<TTokenExtent> words = LetterExtents(Line, FValues.Letter, FPadding);
        if (word >= words.size())
            return true;
        const TTokenExtent extent = words[word++];
        long double value = 0;
        if (!TryStrToFloat(Line.substr(extent.Start + 1, extent.Length - 1), value))
            continue; // no number to alter (X#1, a letter of a remark)
        if (!Applies(Condition, value))
            continue;
        if (FConfirm && Ask) {
            const TAlterAnswer answer = Ask(Index, extent);
            if (answer == TAlterAnswer::Cancel)
                return false;
            if (answer == TAlterAnswer::No)
                continue;
            if (answer == TAlterAnswer::All)
                FConfirm = false;
        }
        const long double altered = Condition == TCondition::Percent
                                        ? value * FValues.Percentage / 100
                                        : value + FValues.Shift;
        const std::string text =
            std::string(1, (char)std::toupper((unsigned char)FValues.Letter)) + FloatToStr(altered);
        Line.replace(extent.Start, extent.Length, text);
        if (Changed)
            Changed(Index, extent, text);
    }
}

} // namespace orv
