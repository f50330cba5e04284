#include "shell/ToolbarSetup.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

namespace orv {

namespace {
const char *const HiddenSection = "Hidden Buttons";
}

TButtonStyle ToolbarButtonStyle(int IconSize, bool ShowCaption)
{
    TButtonStyle s; // 72 by 50, glyph and caption
    switch (IconSize) {
    case iconLarge:
        if (!ShowCaption) {
            s.Width = 65;
            s.Height = 35;
        }
        break;
    case iconSmall:
        s.SmallGlyphs = true;
        if (!ShowCaption) {
            s.Width = 35;
            s.Height = 20;
        }
        break;
    case iconNone:
        s.ShowGlyph = false;
        s.Height = 15;
        break;
    default:
        break;
    }
    if (!ShowCaption) {
        s.ShowGlyph = true;
        s.ShowCaption = false;
    }
    return s;
}

TToolbarPopupState ToolbarPopupState(int IconSize, bool ShowCaption)
{
    TToolbarPopupState p;
    p.CaptionsChecked = ShowCaption;
    p.NoneEnabled = ShowCaption;
    p.CheckedSize = IconSize;
    p.CaptionsEnabled = IconSize != iconNone;
    return p;
}

void WriteHiddenButtons(const std::string &SettingsFile, const std::vector<std::string> &Names)
{
    TIniFile ini(SettingsFile);
    ini.EraseSection(HiddenSection);
    for (const std::string &name : Names)
        ini.WriteString(HiddenSection, name, "0");
}

std::vector<std::string> ReadHiddenButtons(const std::string &SettingsFile)
{
    return TIniFile(SettingsFile).ReadSection(HiddenSection);
}

bool IsListedButton(const std::vector<std::string> &Listed, const std::string &Name)
{
    for (const std::string &key : Listed)
        if (SameText(key, Name))
            return true;
    return false;
}

std::string PresetLayoutFile(const std::string &ProgramFolder, int Level)
{
    return FindFileNoCase(ProgramFolder + "default" + std::to_string(Level) + ".ini");
}

} // namespace orv
