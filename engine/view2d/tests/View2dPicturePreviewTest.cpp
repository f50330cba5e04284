// The open dialog's preview rules: which companion picture is shown and
// where a picture goes in the preview box.

#include "engine/view2d/PicturePreview.h"

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(View2dPicturePreview, CompanionPictureInOrderBmpBm2Bm3)
{
    test::TTempDir Dir;
    const std::string Program = Dir.Write("part.fnc", "%\n");
    EXPECT_EQ(CompanionPicture(Program), "");
    Dir.Write("part.bm3", "x");
    EXPECT_EQ(CompanionPicture(Program), Dir.File("part.bm3"));
    Dir.Write("part.bm2", "x");
    EXPECT_EQ(CompanionPicture(Program), Dir.File("part.bm2")) << "bm2 without a bmp";
    Dir.Write("part.bmp", "x");
    EXPECT_EQ(CompanionPicture(Program), Dir.File("part.bmp"));
    Dir.Write("noext", "x");
    Dir.Write("noext.bmp", "x");
    EXPECT_EQ(CompanionPicture(Dir.File("noext")), "") << "a name without extension";
}

TEST(View2dPicturePreview, PictureFitsTheBox)
{
    struct TCase {
        const char *Name;
        int W, H;
        TPixelRect Expected;
    } Cases[] = {
        {"small: centred at its size", 50, 20, {25, 40, 75, 60}},
        {"exactly the box", 100, 100, {0, 0, 100, 100}},
        {"twice as wide as high", 400, 200, {0, 0, 100, 50}},
        {"taller than wide", 100, 400, {0, 0, 25, 100}},
        {"one pixel too wide", 101, 10, {0, 0, 100, 9}},
        {"no picture", 0, 0, {}},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(PreviewRect(C.W, C.H, 100, 100), C.Expected);
    }
    EXPECT_EQ(PictureSizeText(640, 480), " (640x480)");
}

} // namespace
} // namespace orv
