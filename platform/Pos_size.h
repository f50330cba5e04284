#pragma once
// TPos_size: remembers where a window was. At load it reads the stored
// bounds of its owner's section from the settings file beside the program
// (the program file with ".INI", or the file its [Auto Save] "Data
// Destination" names) and places the window; at save it writes them back.
// Pixels on the primary screen; the window itself is reached through
// TPos_sizeOwner, so the rule works without a window system.
#include <string>

namespace orv {

// Border of the owner window: only sizeable borders keep their size.
enum class TPosBorder { Fixed, Sizeable, ToolWindow, SizeableToolWindow };

struct TPosBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// What the component needs to know about its owner.
struct TPos_sizeOwner {
    std::string Name;      // component name of the window, may be empty
    std::string Caption;   // its caption, may be empty
    std::string ClassName; // "TB_Size"
    TPosBorder Border = TPosBorder::Sizeable;
    TPosBounds Designed; // the bounds the window has before the load
};

class TPos_size {
public:
    // Section name: ControlName when set, else the owner's name, else its
    // caption, else its class name after the first "T".
    std::string SectionName(const TPos_sizeOwner &Owner);
    // Fixes the settings file and returns the bounds to apply. A window that
    // would lie wholly off the screen opens at 0 on that axis; a stored
    // width or height of 0 or less keeps the designed size.
    TPosBounds Loaded(const TPos_sizeOwner &Owner, int ScreenWidth, int ScreenHeight);
    // Writes "Top" and "Left", and for a sizeable border "Width" and "Height".
    void SavePosition(const TPos_sizeOwner &Owner, const TPosBounds &Current);

    // The file the bounds go to (fixed by Loaded).
    const std::string &SettingsFile() const { return FSettingsFile; }
    // Whether Loaded found a stored position ("Top" or "Left"); without one
    // the window keeps the place its system gives it.
    bool PositionStored() const { return FPositionStored; }

    std::string ControlName;
    std::string About;

private:
    std::string FSettingsFile;
    bool FPositionStored = false;
};

} // namespace orv
