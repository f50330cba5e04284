// Travel checks of lines and arcs at the edges of the machine's travel, in
// each plane, and the spindle clamp.

#include "machine/MoveValidator.h"
#include "machine/Read_Machinedata_file.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct TTravel {
    double XMin, XMax, YMin, YMax, ZMin, ZMax;
};

TRead_Machinedata_file MachineWithTravel(const TTravel &T) {
    TRead_Machinedata_file data;
    TMachineCapability &c = data.MachineCapability;
    c.TravelXMinus = T.XMin;
    c.TravelXPlus = T.XMax;
    c.TravelYMinus = T.YMin;
    c.TravelYPlus = T.YMax;
    c.TravelZMinus = T.ZMin;
    c.TravelZPlus = T.ZMax;
    data.Spindle.MinimumSpeed = 100;
    data.Spindle.MaximumSpeed = 5000;
    return data;
}

TEST(MachineMoveValidatorTest, LinesAtTheTravelEdges) {
    TRead_Machinedata_file data = MachineWithTravel({-10, 300, -5, 200, -100, 0});
    TMoveValidator v(data);
    struct TCase {
        const char *Name;
        double X1, Y1, Z1, X2, Y2, Z2;
        bool Inside;
    };
    const TCase cases[] = {
        {"inside", 0, 0, -1, 100, 100, -50, true},
        {"ends exactly on X+", 0, 0, 0, 300, 0, 0, true},
        {"ends 0.001 beyond X+", 0, 0, 0, 300.001, 0, 0, false},
        {"ends exactly on X-", 0, 0, 0, -10, 0, 0, true},
        {"ends 0.001 beyond X-", 0, 0, 0, -10.001, 0, 0, false},
        {"starts beyond Y+", 0, 200.001, 0, 0, 0, 0, false},
        {"ends on Z- corner", 0, 0, 0, 300, 200, -100, true},
        {"ends beyond Z+", 0, 0, 0, 0, 0, 0.001, false},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(v.CheckLine(c.X1, c.Y1, c.Z1, c.X2, c.Y2, c.Z2), c.Inside);
    }
}

TEST(MachineMoveValidatorTest, ArcsAreCheckedByTheirBoundingRectangle) {
    struct TCase {
        const char *Name;
        TTravel Travel;
        int Direction, Plane;
        double SU, SV, EU, EV, CU, CV;
        bool Inside;
    };
    const TTravel quarter{0, 10, 0, 10, -1, 1};
    const TTravel around{-10, 10, -10, 10, -10, 10};
    const TCase cases[] = {
        {"ccw quarter fits its rectangle", quarter, 3, 17, 10, 0, 0, 10, 0, 0, true},
        {"ccw quarter 0.001 over X+", {0, 9.999, 0, 10, -1, 1}, 3, 17, 10, 0, 0, 10, 0, 0, false},
        {"ccw quarter with Y- above 0",
         {0, 10, 0.001, 10, -1, 1},
         3,
         17,
         10,
         0,
         0,
         10,
         0,
         0,
         false},
        {"cw is the three-quarter arc", quarter, 2, 17, 10, 0, 0, 10, 0, 0, false},
        {"cw three-quarter fits -10..10", around, 2, 17, 10, 0, 0, 10, 0, 0, true},
        {"cw three-quarter one past X-",
         {-9.999, 10, -10, 10, -10, 10},
         2,
         17,
         10,
         0,
         0,
         10,
         0,
         0,
         false},
        {"full circle covers all extremes", around, 3, 17, 0, 10, 0, 10, 0, 0, true},
        {"full circle one past Y-",
         {-10, 10, -9.999, 10, -10, 10},
         2,
         17,
         7.071067811865,
         7.0710678118655,
         7.071067811865,
         7.0710678118655,
         0,
         0,
         false},
        {"G18 uses X and Z", {0, 10, 50, 60, 0, 10}, 3, 18, 10, 0, 0, 10, 0, 0, true},
        {"G18 refused by Z", {0, 10, -100, 100, 0, 9.999}, 3, 18, 10, 0, 0, 10, 0, 0, false},
        {"G19 uses Y and Z", {50, 60, 0, 10, 0, 10}, 3, 19, 10, 0, 0, 10, 0, 0, true},
        {"G19 refused by Y", {-100, 100, 0, 9.999, 0, 10}, 3, 19, 10, 0, 0, 10, 0, 0, false},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TRead_Machinedata_file data = MachineWithTravel(c.Travel);
        TMoveValidator v(data);
        EXPECT_EQ(v.CheckArc(c.Direction, c.Plane, c.SU, c.SV, c.EU, c.EV, c.CU, c.CV), c.Inside);
    }
}

TEST(MachineMoveValidatorTest, CornersAreCopiedAtCreation) {
    TRead_Machinedata_file data = MachineWithTravel({-10, 300, -5, 200, -100, 0});
    TMoveValidator v(data);
    data.MachineCapability.TravelXPlus = 10;
    EXPECT_TRUE(v.CheckLine(0, 0, 0, 250, 0, 0)) << "a reload takes effect with a new validator";
}

TEST(MachineMoveValidatorTest, SpindleIsHeldInTheMachinesRange) {
    TRead_Machinedata_file data = MachineWithTravel({0, 1, 0, 1, 0, 1});
    TMoveValidator v(data);
    const int cases[][2] = {{0, 100},     {99, 100},    {100, 100},
                            {2500, 2500}, {5000, 5000}, {5001, 5000}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c[0]);
        EXPECT_EQ(v.ClampSpindle(c[0]), c[1]);
    }
}

} // namespace
} // namespace orv
