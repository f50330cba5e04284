// The drawing list gives every element back bit for bit, whether it was
// kept in the small form (a path of moves as the 2D output makes it) or
// whole (anything else), and a long path takes little room.

#include "engine/view2d/ElementList.h"

#include "engine/view2d/View2dGeometry.h"
#include "engine/view2d/tests/View2dFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace orv {
namespace {

using test::Billet;
using test::XYArc;

// The fields as bytes: equal only when every field has the same bits.
std::vector<double> Reals(const TDD_Type &E)
{
    return {E.StartX,  E.StartY,    E.StartZ,  E.EndX,  E.EndY,         E.EndZ,
            E.BoxRight, E.BoxTop,   E.BoxLeft, E.BoxBottom, E.CentreX, E.CentreY,
            E.Sweep,   E.CutterRadius, E.Radius};
}

void ExpectSame(const TDD_Type &Got, const TDD_Type &Want)
{
    EXPECT_EQ(Got.Kind, Want.Kind);
    EXPECT_EQ(Got.LineNumber, Want.LineNumber);
    EXPECT_EQ(Got.Colour, Want.Colour);
    const std::vector<double> G = Reals(Got), W = Reals(Want);
    for (size_t I = 0; I < G.size(); ++I)
        EXPECT_EQ(std::memcmp(&G[I], &W[I], sizeof(double)), 0)
            << "field " << I << ": " << G[I] << " against " << W[I];
}

TEST(View2dElementList, EveryElementComesBackBitForBit)
{
    const TViewMapping Map = Billet(100);
    const TMovePoint A{0, 0, 5}, B{10, 0, -1}, C{10, 20, -1}, D{0.1, 0.2, -1.5};
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    struct TCase {
        const char *Name;
        TDD_Type Element;
    } Cases[] = {
        {"the first element", MakeStraightElement(ekRapid, Map, {0, 0, 1000}, A, 1.5, 1, 255)},
        {"a rapid on from there", MakeStraightElement(ekRapid, Map, A, B, 1.5, 2, 255)},
        {"a feed move on", MakeStraightElement(ekLinear, Map, B, C, 1.5, 3, 255)},
        {"a clockwise arc on", MakeArcElement(Map, C, XYArc({20, 10, -1}, {10, 10, 0}, 180, 10),
                                              1.5, 4, 255)},
        {"an anticlockwise arc on",
         MakeArcElement(Map, {20, 10, -1}, XYArc({10, 20, -2}, {10, 10, 0}, -270, 10), 1.5, 5,
                        255)},
        {"a plane arc on", MakeArcElement(Map, {10, 20, -2},
                                          TArcMove{{20, 20, -4}, {15, 0, -3}, 45, 5.2, 18}, 1.5,
                                          6, 255)},
        {"a move from elsewhere", MakeStraightElement(ekLinear, Map, D, B, 1.5, 7, 255)},
        {"another tool", MakeStraightElement(ekLinear, Map, B, C, 3, 8, 65280)},
        {"a box not around the centre",
         TDD_Type(ekArc, 10, 20, -1, 20, 10, -1, 1, 2, 3, 4, 10, 10, 90, 3, 10, 9, 65280)},
        {"arc values on a straight move",
         TDD_Type(ekLinear, 20, 10, -1, 30, 10, -1, 0, 0, 0, 0, 5, 0, 0, 3, 0, 10, 65280)},
        {"negative zeros", TDD_Type(ekLinear, 30, 10, -1, -0.0, -0.0, -1, 0, 0, 0, 0, 0, 0, 0, 3,
                                    0, 11, 65280)},
        {"not a number", TDD_Type(ekLinear, -0.0, -0.0, -1, NaN, 1, 2, 0, 0, 0, 0, 0, 0, 0, NaN,
                                  0, 12, 65280)},
        {"back to the path", MakeStraightElement(ekLinear, Map, {NaN, -99, 2}, C, 3, 13, 65280)},
    };
    TElementList List;
    for (const TCase &Case : Cases)
        List.push_back(Case.Element);
    ASSERT_EQ(List.size(), std::size(Cases));
    size_t Index = 0;
    List.ForEach([&](const TDD_Type &E) {
        SCOPED_TRACE(Cases[Index].Name);
        ExpectSame(E, Cases[Index].Element);
        ExpectSame(List[Index], Cases[Index].Element);
        ++Index;
    });
    EXPECT_EQ(Index, std::size(Cases));
    ExpectSame(List.back(), Cases[std::size(Cases) - 1].Element);
    ExpectSame(*List.begin(), Cases[0].Element);
    List.clear();
    EXPECT_TRUE(List.empty());
    EXPECT_EQ(List.begin(), List.end());
}

// A path of a hundred thousand short moves, every tenth an arc, with a
// tool change half way: at most 64 bytes an element.
TEST(View2dElementList, APathTakesLittleRoom)
{
    const TViewMapping Map = Billet(300);
    TElementList List;
    TMovePoint At{0, 0, -1};
    for (int I = 0; I < 100000; ++I) {
        const TMovePoint To{(I % 1000) * 0.3, (I / 1000) + (I % 2) * 0.5, -1};
        const TColor Colour = I < 50000 ? 255 : 65280;
        if (I % 10 == 9)
            List.push_back(MakeArcElement(Map, At, XYArc(To, {To.X - 0.15, To.Y, 0}, -90, 0.15),
                                          1.5, I + 1, Colour));
        else
            List.push_back(MakeStraightElement(ekLinear, Map, At, To, 1.5, I + 1, Colour));
        At = To;
    }
    EXPECT_LE(List.MemoryBytes(), 64u * List.size());
    EXPECT_EQ(List[60000].Colour, 65280);
    EXPECT_EQ(List[49999].Colour, 255);
}

} // namespace
} // namespace orv
