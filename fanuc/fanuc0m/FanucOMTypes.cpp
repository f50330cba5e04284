#include "fanuc/fanuc0m/FanucOMTypes.h"

#include "fanuc/PCKeys.h"
#include "platform/EventLoop.h"

#include <algorithm>
#include <cctype>

namespace orv::fanuc {

const std::array<TKeypadRow, FanucOMKeyCount> &FanucOMKeypad()
{
    static const std::array<TKeypadRow, FanucOMKeyCount> rows = {{
        {"Reset", {27, -1, -1, -1}, kkFunction},
        {"7, O", {55, 79, -1, -1}, kkDigitAddress},
        {"8, N", {56, 78, -1, -1}, kkDigitAddress},
        {"9, G", {57, 71, -1, -1}, kkDigitAddress},
        {"Alter", {146, -1, -1, -1}, kkFunction},
        {"4, X", {52, 88, -1, -1}, kkDigitAddress},
        {"5, Y", {53, 89, -1, -1}, kkDigitAddress},
        {"6, Z", {54, 90, -1, -1}, kkDigitAddress},
        {"Insert", {147, -1, -1, -1}, kkFunction},
        {"Cursor Up", {37, -1, -1, -1}, kkFunction},
        {"1, H", {49, 72, -1, -1}, kkDigitAddress},
        {"2, F", {50, 70, -1, -1}, kkDigitAddress},
        {"3, R", {51, 82, -1, -1}, kkDigitAddress},
        {"Delete", {46, -1, -1, -1}, kkFunction},
        {"Cursor Down", {39, -1, -1, -1}, kkFunction},
        {"-, M", {45, 77, -1, -1}, kkDigitAddress},
        {"\xD8, S", {48, 83, -1, -1}, kkDigitAddress},
        {"., T", {46, 84, -1, -1}, kkDigitAddress},
        {"End Of Block, /, \xB8, #", {186, 191, 188, 222}, kkSymbols},
        {"D, 4th, B", {67, 65, 66, 68}, kkLetterCycle},
        {"K, J, I", {75, 74, 73, -1}, kkLetterCycle},
        {"L, Q, P", {76, 81, 80, -1}, kkLetterCycle},
        {"Cancel", {8, -1, -1, -1}, kkFunction},
        {"Page Up", {33, -1, -1, -1}, kkFunction},
        {"Position", {148, -1, -1, -1}, kkFunction},
        {"Program", {149, -1, -1, -1}, kkFunction},
        {"Offset Menus", {150, -1, -1, -1}, kkFunction},
        {"Input", {151, -1, -1, -1}, kkFunction},
        {"Page Down", {34, -1, -1, -1}, kkFunction},
        {"Diagnose, Parameters", {152, -1, -1, -1}, kkFunction},
        {"Operator Alarm (Help)", {235, -1, -1, -1}, kkFunction},
        {"Auxilary Graphics", {154, -1, -1, -1}, kkFunction},
        {"Ouput, Start", {155, -1, -1, -1}, kkFunction},
    }};
    return rows;
}

TKeyRecValue::TKeyRecValue(int Key) : Index(Key)
{
    const TKeypadRow &row = FanucOMKeypad()[Key];
    RawCodes = row.Codes;
    Kind = row.Kind;
    switch (Kind) {
    case kkLetterCycle: {
        Letters = row.Codes;
        auto end = std::find(Letters.begin(), Letters.end(), -1);
        LetterCount = int(end - Letters.begin());
        break;
    }
    case kkDigitAddress:
        NumCode = row.Codes[0];
        Letters[0] = row.Codes[1];
        LetterCount = 1;
        break;
    case kkFunction: FuncCode = row.Codes[0]; break;
    case kkSymbols:
        NumCode = row.Codes[3];
        Letters = {row.Codes[0], row.Codes[1], row.Codes[2], -1};
        LetterCount = 3;
        break;
    }
}

// --- Key-in line ---

TEditLine::TEditLine() : FTimer(std::make_unique<TTimer>())
{
    FTimer->SetInterval(500);
    FTimer->OnTimer = [this] { Blink(); };
    SetANCaption("");
}

TEditLine::~TEditLine() = default;

bool TEditLine::Flashing() const { return FTimer->Enabled(); }

bool TEditLine::HasAdrs() const
{
    if (NoChar)
        return true;
    const size_t needed = (!FCaption.empty() && FCaption[0] == 'M' && Offset) ? 2 : 1;
    return FCaption.size() >= needed;
}

void TEditLine::SetANCaption(const std::string &Value)
{
    if (Value.size() > MaxLength)
        return;
    FTimer->SetEnabled(false);
    FCaption.clear();
    for (char c : Value)
        FCaption += char(std::toupper(static_cast<unsigned char>(c)));
    if (NoChar) {
        FText = FCaption;
        FShown = "NO.   " + FCaption;
        FPhase = true;
        FTimer->SetEnabled(true);
    } else if (HasAdrs()) {
        std::string address, number;
        for (char c : FCaption) {
            if (c == ',' || c == '/' || c == ';' || std::isalpha(static_cast<unsigned char>(c)))
                address += c;
            else if (c == '#' || c == '-' || c == '.' || std::isdigit(static_cast<unsigned char>(c)))
                number += c;
        }
        FText = "NUM. " + std::string(" ") + address + std::string(10, ' ') + number;
        FShown = FText + "_";
        FPhase = false;
        FTimer->SetEnabled(true);
    } else {
        FText = "ADRS. " + FCaption;
        FShown = FText;
        FPhase = false;
    }
    if (OnChange)
        OnChange();
}

void TEditLine::DelChar(bool Notify)
{
    std::string caption = FCaption;
    if (!caption.empty())
        caption.pop_back();
    SetANCaption(caption);
    if (Notify && OnDelChar)
        OnDelChar();
}

void TEditLine::Blink()
{
    FPhase = !FPhase;
    if (NoChar)
        FShown = (FPhase ? "NO.   " : "      ") + FText;
    else
        FShown = FPhase ? FText + "_" : FText;
    if (OnChange)
        OnChange();
}

// --- Decoder ---

TFanucOMKeypad::TFanucOMKeypad()
{
    for (int k = 0; k < FanucOMKeyCount; ++k)
        Keys.emplace_back(k);
}

// A letter or symbol key pressed again while the key-in holds only its
// character steps to the key's next character.
int TFanucOMKeypad::Cycle(TKeyRecValue &K, TEditLine &Line)
{
    if (K.Index == LastKey) {
        ++CycleIndex;
        if (CycleIndex > 3 || CycleIndex >= K.LetterCount)
            CycleIndex = 0;
    } else {
        CycleIndex = 0;
    }
    return K.Letters[CycleIndex];
}

int TFanucOMKeypad::DecodeKey(int Key, TEditLine &Line, bool OffsetPage)
{
    if (Key < 0 || Key >= int(Keys.size()))
        return 0;
    TKeyRecValue &k = Keys[Key];
    int result = 0;
    switch (k.Kind) {
    case kkLetterCycle:
        Line.NoChar = OffsetPage && Key == 21;
        if (Line.NoChar) {
            Line.SetANCaption("");
            result = 0;
        } else if (Line.ANCaption().size() == 1) {
            Line.DelChar(false);
            result = Cycle(k, Line);
        } else if (Line.ANCaption().empty()) {
            result = k.Letters[0];
        }
        break;
    case kkDigitAddress: result = Line.HasAdrs() ? k.NumCode : k.Letters[0]; break;
    case kkFunction:
        result = k.FuncCode;
        LastKey = 0;
        Line.NoChar = false;
        break;
    case kkSymbols: {
        const std::string &caption = Line.ANCaption();
        if (Line.HasAdrs() && caption[0] != ',' && caption[0] != '/' && caption[0] != ';') {
            result = k.NumCode;
        } else {
            if (!caption.empty())
                Line.DelChar(false);
            result = Cycle(k, Line);
        }
        break;
    }
    }
    if (k.Kind != kkFunction)
        LastKey = Key;
    k.CurrentCode = result;
    return result;
}

namespace {

bool Holds(const TKeyRecValue &K, int Code)
{
    const auto letters = K.Letters.begin();
    switch (K.Kind) {
    case kkLetterCycle: return std::find(letters, letters + K.LetterCount, Code) != letters + K.LetterCount;
    case kkDigitAddress: return K.NumCode == Code || K.Letters[0] == Code;
    case kkFunction: return K.FuncCode == Code;
    case kkSymbols: return K.NumCode == Code || std::find(letters, letters + 3, Code) != letters + 3;
    }
    return false;
}

} // namespace

TPCKey TFanucOMKeypad::MapPCKey(int Key, TEditLine &Line, bool OffsetPage)
{
    const bool typed = VirtualKeyCharacter(Key) != 0;
    for (int i = 0; i < int(Keys.size()); ++i)
        if ((Keys[i].Kind != kkFunction) == typed && Holds(Keys[i], Key))
            return {DecodeKey(i, Line, OffsetPage), typed};
    return {Key, typed};
}

} // namespace orv::fanuc
