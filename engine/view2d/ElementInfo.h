#pragma once
// What the element information dialog shows for one picked drawing
// element: its kind, start and end points, arc centre, angle and radius in
// the display units, its source line and that line's text.

#include <string>

namespace orv {

class TDD_Type;

enum class TElementPicture { None, Rapid, Linear, ClockwiseArc, AnticlockwiseArc };

struct TElementInfoTexts {
    std::string Caption;
    TElementPicture Picture = TElementPicture::None;
    bool ArcPanel = false;
    std::string XStart, YStart, ZStart, XEnd, YEnd, ZEnd;
    std::string XCentre, YCentre, ArcAngle, ArcRadius;
    std::string ObjectNumber, LineNumber, Source;
    bool EditSourceEnabled = true;
};

// Lengths in the display units (inch when Decimals is 4) with Decimals
// decimals; Y turned back from view coordinates as AreaHeight - Y'. The
// source line Line of FileName, upper case; "Not Available from the file"
// and "####" for a compiled ".XNC" program or a file that cannot be read.
TElementInfoTexts ElementInfoTexts(const TDD_Type &Element, int Line, const std::string &FileName,
                                   int Decimals, double AreaHeight);

} // namespace orv
