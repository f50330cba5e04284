// The 120-byte record of a compiled move file: byte layout, the copy the
// engine takes over, the check of records read back, and the arc shape a
// replay works out from its points.

#include "engine/form/CompiledRecord.h"
#include "engine/core/data_types.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace orv {
namespace {

TCNC_data SampleMove()
{
    TCNC_data d;
    d.Spindle = 1200;
    d.MCode = 3;
    d.Tool = 4;
    d.Motion = 2;
    d.LengthOffset = 7;
    d.Feed = 250.5;
    d.X = 10;
    d.Y = -20.25;
    d.Z = NoValue;
    d.I = 5;
    d.J = 0;
    d.K = 1;
    d.R = NoValue;
    d.MoveLength = 12.5;
    d.CornerAngle = 90;
    d.LookAhead = false;
    d.BlockDelete = true;
    return d;
}

double RealAt(const TCompiledRecord &Rec, int Offset)
{
    double v;
    std::memcpy(&v, Rec.data() + Offset, 8);
    return v;
}

int32_t IntAt(const TCompiledRecord &Rec, int Offset)
{
    int32_t v;
    std::memcpy(&v, Rec.data() + Offset, 4);
    return v;
}

TEST(CompiledRecord, PacksEveryFieldAtItsOffset)
{
    TCompiledRecord rec;
    rec.fill(0xAA);
    PackCompiledRecord(SampleMove(), rec);
    EXPECT_EQ(IntAt(rec, 0), 1200);
    EXPECT_EQ(IntAt(rec, 4), 3);
    EXPECT_EQ(IntAt(rec, 8), 4);
    EXPECT_EQ(IntAt(rec, 12), 2);
    EXPECT_EQ(IntAt(rec, 16), 7);
    EXPECT_EQ(IntAt(rec, 20), 0);
    EXPECT_EQ(RealAt(rec, 24), 250.5);
    EXPECT_EQ(RealAt(rec, 32), 10.0);
    EXPECT_EQ(RealAt(rec, 40), -20.25);
    EXPECT_EQ(RealAt(rec, 48), 9e9);
    EXPECT_EQ(RealAt(rec, 56), 5.0);
    EXPECT_EQ(RealAt(rec, 64), 0.0);
    EXPECT_EQ(RealAt(rec, 72), 1.0);
    EXPECT_EQ(RealAt(rec, 80), 9e9);
    EXPECT_EQ(RealAt(rec, 88), 9e9) << "Spare is never written and stays 9e9";
    EXPECT_EQ(RealAt(rec, 96), 12.5);
    EXPECT_EQ(RealAt(rec, 104), 90.0);
    EXPECT_EQ(rec[112], 0);
    EXPECT_EQ(rec[113], 1);
    for (int i = 114; i < 120; ++i)
        EXPECT_EQ(rec[i], 0) << "byte " << i;
}

TEST(CompiledRecord, UnsetMarkersComeBackExactly)
{
    TCNC_data fresh;
    TCompiledRecord rec;
    PackCompiledRecord(fresh, rec);
    TCNC_data back;
    back.X = 1;
    back.Motion = 0;
    CopyCompiledRecord(rec, back);
    EXPECT_EQ(back.X, NoValue);
    EXPECT_EQ(back.Feed, NoValue);
    EXPECT_EQ(back.Motion, NoMoveCode);
    EXPECT_EQ(back.Spindle, NoMoveCode);
    EXPECT_TRUE(back.LookAhead);
}

TEST(CompiledRecord, CopyKeepsWhatTheRecordDoesNotCarry)
{
    TCompiledRecord rec;
    PackCompiledRecord(SampleMove(), rec);
    TCNC_data shared;
    shared.MoveLength = 3;
    shared.CornerAngle = 4;
    shared.Plane = 18;
    shared.Sweep = 45;
    shared.Radius = 6;
    shared.WorkOffset = 55;
    shared.LineNumber = 8;
    shared.Text = "kept";
    CopyCompiledRecord(rec, shared);
    EXPECT_EQ(shared.Spindle, 1200);
    EXPECT_EQ(shared.Y, -20.25);
    EXPECT_TRUE(shared.BlockDelete);
    EXPECT_EQ(shared.MoveLength, 3);
    EXPECT_EQ(shared.CornerAngle, 4);
    EXPECT_EQ(shared.Plane, 18);
    EXPECT_EQ(shared.WorkOffset, 55);
    EXPECT_EQ(shared.LineNumber, 8);
    EXPECT_EQ(shared.Text, "kept");
}

TEST(CompiledRecord, FaultsOfRecordsReadBack)
{
    struct TCase {
        const char *Name;
        void (*Spoil)(TCompiledRecord &);
        const char *Fault;
    } cases[] = {
        {"written record", [](TCompiledRecord &) {}, ""},
        {"end record", [](TCompiledRecord &r) { SetRecordInt(r, xnc::Motion, -101); }, ""},
        {"unknown motion", [](TCompiledRecord &r) { SetRecordInt(r, xnc::Motion, 77); },
         "motion code 77"},
        {"not a number",
         [](TCompiledRecord &r) {
             double nan = std::numeric_limits<double>::quiet_NaN();
             std::memcpy(r.data() + xnc::X, &nan, 8);
         },
         "X is not a number"},
        {"infinite feed",
         [](TCompiledRecord &r) {
             double inf = std::numeric_limits<double>::infinity();
             std::memcpy(r.data() + xnc::Feed, &inf, 8);
         },
         "Feed is not a number"},
        {"flag byte", [](TCompiledRecord &r) { r[xnc::LookAhead] = 2; }, "flag byte 112 is 2"},
        {"padding", [](TCompiledRecord &r) { r[119] = 1; }, "unused bytes are not zero"},
        {"gap after H", [](TCompiledRecord &r) { r[21] = 5; }, "unused bytes are not zero"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TCompiledRecord rec;
        PackCompiledRecord(SampleMove(), rec);
        c.Spoil(rec);
        EXPECT_EQ(CompiledRecordFault(rec), c.Fault);
    }
}

TEST(CompiledRecord, ArcShapeFromItsPoints)
{
    struct TCase {
        const char *Name;
        int Motion;
        double Start[3], End[3], Centre[3];
        int Plane;
        double Sweep, Radius;
    } cases[] = {
        {"XY clockwise quarter", 2, {0, 10, 0}, {10, 0, 0}, {0, 0, 0}, 17, 90, 10},
        {"XY counter-clockwise three quarters", 3, {0, 10, 0}, {10, 0, 0}, {0, 0, 0}, 17, -270, 10},
        {"XY half circle", 2, {0, 0, 5}, {10, 0, 5}, {5, 0, 5}, 17, 180, 5},
        {"XY full circle clockwise", 2, {0, 0, 0}, {0, 0, 0}, {5, 0, 0}, 17, 360, 5},
        {"XY full circle counter-clockwise", 3, {0, 0, 0}, {0, 0, 0}, {5, 0, 0}, 17, -360, 5},
        {"helix keeps XY", 3, {10, 0, 0}, {0, 10, -3}, {0, 0, 0}, 17, -90, 10},
        {"XZ plane", 2, {0, 4, 0}, {5, 4, 5}, {5, 4, 0}, 18, 90, 5},
        {"XZ quarter", 3, {10, 2, 0}, {0, 2, 10}, {0, 2, 0}, 18, -90, 10},
        {"YZ plane", 2, {7, 0, 10}, {7, 10, 0}, {7, 0, 0}, 19, 90, 10},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TArcShape s = ArcShapeFromPoints(c.Motion, c.Start, c.End, c.Centre);
        EXPECT_EQ(s.Plane, c.Plane);
        EXPECT_NEAR((double)s.Sweep, c.Sweep, 1e-9);
        EXPECT_NEAR((double)s.Radius, c.Radius, 1e-9);
    }
}

} // namespace
} // namespace orv
