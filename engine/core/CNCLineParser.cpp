#include "engine/core/CNCLineParser.h"

#include "engine/core/MacroVars.h"
#include "engine/core/Mess.h"
#include "engine/core/data_types.h"
#include "platform/NumberText.h"
#include "platform/MessageService.h"
#include "platform/RealText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

namespace orv {

namespace {

// Message numbers of the table that the parser reports.
constexpr int MsgTooManyGCodes = 29;
constexpr int MsgToolNumber = 30;
constexpr int MsgBadValue = 31;
constexpr int MsgUnknownToken = 32;
constexpr int MsgMacroStructure = 52;

constexpr size_t MaxLetterRun = 31;
constexpr size_t MaxNumberToken = 32;
constexpr size_t MaxLiteralLength = 9; // sign and point included
constexpr int MaxGCodesPerBlock = 4;
constexpr int MaxMCode = 173;
constexpr int MaxSpindle = 50000;
constexpr int MaxTool = 100;
constexpr int MaxInteger = 2147483646; // H, N, O and jump targets
constexpr double NoGWord = -1000;      // G word value of a block that is no move

constexpr bool IsLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }
constexpr bool IsDigit(char C) { return C >= '0' && C <= '9'; }
constexpr bool IsNumberStart(char C)
{
    return IsDigit(C) || C == '-' || C == '+' || C == '.' || C == '#';
}
constexpr bool IsNumberPart(char C) { return IsDigit(C) || C == '.' || C == '#'; }

// Blanks, ";", "%", NUL and everything outside "!" to "~" stand between tokens.
constexpr bool IsSeparator(char C)
{
    auto code = static_cast<unsigned char>(C);
    return C == ';' || C == '%' || code < '!' || code > '~';
}

// The kinds above of every character, looked up once per character.
enum : uint8_t { ccSeparator = 1, ccLetter = 2, ccNumberStart = 4, ccNumberPart = 8 };
constexpr std::array<uint8_t, 256> CharClasses = [] {
    std::array<uint8_t, 256> table{};
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        table[code] = static_cast<uint8_t>((IsSeparator(c) ? ccSeparator : 0) |
                                           (IsLetter(c) ? ccLetter : 0) |
                                           (IsNumberStart(c) ? ccNumberStart : 0) |
                                           (IsNumberPart(c) ? ccNumberPart : 0));
    }
    return table;
}();

uint8_t CharClass(char C) { return CharClasses[static_cast<unsigned char>(C)]; }

bool StartsWith(std::string_view Text, std::string_view Prefix)
{
    return Text.substr(0, Prefix.size()) == Prefix;
}

// Word index of a token: its position in the letter string, or -1 when it
// is not there or names no address ("~" and the runs of the tail).
int LetterIndex(std::string_view Token)
{
    // Most tokens are one letter: their index by table.
    static const auto Single = [] {
        std::array<int8_t, 256> table{};
        table.fill(-1);
        for (int i = wCloseBracket; i >= 1; --i)
            table[static_cast<unsigned char>(CNCLetters[i])] = static_cast<int8_t>(i);
        table[static_cast<unsigned char>(CNCLetters[0])] = -1;
        return table;
    }();
    if (Token.size() == 1)
        return Single[static_cast<unsigned char>(Token[0])];
    auto at = std::string_view(CNCLetters).find(Token);
    if (Token.empty() || at == std::string::npos || at == 0 || at > wCloseBracket)
        return -1;
    return static_cast<int>(at);
}

// Whether the word at Index holds a real number: every address but the
// marks, the codes and the integers (the ones ParseValueWord reads apart).
bool IsRealWord(int Index)
{
    switch (Index) {
    case wPercent: case wCloseBracket: case wComment: case wSlash: case wMessage:
    case wQuestion: case wG: case wM: case wS: case wT: case wH: case wN: case wO:
    case wBracket:
        return false;
    default:
        return true;
    }
}

// Modal group of a G number, -1 for a number that is no G code.
int GCodeGroup(int G)
{
    switch (G) {
    case 4: case 28: case 92: return gNonModal;
    case 0: case 1: case 2: case 3: return gMotion;
    case 17: case 18: case 19: return gPlane;
    case 90: case 91: return gAbsInc;
    case 94: case 95: return gFeedMode;
    case 20: case 21: return gUnits;
    case 40: case 41: case 42: return gCutterComp;
    case 43: case 44: case 49: return gLengthComp;
    case 73: case 74: case 76: case 89: return gCannedCycle;
    case 98: case 99: return gReturnLevel;
    case 50: case 51: return gScaling;
    case 68: case 69: return gRotation;
    case 15: case 16: return gPolar;
    default: break;
    }
    if (G >= 80 && G <= 87)
        return gCannedCycle;
    if (G >= 54 && G <= 59)
        return gWorkOffset;
    return -1;
}

// Index of a word in a table that ends with "~~~~", matched as the first
// letters of the token; -1 when none matches.
int TablePrefixIndex(const char *const *Table, const std::string &Token)
{
    for (int i = 0; std::string_view(Table[i]) != "~~~~"; ++i)
        if (StartsWith(Token, Table[i]))
            return i;
    return -1;
}

int KeywordIndex(std::string_view Token)
{
    for (int i = 0; i < NoBracketKeyword; ++i)
        if (Token == BracketKeywords[i])
            return i;
    return -1;
}

// Plain decimal integer with an optional sign.
bool ReadPlainInteger(std::string_view Token, long long &Value)
{
    size_t start = (!Token.empty() && (Token[0] == '-' || Token[0] == '+')) ? 1 : 0;
    if (start >= Token.size() || Token.size() - start > 12)
        return false;
    Value = 0;
    for (size_t i = start; i < Token.size(); ++i) {
        if (!IsDigit(Token[i]))
            return false;
        Value = Value * 10 + (Token[i] - '0');
    }
    if (Token[0] == '-')
        Value = -Value;
    return true;
}

// The text of the line from the second character after the first
// occurrence of Token on ("! CHECK TOOL" gives "CHECK TOOL").
std::string RestOfLineAfter(const std::string &Line, std::string_view Token)
{
    auto at = UpperCase(Line).find(Token);
    if (at == std::string::npos)
        return std::string();
    size_t start = at + Token.size() + 1;
    return start < Line.size() ? Line.substr(start) : std::string();
}

std::string JoinTokens(const std::vector<std::string> &Tokens, const char *Separator)
{
    std::string text;
    for (size_t i = 0; i < Tokens.size(); ++i)
        text += (i ? Separator : "") + Tokens[i];
    return text;
}

enum TMacroKind { mkNone = -1, mkGoto = 0, mkAssign = 1, mkIf = 2 };

// The statement a line starts with: its first token, or its third when the
// first holds "N" (a block number comes first).
TMacroKind MacroKind(const std::vector<std::string_view> &Tokens)
{
    size_t at = !Tokens.empty() && Tokens[0].find('N') != std::string_view::npos ? 2 : 0;
    if (at >= Tokens.size())
        return mkNone;
    for (int i = 0; i < 3; ++i)
        if (StartsWith(Tokens[at], MacroStatements[i]))
            return static_cast<TMacroKind>(i);
    return mkNone;
}

} // namespace

// One macro statement (GOTO, assignment, IF) over the tokens of its line;
// tokens are taken from the front as the statement reads them.
class TMacroStatement {
public:
    TMacroStatement(CNCLineParser &Parser, const std::vector<std::string> &Tokens,
                    TCNC_Groups &Groups)
        : FParser(Parser), FTokens(Tokens), FGroups(Groups)
    {
    }

    void RunGoto();
    // False when the variable number cannot be read: parse as an ordinary line.
    bool RunAssignment();
    void RunIf();

private:
    enum TFunction { fnSin, fnCos, fnTan, fnAtan, fnSqrt, fnAbs, fnRound };
    struct TPending {
        int Function;
        bool HaveFirst = false;
        long double First = 0;
    };
    struct TExpression {
        long double Result = 0;
        bool HaveResult = false;
        char Operator = 0;
        std::vector<TPending> Functions;
        bool OperatorExpected() const { return HaveResult && !Operator && Functions.empty(); }
    };

    bool TakeUntil(char Mark);
    bool TakeUntilGoto();
    bool ReadExpression(TExpression &E);
    bool Operand(TExpression &E, long double Value);
    bool ApplyFunction(int Function, long double &Value) const;
    bool Combine(TExpression &E, long double Value) const;
    bool Holds(int Comparison, long double Left, long double Right) const;
    void Fail() { FParser.ReportMacroError(FGroups.LineNumber, FTokens); }

    CNCLineParser &FParser;
    const std::vector<std::string> &FTokens;
    TCNC_Groups &FGroups;
    size_t FAt = 0;
};

bool TMacroStatement::TakeUntil(char Mark)
{
    while (FAt < FTokens.size())
        if (FTokens[FAt++].find(Mark) != std::string::npos)
            return true;
    return false;
}

bool TMacroStatement::TakeUntilGoto()
{
    while (FAt < FTokens.size())
        if (StartsWith(FTokens[FAt++], "GOTO"))
            return true;
    return false;
}

// GOTO n: the block carries P n and M99 (word flags only); the engine jumps.
void TMacroStatement::RunGoto()
{
    TakeUntilGoto();
    while (FAt < FTokens.size()) {
        int target = 0;
        if (!FParser.ReadInteger(FTokens[FAt++], MaxInteger, target))
            continue;
        FGroups.Words[wP] = target;
        FGroups.WordSet[wP] = true;
        FGroups.Words[wM] = 99;
        FGroups.WordSet[wM] = true;
        return;
    }
    Fail();
}

bool TMacroStatement::RunAssignment()
{
    if (!TakeUntil('#'))
        return false;
    const std::string &target = FTokens[FAt - 1];
    int number = 0;
    if (!FParser.ReadInteger(target.substr(target.find('#') + 1), MaxInteger, number))
        return false;
    TExpression expression;
    if (!ReadExpression(expression))
        return true;
    if (!expression.HaveResult) {
        Fail(); // an assignment with no value stores 0
        FParser.StoreVariable(number, 0);
        return true;
    }
    if (expression.Operator || !expression.Functions.empty()) {
        Fail(); // ran out of tokens while looking for an operand
        return true;
    }
    FParser.StoreVariable(number, expression.Result);
    return true;
}

// Reads operands, operators and functions strictly from left to right;
// false (after message 52) when a step gives no finite number.
bool TMacroStatement::ReadExpression(TExpression &E)
{
    for (; FAt < FTokens.size(); ++FAt) {
        const std::string &token = FTokens[FAt];
        if (token == "(")
            break; // a comment ends the statement
        bool isOperator = token.size() == 1 && std::string("+-*/").find(token[0]) != std::string::npos;
        if (isOperator && !E.OperatorExpected()) {
            Fail(); // an operator with no operand before it
            return false;
        }
        if (isOperator) {
            E.Operator = token[0];
            continue;
        }
        int function = TablePrefixIndex(MacroFunctions, token);
        if (function >= 0) {
            E.Functions.push_back({function});
            continue;
        }
        if (!IsNumberStart(token[0]))
            continue; // "=", brackets and other words are passed over
        bool signAsOperator = E.OperatorExpected() && (token[0] == '+' || token[0] == '-');
        long double value = 0;
        if (!FParser.ReadReal(signAsOperator ? token.substr(1) : token, value)) {
            Fail(); // a number that reads as no value (bad literal, no such variable)
            return false;
        }
        if (signAsOperator)
            E.Operator = token[0];
        if (!Operand(E, value))
            return false;
    }
    return true;
}

// Applies the pending functions (innermost first) and the pending operator.
bool TMacroStatement::Operand(TExpression &E, long double Value)
{
    while (!E.Functions.empty()) {
        TPending &pending = E.Functions.back();
        if (pending.Function == fnAtan && !pending.HaveFirst) {
            pending.HaveFirst = true;
            pending.First = Value;
            return true; // ATAN waits for its second operand
        }
        if (pending.Function == fnAtan)
            Value = std::atan2(pending.First, Value); // radians
        else if (!ApplyFunction(pending.Function, Value)) {
            Fail();
            return false;
        }
        E.Functions.pop_back();
    }
    if (!Combine(E, Value)) {
        Fail();
        return false;
    }
    return true;
}

bool TMacroStatement::ApplyFunction(int Function, long double &Value) const
{
    constexpr long double DegreesToRadians = 3.14159265358979323846264338327950288L / 180;
    switch (Function) {
    case fnSin: Value = std::sin(Value * DegreesToRadians); break;
    case fnCos: Value = std::cos(Value * DegreesToRadians); break;
    case fnTan:
        if (std::fmod(std::fabs(Value - 90), 180.0L) == 0)
            return false; // the tangent of 90 degrees is no number
        Value = std::tan(Value * DegreesToRadians);
        break;
    case fnSqrt:
        if (Value < 0)
            return false;
        Value = std::sqrt(Value);
        break;
    case fnAbs: Value = std::fabs(Value); break;
    case fnRound: {
        float narrowed = static_cast<float>(Value);
        if (!std::isfinite(narrowed))
            return false;
        float down = std::floor(narrowed), diff = narrowed - down;
        bool up = diff > 0.5f || (diff == 0.5f && std::fmod(down, 2.0f) != 0);
        Value = up ? down + 1 : down;
        break;
    }
    default: break;
    }
    return std::isfinite(Value);
}

bool TMacroStatement::Combine(TExpression &E, long double Value) const
{
    char op = E.Operator;
    E.Operator = 0;
    if (!E.HaveResult) {
        E.Result = Value;
        E.HaveResult = true;
        return true;
    }
    if (!op)
        return false; // two values with no operator between them
    if (op == '/' && Value == 0)
        return false;
    switch (op) {
    case '+': E.Result += Value; break;
    case '-': E.Result -= Value; break;
    case '*': E.Result *= Value; break;
    default: E.Result /= Value; break;
    }
    return std::isfinite(E.Result);
}

bool TMacroStatement::Holds(int Comparison, long double Left, long double Right) const
{
    switch (Comparison) {
    case 0: return Left == Right;
    case 1: return Left != Right;
    case 2: return Left > Right;
    case 3: return Left >= Right;
    case 4: return Left < Right;
    default: return Left <= Right;
    }
}

// IF [a cmp b] THEN statement: the statement is parsed into the same record.
void TMacroStatement::RunIf()
{
    if (!TakeUntil('[') || FAt + 3 > FTokens.size()) {
        Fail();
        return;
    }
    long double left = NoValue, right = NoValue;
    if (!FParser.ReadReal(FTokens[FAt], left))
        left = NoValue;
    int comparison = TablePrefixIndex(MacroComparisons, FTokens[FAt + 1]);
    if (!FParser.ReadReal(FTokens[FAt + 2], right))
        right = NoValue;
    FAt += 3;
    if (comparison < 0) {
        Fail();
        return;
    }
    if (!Holds(comparison, left, right))
        return;
    std::string statement;
    for (; FAt < FTokens.size(); ++FAt)
        if (FTokens[FAt] != "]" && FTokens[FAt] != "THEN")
            statement += FTokens[FAt];
    FParser.ParseLine(statement, FGroups);
}

void CNCLineParser::ClearPresence(TCNC_Groups &Groups)
{
    for (bool &set : Groups.WordSet)
        set = false;
    for (bool &set : Groups.GroupSet)
        set = false;
}

// A slashed zero (code 216, or its two-byte UTF-8 form) is a zero.
void CNCLineParser::UpperPlain(const std::string &Line, std::string &Text)
{
    const size_t size = Line.size();
    Text.resize(size);
    // Plain ASCII, nearly every line, eight characters at a time: a byte
    // from "a" to "z" loses its 0x20 bit.
    const char *in = Line.data();
    char *out = Text.data();
    constexpr uint64_t Ones = 0x0101010101010101u;
    uint64_t seen = 0;
    size_t at = 0;
    for (; at + 8 <= size; at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, in + at, 8);
        seen |= word;
        const uint64_t fromA = word + Ones * (0x80 - 'a');
        const uint64_t pastZ = word + Ones * (0x80 - 'z' - 1);
        word -= ((fromA & ~pastZ) & Ones * 0x80) >> 2;
        std::memcpy(out + at, &word, 8);
    }
    for (; at < size; ++at) {
        const auto code = static_cast<unsigned char>(in[at]);
        seen |= code;
        out[at] = static_cast<char>(code - (static_cast<unsigned>(code - 'a') < 26u ? 32 : 0));
    }
    if ((seen & Ones * 0x80) == 0)
        return;
    for (size_t i = 0; i < size; ++i) {
        char c = Line[i];
        auto code = static_cast<unsigned char>(c);
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (code >= 0x80) {
            bool utf8 = code == 0xC3 && i + 1 < size && static_cast<unsigned char>(Line[i + 1]) == 0x98;
            if (utf8)
                ++i;
            if (code == 216 || utf8)
                c = '0';
        }
        *out++ = c;
    }
    Text.resize(static_cast<size_t>(out - Text.data()));
}

void CNCLineParser::SplitText(std::string &Text, TTokenViews &Tokens)
{
    static constexpr std::string_view CommentRest = "1";
    Tokens.clear();
    char *const text = Text.data();
    const size_t size = Text.size();
    size_t i = 0;
    while (true) {
        while (i < size && (CharClass(text[i]) & ccSeparator))
            ++i;
        if (i >= size)
            break;
        if (text[i] == ':')
            text[i] = 'O'; // a program number written with a colon
        const size_t start = i++;
        const uint8_t kind = CharClass(text[start]);
        if (kind & ccLetter) {
            const size_t limit = std::min(size, start + MaxLetterRun);
            while (i < limit && (CharClass(text[i]) & ccLetter))
                ++i;
        } else if (kind & ccNumberStart) {
            const size_t limit = std::min(size, start + MaxNumberToken);
            while (i < limit && (CharClass(text[i]) & ccNumberPart))
                ++i;
        }
        Tokens.emplace_back(text + start, i - start);
        if (i - start == 1 && text[start] == '(') {
            Tokens.push_back(CommentRest); // a comment: the rest of the line is not split
            break;
        }
    }
}

std::vector<std::string> CNCLineParser::SplitLine(const std::string &Line)
{
    std::string text;
    TTokenViews views;
    UpperPlain(Line, text);
    SplitText(text, views);
    return std::vector<std::string>(views.begin(), views.end());
}

bool CNCLineParser::ParseLine(const std::string &Line, TCNC_Groups &Groups)
{
    ClearPresence(Groups);
    UpperPlain(Line, FText);
    // A copyright notice is a comment whatever it looks like.
    if (FText.find("COPYRIGHT") != std::string::npos)
        FTokens.assign({"(", "1"});
    else
        SplitText(FText, FTokens);
    const TMacroKind kind = MacroKind(FTokens);
    if (kind == mkNone)
        return ParseWords(Line, FTokens, Groups);
    // Statements run over tokens of their own: IF parses a line again.
    const std::vector<std::string> tokens(FTokens.begin(), FTokens.end());
    TMacroStatement statement(*this, tokens, Groups);
    switch (kind) {
    case mkGoto:
        statement.RunGoto();
        return true;
    case mkIf:
        statement.RunIf();
        return true;
    case mkAssign:
        if (statement.RunAssignment())
            return true;
        break;
    default:
        break;
    }
    return ParseWords(Line, FTokens, Groups);
}

bool CNCLineParser::ParseWords(const std::string &Line, const TTokenViews &Tokens,
                               TCNC_Groups &Groups)
{
    Groups.Groups[gNonModal] = 0;
    Groups.Groups[gBlockDelete] = 0;
    FGCount = 0;
    bool status = true;
    for (size_t at = 0; at < Tokens.size();) {
        const std::string_view token = Tokens[at++];
        int index = LetterIndex(token);
        if (index < 0) {
            ReportWordError(Groups.LineNumber, Mess().MessageText(MsgUnknownToken),
                            "\"" + QuoteForMessage(std::string(token)) + "\" in line:" +
                                QuoteForMessage(Line),
                            MsgUnknownToken);
            return false;
        }
        // Most words are an address with a number: read here at once. One
        // that does not read goes the long way, which reports it.
        long double value = 0;
        if (IsRealWord(index) && at < Tokens.size() && ReadReal(Tokens[at], value)) {
            ++at;
            Groups.Words[index] = value;
            Groups.WordSet[index] = true;
            status = true;
            continue;
        }
        bool endOfLine = false;
        bool good = ParseWord(Line, Tokens, at, index, Groups, endOfLine);
        if (index != wSlash)
            status = good; // block delete keeps the status of the word before
        if (endOfLine)
            break;
    }
    return status;
}

bool CNCLineParser::ParseWord(const std::string &Line, const TTokenViews &Tokens, size_t &At, int Index, TCNC_Groups &Groups, bool &EndOfLine)
{
    switch (Index) {
    case wPercent:
    case wCloseBracket:
        EndOfLine = true;
        break;
    case wComment:
        Groups.Words[wG] = NoGWord;
        EndOfLine = true;
        break;
    case wSlash:
        Groups.Groups[gBlockDelete] = 1;
        Groups.GroupSet[gBlockDelete] = true;
        break;
    case wMessage:
    case wQuestion:
        EndOfLine = ParseMessageMark(Line, Tokens[At - 1], Groups);
        break;
    default: {
        const std::string_view value = At < Tokens.size() ? Tokens[At++] : std::string_view();
        if (!ParseValueWord(Line, Index, value, Groups, EndOfLine)) {
            // A T word fails only on its tool number; every other word on its value.
            FLastError = Mess().MessageText(Index == wT ? MsgToolNumber : MsgBadValue);
            std::string detail = std::string(1, CNCLetters[Index]) + std::string(value);
            ReportWordError(Groups.LineNumber, FLastError, detail, MsgBadValue);
            return false;
        }
    }
    }
    Groups.WordSet[Index] = true;
    return true;
}

bool CNCLineParser::ParseValueWord(const std::string &Line, int Index, std::string_view Value,
                                   TCNC_Groups &Groups, bool &EndOfLine)
{
    switch (Index) {
    case wG:
        return ParseGCode(Value, Groups);
    case wM:
        return ParseGroupInteger(Value, MaxMCode, gMCode, wM, Groups);
    case wS:
        return ParseGroupInteger(Value, MaxSpindle, gSpindle, wS, Groups);
    case wT:
        return ParseTool(Value, Groups);
    case wH:
    case wN:
    case wO:
        return ParseGroupInteger(Value, MaxInteger, -1, Index, Groups);
    case wBracket:
        return ParseKeyword(Line, Value, Groups, EndOfLine);
    default:
        break;
    }
    long double value = NoValue;
    Groups.Words[Index] = NoValue;
    if (!ReadReal(Value, value))
        return false;
    Groups.Words[Index] = value;
    return true;
}

bool CNCLineParser::ParseGroupInteger(std::string_view Value, int Maximum, int Group, int Word,
                                      TCNC_Groups &Groups)
{
    int number = 0;
    if (!ReadInteger(Value, Maximum, number))
        return false;
    if (Group >= 0) {
        Groups.Groups[Group] = number;
        Groups.GroupSet[Group] = true;
    }
    Groups.Words[Word] = number;
    return true;
}

// T0101 and T101 select tool 1: the offset digits of a 3- or 4-character
// value are dropped (variable references as written included).
bool CNCLineParser::ParseTool(std::string_view Value, TCNC_Groups &Groups)
{
    std::string_view tool = Value;
    if (tool.size() == 3)
        tool = tool.substr(0, 1);
    else if (tool.size() == 4)
        tool = tool.substr(0, 2);
    return ParseGroupInteger(tool, MaxTool, gTool, wT, Groups);
}

bool CNCLineParser::ParseGCode(std::string_view Value, TCNC_Groups &Groups)
{
    int g = 0;
    if (!ReadInteger(Value, 99, g))
        return false;
    const int group = GCodeGroup(g);
    if (group < 0)
        return false;
    Groups.Groups[group] = g;
    Groups.GroupSet[group] = true;
    Groups.Words[wG] = g;
    if (++FGCount > MaxGCodesPerBlock)
        ReportWordError(Groups.LineNumber, Mess().MessageText(MsgTooManyGCodes), "",
                        MsgTooManyGCodes);
    return true;
}

bool CNCLineParser::ParseKeyword(const std::string &Line, std::string_view Value,
                                 TCNC_Groups &Groups, bool &EndOfLine)
{
    int keyword = KeywordIndex(Value);
    if (keyword < 0) {
        Groups.Groups[gKeyword] = NoBracketKeyword;
        return false;
    }
    Groups.Groups[gKeyword] = keyword;
    Groups.GroupSet[gKeyword] = true;
    if (std::string(BracketKeywords[keyword]) == "SUBPROGRAM") {
        Groups.RestOfLine = RestOfLineAfter(Line, Value);
        EndOfLine = !Groups.RestOfLine.empty();
    }
    Groups.Words[wG] = NoGWord;
    return true;
}

// "!" message and "?" question: the rest of the line is the operator's text.
bool CNCLineParser::ParseMessageMark(const std::string &Line, std::string_view Mark,
                                     TCNC_Groups &Groups)
{
    Groups.RestOfLine = RestOfLineAfter(Line, Mark);
    Groups.Words[wG] = NoGWord;
    return !Groups.RestOfLine.empty();
}

// #n reads variable n (nearest integer); otherwise a plain decimal integer.
// The value must lie between 0 and Maximum.
bool CNCLineParser::ReadInteger(std::string_view Token, int Maximum, int &Value) const
{
    long long number = 0;
    if (!Token.empty() && Token[0] == '#') {
        long double variable = 0;
        if (!ReadVariable(Token.substr(1), variable) || !FitsInt32(variable))
            return false;
        number = Round(variable);
    } else if (!ReadPlainInteger(Token, number)) {
        return false;
    }
    if (number < 0 || number > Maximum)
        return false;
    Value = static_cast<int>(number);
    return true;
}

// #n, -#n and +#n read variable n; a literal has at most 9 characters.
bool CNCLineParser::ReadReal(std::string_view Token, long double &Value) const
{
    bool signedVariable = Token.size() > 1 && (Token[0] == '-' || Token[0] == '+') && Token[1] == '#';
    if (signedVariable || (!Token.empty() && Token[0] == '#')) {
        long double variable = 0;
        if (!ReadVariable(Token.substr(signedVariable ? 2 : 1), variable))
            return false;
        Value = Token[0] == '-' ? -variable : variable;
        return true;
    }
    // A "#" further in is no number: the reader refuses it.
    if (Token.size() > MaxLiteralLength)
        return false;
    return TextToReal(Token, Value);
}

// A number that names no variable is no value (never the number itself).
bool CNCLineParser::ReadVariable(std::string_view NumberText, long double &Value) const
{
    int number = -1;
    if (!TMacroVars::IsValidVar(std::string(NumberText), number))
        return false;
    Value = FMacrovars ? FMacrovars->GetVarValue(number) : 0;
    return true;
}

void CNCLineParser::StoreVariable(int Number, long double Value)
{
    if (FMacrovars)
        FMacrovars->SetVar(Number, Value); // a number that is no variable is ignored
}

void CNCLineParser::ReportWordError(int Line, const std::string &EventText,
                                    const std::string &Detail, int BoxMessage)
{
    if (OnErrorEvent)
        OnErrorEvent(this, Line, Detail, EventText);
    if (ShowErrorDialogueBox)
        Mess().ShowMessageByIndex(BoxMessage, mtInformation, mbOK);
}

void CNCLineParser::ReportMacroError(int Line, const std::vector<std::string> &Tokens)
{
    if (OnErrorEvent)
        OnErrorEvent(this, Line, QuoteForMessage(JoinTokens(Tokens, " ")),
                     Mess().MessageText(MsgMacroStructure));
    Mess().ShowMessageByIndex(MsgMacroStructure, mtInformation, mbOK);
}

} // namespace orv
