// Saved pictures of the control, byte for byte against the files in
// tests/data (ORV_UPDATE_PICTURES=1 writes them anew): the first paint,
// the draw flags the host uses, each kind of cut, markers and the probe.
// Every file is also read back by our own reader to check its layout.

#include "simcontrol/VelmaroxOCXCtrl.h"

#include "platform/tests/TempDir.h"
#include "simcontrol/render/SavedImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

namespace orv {
namespace {

std::string ReadFile(const std::string &Name)
{
    std::ifstream in(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A control drawn offscreen at W x H with the billet (0,0,-20)-(100,80,0)
// seen square on (rotation 0), a 6 mm flat-bottomed tool 1.
void Square(CVelmaroxOCXCtrl &C, int W = 160, int H = 128)
{
    C.OnDraw(W, H);
    C.SetBillet(0, 0, -20, 100, 80, 0);
    C.SetRotation(0);
    C.Redraw(dfClear | dfRender);
    C.Tool(1, 3, false, 0x00FF00);
}

void Cut(CVelmaroxOCXCtrl &C)
{
    C.Redraw(dfReplay);
    C.Redraw(dfClear | dfRender);
}

struct CPictureCase {
    const char *Name;
    std::function<void(CVelmaroxOCXCtrl &)> Draw;
};

const CPictureCase PictureCases[] = {
    {"first_paint", [](CVelmaroxOCXCtrl &c) { c.OnDraw(320, 240); }},
    {"scale_2",
     [](CVelmaroxOCXCtrl &c) {
         c.SetBillet(0, 0, -40, 100, 75, 0);
         c.OnDraw(232, 186);
         c.SetRotation(0);
         c.Redraw(dfClear | dfRender);
     }},
    {"redraw_1",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Redraw(dfClear);
     }},
    {"redraw_65",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Redraw(dfClear | dfQuick);
     }},
    {"mode_0_replayed",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Linear(10, 40, -4, 90, 40, -4);
         Cut(c);
     }},
    {"level_slot_far_wall",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Linear(10, 30, -6, 90, 30, -6);
         Cut(c);
     }},
    {"ball_slot",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Tool(2, 4, true, 0xFF00FF);
         c.Linear(10, 40, -5, 90, 40, -5);
         Cut(c);
     }},
    {"ramp",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Linear(10, 40, 0, 90, 40, -10);
         Cut(c);
     }},
    {"plunge",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Linear(50, 40, 5, 50, 40, -12);
         Cut(c);
     }},
    {"arcs_both_ways",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Arc(35, 40, -5, 15, 0, 180, false);
         c.Arc(75, 40, -5, 15, 0, 180, true);
         Cut(c);
     }},
    {"full_circle",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Arc(50, 40, -5, 20, 90, 90, false);
         Cut(c);
     }},
    {"rapid",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Rapid = true;
         c.Linear(10, 40, -3, 90, 40, -3);
         Cut(c);
     }},
    {"markers_mode_1_and_2",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.Mode = 1;
         c.Linear(10, 20, -2, 40, 20, -2);
         c.Mode = 2;
         c.Linear(40, 20, -2, 40, 60, -2);
     }},
    {"probe_hole",
     [](CVelmaroxOCXCtrl &c) {
         Square(c);
         c.RightButtonDown(80, 60);
         c.Redraw(dfClear | dfRender);
     }},
    {"width_101",
     [](CVelmaroxOCXCtrl &c) {
         Square(c, 101, 80);
         c.Linear(10, 40, -4, 90, 40, -4);
         Cut(c);
     }},
};

class SimPictureTest : public ::testing::TestWithParam<CPictureCase> {};

TEST_P(SimPictureTest, EqualsTheExpectedFile)
{
    const CPictureCase &c = GetParam();
    test::TTempDir dir;
    CVelmaroxOCXCtrl ctrl;
    c.Draw(ctrl);
    const std::string saved = dir.File("picture.bmp");
    ASSERT_TRUE(ctrl.Save(saved));
    const std::string expected =
        std::string(ORV_SOURCE_DIR) + "/simcontrol/tests/data/" + c.Name + ".bmp";
    if (std::getenv("ORV_UPDATE_PICTURES"))
        std::filesystem::copy_file(saved, expected,
                                   std::filesystem::copy_options::overwrite_existing);
    CSavedBitmap bmp;
    std::string error;
    ASSERT_TRUE(ReadSavedBitmap(expected, bmp, error)) << error;
    EXPECT_EQ(bmp.Colours.size(), 226u);
    EXPECT_EQ(ReadFile(saved), ReadFile(expected));
}

INSTANTIATE_TEST_SUITE_P(Pictures, SimPictureTest, ::testing::ValuesIn(PictureCases),
                         [](const auto &Info) { return std::string(Info.param.Name); });

} // namespace
} // namespace orv
