#pragma once
// Geometry of the 2D toolpath view. Moves arrive in program millimetres
// (Y up); the view keeps its elements in view millimetres (Y down from the
// top edge of the drawn area) and draws a view point (X', Y') at pixel
// (nearest(X' * Scale), nearest(Y' * Scale)). Here: the mapping, the
// elements made from moves, which colour an element takes, how each draw
// style draws it, picking, zoom steps, the Z gauge and the cutter's path.

#include "engine/view2d/ElementList.h"
#include "engine/view2d/View2dStyles.h"
#include "engine/chain/Vectors.h"
#include "engine/core/data_types.h"

#include <vector>

namespace orv {

// Element kinds of the drawing list.
enum TElementKind : uint8_t {
    ekRapid = 0,
    ekLinear = 1,
    ekArc = 2,        // XY arc
    ekChordArc = 3,   // XY arc of less than 6 degrees: drawn as its chord
    ekPlaneArc = 4,   // XZ or YZ arc, drawn as its chord
    ekPlaneChord = 5, // the same below 6 degrees
};

// Arcs sweeping less than this many degrees are drawn as chords.
constexpr double ChordArcLimit = 6.0;

// Program millimetres to view millimetres.
struct TViewMapping {
    bool UseOffsets = false;
    double AreaHeight = 0;   // H, whole mm (without offsets)
    double TravelXMinus = 0; // machine travel (with offsets)
    double TravelYPlus = 0;

    double ViewX(double X) const;
    double ViewY(double Y) const;
};

// A position of the program, mm.
struct TMovePoint {
    double X = 0, Y = 0, Z = 0;
};

// Rapid (kind 0) or linear (kind 1) element from From to To.
TDD_Type MakeStraightElement(uint8_t Kind, const TViewMapping &Map, const TMovePoint &From,
                             const TMovePoint &To, double CutterRadius, int Line, TColor Colour);

// The arc move of a record: end point, centre (I, J, K as positions),
// sweep in degrees positive clockwise (G02), radius, plane 17, 18 or 19.
struct TArcMove {
    TMovePoint End;
    TMovePoint Centre;
    double Sweep = 0;
    double Radius = 0;
    int Plane = 17;
};

// An XY arc becomes kind 2 (3 below 6 degrees), an XZ or YZ arc kind 4
// (5 below 6 degrees). The element sweep is -Sweep (positive for G03); the
// first point is the one from which the arc runs anticlockwise on the
// screen (the start for G03, the end for G02); the first point's Z is the
// new Z and the second's the previous Z; the box is centre +- radius.
TDD_Type MakeArcElement(const TViewMapping &Map, const TMovePoint &From, const TArcMove &Arc,
                        double CutterRadius, int Line, TColor Colour);

// nearest(Mm * Scale): halves to the even neighbour.
int ToPixel(double Mm, double Scale);
TPixel ToPixel(double X, double Y, double Scale);

// Pen colour of the element in Style, or clNone when the element is not
// shown (its kind switched off). Z >= 0 lies above the material top, where
// the tool does not cut: such moves take the style's not-cut colour.
TColor ElementColour(const TDD_Type &Element, const TDrawStyle &Style,
                     const TGraphicSettings &Settings);

// One style's drawing of an element (no animation).
void DrawOutline(TCanvas2D &Canvas, const TDD_Type &Element, const TDrawStyle &Style,
                 const TGraphicSettings &Settings, double Scale);
void DrawCentre(TCanvas2D &Canvas, const TDD_Type &Element, const TDrawStyle &Style,
                const TGraphicSettings &Settings, double Scale);
void DrawSolid(TCanvas2D &Canvas, const TDD_Type &Element, const TDrawStyle &Style,
               const TGraphicSettings &Settings, double Scale);
// Outline, solid and centre line, each when switched on, in this order,
// with the element's own colour for "Use Tool Colours".
void DrawElement(TCanvas2D &Canvas, const TDD_Type &Element, const TGraphicSettings &Settings,
                 double Scale);
// Every element of the list as DrawElement draws it, in order (the styles
// built once for each run of elements of one colour).
void DrawElements(TCanvas2D &Canvas, const std::vector<TDD_Type> &Elements,
                  const TGraphicSettings &Settings, double Scale);
void DrawElements(TCanvas2D &Canvas, const TElementList &Elements,
                  const TGraphicSettings &Settings, double Scale);
// The same, leaving out the elements that put no pixel inside Part.
void DrawElementsIn(TCanvas2D &Canvas, const TElementList &Elements,
                    const TGraphicSettings &Settings, double Scale, const TPixelRect &Part);
// Whether any drawing of the element (every style, its cutter circles)
// may put a pixel inside Part; true when that cannot be told.
bool MayTouch(const TDD_Type &Element, const TPixelRect &Part, double Scale);

// --- Picking ---
constexpr int PickDistancePixels = 10;
// The point an element is picked by: its first point, or its second point
// for an XY arc of negative sweep (where the arc starts).
TPoint2D PickPoint(const TDD_Type &Element);
// Index of the last element whose pick point lies within 10 pixels of the
// pixel in both axes (the click taken to whole millimetres first); -1 none.
int PickElement(const std::vector<TDD_Type> &Elements, TPixel Click, double Scale);
int PickElement(const TElementList &Elements, TPixel Click, double Scale);

// --- Zoom ---
constexpr double ZoomFactor = 1.5;
constexpr double ZoomInLimit = 38;   // times the fit scale
constexpr double ZoomMenuLimit = 55; // "Zoom In" offered below this scale
// The next scale; Scale itself when no step is allowed.
double ZoomInScale(double Scale, double FitScale);
double ZoomOutScale(double Scale, double FitScale);
// Scroll position that puts Anchor (fraction 0..1) of the range in view.
int AnchoredScrollPosition(int Range, int WindowSize, double Anchor);

// --- Z gauge ---
struct TZGauge {
    int Width = 12;  // pixels
    int Height = 0;  // pixels
    double ZSize = 1; // billet thickness, mm
    double ZScale = 1; // pixels per mm
    int BarWidth = 2;
    TColor BarColour = clBlack;
    TColor MaterialColour = 9546079;
    double Z = 1000; // 1000: no Z, the bar is out of sight

    int HalfHeight() const { return (Height - 10) / 2; }
    // ZScale := half the usable height / ZSize (0 taken as 1).
    void SetBillet(TColor Colour, double NewZSize);
    // Width div 10 for a thin cutter, else the diameter to scale; at least 2.
    void SetCutter(TColor Colour, double Diameter, bool Thin);
    bool ThroughBillet() const { return Z < -ZSize; }
    // The bar's rectangle (empty when out of sight).
    TPixelRect Bar() const;
    void Paint(TCanvas2D &Canvas) const;
};

// --- Cutter animation ---
// Positions (view mm) the cutter passes along an element after its first
// point, Step mm apart on straight moves (not reaching the end), and every
// 5 * Step degrees on XY arcs from the arc's start in its own direction.
// XZ and YZ arcs follow their chord. Empty for a vertical move.
std::vector<TPoint2D> CutterPath(const TDD_Type &Element, double Step);
// Where the animation of an element starts: the arc's start for an XY arc
// of negative sweep, else the first point.
TPoint2D CutterStart(const TDD_Type &Element);
// The cutter symbol: a circle and two half-ellipses whose orientation (0 or
// 1) alternates while the spindle turns. Drawn with NotXor, so drawing it
// twice removes it.
void DrawCutterSymbol(TCanvas2D &Canvas, TPixel At, double CutterRadius, double Scale,
                      int Orientation, TColor MaterialColour);

// One element as a line of text: kind, line, colour, then the fifteen
// reals in the constructor's order (start X, Y, Z, end X, Y, Z, box right,
// top, left, bottom, centre X, Y, sweep, cutter radius, radius) with four
// decimals, separated by one blank.
std::string DrawingListLine(const TDD_Type &Element);

// The saved picture's name: the source file name with its extension,
// whatever its length, replaced by "bm2"; empty for an empty name.
std::string PictureNameFor(const std::string &SourceFile);

} // namespace orv
