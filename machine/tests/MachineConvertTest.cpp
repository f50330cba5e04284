// Conversion between millimetres and motor steps, offsets and the unset
// markers.

#include "engine/core/data_types.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/convert.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orv {
namespace {

class MachineConvertTest : public ::testing::Test {
protected:
    MachineConvertTest() {
        TFeedData &f = Data.Feed;
        f.StepsX = 100;
        f.StepsY = 200;
        f.StepsZ = 400;
        f.StepsIV = 10;
        f.StepsF = 100;
        f.MotorDirectionX = -1;
        f.MotorDirectionY = 1;
        f.MotorDirectionZ = -1;
        f.MotorDirectionIV = 1;
    }

    TRead_Machinedata_file Data;
    TConvert Convert{nullptr, &Data};
};

TEST_F(MachineConvertTest, PositionsRoundToTheNearestStepHalvesToEven) {
    struct TCase {
        const char *Name;
        double X;
        int32_t Steps;
    };
    const TCase cases[] = {
        {"half goes to the even neighbour", 0.125, -12},
        {"just above a half", 0.135, -14},
        {"whole", 2.5, -250},
        {"unset", NoValue, NoSteps},
        {"beyond the integer range", 1e12, NoSteps},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TCNC_data d;
        d.X = c.X;
        TMachineBlock b;
        Convert.ToMachine(d, b);
        EXPECT_EQ(b.X, c.Steps);
    }
}

TEST_F(MachineConvertTest, BlockFieldsInSteps) {
    TCNC_data d;
    d.Spindle = 1200;
    d.MCode = 3;
    d.Tool = 4;
    d.LengthOffset = 5;
    d.Motion = 2;
    d.Feed = 600;
    d.X = 1;
    d.Y = 1;
    d.Z = -1;
    d.FourthAxis = 90;
    d.I = 0.5;
    d.J = 0.25;
    d.K = 2;
    d.R = 3;
    d.Radius = 3;
    d.Sweep = -90;
    TMachineBlock b;
    Convert.ToMachine(d, b);
    EXPECT_EQ(b.S, 1200);
    EXPECT_EQ(b.M, 3);
    EXPECT_EQ(b.T, 4);
    EXPECT_EQ(b.H, 5);
    EXPECT_EQ(b.BlockType, 2);
    EXPECT_EQ(b.Feed, 1000) << "600 mm/min at 100 steps per mm is 1000 steps per second";
    EXPECT_EQ(b.X, -100);
    EXPECT_EQ(b.Y, 200);
    EXPECT_EQ(b.Z, 400);
    EXPECT_EQ(b.Fourth, 900);
    EXPECT_EQ(b.I, -50);
    EXPECT_EQ(b.J, 50);
    EXPECT_EQ(b.K, -800);
    EXPECT_EQ(b.R, 300) << "a radius never takes the motor's sign";
    EXPECT_EQ(b.Radius, 300);
    EXPECT_DOUBLE_EQ(b.Sweep, -90);
}

TEST_F(MachineConvertTest, RadiusTakesThePlanesFirstAxisScale) {
    struct TCase {
        int Plane;
        int32_t Radius;
    };
    const TCase cases[] = {{17, 200}, {18, 200}, {19, 400}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Plane);
        TCNC_data d;
        d.Plane = c.Plane;
        d.Radius = 2;
        TMachineBlock b;
        Convert.ToMachine(d, b);
        EXPECT_EQ(b.Radius, c.Radius);
        EXPECT_GT(b.Radius, 0);
    }
}

TEST_F(MachineConvertTest, UnsetFeedNeverBecomesANumber) {
    TCNC_data d;
    TMachineBlock b;
    Convert.ToMachine(d, b);
    EXPECT_EQ(b.Feed, NoSteps);
    EXPECT_EQ(b.Y, NoSteps);
    EXPECT_EQ(b.R, NoSteps);
}

TEST_F(MachineConvertTest, StepsBackToMillimetresUndoTheDirection) {
    TCNC_data d;
    d.X = 12.34;
    d.Y = -7.5;
    d.Z = -42.125;
    d.Feed = 900;
    TMachineBlock b;
    Convert.ToMachine(d, b);

    TXYZ p{Extended(b.X), Extended(b.Y), Extended(b.Z)};
    Convert.PositionFromSteps(p);
    EXPECT_NEAR(double(p.X), 12.34, 1e-9);
    EXPECT_NEAR(double(p.Y), -7.5, 1e-9);
    EXPECT_NEAR(double(p.Z), -42.125, 1e-9);

    TMachinePosition m;
    m.X = b.X;
    m.Y = b.Y;
    m.Z = b.Z;
    m.Feed = b.Feed;
    Convert.FromMachine(m);
    EXPECT_NEAR(m.X, 12.34, 1e-9);
    EXPECT_NEAR(m.Z, -42.125, 1e-9);
    EXPECT_NEAR(m.Feed, 900, 1e-9);
}

TEST_F(MachineConvertTest, ZeroScaleReadsZeroInsteadOfDividing) {
    Data.Feed.StepsX = 0;
    Data.Feed.MotorDirectionY = 0;
    Data.Feed.StepsF = 0;
    TMachinePosition m;
    m.X = 500;
    m.Y = 500;
    m.Feed = 100;
    Convert.FromMachine(m);
    EXPECT_EQ(m.X, 0);
    EXPECT_EQ(m.Y, 0);
    EXPECT_EQ(m.Feed, 0);
    EXPECT_TRUE(std::isfinite(m.X));
}

TEST_F(MachineConvertTest, OffsetsAddAndRemove) {
    Convert.OffsetX = 5;
    Convert.OffsetY = -3;
    Convert.OffsetZ = 10;
    Convert.ToolLength = 25;
    TCNC_data src;
    src.X = 1;
    src.Y = 2;
    src.Z = 0;
    src.I = 4;
    src.K = NoValue;
    TCNC_data dst;
    Convert.AddOffsets(src, dst);
    EXPECT_DOUBLE_EQ(dst.X, 6);
    EXPECT_DOUBLE_EQ(dst.Y, -1);
    EXPECT_DOUBLE_EQ(dst.Z, 35);
    EXPECT_DOUBLE_EQ(dst.I, 9);
    EXPECT_EQ(dst.J, NoValue);
    EXPECT_EQ(dst.K, NoValue);
    EXPECT_DOUBLE_EQ(src.X, 1) << "the source is left alone";

    src.Z = NoValue;
    Convert.AddOffsets(src, dst);
    EXPECT_EQ(dst.Z, NoValue);

    Extended x = 6, y = -1, z = 35;
    Convert.RemoveOffsets(x, y, z);
    EXPECT_DOUBLE_EQ(double(x), 1);
    EXPECT_DOUBLE_EQ(double(y), 2);
    EXPECT_DOUBLE_EQ(double(z), 0);
}

} // namespace
} // namespace orv
