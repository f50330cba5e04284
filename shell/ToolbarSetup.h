#pragma once
// How the main window's toolbars look and which of their buttons are
// hidden: the size and content of a button for a toolbar's icon size and
// caption choice, the enabling and check marks of the toolbar popup, and
// section [Hidden Buttons] of the main settings file (one key per hidden
// button, its component name, value "0").
#include <string>
#include <vector>

namespace orv {

// IconSize: 0 no icons (captions), 1 small icons, 2 large icons.
enum : int { iconNone = 0, iconSmall = 1, iconLarge = 2 };

// One toolbar button, in pixels.
struct TButtonStyle {
    int Width = 72;
    int Height = 50;
    bool ShowGlyph = true;
    bool ShowCaption = true;
    bool SmallGlyphs = false; // the small glyph list, else the large one
};
TButtonStyle ToolbarButtonStyle(int IconSize, bool ShowCaption);

// The popup of a toolbar: "ToolBar Captions" checked by the caption choice
// and enabled unless "None" is marked; "None" enabled only while captions
// are on; the check mark on "None", "Small " or "Large" by IconSize.
struct TToolbarPopupState {
    bool CaptionsChecked = false;
    bool CaptionsEnabled = true;
    bool NoneEnabled = false;
    int CheckedSize = iconLarge;
};
TToolbarPopupState ToolbarPopupState(int IconSize, bool ShowCaption);

// [Hidden Buttons]: rewritten whole with the names given.
void WriteHiddenButtons(const std::string &SettingsFile, const std::vector<std::string> &Names);
// The names listed there, in file order.
std::vector<std::string> ReadHiddenButtons(const std::string &SettingsFile);
// Whether Name is listed, compared without case.
bool IsListedButton(const std::vector<std::string> &Listed, const std::string &Name);

// The preset layout file n (1 to 3): program folder + "default" + n +
// ".ini", found without regard to case.
std::string PresetLayoutFile(const std::string &ProgramFolder, int Level);

} // namespace orv
