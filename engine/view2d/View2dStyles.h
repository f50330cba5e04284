#pragma once
// Settings of the 2D view as the "2D Simulation Setup" dialog keeps them
// (colours and display switches, section "Graphics" of the main settings
// file), and the five draw styles the drawing window builds from them
// before every drawing operation: cutter, highlight, outline, centre, solid.

#include "engine/view2d/View2dCanvas.h"

#include <string>

namespace orv {

struct TGraphicSettings {
    TColor RapidColour = 255;
    TColor LinearColour = 8404992;
    TColor CircularColour = 33023;
    TColor MaterialColour = 9546079;
    TColor CentreColour = 4227072;
    TColor NotCutColour = 16777215;
    TColor HighlightColour = 12632256;
    int CutterSpeed = 4; // 1 to 8
    bool UseOutline = true;
    bool UseSolid = false;
    bool UseCentre = true;
    bool UseToolColour = true;
    bool ShowLinears = true;
    bool ShowRapids = true;
    bool ShowArcs = true;
    bool ShowCutter = false;

    bool operator==(const TGraphicSettings &) const = default;
};

// The colours and switches with their keys in the settings file, in the
// order the setup dialog lists them.
struct TGraphicColourKey {
    const char *Key;
    TColor TGraphicSettings::*Field;
};
struct TGraphicSwitchKey {
    const char *Key;
    bool TGraphicSettings::*Field;
};
constexpr int GraphicColourCount = 7;
constexpr int GraphicSwitchCount = 8;
extern const TGraphicColourKey GraphicColourKeys[GraphicColourCount];
extern const TGraphicSwitchKey GraphicSwitchKeys[GraphicSwitchCount];

// Every key of the table; a missing file, section or key gives the default.
// A cutter speed outside 1 to 8 is brought into that range.
TGraphicSettings LoadGraphicSettings(const std::string &FileName);
void SaveGraphicSettings(const std::string &FileName, const TGraphicSettings &Settings);

struct TDrawStyle {
    TColor LinearColour = clBlack;
    TColor RapidColour = clBlack;
    TColor CircularColour = clBlack;
    TColor BrushColour = clNone;
    TColor NotCutColour = clWhite;
    TPenStyle PenStyle = TPenStyle::Solid;
    TBrushStyle BrushStyle = TBrushStyle::Clear;
    TPenMode PenMode = TPenMode::Copy;
    int PenWidth = 1;

    bool operator==(const TDrawStyle &) const = default;
};

enum TStyleIndex { dsCutter, dsHighlight, dsOutline, dsCentre, dsSolid, StyleCount };

struct TDrawStyles {
    TDrawStyle Style[StyleCount];
    const TDrawStyle &operator[](int Index) const { return Style[Index]; }
};

// The five styles for drawing an element of colour ElementColour (with
// "Use Tool Colours" the outline and solid styles take it).
TDrawStyles BuildDrawStyles(const TGraphicSettings &Settings, TColor ElementColour);

// Cutter animation step in mm: the speed setting div 2, at least
// MinimumCutterStep, so that the slowest setting still moves the cutter.
constexpr double MinimumCutterStep = 0.5;
double CutterStep(int CutterSpeed);

} // namespace orv
