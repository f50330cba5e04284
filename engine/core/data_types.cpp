#include "engine/core/data_types.h"

#include <cstring>
#include <typeinfo>

namespace orv {

const char *const BracketKeywords[BracketKeywordCount] = {
    "BILLET", "EDGEMOVE", "TOOLDEF", "CLEAR", "STEP", "NOSTEP", "SHOW", "NOSHOW", "SUBPROGRAM",
    "ERROR"};
const char *const MacroStatements[3] = {"GOTO", "#", "IF"};
const char *const MacroOperators[4] = {"+", "-", "*", "/"};
const char *const MacroFunctions[8] = {"SIN", "COS", "TAN", "ATAN", "SQRT", "ABS", "ROUND", "~~~~"};
const char *const MacroComparisons[7] = {"EQ", "NE", "GT", "GE", "LT", "LE", "~~~~"};

const char *const CutterTypeNames[11] = {
    "Slot Mill", "End Mill",         "Ball Nose",     "Slab Mill",      "Drill",    "Centre Drill",
    "Tapered cutter", "Dove tail Cutter", "T Slot Cutter", "Engraving Tool", "UnDefined"};
const char *const ToolDataNames[7] = {"Diameter",    "length",      "Tool Length offset",
                                      "Flute length", "Flute Count", "Maximum tool Life",
                                      "Current tool Life"};

void TCNC_Groups::Clear(Extended Value)
{
    int32_t group = Value == NoValue ? NoGCode : Round(Value, NoGCode);
    for (int i = 0; i < GroupCount; ++i) {
        Groups[i] = group;
        GroupSet[i] = false;
    }
    for (int i = 0; i < WordCount; ++i) {
        Words[i] = Value;
        WordSet[i] = false;
    }
    LookAheadMark = false;
    GeneratedMark = false;
    GeneratedText.clear();
    RestOfLine.clear();
    LineNumber = -1;
    InputPosition = -1;
    Level = 0;
    MoveLength = 0;
    CornerAngle = 0;
}

void TCNC_Groups::AssignTo(TPersistent &Dest) const
{
    if (typeid(Dest) != typeid(TCNC_Groups))
        AssignError(Dest, "TCNC_Groups");
    static_cast<TCNC_Groups &>(Dest) = *this;
}

void CopyRecordBytes(void *To, const void *From, size_t Size) { std::memcpy(To, From, Size); }

void ZeroRecordBytes(void *To, size_t Size) { std::memset(To, 0, Size); }

void TCNC_data::AssignTo(TPersistent &Dest) const
{
    if (typeid(Dest) != typeid(TCNC_data))
        AssignError(Dest, "TCNC_Data");
    static_cast<TCNC_data &>(Dest) = *this;
}

TDD_Type::TDD_Type(uint8_t Kind, double StartX, double StartY, double StartZ, double EndX,
                   double EndY, double EndZ, double BoxRight, double BoxTop, double BoxLeft,
                   double BoxBottom, double CentreX, double CentreY, double Sweep,
                   double CutterRadius, double Radius, int32_t LineNumber, int32_t Colour)
    : Kind(Kind), LineNumber(LineNumber), Colour(Colour), StartX(StartX), StartY(StartY),
      StartZ(StartZ), EndX(EndX), EndY(EndY), EndZ(EndZ), BoxRight(BoxRight), BoxTop(BoxTop),
      BoxLeft(BoxLeft), BoxBottom(BoxBottom), CutterRadius(CutterRadius), Sweep(Sweep),
      CentreY(CentreY), CentreX(CentreX), Radius(Radius)
{
}

std::string FormatMoveText(int GNumber, bool Metric, double X, double Y, double Z, double F)
{
    std::string text;
    if (GNumber != NoGCode)
        text = "G" + std::to_string(GNumber) + " ";
    const double values[4] = {X, Y, Z, F};
    const char letters[4] = {'X', 'Y', 'Z', 'F'};
    for (int i = 0; i < 4; ++i) {
        if (values[i] == NoValue)
            continue;
        double value = Metric ? values[i] : values[i] / MmPerInch;
        text += letters[i];
        text += FormatFixed(value, 3) + " ";
    }
    return text;
}

} // namespace orv
