#include "machine/ToolEditValues.h"

#include "engine/core/DUtils.h"
#include "machine/Tooling_lib.h"
#include "platform/NumberText.h"
#include "platform/IniFile.h"

namespace orv {

namespace {

// Keys of the edits 1 to 7 and their read defaults.
const char *const EditKeys[TToolEditValues::EditCount] = {
    TTooling_Library::KeyDiameter,   TTooling_Library::KeyLength,
    TTooling_Library::KeyOffset,     TTooling_Library::KeyFluteLength,
    TTooling_Library::KeyFluteCount, TTooling_Library::KeyMaximumLife,
    TTooling_Library::KeyCurrentLife};
const char *const EditDefaults[TToolEditValues::EditCount] = {"-1", "1", "1", "", "2", "50", "0"};

bool IsLengthEdit(int Number) { return Number >= 1 && Number <= 4; }

} // namespace

const char *const TToolEditValues::Captions[EditCount] = {
    "Tool Diameter", "Tool Length",       "Tool Length Offset", "Flute Length",
    "Flute Count",   "Maximum Tool Life", "Current Tool Life"};

void TToolEditValues::Load(const std::string &FileName, const std::string &ToolName, TUnits Units)
{
    TIniFile ini(FileName);
    const std::string length = ini.ReadString(ToolName, EditKeys[1], EditDefaults[1]);
    for (int i = 0; i < EditCount; ++i) {
        std::string fallback = i == 3 ? length : EditDefaults[i];
        std::string text = ini.ReadString(ToolName, EditKeys[i], fallback);
        if (IsLengthEdit(i + 1)) {
            double mm = 0;
            if (!TryStrToFloat(text, mm))
                TryStrToFloat(i == 3 ? length : std::string(EditDefaults[i]), mm);
            text = FloatToUnitsText(Units == Inch, mm);
        } else if (!IsAcceptable(i + 1, text)) {
            text = EditDefaults[i];
        }
        Texts[i] = text;
    }
}

bool TToolEditValues::IsAcceptable(int Number, const std::string &Text)
{
    if (IsLengthEdit(Number)) {
        double value = 0;
        return TryStrToFloat(Text, value);
    }
    int32_t value = 0;
    return Number >= 5 && Number <= EditCount && TryStrToInt(Text, value);
}

bool TToolEditValues::Store(const std::string &FileName, const std::string &ToolName,
                            TUnits Units) const
{
    for (int i = 0; i < EditCount; ++i)
        if (!IsAcceptable(i + 1, Texts[i]))
            return false;
    TIniFile ini(FileName);
    for (int i = 0; i < EditCount; ++i) {
        std::string value = IsLengthEdit(i + 1) ? FloatToStr(UnitsTextToMM(Texts[i], Units))
                                                : Trim(Texts[i]);
        ini.WriteString(ToolName, EditKeys[i], value);
    }
    return ini.LastWriteOk();
}

} // namespace orv
