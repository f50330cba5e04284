#include "platform/Pos_size.h"

#include "platform/IniFile.h"
#include "platform/Paths.h"

namespace orv {

namespace {

bool KeepsSizeOnLoad(TPosBorder Border) {
    return Border == TPosBorder::Sizeable || Border == TPosBorder::SizeableToolWindow;
}

// A window starting at Start with Length pixels is on a screen of Extent
// pixels when some of it is: the start is before the far edge and its end
// after 0.
int OnScreen(int Start, int Length, int Extent) {
    if (Start >= Extent || Start + Length <= 0)
        return 0;
    return Start;
}

} // namespace

std::string TPos_size::SectionName(const TPos_sizeOwner &Owner) {
    if (!ControlName.empty())
        return ControlName;
    if (!Owner.Name.empty())
        ControlName = Owner.Name;
    else if (!Owner.Caption.empty())
        ControlName = Owner.Caption;
    else {
        const std::string &c = Owner.ClassName;
        const size_t t = c.find('T');
        ControlName = t == std::string::npos ? c : c.substr(t + 1);
    }
    return ControlName;
}

TPosBounds TPos_size::Loaded(const TPos_sizeOwner &Owner, int ScreenWidth, int ScreenHeight) {
    const std::string own = ProgramSettingsFile();
    TIniFile ownIni(own);
    FSettingsFile = ownIni.ValueExists("Auto Save", "Data Destination")
                        ? FindFileNoCase(ownIni.ReadString("Auto Save", "Data Destination", ""))
                        : own;
    TIniFile ini(FSettingsFile);
    const std::string section = SectionName(Owner);
    TPosBounds b = Owner.Designed;
    FPositionStored = ini.ValueExists(section, "Top") || ini.ValueExists(section, "Left");
    b.Top = ini.ReadInteger(section, "Top", b.Top);
    b.Left = ini.ReadInteger(section, "Left", b.Left);
    if (KeepsSizeOnLoad(Owner.Border)) {
        const int w = ini.ReadInteger(section, "Width", b.Width);
        const int h = ini.ReadInteger(section, "Height", b.Height);
        if (w > 0)
            b.Width = w;
        if (h > 0)
            b.Height = h;
    }
    b.Top = OnScreen(b.Top, b.Height, ScreenHeight);
    b.Left = OnScreen(b.Left, b.Width, ScreenWidth);
    return b;
}

void TPos_size::SavePosition(const TPos_sizeOwner &Owner, const TPosBounds &Current) {
    if (FSettingsFile.empty())
        return;
    TIniFile ini(FSettingsFile);
    const std::string section = SectionName(Owner);
    ini.WriteInteger(section, "Top", Current.Top);
    ini.WriteInteger(section, "Left", Current.Left);
    if (Owner.Border != TPosBorder::Sizeable)
        return;
    ini.WriteInteger(section, "Width", Current.Width);
    ini.WriteInteger(section, "Height", Current.Height);
}

} // namespace orv
