#include "fanuc/PCKeys.h"

#include <iterator>

namespace orv::fanuc {

namespace {

struct TSymbolKey {
    int Key;
    char Symbol;
};

// Main keyboard first: a symbol found twice is typed by its main key.
const TSymbolKey Symbols[] = {
    {186, ';'}, {187, '='}, {188, ','}, {189, '-'}, {190, '.'}, {191, '/'}, {219, '['},
    {221, ']'}, {222, '#'}, {106, '*'}, {107, '+'}, {109, '-'}, {110, '.'}, {111, '/'},
};

} // namespace

char VirtualKeyCharacter(int Key)
{
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z') || Key == ' ')
        return char(Key);
    if (Key >= 96 && Key <= 105) // the numeric keypad's digits
        return char('0' + Key - 96);
    for (const TSymbolKey &s : Symbols)
        if (s.Key == Key)
            return s.Symbol;
    return 0;
}

int VirtualKeyOfSymbol(char C)
{
    for (const TSymbolKey &s : Symbols)
        if (s.Symbol == C)
            return s.Key;
    return 0;
}

} // namespace orv::fanuc
