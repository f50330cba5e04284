#include "machine/ShapeUtils.h"

#include "engine/chain/Vectors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace orv {
namespace {

struct TCircleRow {
    const char *Name;
    std::array<TPoint3D, 3> Points;
    bool Found;
    double X, Y;
};

TEST(WorkOffsetCircle, CentreForEveryOrderOfThePoints)
{
    const TCircleRow rows[] = {
        {"round part about the origin", {{{10, 0, 0}, {0, 10, 0}, {-10, 0, 0}}}, true, 0, 0},
        {"two points share X and two share Y", {{{0, 0, 0}, {10, 0, 0}, {0, 10, 0}}}, true, 5, 5},
        {"chord through the centre", {{{-3, 4, 0}, {3, -4, 0}, {5, 0, 0}}}, true, 0, 0},
        {"far from the machine zero", {{{1010, 500, 0}, {1000, 510, 0}, {990, 500, 0}}}, true,
         1000, 500},
        {"small circle", {{{0.01, 0, 0}, {0, 0.01, 0}, {-0.01, 0, 0}}}, true, 0, 0},
        {"three points on a line", {{{0, 0, 0}, {1, 1, 0}, {2, 2, 0}}}, false, 0, 0},
        {"three points on a vertical line", {{{5, 0, 0}, {5, 1, 0}, {5, 9, 0}}}, false, 0, 0},
        {"two points the same", {{{1, 1, 0}, {1, 1, 0}, {4, 5, 0}}}, false, 0, 0},
        {"all points the same", {{{2, 2, 0}, {2, 2, 0}, {2, 2, 0}}}, false, 0, 0},
    };
    for (const auto &row : rows) {
        std::array<int, 3> order = {0, 1, 2};
        do {
            SCOPED_TRACE(std::string(row.Name) + " order " + std::to_string(order[0]) +
                         std::to_string(order[1]) + std::to_string(order[2]));
            TPoint3D centre{7, 7, 7};
            bool found = CircleFrom3Points(row.Points[order[0]], row.Points[order[1]],
                                           row.Points[order[2]], centre);
            ASSERT_EQ(found, row.Found);
            if (!found) {
                EXPECT_EQ(centre.X, 7); // unchanged
                continue;
            }
            EXPECT_NEAR(centre.X, row.X, 1e-9);
            EXPECT_NEAR(centre.Y, row.Y, 1e-9);
            EXPECT_EQ(centre.Z, 0);
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

} // namespace
} // namespace orv
