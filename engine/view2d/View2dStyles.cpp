#include "engine/view2d/View2dStyles.h"

#include "platform/IniFile.h"

#include <algorithm>

namespace orv {

namespace {

constexpr const char *Section = "Graphics";

TDrawStyle PlainStyle(TColor Colour, TColor NotCut)
{
    TDrawStyle Style;
    Style.LinearColour = Colour;
    Style.RapidColour = Colour;
    Style.CircularColour = Colour;
    Style.NotCutColour = NotCut;
    return Style;
}

} // namespace

const TGraphicColourKey GraphicColourKeys[GraphicColourCount] = {
    {"rapid colour", &TGraphicSettings::RapidColour},
    {"linear colour", &TGraphicSettings::LinearColour},
    {"circular colour", &TGraphicSettings::CircularColour},
    {"material colour", &TGraphicSettings::MaterialColour},
    {"centre colour", &TGraphicSettings::CentreColour},
    {"Not Cut colour", &TGraphicSettings::NotCutColour},
    {"hi lite colour", &TGraphicSettings::HighlightColour},
};

const TGraphicSwitchKey GraphicSwitchKeys[GraphicSwitchCount] = {
    {"use outline", &TGraphicSettings::UseOutline},
    {"use solid", &TGraphicSettings::UseSolid},
    {"use centre", &TGraphicSettings::UseCentre},
    {"use tool Colour", &TGraphicSettings::UseToolColour},
    {"show linears", &TGraphicSettings::ShowLinears},
    {"show Rapids", &TGraphicSettings::ShowRapids},
    {"show Arcs", &TGraphicSettings::ShowArcs},
    {"show cutter", &TGraphicSettings::ShowCutter},
};

TGraphicSettings LoadGraphicSettings(const std::string &FileName)
{
    const TIniFile Ini(FileName);
    TGraphicSettings Settings;
    for (const TGraphicColourKey &Key : GraphicColourKeys)
        Settings.*Key.Field = Ini.ReadInteger(Section, Key.Key, Settings.*Key.Field);
    for (const TGraphicSwitchKey &Key : GraphicSwitchKeys)
        Settings.*Key.Field = Ini.ReadBool(Section, Key.Key, Settings.*Key.Field);
    Settings.CutterSpeed = std::clamp(Ini.ReadInteger(Section, "cutter speed", 4), 1, 8);
    return Settings;
}

void SaveGraphicSettings(const std::string &FileName, const TGraphicSettings &Settings)
{
    TIniFile Ini(FileName);
    for (const TGraphicColourKey &Key : GraphicColourKeys)
        Ini.WriteInteger(Section, Key.Key, Settings.*Key.Field);
    Ini.WriteInteger(Section, "cutter speed", Settings.CutterSpeed);
    for (const TGraphicSwitchKey &Key : GraphicSwitchKeys)
        Ini.WriteBool(Section, Key.Key, Settings.*Key.Field);
}

TDrawStyles BuildDrawStyles(const TGraphicSettings &Settings, TColor ElementColour)
{
    TDrawStyles Styles;
    const TColor NotCut = Settings.NotCutColour;

    TDrawStyle &Cutter = Styles.Style[dsCutter];
    Cutter = PlainStyle(ElementColour, NotCut);
    Cutter.RapidColour = clBlack;
    Cutter.PenMode = TPenMode::NotXor;

    Styles.Style[dsHighlight] = PlainStyle(Settings.HighlightColour, NotCut);
    Styles.Style[dsCentre] = PlainStyle(Settings.CentreColour, NotCut);

    TDrawStyle &Outline = Styles.Style[dsOutline];
    Outline = PlainStyle(Settings.RapidColour, NotCut);
    Outline.LinearColour = Settings.UseToolColour ? ElementColour : Settings.LinearColour;
    Outline.CircularColour = Settings.UseToolColour ? ElementColour : Settings.CircularColour;

    TDrawStyle &Solid = Styles.Style[dsSolid];
    Solid = Outline;
    Solid.BrushStyle = TBrushStyle::Solid;
    Solid.BrushColour = Outline.LinearColour;
    Solid.PenWidth = 0;
    return Styles;
}

double CutterStep(int CutterSpeed)
{
    return std::max(static_cast<double>(CutterSpeed / 2), MinimumCutterStep);
}

} // namespace orv
