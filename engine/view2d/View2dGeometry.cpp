#include "engine/view2d/View2dGeometry.h"

#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr double Pi = 3.14159265358979323846;

bool IsXYArc(const TDD_Type &E) { return E.Kind == ekArc || E.Kind == ekChordArc; }
bool IsStraight(const TDD_Type &E) { return E.Kind == ekRapid || E.Kind == ekLinear; }
bool AboveMaterial(double Z) { return Z >= 0; }
bool BothAboveMaterial(const TDD_Type &E) { return AboveMaterial(E.StartZ) && AboveMaterial(E.EndZ); }

TPixelRect PixelBox(double Left, double Top, double Right, double Bottom, double Scale)
{
    return {ToPixel(Left, Scale), ToPixel(Top, Scale), ToPixel(Right, Scale),
            ToPixel(Bottom, Scale)};
}

TPixelRect CircleBox(double X, double Y, double Radius, double Scale)
{
    return PixelBox(X - Radius, Y - Radius, X + Radius, Y + Radius, Scale);
}

TPixel FirstPixel(const TDD_Type &E, double Scale) { return ToPixel(E.StartX, E.StartY, Scale); }
TPixel SecondPixel(const TDD_Type &E, double Scale) { return ToPixel(E.EndX, E.EndY, Scale); }

void StraightLine(TCanvas2D &Canvas, TPixel From, TPixel To)
{
    if (From == To)
        return; // nothing to draw for a vertical move
    Canvas.Line(From, To);
}

// The two lines at +- the cutter radius beside a straight move.
void OutlineStraight(TCanvas2D &Canvas, const TDD_Type &E, double Scale)
{
    TPoint2D Dir{E.EndX - E.StartX, E.EndY - E.StartY};
    Normalize2D(Dir);
    const double Nx = -Dir.Y * E.CutterRadius;
    const double Ny = Dir.X * E.CutterRadius;
    for (int Side : {1, -1}) {
        StraightLine(Canvas, ToPixel(E.StartX + Side * Nx, E.StartY + Side * Ny, Scale),
                     ToPixel(E.EndX + Side * Nx, E.EndY + Side * Ny, Scale));
    }
}

// The arcs at R + and R - the cutter radius about the element's centre.
void OutlineArc(TCanvas2D &Canvas, const TDD_Type &E, double Scale)
{
    const TPixel From = FirstPixel(E, Scale);
    const TPixel To = SecondPixel(E, Scale);
    for (double R : {E.Radius + E.CutterRadius, E.Radius - E.CutterRadius}) {
        if (R > 0)
            Canvas.Arc(CircleBox(E.CentreX, E.CentreY, R, Scale), From, To);
    }
}

void CutterCircles(TCanvas2D &Canvas, const TDD_Type &E, TColor Colour, double Scale)
{
    Canvas.SetPen(Colour, 1, TPenStyle::Solid, TPenMode::Copy);
    Canvas.SetBrush(clNone, TBrushStyle::Clear);
    Canvas.Ellipse(CircleBox(E.StartX, E.StartY, E.CutterRadius, Scale));
    Canvas.Ellipse(CircleBox(E.EndX, E.EndY, E.CutterRadius, Scale));
}

// The element's own path: its arc for kind 2, else the straight line
// between its points (chords for the other arc kinds).
void CentrePath(TCanvas2D &Canvas, const TDD_Type &E, double Scale)
{
    if (E.Kind == ekArc) {
        Canvas.Arc(PixelBox(E.BoxLeft, E.BoxTop, E.BoxRight, E.BoxBottom, Scale),
                   FirstPixel(E, Scale), SecondPixel(E, Scale));
        return;
    }
    StraightLine(Canvas, FirstPixel(E, Scale), SecondPixel(E, Scale));
}

// Anticlockwise on the screen (Y down) by Angle radians from the direction Start.
TPoint2D OnCircle(double Cx, double Cy, double R, double Angle)
{
    return {Cx + R * std::cos(Angle), Cy - R * std::sin(Angle)};
}

double ScreenAngle(double Cx, double Cy, double X, double Y) { return std::atan2(Cy - Y, X - Cx); }

std::vector<TPoint2D> StraightPath(double X1, double Y1, double X2, double Y2, double Step)
{
    std::vector<TPoint2D> Path;
    const double Length = Distance2D(X1, Y1, X2, Y2);
    if (Length <= 0 || Step <= 0)
        return Path;
    for (double Covered = 0; Length - Step > Covered;) {
        Covered += Step;
        const double T = Covered / Length;
        Path.push_back({X1 + (X2 - X1) * T, Y1 + (Y2 - Y1) * T});
    }
    return Path;
}

std::vector<TPoint2D> ArcPath(const TDD_Type &E, double Step)
{
    std::vector<TPoint2D> Path;
    const double AngleStep = 5 * Step;
    const int Count = Round(std::fabs(E.Sweep) / AngleStep) - 1;
    const TPoint2D Start = CutterStart(E);
    const double A0 = ScreenAngle(E.CentreX, E.CentreY, Start.X, Start.Y);
    const double Turn = (E.Sweep >= 0 ? 1 : -1) * AngleStep * Pi / 180;
    for (int I = 1; I <= Count; ++I)
        Path.push_back(OnCircle(E.CentreX, E.CentreY, E.Radius, A0 + I * Turn));
    return Path;
}

// The style's pen in the element's colour and no brush, for its lines;
// clNone (and nothing set) when the element is not shown.
inline TColor SetLinePen(TCanvas2D &Canvas, const TDD_Type &E, const TDrawStyle &Style,
                  const TGraphicSettings &Settings)
{
    const TColor Colour = ElementColour(E, Style, Settings);
    if (Colour == clNone)
        return clNone;
    Canvas.SetPen(Colour, Style.PenWidth, Style.PenStyle, Style.PenMode);
    Canvas.SetBrush(clNone, TBrushStyle::Clear);
    return Colour;
}

void DrawWithStyles(TCanvas2D &Canvas, const TDD_Type &E, const TDrawStyles &Styles,
                    const TGraphicSettings &Settings, double Scale)
{
    if (Settings.UseOutline)
        DrawOutline(Canvas, E, Styles[dsOutline], Settings, Scale);
    if (Settings.UseSolid)
        DrawSolid(Canvas, E, Styles[dsSolid], Settings, Scale);
    if (Settings.UseCentre)
        DrawCentre(Canvas, E, Styles[dsCentre], Settings, Scale);
}

} // namespace

double TViewMapping::ViewX(double X) const
{
    return UseOffsets ? X + std::fabs(TravelXMinus) : X;
}

double TViewMapping::ViewY(double Y) const
{
    return UseOffsets ? std::fabs(TravelYPlus) - Y : AreaHeight - Y;
}

TDD_Type MakeStraightElement(uint8_t Kind, const TViewMapping &Map, const TMovePoint &From,
                             const TMovePoint &To, double CutterRadius, int Line, TColor Colour)
{
    return TDD_Type(Kind, Map.ViewX(From.X), Map.ViewY(From.Y), From.Z, Map.ViewX(To.X),
                    Map.ViewY(To.Y), To.Z, 0, 0, 0, 0, 0, 0, 0, CutterRadius, 0, Line, Colour);
}

TDD_Type MakeArcElement(const TViewMapping &Map, const TMovePoint &From, const TArcMove &Arc,
                        double CutterRadius, int Line, TColor Colour)
{
    const bool Small = std::fabs(Arc.Sweep) < ChordArcLimit;
    const bool XYPlane = Arc.Plane != 18 && Arc.Plane != 19;
    const uint8_t Kind = XYPlane ? (Small ? ekChordArc : ekArc) : (Small ? ekPlaneChord : ekPlaneArc);
    const double Sweep = -Arc.Sweep;

    double Cx = Map.ViewX(Arc.Centre.X);
    double Cy = Map.ViewY(Arc.Centre.Y);
    if (!XYPlane) {
        Cy = Map.ViewY(Arc.Centre.Z);
        if (Arc.Plane == 19)
            Cx = Map.UseOffsets ? Arc.Centre.Y + std::fabs(Map.TravelXMinus) : Arc.Centre.Z;
    }
    // The first point is where the arc starts when it runs anticlockwise.
    const TMovePoint &First = Sweep > 0 ? From : Arc.End;
    const TMovePoint &Second = Sweep > 0 ? Arc.End : From;
    // A negative R only chose the longer arc: the circle's radius is its size.
    const double R = std::fabs(Arc.Radius);
    return TDD_Type(Kind, Map.ViewX(First.X), Map.ViewY(First.Y), Arc.End.Z,
                    Map.ViewX(Second.X), Map.ViewY(Second.Y), From.Z, Cx + R, Cy - R, Cx - R,
                    Cy + R, Cx, Cy, Sweep, CutterRadius, R, Line, Colour);
}

int ToPixel(double Mm, double Scale)
{
    // Halves go to the even neighbour, as the default rounding mode takes
    // them: adding and taking away 1.5 * 2^52 leaves the nearest integer
    // (exact for anything below 2^51). A value beyond any picture is held
    // far outside it.
    constexpr double Far = 1e9;
    constexpr double Snap = 6755399441055744.0;
    const double V = Mm * Scale; // rounded on its own, never fused with the snap
    if (!(std::fabs(V) < Far))
        return std::isnan(V) ? 0 : (V > 0 ? static_cast<int>(Far) : -static_cast<int>(Far));
    return static_cast<int>((V + Snap) - Snap);
}

TPixel ToPixel(double X, double Y, double Scale)
{
    return {ToPixel(X, Scale), ToPixel(Y, Scale)};
}

TColor ElementColour(const TDD_Type &E, const TDrawStyle &Style, const TGraphicSettings &Settings)
{
    switch (E.Kind) {
    case ekRapid: return Settings.ShowRapids ? Style.RapidColour : clNone;
    case ekLinear:
        if (!Settings.ShowLinears)
            return clNone;
        return BothAboveMaterial(E) ? Style.NotCutColour : Style.LinearColour;
    case ekArc:
    case ekChordArc:
        if (!Settings.ShowArcs)
            return clNone;
        return AboveMaterial(E.EndZ) ? Style.NotCutColour : Style.CircularColour;
    case ekPlaneArc:
    case ekPlaneChord:
        if (!Settings.ShowArcs)
            return clNone;
        return BothAboveMaterial(E) ? Style.NotCutColour : Style.LinearColour;
    default: return clNone;
    }
}

void DrawOutline(TCanvas2D &Canvas, const TDD_Type &E, const TDrawStyle &Style,
                 const TGraphicSettings &Settings, double Scale)
{
    const TColor Colour = SetLinePen(Canvas, E, Style, Settings);
    if (Colour == clNone)
        return;
    if (IsStraight(E))
        OutlineStraight(Canvas, E, Scale);
    else if (IsXYArc(E))
        OutlineArc(Canvas, E, Scale);
    CutterCircles(Canvas, E, Colour, Scale);
}

void DrawCentre(TCanvas2D &Canvas, const TDD_Type &E, const TDrawStyle &Style,
                const TGraphicSettings &Settings, double Scale)
{
    if (SetLinePen(Canvas, E, Style, Settings) != clNone)
        CentrePath(Canvas, E, Scale);
}

void DrawSolid(TCanvas2D &Canvas, const TDD_Type &E, const TDrawStyle &Style,
               const TGraphicSettings &Settings, double Scale)
{
    const TColor Colour = ElementColour(E, Style, Settings);
    if (Colour == clNone)
        return;
    const int Width = std::max(1, ToPixel(E.CutterRadius * 2, Scale));
    Canvas.SetPen(Colour, Width, TPenStyle::Solid, Style.PenMode);
    Canvas.SetBrush(clNone, TBrushStyle::Clear);
    CentrePath(Canvas, E, Scale);
    Canvas.SetPen(Colour, 1, TPenStyle::Solid, Style.PenMode);
    Canvas.SetBrush(Colour, TBrushStyle::Solid);
    Canvas.Ellipse(CircleBox(E.StartX, E.StartY, E.CutterRadius, Scale));
    Canvas.Ellipse(CircleBox(E.EndX, E.EndY, E.CutterRadius, Scale));
}

void DrawElement(TCanvas2D &Canvas, const TDD_Type &E, const TGraphicSettings &Settings,
                 double Scale)
{
    DrawWithStyles(Canvas, E, BuildDrawStyles(Settings, E.Colour), Settings, Scale);
}

// Draws the elements Each visits, the styles built once for each run of
// elements of one colour.
template <class TEach>
void DrawEach(TCanvas2D &Canvas, TColor FirstColour, const TEach &Each,
              const TGraphicSettings &Settings, double Scale)
{
    TColor StyleColour = FirstColour;
    TDrawStyles Styles = BuildDrawStyles(Settings, StyleColour);
    Each([&](const TDD_Type &E) {
        if (E.Colour != StyleColour) {
            StyleColour = E.Colour;
            Styles = BuildDrawStyles(Settings, StyleColour);
        }
        DrawWithStyles(Canvas, E, Styles, Settings, Scale);
    });
}

void DrawElements(TCanvas2D &Canvas, const std::vector<TDD_Type> &Elements,
                  const TGraphicSettings &Settings, double Scale)
{
    const TColor First = Elements.empty() ? clBlack : Elements.front().Colour;
    DrawEach(
        Canvas, First,
        [&](const auto &Visit) {
            for (const TDD_Type &E : Elements)
                Visit(E);
        },
        Settings, Scale);
}

void DrawElements(TCanvas2D &Canvas, const TElementList &Elements,
                  const TGraphicSettings &Settings, double Scale)
{
    const TColor First = Elements.empty() ? clBlack : Elements.front().Colour;
    DrawEach(
        Canvas, First, [&](const auto &Visit) { Elements.ForEach(Visit); }, Settings, Scale);
}

void DrawElementsIn(TCanvas2D &Canvas, const TElementList &Elements,
                    const TGraphicSettings &Settings, double Scale, const TPixelRect &Part)
{
    const TColor First = Elements.empty() ? clBlack : Elements.front().Colour;
    DrawEach(
        Canvas, First,
        [&](const auto &Visit) {
            Elements.ForEach([&](const TDD_Type &E) {
                if (MayTouch(E, Part, Scale))
                    Visit(E);
            });
        },
        Settings, Scale);
}

bool MayTouch(const TDD_Type &E, const TPixelRect &Part, double Scale)
{
    // Pens, caps and the rounding of circle boxes reach a few pixels past
    // the shapes' millimetres.
    constexpr double SlackPixels = 4;
    const bool Straight = IsStraight(E);
    const double Values[] = {E.StartX,  E.StartY,  E.EndX,    E.EndY,      E.CutterRadius,
                             E.CentreX, E.CentreY, E.Radius,  E.BoxLeft,   E.BoxRight,
                             E.BoxTop,  E.BoxBottom};
    for (size_t I = 0; I < (Straight ? 5 : std::size(Values)); ++I)
        if (!std::isfinite(Values[I]))
            return true; // where such an element lands is the pixels' business
    const double Reach = std::fabs(E.CutterRadius);
    double Left = std::min(E.StartX, E.EndX), Right = std::max(E.StartX, E.EndX);
    double Top = std::min(E.StartY, E.EndY), Bottom = std::max(E.StartY, E.EndY);
    if (!Straight) {
        // Arcs about their centre, and whatever box the element carries.
        const double R = std::fabs(E.Radius);
        Left = std::min({Left, E.CentreX - R, E.BoxLeft, E.BoxRight});
        Right = std::max({Right, E.CentreX + R, E.BoxLeft, E.BoxRight});
        Top = std::min({Top, E.CentreY - R, E.BoxTop, E.BoxBottom});
        Bottom = std::max({Bottom, E.CentreY + R, E.BoxTop, E.BoxBottom});
    }
    return (Right + Reach) * Scale + SlackPixels >= Part.Left &&
           (Left - Reach) * Scale - SlackPixels < Part.Right &&
           (Bottom + Reach) * Scale + SlackPixels >= Part.Top &&
           (Top - Reach) * Scale - SlackPixels < Part.Bottom;
}

TPoint2D PickPoint(const TDD_Type &E)
{
    if (E.Kind == ekArc && E.Sweep < 0)
        return {E.EndX, E.EndY};
    return {E.StartX, E.StartY};
}

// The last element Each visits whose pick point lies within reach.
template <class TEach> int PickEach(const TEach &Each, TPixel Click, double Scale)
{
    if (Scale <= 0)
        return -1;
    const double X = Round(Click.X / Scale);
    const double Y = Round(Click.Y / Scale);
    const double Reach = PickDistancePixels / Scale;
    int Hit = -1;
    int Index = 0;
    Each([&](const TDD_Type &E) {
        const TPoint2D P = PickPoint(E);
        if (std::fabs(P.X - X) <= Reach && std::fabs(P.Y - Y) <= Reach)
            Hit = Index;
        ++Index;
    });
    return Hit;
}

int PickElement(const std::vector<TDD_Type> &Elements, TPixel Click, double Scale)
{
    return PickEach(
        [&](const auto &Visit) {
            for (const TDD_Type &E : Elements)
                Visit(E);
        },
        Click, Scale);
}

int PickElement(const TElementList &Elements, TPixel Click, double Scale)
{
    return PickEach([&](const auto &Visit) { Elements.ForEach(Visit); }, Click, Scale);
}

double ZoomInScale(double Scale, double FitScale)
{
    return Scale < ZoomInLimit * FitScale ? Scale * ZoomFactor : Scale;
}

double ZoomOutScale(double Scale, double FitScale)
{
    return Scale > FitScale ? Scale / ZoomFactor : Scale;
}

int AnchoredScrollPosition(int Range, int WindowSize, double Anchor)
{
    return std::max(0, Round(static_cast<long double>(Range - WindowSize) * Anchor));
}

void TZGauge::SetBillet(TColor Colour, double NewZSize)
{
    MaterialColour = Colour;
    ZSize = NewZSize == 0 ? 1 : NewZSize;
    ZScale = HalfHeight() / ZSize;
}

void TZGauge::SetCutter(TColor Colour, double Diameter, bool Thin)
{
    BarColour = Colour;
    BarWidth = Thin ? Width / 10 : Round(Diameter * ZScale);
    BarWidth = std::max(BarWidth, 2);
}

TPixelRect TZGauge::Bar() const
{
    const int Bottom = HalfHeight() - Round(Z * ZScale, -1000000);
    if (Bottom <= 0)
        return {};
    const int Left = (Width - BarWidth) / 2;
    return {Left, 0, Left + BarWidth, Bottom};
}

void TZGauge::Paint(TCanvas2D &Canvas) const
{
    const int Half = HalfHeight();
    Canvas.FillRect({0, 0, Width, Half}, clBtnFace);
    Canvas.FillRect({0, Half, Width, Height - 10}, MaterialColour);
    Canvas.FillRect({0, Height - 10, Width, Height}, ThroughBillet() ? clRed : clBtnFace);
    const TPixelRect B = Bar();
    if (B.Bottom > B.Top)
        Canvas.FillRect(B, BarColour);
}

TPoint2D CutterStart(const TDD_Type &E)
{
    if (IsXYArc(E) && E.Sweep < 0)
        return {E.EndX, E.EndY};
    return {E.StartX, E.StartY};
}

std::vector<TPoint2D> CutterPath(const TDD_Type &E, double Step)
{
    if (IsXYArc(E))
        return Step > 0 ? ArcPath(E, Step) : std::vector<TPoint2D>{};
    return StraightPath(E.StartX, E.StartY, E.EndX, E.EndY, Step);
}

void DrawCutterSymbol(TCanvas2D &Canvas, TPixel At, double CutterRadius, double Scale,
                      int Orientation, TColor MaterialColour)
{
    const int R = ToPixel(CutterRadius, Scale);
    const int H = R / 2;
    const int A = At.X;
    const int B = At.Y;
    Canvas.SetPen(MaterialColour, std::max(1, Round(CutterRadius / 6)), TPenStyle::Solid,
                  TPenMode::NotXor);
    Canvas.SetBrush(clWhite, TBrushStyle::Solid);
    Canvas.Ellipse({A - R, B - R, A + R, B + R});
    if (Orientation == 1) {
        Canvas.Arc({A - R, B - H, A, B + H}, {A - R, B}, {A, B});
        Canvas.Arc({A, B - H, A + R, B + H}, {A, B}, {A + R, B});
        return;
    }
    Canvas.Arc({A - H, B - R, A + H, B}, {A, B - R}, {A, B});
    Canvas.Arc({A - H, B, A + H, B + R}, {A, B + R}, {A, B});
}

std::string DrawingListLine(const TDD_Type &E)
{
    const double Reals[] = {E.StartX,  E.StartY,  E.StartZ,  E.EndX,    E.EndY,
                            E.EndZ,    E.BoxRight, E.BoxTop, E.BoxLeft, E.BoxBottom,
                            E.CentreX, E.CentreY, E.Sweep,   E.CutterRadius, E.Radius};
    std::string Line = IntToStr(E.Kind) + " " + IntToStr(E.LineNumber) + " " + IntToStr(E.Colour);
    for (double Value : Reals)
        Line += " " + FormatFixed(Value, 4);
    return Line;
}

std::string PictureNameFor(const std::string &SourceFile)
{
    if (SourceFile.empty())
        return {};
    return ChangeFileExt(SourceFile, ".bm2");
}

} // namespace orv
