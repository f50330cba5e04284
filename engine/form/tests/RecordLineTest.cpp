// The record line ncrun prints: every field in its place, unset values as
// "-", reals with four decimals whatever their size.

#include "ncrun/RecordLine.h"

#include "engine/core/data_types.h"

#include <gtest/gtest.h>

#include <limits>

namespace orv {
namespace {

TEST(RecordLine, FieldsInTheirPlaces)
{
    struct TCase {
        const char *Name;
        TCNC_data Data;
        const char *Line;
    };
    TCNC_data unset;
    TCNC_data move;
    move.LineNumber = 12;
    move.Motion = 2;
    move.X = 10.00005; // a tie on the binary value decides, not the text
    move.Y = -0.00001; // rounds to zero: no minus sign
    move.Z = -2.5;
    move.I = 5;
    move.J = 0;
    move.R = 1e20; // beyond 2^63: the long path
    move.Sweep = -90;
    move.Radius = 5;
    move.Plane = 18;
    move.Feed = 800;
    move.Spindle = 1200;
    move.MCode = 3;
    move.Tool = -7;
    move.Text = "(ROUGH)";
    TCNC_data huge = unset;
    huge.LineNumber = -1;
    huge.Motion = -101;
    huge.X = 1.5e300;
    huge.Sweep = -1e25L;
    const TCase cases[] = {
        {"nothing set", unset, "0 - - - - - - - - 0.0000 0.0000 17 - - - - -"},
        {"an arc", move,
         "12 2 10.0000 0.0000 -2.5000 5.0000 0.0000 - 100000000000000000000.0000 -90.0000 "
         "5.0000 18 800.0000 1200 3 -7 (ROUGH)"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(RecordLine(c.Data), c.Line);
    }
    // A very large value is written in full, and what follows it stays in place.
    const std::string line = RecordLine(huge);
    const std::string x = FormatFixed(1.5e300, 4);
    EXPECT_EQ(line, "-1 -101 " + x + " - - - - - - -10000000000000000000000000.0000 0.0000 17 - - - - -");
    // Appending leaves what the line held before.
    std::string joined = "> ";
    AppendRecordLine(joined, move);
    EXPECT_EQ(joined, "> " + RecordLine(move));
}

// A printer that reuses the texts of the record before prints every record
// of a run as a fresh line would: repeated, changed, signed-zero, huge and
// not-a-number values in turn.
TEST(RecordLine, PrinterReusingTextsMatchesFreshLines)
{
    const long double nan = std::numeric_limits<double>::quiet_NaN();
    struct TStep {
        double X;
        double Feed;
        long double Sweep;
    };
    const TStep steps[] = {
        {1.5, 800, 0},
        {1.5, 800, 0},
        {-0.0, 800, -0.0},
        {0.0, 800, 0},
        {1e20, 800, -1e25L},
        {1e20, 800, -1e25L},
        {2.00005, 800, 90},
        {2.00015, 800, 90},
        {static_cast<double>(nan), 800, nan},
        {static_cast<double>(nan), 800, nan},
        {-3.25, 1200, -90},
        {-3.25, 1200, -90},
    };
    TRecordPrinter printer;
    TCNC_data move;
    move.Motion = 1;
    int line = 0;
    for (const TStep &step : steps) {
        move.LineNumber = ++line;
        move.X = step.X;
        move.Feed = step.Feed;
        move.Sweep = step.Sweep;
        move.Text = line % 3 == 0 ? "(NOTE)" : "";
        std::string printed = "> ";
        printer.Append(printed, move);
        EXPECT_EQ(printed, "> " + RecordLine(move)) << "record " << line;
    }
}

} // namespace
} // namespace orv
