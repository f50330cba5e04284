// Texts of the element information dialog: kinds, arcs shown from their
// real start, display units and decimals, the source line.

#include "engine/view2d/ElementInfo.h"

#include "engine/view2d/View2dGeometry.h"
#include "engine/view2d/tests/View2dFixture.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::Billet;
using test::XYArc;

TDD_Type Arc(double Sweep)
{
    const TArcMove A = XYArc({10, 0, -1}, {0, 0, 0}, Sweep, 10);
    return MakeArcElement(Billet(50), {0, 10, -1}, A, 1, 4, 0);
}

class View2dElementInfo : public ::testing::Test {
protected:
    test::TTempDir Dir;
    std::string Program = Dir.Write("part.fnc", "%\r\nO1 (pocket)\r\nn30 g02 x10 y0 r10\r\n");
};

TEST_F(View2dElementInfo, ClockwiseArcShowsItsRealStart)
{
    const TElementInfoTexts T = ElementInfoTexts(Arc(90), 3, Program, 3, 50);
    EXPECT_EQ(T.Caption, "Arc G02");
    EXPECT_EQ(T.Picture, TElementPicture::ClockwiseArc);
    EXPECT_TRUE(T.ArcPanel);
    EXPECT_EQ(T.XStart, "0.000");
    EXPECT_EQ(T.YStart, "10.000");
    EXPECT_EQ(T.XEnd, "10.000");
    EXPECT_EQ(T.YEnd, "0.000");
    EXPECT_EQ(T.ArcAngle, "90.000 CW");
    EXPECT_EQ(T.XCentre, "0.000");
    EXPECT_EQ(T.YCentre, "0.000");
    EXPECT_EQ(T.ArcRadius, "10.000");
    EXPECT_EQ(T.ObjectNumber, "4");
    EXPECT_EQ(T.LineNumber, "3");
    EXPECT_EQ(T.Source, "N30 G02 X10 Y0 R10");
    EXPECT_TRUE(T.EditSourceEnabled);
}

TEST_F(View2dElementInfo, AnticlockwiseArcCentreIsOnItsLeft)
{
    // G03 from (10, 0) to (0, 10)
    const TArcMove A = XYArc({0, 10, -1}, {0, 0, 0}, -90, 10);
    const TElementInfoTexts T = ElementInfoTexts(MakeArcElement(Billet(50), {10, 0, -1}, A, 1, 1, 0), 1, Program, 3, 50);
    EXPECT_EQ(T.Caption, "Arc G03");
    EXPECT_EQ(T.ArcAngle, "90.000 ACW");
    EXPECT_EQ(T.XStart, "10.000");
    EXPECT_EQ(T.XCentre, "0.000");
    EXPECT_EQ(T.YCentre, "0.000");
}

TEST_F(View2dElementInfo, ValuesTakeTheDecimalsOfTheDisplayUnits)
{
    TViewMapping Map = Billet(100);
    const TDD_Type E = MakeStraightElement(ekLinear, Map, {25.4, 123.456, 0}, {123.456, 0, -1}, 1, 2, 0);
    struct TCase {
        const char *Name;
        int Decimals;
        const char *XStart, *YStart, *XEnd;
    } Cases[] = {
        {"metric: three decimals", 3, "25.400", "123.456", "123.456"},
        {"inch: four decimals", 4, "1.0000", "4.8605", "4.8605"},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        const TElementInfoTexts T = ElementInfoTexts(E, 2, Program, C.Decimals, 100);
        EXPECT_EQ(T.Caption, "Linear G01");
        EXPECT_EQ(T.XStart, C.XStart);
        EXPECT_EQ(T.YStart, C.YStart);
        EXPECT_EQ(T.XEnd, C.XEnd);
        EXPECT_FALSE(T.ArcPanel);
        EXPECT_EQ(T.ArcAngle, "");
        EXPECT_EQ(T.XCentre, "");
    }
}

TEST_F(View2dElementInfo, SourceNotAvailable)
{
    TDD_Type Rapid;
    struct TCase {
        const char *Name;
        std::string File;
        int Line;
        bool EditSource;
    } Cases[] = {
        {"compiled program", Dir.Write("part.XNC", "binary"), 1, false},
        {"missing file", Dir.File("gone.fnc"), 1, true},
        {"line past the end", Program, 9, true},
        {"no file name", "", 1, true},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TElementInfoTexts T;
        ASSERT_NO_THROW(T = ElementInfoTexts(Rapid, C.Line, C.File, 3, 10));
        EXPECT_EQ(T.Caption, "Rapid Linear");
        EXPECT_EQ(T.Source, "Not Available from the file");
        EXPECT_EQ(T.LineNumber, "####");
        EXPECT_EQ(T.EditSourceEnabled, C.EditSource);
    }
}

TEST_F(View2dElementInfo, OtherKindsHaveNoCaption)
{
    TDD_Type Plane;
    Plane.Kind = ekPlaneArc;
    const TElementInfoTexts T = ElementInfoTexts(Plane, 1, Program, 3, 10);
    EXPECT_EQ(T.Caption, "");
    EXPECT_EQ(T.Picture, TElementPicture::None);
    EXPECT_FALSE(T.ArcPanel);
}

} // namespace
} // namespace orv
