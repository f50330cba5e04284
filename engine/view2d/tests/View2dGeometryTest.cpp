// Geometry of the 2D view: mapping, elements made from moves, colours by Z,
// picking distance, zoom steps, the Z gauge, the cutter's path, the
// settings defaults and the saved picture's name.

#include "engine/view2d/View2dGeometry.h"

#include "engine/view2d/tests/View2dFixture.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orv {
namespace {

using test::Billet;
using test::XYArc;

TEST(View2dGeometry, ViewCoordinatesWithAndWithoutOffsets)
{
    const TViewMapping Plain = Billet(50);
    EXPECT_DOUBLE_EQ(Plain.ViewX(12), 12);
    EXPECT_DOUBLE_EQ(Plain.ViewY(10), 40);
    TViewMapping Table;
    Table.UseOffsets = true;
    Table.TravelXMinus = -20;
    Table.TravelYPlus = 160;
    EXPECT_DOUBLE_EQ(Table.ViewX(12), 32);
    EXPECT_DOUBLE_EQ(Table.ViewY(10), 150);
}

TEST(View2dGeometry, StraightElementKeepsBothPointsInViewCoordinates)
{
    const TDD_Type E = MakeStraightElement(ekLinear, Billet(50), {0, 0, 1000}, {10, 20, -1}, 3, 7, 99);
    EXPECT_EQ(E.Kind, ekLinear);
    EXPECT_DOUBLE_EQ(E.StartX, 0);
    EXPECT_DOUBLE_EQ(E.StartY, 50);
    EXPECT_DOUBLE_EQ(E.StartZ, 1000);
    EXPECT_DOUBLE_EQ(E.EndX, 10);
    EXPECT_DOUBLE_EQ(E.EndY, 30);
    EXPECT_DOUBLE_EQ(E.EndZ, -1);
    EXPECT_DOUBLE_EQ(E.CutterRadius, 3);
    EXPECT_EQ(E.LineNumber, 7);
    EXPECT_EQ(E.Colour, 99);
    EXPECT_DOUBLE_EQ(E.Radius, 0);
}

TEST(View2dGeometry, ArcsBelowSixDegreesBecomeChords)
{
    struct TCase {
        const char *Name;
        int Plane;
        double Sweep;
        uint8_t Kind;
    } Cases[] = {
        {"XY 5.9 degrees", 17, 5.9, ekChordArc},     {"XY 6 degrees", 17, 6, ekArc},
        {"XY -5.9 degrees", 17, -5.9, ekChordArc},   {"XY -6 degrees", 17, -6, ekArc},
        {"XZ 5.9 degrees", 18, 5.9, ekPlaneChord},   {"XZ 6 degrees", 18, 6, ekPlaneArc},
        {"YZ 90 degrees", 19, 90, ekPlaneArc},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TArcMove Arc = XYArc({10, 0, 0}, {0, 0, 0}, C.Sweep, 10);
        Arc.Plane = C.Plane;
        EXPECT_EQ(MakeArcElement(Billet(50), {0, 10, 0}, Arc, 1, 1, 0).Kind, C.Kind);
    }
}

// A G02 arc from (0, 10) to (10, 0) about (0, 0): the element sweep is
// negative and the first point is the arc's end, from where it runs
// anticlockwise on the screen back to its start.
TEST(View2dGeometry, ClockwiseArcIsStoredFromItsEnd)
{
    const TDD_Type E = MakeArcElement(Billet(50), {0, 10, 5}, XYArc({10, 0, -2}, {0, 0, 0}, 90, 10), 1, 3, 0);
    EXPECT_EQ(E.Kind, ekArc);
    EXPECT_DOUBLE_EQ(E.Sweep, -90);
    EXPECT_DOUBLE_EQ(E.StartX, 10);
    EXPECT_DOUBLE_EQ(E.StartY, 50);
    EXPECT_DOUBLE_EQ(E.EndX, 0);
    EXPECT_DOUBLE_EQ(E.EndY, 40);
    EXPECT_DOUBLE_EQ(E.StartZ, -2) << "the first point's Z is the new Z";
    EXPECT_DOUBLE_EQ(E.EndZ, 5) << "the second point's Z is the previous Z";
    EXPECT_DOUBLE_EQ(E.CentreX, 0);
    EXPECT_DOUBLE_EQ(E.CentreY, 50);
    EXPECT_DOUBLE_EQ(E.BoxLeft, -10);
    EXPECT_DOUBLE_EQ(E.BoxRight, 10);
    EXPECT_DOUBLE_EQ(E.BoxTop, 40);
    EXPECT_DOUBLE_EQ(E.BoxBottom, 60);

    const TDD_Type Ccw = MakeArcElement(Billet(50), {10, 0, 0}, XYArc({0, 10, 0}, {0, 0, 0}, -90, 10), 1, 3, 0);
    EXPECT_DOUBLE_EQ(Ccw.Sweep, 90);
    EXPECT_DOUBLE_EQ(Ccw.StartX, 10) << "an anticlockwise arc keeps its start first";
    EXPECT_DOUBLE_EQ(Ccw.EndY, 40);
}

TEST(View2dGeometry, PlaneArcCentreTakesTheArcsOwnAxes)
{
    TArcMove Arc = XYArc({10, 5, 0}, {4, 6, -3}, 90, 5);
    Arc.Plane = 18;
    TDD_Type E = MakeArcElement(Billet(50), {0, 5, 0}, Arc, 1, 1, 0);
    EXPECT_DOUBLE_EQ(E.CentreX, 4);
    EXPECT_DOUBLE_EQ(E.CentreY, 53) << "H - CentreZ";
    Arc.Plane = 19;
    E = MakeArcElement(Billet(50), {0, 5, 0}, Arc, 1, 1, 0);
    EXPECT_DOUBLE_EQ(E.CentreX, -3) << "CentreZ without offsets";
}

TEST(View2dGeometry, MovesAboveTheMaterialTakeTheNotCutColour)
{
    TGraphicSettings Settings;
    const TDrawStyle Style = BuildDrawStyles(Settings, 77)[dsOutline];
    struct TCase {
        const char *Name;
        uint8_t Kind;
        double StartZ, EndZ;
        TColor Expected;
    } Cases[] = {
        {"linear at Z 2", ekLinear, 2, 2, Settings.NotCutColour},
        {"linear from 0 to 0", ekLinear, 0, 0, Settings.NotCutColour},
        {"linear ending at -1", ekLinear, 2, -1, 77},
        {"rapid below the top", ekRapid, -5, -5, Settings.RapidColour},
        {"arc whose second Z is 0", ekArc, -1, 0, Settings.NotCutColour},
        {"arc whose second Z is below", ekArc, 3, -0.5, 77},
        {"plane arc follows the linear rule", ekPlaneArc, -1, 0, 77},
        {"plane arc above", ekPlaneChord, 1, 1, Settings.NotCutColour},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TDD_Type E;
        E.Kind = C.Kind;
        E.StartZ = C.StartZ;
        E.EndZ = C.EndZ;
        EXPECT_EQ(ElementColour(E, Style, Settings), C.Expected);
    }
    Settings.ShowRapids = false;
    TDD_Type Rapid;
    EXPECT_EQ(ElementColour(Rapid, Style, Settings), clNone);
}

TEST(View2dGeometry, StylesFollowTheSettings)
{
    TGraphicSettings Settings;
    TDrawStyles S = BuildDrawStyles(Settings, 1234);
    EXPECT_EQ(S[dsOutline].LinearColour, 1234) << "Use Tool Colours";
    EXPECT_EQ(S[dsOutline].CircularColour, 1234);
    EXPECT_EQ(S[dsOutline].RapidColour, 255);
    EXPECT_EQ(S[dsCutter].PenMode, TPenMode::NotXor);
    EXPECT_EQ(S[dsCutter].LinearColour, 1234);
    EXPECT_EQ(S[dsHighlight].LinearColour, 12632256);
    EXPECT_EQ(S[dsCentre].RapidColour, 4227072);
    EXPECT_EQ(S[dsSolid].BrushStyle, TBrushStyle::Solid);
    EXPECT_EQ(S[dsSolid].PenWidth, 0);
    for (int I = 0; I < StyleCount; ++I)
        EXPECT_EQ(S[I].PenStyle, TPenStyle::Solid);
    Settings.UseToolColour = false;
    S = BuildDrawStyles(Settings, 1234);
    EXPECT_EQ(S[dsOutline].LinearColour, 8404992);
    EXPECT_EQ(S[dsOutline].CircularColour, 33023);
}

TEST(View2dGeometry, PickingReachesTenPixelsInBothAxes)
{
    std::vector<TDD_Type> List(2);
    List[0].StartX = 20;
    List[0].StartY = 20;
    List[1].StartX = 60;
    List[1].StartY = 60;
    struct TCase {
        const char *Name;
        TPixel Click;
        int Expected;
    } Cases[] = {
        {"on the point", {20, 20}, 0},       {"9 pixels right", {29, 20}, 0},
        {"10 pixels right", {30, 20}, 0},    {"11 pixels right", {31, 20}, -1},
        {"9 pixels up and left", {11, 11}, 0}, {"11 pixels down", {20, 31}, -1},
        {"the last element", {60, 69}, 1},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(PickElement(List, C.Click, 1), C.Expected);
    }
    List[1].StartX = 20;
    List[1].StartY = 25;
    EXPECT_EQ(PickElement(List, {20, 20}, 1), 1) << "the last hit wins";
    EXPECT_EQ(PickElement(List, {89, 80}, 4), 0) << "9 pixels at scale 4";
    EXPECT_EQ(PickElement(List, {91, 80}, 4), -1) << "11 pixels at scale 4";
}

TEST(View2dGeometry, ClockwiseArcIsPickedAtItsStart)
{
    std::vector<TDD_Type> List{MakeArcElement(Billet(50), {0, 10, 0}, XYArc({10, 0, 0}, {0, 0, 0}, 90, 10), 1, 1, 0)};
    EXPECT_EQ(PickElement(List, {0, 40}, 1), 0);
    EXPECT_EQ(PickElement(List, {12, 52}, 1), -1) << "not by its first point";
}

TEST(View2dGeometry, ZoomStepsStopAtTheLimit)
{
    struct TCase {
        const char *Name;
        double Scale, Fit, In, Out;
    } Cases[] = {
        {"37 zooms in to 55.5", 37, 1, 55.5, 37 / 1.5},
        {"38 stays", 38, 1, 38, 38 / 1.5},
        {"at the fit scale no zoom out", 1, 1, 1.5, 1},
        {"limit follows the fit scale", 70, 2, 105, 70 / 1.5},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_DOUBLE_EQ(ZoomInScale(C.Scale, C.Fit), C.In);
        EXPECT_DOUBLE_EQ(ZoomOutScale(C.Scale, C.Fit), C.Out);
    }
    EXPECT_EQ(AnchoredScrollPosition(1000, 400, 0.5), 300);
    EXPECT_EQ(AnchoredScrollPosition(300, 400, 0.5), 0);
}

TEST(View2dGeometry, ZGaugeBarWidthAndDepth)
{
    TZGauge Gauge;
    Gauge.Width = 60;
    Gauge.Height = 210; // half of the usable height: 100 pixels
    Gauge.SetBillet(5, 20);
    EXPECT_DOUBLE_EQ(Gauge.ZScale, 5);
    Gauge.SetCutter(1, 10, true);
    EXPECT_EQ(Gauge.BarWidth, 6) << "thin cutter: a tenth of the gauge";
    Gauge.Height = 40; // half height 15
    Gauge.SetBillet(5, 10);
    EXPECT_DOUBLE_EQ(Gauge.ZScale, 1.5);
    Gauge.SetCutter(1, 1, false);
    EXPECT_EQ(Gauge.BarWidth, 2) << "a 1 mm tool to scale is below the minimum";
    Gauge.SetCutter(1, 10, false);
    EXPECT_EQ(Gauge.BarWidth, 15);

    Gauge.Z = 1000;
    EXPECT_EQ(Gauge.Bar(), TPixelRect{}) << "Z 1000 is out of sight";
    Gauge.Z = -4;
    EXPECT_EQ(Gauge.Bar().Bottom, 15 + 6);
    EXPECT_FALSE(Gauge.ThroughBillet());
    Gauge.Z = -10.5;
    EXPECT_TRUE(Gauge.ThroughBillet());
    Gauge.SetBillet(5, 0);
    EXPECT_DOUBLE_EQ(Gauge.ZSize, 1) << "a thickness of 0 is taken as 1";
}

TEST(View2dGeometry, ZGaugePaintsBilletAndRedStripThroughIt)
{
    TZGauge Gauge;
    Gauge.Width = 20;
    Gauge.Height = 110;
    Gauge.SetBillet(77, 10);
    Gauge.Z = -11;
    test::TRecordingCanvas Canvas;
    Gauge.Paint(Canvas);
    ASSERT_EQ(Canvas.Shapes.size(), 4u);
    EXPECT_EQ(Canvas.Shapes[0], "fill 0,0-20,50 c" + IntToStr(clBtnFace));
    EXPECT_EQ(Canvas.Shapes[1], "fill 0,50-20,100 c77");
    EXPECT_EQ(Canvas.Shapes[2], "fill 0,100-20,110 c255");
}

TEST(View2dGeometry, CutterStepNeverZero)
{
    EXPECT_DOUBLE_EQ(CutterStep(1), MinimumCutterStep);
    EXPECT_DOUBLE_EQ(CutterStep(4), 2);
    EXPECT_DOUBLE_EQ(CutterStep(5), 2);
    EXPECT_DOUBLE_EQ(CutterStep(8), 4);
}

TEST(View2dGeometry, CutterPathStopsShortOfTheEnd)
{
    const TDD_Type Line = MakeStraightElement(ekLinear, Billet(0), {0, 0, 0}, {10, 0, 0}, 1, 1, 0);
    const std::vector<TPoint2D> Path = CutterPath(Line, 4);
    ASSERT_EQ(Path.size(), 2u);
    EXPECT_DOUBLE_EQ(Path[0].X, 4);
    EXPECT_DOUBLE_EQ(Path[1].X, 8);
    EXPECT_EQ(CutterPath(Line, CutterStep(1)).size(), 19u);
    EXPECT_TRUE(CutterPath(Line, 0).empty());
    const TDD_Type Plunge = MakeStraightElement(ekLinear, Billet(0), {5, 5, 2}, {5, 5, -3}, 1, 1, 0);
    EXPECT_TRUE(CutterPath(Plunge, 1).empty());
}

TEST(View2dGeometry, CutterFollowsAnArcFromItsStart)
{
    // G02 quarter from (0, 10) to (10, 0) about the origin, step 3: 15 degrees.
    const TDD_Type Arc = MakeArcElement(Billet(0), {0, 10, 0}, XYArc({10, 0, 0}, {0, 0, 0}, 90, 10), 1, 1, 0);
    const TPoint2D Start = CutterStart(Arc);
    EXPECT_NEAR(Start.X, 0, 1e-9);
    EXPECT_NEAR(Start.Y, -10, 1e-9);
    const std::vector<TPoint2D> Path = CutterPath(Arc, 3);
    ASSERT_EQ(Path.size(), 5u);
    EXPECT_NEAR(Path[0].X, 10 * std::sin(15 * 3.14159265358979 / 180), 1e-9);
    EXPECT_NEAR(Path[4].X, 10 * std::sin(75 * 3.14159265358979 / 180), 1e-9);
}

// G02 X10 Y0 R-10 from (0, 10): the 270 degree arc about the origin; the
// sign only picked the longer arc.
TEST(View2dGeometry, NegativeRadiusArcIsTheSameCircle)
{
    const TDD_Type Positive = MakeArcElement(Billet(0), {0, 10, 0}, XYArc({10, 0, 0}, {0, 0, 0}, 270, 10), 1, 1, 0);
    const TDD_Type Negative = MakeArcElement(Billet(0), {0, 10, 0}, XYArc({10, 0, 0}, {0, 0, 0}, 270, -10), 1, 1, 0);
    EXPECT_EQ(DrawingListLine(Negative), DrawingListLine(Positive));
    const std::vector<TPoint2D> Path = CutterPath(Negative, 3);
    const std::vector<TPoint2D> Expected = CutterPath(Positive, 3);
    ASSERT_EQ(Path.size(), Expected.size());
    for (size_t I = 0; I < Path.size(); ++I) {
        EXPECT_NEAR(Path[I].X, Expected[I].X, 1e-9) << I;
        EXPECT_NEAR(Path[I].Y, Expected[I].Y, 1e-9) << I;
        EXPECT_NEAR(std::hypot(Path[I].X, Path[I].Y), 10, 1e-9) << "on the circle";
    }
}

TEST(View2dGeometry, PictureNameReplacesTheWholeExtension)
{
    struct TCase {
        const char *Name;
        const char *Source;
        const char *Picture;
    } Cases[] = {
        {"three letters", "/work/programs/PART.FNC", "/work/programs/PART.bm2"},
        {"long extension", "/work/programs/part.tape", "/work/programs/part.bm2"},
        {"one letter", "/work/p/part.t", "/work/p/part.bm2"},
        {"no extension", "/work/p/part", "/work/p/part.bm2"},
        {"dotted folder", "/work/v1.2/part", "/work/v1.2/part.bm2"},
        {"empty", "", ""},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(PictureNameFor(C.Source), C.Picture);
    }
}

TEST(View2dGeometry, DrawingListLineInConstructorOrder)
{
    const TDD_Type E(2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -90, 1.5, 10.25, 42, 255);
    EXPECT_EQ(DrawingListLine(E), "2 42 255 1.0000 2.0000 3.0000 4.0000 5.0000 6.0000 7.0000 "
                                  "8.0000 9.0000 10.0000 11.0000 12.0000 -90.0000 1.5000 10.2500");
}

TEST(View2dGeometry, MissingGraphicsSectionGivesTheDefaults)
{
    test::TTempDir Dir;
    const std::string File = Dir.Write("t.ini", "[Other]\nA=1\n");
    const TGraphicSettings S = LoadGraphicSettings(File);
    EXPECT_EQ(S, TGraphicSettings{});
    EXPECT_EQ(S.RapidColour, 255);
    EXPECT_EQ(S.NotCutColour, 16777215);
    EXPECT_EQ(S.CutterSpeed, 4);
    EXPECT_TRUE(S.UseOutline);
    EXPECT_FALSE(S.UseSolid);
    EXPECT_FALSE(S.ShowCutter);

    TGraphicSettings Changed;
    Changed.RapidColour = 1;
    Changed.UseSolid = true;
    Changed.CutterSpeed = 8;
    SaveGraphicSettings(File, Changed);
    EXPECT_EQ(LoadGraphicSettings(File), Changed);
    EXPECT_NE(Dir.Read("t.ini").find("use tool Colour=1"), std::string::npos);
    Dir.Write("t.ini", "[graphics]\ncutter speed=0\nUSE SOLID=1\n");
    EXPECT_EQ(LoadGraphicSettings(File).CutterSpeed, 1);
    EXPECT_TRUE(LoadGraphicSettings(File).UseSolid) << "names match without regard to case";
}

TEST(View2dGeometry, OutlineDrawsParallelLinesAndCutterCircles)
{
    TGraphicSettings Settings;
    Settings.UseCentre = false;
    const TDD_Type E = MakeStraightElement(ekLinear, Billet(40), {0, 20, -1}, {20, 20, -1}, 2, 1, 5);
    test::TRecordingCanvas Canvas;
    DrawElement(Canvas, E, Settings, 2);
    const std::vector<std::string> Expected{
        "line 0,44 40,44 c5", "line 0,36 40,36 c5", "ellipse -4,36-4,44 c5",
        "ellipse 36,36-44,44 c5"};
    EXPECT_EQ(Canvas.Shapes, Expected);
}

TEST(View2dGeometry, CentreLineOfChordArcIsStraight)
{
    TGraphicSettings Settings;
    Settings.UseOutline = false;
    test::TRecordingCanvas Canvas;
    DrawElement(Canvas, MakeArcElement(Billet(50), {0, 10, -1}, XYArc({10, 0, -1}, {0, 0, 0}, 5, 10), 1, 1, 0), Settings, 1);
    ASSERT_EQ(Canvas.Shapes.size(), 1u);
    EXPECT_EQ(Canvas.Shapes[0].substr(0, 4), "line");
    Canvas.Shapes.clear();
    DrawElement(Canvas, MakeArcElement(Billet(50), {0, 10, -1}, XYArc({10, 0, -1}, {0, 0, 0}, 90, 10), 1, 1, 0), Settings, 1);
    ASSERT_EQ(Canvas.Shapes.size(), 1u);
    EXPECT_EQ(Canvas.Shapes[0], "arc -10,40-10,60 10,50 0,40 c4227072");
}

TEST(View2dGeometry, PixelsAreTheNearestWithHalvesToEven)
{
    struct TCase {
        const char *Name;
        double Mm, Scale;
        int Pixel;
    } Cases[] = {
        {"half down to even", 0.5, 1, 0},   {"half up to even", 1.5, 1, 2},
        {"2.5 to 2", 2.5, 1, 2},            {"negative half", -0.5, 1, 0},
        {"-1.5 to -2", -1.5, 1, -2},        {"-2.5 to -2", -2.5, 1, -2},
        {"just below a half", 0.4999999999999999, 1, 0},
        {"scaled", 0.3, 3.41, 1},           {"far right held", 1e12, 1, 1000000000},
        {"far left held", -1e12, 1, -1000000000},
        {"not a number", std::nan(""), 1, 0},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(ToPixel(C.Mm, C.Scale), C.Pixel);
    }
    // The same as the rounding mode's nearest over a sweep of positions.
    for (int I = -20000; I <= 20000; ++I) {
        const double Mm = I * 0.0137;
        ASSERT_EQ(ToPixel(Mm, 7.3), static_cast<int>(std::nearbyint(Mm * 7.3))) << Mm;
    }
}

} // namespace
} // namespace orv
