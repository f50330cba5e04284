// ncrun with the 2D output: its options, and a run of the demo program
// that writes the drawing list and the picture.

#include "ncrun/NcRunOptions.h"

#include "platform/tests/TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace orv {
namespace {

bool Parse(std::vector<const char *> Args, TNcRunOptions &Options, std::string &Error)
{
    Args.insert(Args.begin(), "ncrun");
    return ParseNcRunOptions(static_cast<int>(Args.size()), Args.data(), Options, Error);
}

TEST(View2dNcrun, TwoDOptions)
{
    struct TCase {
        const char *Name;
        std::vector<const char *> Args;
        bool Ok, Draw2D;
        const char *Bm2, *List;
    } Cases[] = {
        {"none", {"p.fnc"}, true, false, "", ""},
        {"--2d", {"--2d", "p.fnc"}, true, true, "", ""},
        {"--bm2 switches it on", {"--bm2", "p.bm2", "p.fnc"}, true, true, "p.bm2", ""},
        {"--2d-list switches it on", {"p.fnc", "--2d-list", "l.txt"}, true, true, "", "l.txt"},
        {"--bm2 without a file", {"p.fnc", "--bm2"}, false, true, "", ""},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TNcRunOptions Options;
        std::string Error;
        EXPECT_EQ(Parse(C.Args, Options, Error), C.Ok) << Error;
        if (!C.Ok)
            continue;
        EXPECT_EQ(Options.Draw2D, C.Draw2D);
        EXPECT_EQ(Options.Bm2File, C.Bm2);
        EXPECT_EQ(Options.Draw2DList, C.List);
    }
}

std::vector<std::string> Lines(const std::string &File)
{
    std::ifstream In(File);
    std::vector<std::string> Result;
    for (std::string Line; std::getline(In, Line);)
        Result.push_back(Line);
    return Result;
}

TEST(View2dNcrun, DemoProgramDrawsItsToolpath)
{
    test::TTempDir Dir;
    const std::string Command = std::string(ORV_NCRUN) + " --2d-list " + Dir.File("list.txt") +
                                " --bm2 " + Dir.File("demo.bm2") + " " + ORV_DATA_DIR +
                                "/programs/demo.fnc > " + Dir.File("out.txt") + " 2>&1";
    ASSERT_EQ(std::system(Command.c_str()), 0) << Dir.Read("out.txt");
    const std::vector<std::string> List = Lines(Dir.File("list.txt"));
    // Tool 1: G00 to X20 Y20 Z5, G01 Z-1, two sides, the G02 corner, two
    // sides, G00 Z5. Tool 4: two G81 holes of three moves each, G00 Z5.
    ASSERT_EQ(List.size(), 15u) << Dir.Read("list.txt");
    EXPECT_EQ(List[0], "0 7 255 0.0000 100.0000 1000.0000 20.0000 80.0000 5.0000 0.0000 0.0000 "
                       "0.0000 0.0000 0.0000 0.0000 0.0000 1.5000 0.0000")
        << "from (0, 0, 1000) on the default 100 x 100 billet, in tool 1's colour and radius";
    EXPECT_EQ(List[4].substr(0, 8), "2 11 255") << "the G02 corner is an arc, line 11";
    EXPECT_EQ(List[9].substr(0, 10), "1 16 65535") << "the first hole, drilled with tool 4";
    QImage Picture;
    ASSERT_TRUE(Picture.load(QString::fromStdString(Dir.File("demo.bm2")), "BMP"));
    EXPECT_GT(Picture.width(), 0);
}

// The same longer arc given by a negative R and by its centre: the 2D list
// and every pixel of the picture (cutter outline included) are the same.
TEST(View2dNcrun, NegativeRadiusArcDrawsLikeItsCentreForm)
{
    test::TTempDir Dir;
    const std::string Head = "[BILLET X40 Y40 Z10]\nG90 G00 X10 Y20 Z1\nG01 Z-1 F100\n";
    const std::string Tail = "G01 X30 Y5\nM30\n";
    struct TRun {
        std::string Name, Arc;
    } Runs[] = {{"radius", "G02 X20 Y30 R-10\n"}, {"centre", "G02 X20 Y30 I0 J10\n"}};
    for (const TRun &R : Runs) {
        const std::string Program = Dir.Write(R.Name + ".fnc", Head + R.Arc + Tail);
        const std::string Command = std::string(ORV_NCRUN) + " --2d-list " +
                                    Dir.File(R.Name + ".txt") + " --bm2 " +
                                    Dir.File(R.Name + ".bm2") + " " + Program + " > " +
                                    Dir.File("out.txt") + " 2>&1";
        ASSERT_EQ(std::system(Command.c_str()), 0) << Dir.Read("out.txt");
    }
    const std::vector<std::string> ByRadius = Lines(Dir.File("radius.txt"));
    ASSERT_EQ(ByRadius.size(), 4u) << Dir.Read("radius.txt");
    EXPECT_EQ(ByRadius, Lines(Dir.File("centre.txt")));
    QImage ByR, ByCentre;
    ASSERT_TRUE(ByR.load(QString::fromStdString(Dir.File("radius.bm2")), "BMP"));
    ASSERT_TRUE(ByCentre.load(QString::fromStdString(Dir.File("centre.bm2")), "BMP"));
    EXPECT_TRUE(ByR == ByCentre) << "the outline of the negative-R arc is drawn";
}

// A G18 and a G19 contour under G41 (tool 1, 3 mm across): the drawn path
// is offset in the plane by the tool radius and keeps the axis along the
// plane's normal where it is (Y 0, view Y 100 on the default billet, for
// G18; X 0 for G19); nothing moves it sideways out of the plane. Seen from
// +Y the G18 path runs below the programmed one (an inside corner), seen
// from +X the G19 path above it (an outside corner).
TEST(View2dNcrun, CompensatedContoursAreDrawnInTheirPlane)
{
    struct TCase {
        const char *Plane;
        char Along; // the plane's axis the contour runs along first
        const char *Moves[4];
    } Cases[] = {
        {"G18",
         'X',
         {"1 4 255 0.0000 100.0000 20.0000 10.0000 100.0000 8.5000",
          "1 5 255 10.0000 100.0000 8.5000 48.5000 100.0000 8.5000",
          "1 6 255 48.5000 100.0000 8.5000 48.5000 100.0000 -0.6213",
          "1 7 255 48.5000 100.0000 -0.6213 60.0000 100.0000 -10.0000"}},
        {"G19",
         'Y',
         {"1 4 255 0.0000 100.0000 20.0000 0.0000 90.0000 11.5000",
          "1 5 255 0.0000 90.0000 11.5000 0.0000 48.5000 11.5000",
          "1 6 255 0.0000 48.5000 11.5000 0.0000 48.5000 0.6213",
          "1 7 255 0.0000 48.5000 0.6213 0.0000 40.0000 -10.0000"}},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Plane);
        const std::string A(1, C.Along);
        test::TTempDir Dir;
        const std::string Program =
            Dir.Write("contour.fnc", "G21 G90 G17 G00 X0 Y0 Z20\n"
                                     "T1 M06\n" +
                                         std::string(C.Plane) + " G00 X0 Y0 Z20\n" +
                                         "G41 G01 " + A + "10 Z10 F100\n" + "G01 " + A +
                                         "50\n" + "G01 Z0\n" + "G40 G01 " + A + "60 Z-10\n" +
                                         "M30\n");
        const std::string Command = std::string(ORV_NCRUN) + " --2d-list " + Dir.File("list.txt") +
                                    " " + Program + " > " + Dir.File("out.txt") + " 2>&1";
        ASSERT_EQ(std::system(Command.c_str()), 0) << Dir.Read("out.txt");
        const std::vector<std::string> List = Lines(Dir.File("list.txt"));
        ASSERT_EQ(List.size(), 6u) << Dir.Read("list.txt");
        const std::string Tail =
            " 0.0000 0.0000 0.0000 0.0000 0.0000 0.0000 0.0000 1.5000 0.0000";
        for (int Index = 0; Index < 4; ++Index)
            EXPECT_EQ(List[Index + 2], C.Moves[Index] + Tail);
    }
}

} // namespace
} // namespace orv
