#include "engine/core/MacroVars.h"

#include "engine/core/DIniFile.h"
#include "engine/core/data_types.h"
#include "platform/NumberText.h"
#include "platform/RealText.h"

namespace orv {

namespace {
const char *const Section = "Macro Variables";

bool IsDecimalInteger(const std::string &Text)
{
    size_t i = (!Text.empty() && (Text[0] == '-' || Text[0] == '+')) ? 1 : 0;
    if (i >= Text.size())
        return false;
    for (; i < Text.size(); ++i)
        if (Text[i] < '0' || Text[i] > '9')
            return false;
    return true;
}
} // namespace

TMacroVars::TMacroVars(std::string IniFileName)
    : FIniFileName(std::move(IniFileName)), FTexts(SlotCount, "0")
{
    Load();
}

TMacroVars::~TMacroVars() { Save(); }

int TMacroVars::Slot(int Number)
{
    if (Number >= 0 && Number <= 33)
        return Number;
    if (Number >= 100 && Number <= 149)
        return 34 + Number - 100;
    if (Number >= 500 && Number <= LastVar)
        return 84 + Number - 500;
    return -1;
}

bool TMacroVars::IsVarNumber(int Number) { return Slot(Number) >= 0; }

bool TMacroVars::IsValidVar(const std::string &Text, int &Number)
{
    int32_t value = -1;
    if (!IsDecimalInteger(Text) || !TryStrToInt(Text, value))
        value = -1;
    Number = value;
    return IsVarNumber(Number);
}

long double TMacroVars::GetVarValue(int Number) const
{
    int slot = Slot(Number);
    if (slot < 0)
        return NoGCode;
    if (Number == 0)
        return 0;
    return TextToRealDef(FTexts[slot], 0);
}

int TMacroVars::GetVarInt(const std::string &Text) const
{
    int number = -1;
    if (!IsValidVar(Text, number))
        return NoGCode;
    return Round(GetVarValue(number), NoGCode);
}

long double TMacroVars::GetVarReal(const std::string &Text) const
{
    int number = -1;
    if (!IsValidVar(Text, number))
        return NoValue;
    return GetVarValue(number);
}

void TMacroVars::SetVarValue(int Number, long double Value)
{
    SetVarText(Number, RealToText(Value));
}

bool TMacroVars::SetVar(int Number, long double Value)
{
    if (!IsVarNumber(Number))
        return false;
    SetVarValue(Number, Value);
    return true;
}

std::string TMacroVars::VarText(int Number) const
{
    int slot = Slot(Number);
    return slot < 0 ? std::string() : FTexts[slot];
}

void TMacroVars::SetVarText(int Number, const std::string &Text)
{
    int slot = Slot(Number);
    if (slot < 0 || Number == 0 || FTexts[slot] == Text)
        return;
    FTexts[slot] = Text;
    if (OnChange)
        OnChange(Number);
}

void TMacroVars::Load()
{
    TDIniFile ini(FIniFileName);
    for (int number = 500; number <= LastVar; ++number) {
        long double value = TextToRealDef(ini.ReadString(Section, std::to_string(number), "0"), 0);
        FTexts[Slot(number)] = RealToText(value);
    }
}

void TMacroVars::Save()
{
    TDIniFile ini(FIniFileName);
    for (int number = 500; number <= LastVar; ++number)
        ini.WriteString(Section, std::to_string(number), RealToText(GetVarValue(number)));
}

} // namespace orv
