// Rules of the drawing window: zoom and its menu, picking and the element
// dialog, line highlight, saving pictures and the cutter animation.

#include "engine/view2d/DD_Draw_Form.h"

#include "engine/view2d/tests/View2dFixture.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

class View2dForm : public test::TView2dFixture {
protected:
    View2dForm() : Form(std::make_unique<test::TRecordingView>(Record))
    {
        Form.AreaWidth = 100;
        Form.AreaHeight = 50;
        Form.Layout(2);
    }

    TDD_Type Line(double X1, double Y1, double X2, double Y2, int LineNumber, double Z = -1)
    {
        return MakeStraightElement(ekLinear, test::Billet(50), {X1, Y1, Z}, {X2, Y2, Z}, 1,
                                   LineNumber, 0);
    }

    test::TViewRecord Record;
    TForm2D Form;
};

TEST_F(View2dForm, LayoutSizesThePictureForTheScale)
{
    EXPECT_EQ(Record.Width, 200);
    EXPECT_EQ(Record.Height, 100);
    ASSERT_FALSE(Record.Background.Shapes.empty());
    EXPECT_EQ(Record.Background.Shapes.back(), "fill 0,0-200,100 c9546079");
}

TEST_F(View2dForm, ZoomMenuFollowsTheScale)
{
    struct TCase {
        const char *Name;
        double Scale, Fit;
        bool In, Out;
    } Cases[] = {
        {"at the fit scale", 1, 1, true, false},
        {"just below 55", 54.9, 1, true, true},
        {"from 55", 55, 1, false, true},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        Form.Scale = C.Scale;
        Form.FitScale = C.Fit;
        EXPECT_EQ(Form.CanZoomIn(), C.In);
        EXPECT_EQ(Form.CanZoomOut(), C.Out);
    }
    Form.FitScale = 1;
    Form.Scale = 37;
    Form.ZoomIn();
    EXPECT_DOUBLE_EQ(Form.Scale, 55.5);
    Form.ZoomIn();
    EXPECT_DOUBLE_EQ(Form.Scale, 55.5) << "no step from 55.5 (above 38 times the fit scale)";
    Form.ShowAll();
    EXPECT_DOUBLE_EQ(Form.Scale, 1);
    Form.ZoomOut();
    EXPECT_DOUBLE_EQ(Form.Scale, 1);
}

TEST_F(View2dForm, NoZoomStepToPicturesTooBigToKeep)
{
    // 100 x 50 mm: at scale 3 the pictures are 300 x 150 pixels.
    Record.MaxPicturePixels = 300 * 150;
    Form.Scale = 2;
    EXPECT_TRUE(Form.CanZoomIn());
    Form.ZoomIn();
    EXPECT_DOUBLE_EQ(Form.Scale, 3) << "exactly the budget";
    EXPECT_FALSE(Form.CanZoomIn()) << "\"Zoom In\" disabled";
    Form.ZoomIn();
    EXPECT_DOUBLE_EQ(Form.Scale, 3) << "one step more would pass it";
    EXPECT_EQ(Record.Width, 300);
}

TEST_F(View2dForm, PressPicksAndObjectDataOpensTheDialog)
{
    Form.AddElement(Line(10, 40, 20, 40, 3));
    Form.AddElement(Line(20, 40, 20, 30, 4));
    EXPECT_FALSE(Form.CanShowObjectData());
    Form.LeftPress({2 * 20 + 9, 2 * 10});
    EXPECT_EQ(Form.Selected(), 1);
    EXPECT_TRUE(Form.CanShowObjectData());
    int EditLine = -1;
    Form.OnEditSource = [&](int L) { EditLine = L; };
    Record.InfoAnswer = TElementInfoResult::EditSource;
    Form.ObjectData();
    EXPECT_EQ(Record.InfoShown, 1);
    EXPECT_EQ(EditLine, 3) << "the element's line number - 1";

    Form.PickingAllowed = false;
    Form.LeftPress({0, 0});
    EXPECT_EQ(Form.Selected(), 1) << "no picking while running";
    Form.PickingAllowed = true;
    Form.LeftPress({199, 99});
    EXPECT_EQ(Form.Selected(), -1);
    Form.ObjectData();
    ASSERT_EQ(Msgs.Log().size(), 1u);
    EXPECT_EQ(Msgs.Log()[0].Text, "No Drawing Elements in range");
}

TEST_F(View2dForm, HighlightLineFindsTheFirstElementOfTheLine)
{
    Form.AddElement(Line(10, 40, 20, 40, 3));
    Form.AddElement(Line(20, 40, 20, 30, 5));
    Form.AddElement(Line(20, 30, 10, 30, 5));
    Form.HighlightLine(4);
    EXPECT_EQ(Form.Selected(), 1);
    EXPECT_TRUE(Msgs.Log().empty());
    Form.HighlightLine(5);
    EXPECT_EQ(Form.Selected(), -1);
    ASSERT_EQ(Msgs.Log().size(), 1u);
    EXPECT_EQ(Msgs.Log()[0].Text, "No Drawing Elements drawn for that Line");
}

TEST_F(View2dForm, PicturesAreSavedOnlyWithANameAndAPicture)
{
    Form.SetCurrentFilename(Dir.File("PART.FNC"));
    EXPECT_EQ(Form.PictureName, Dir.File("PART.bm2"));
    EXPECT_TRUE(Form.CanSavePicture());
    EXPECT_FALSE(Form.SavePicture(""));
    EXPECT_FALSE(Form.SavePicture("/no-such-drive-orv/x.bm2"));
    EXPECT_TRUE(Form.SavePicture(Form.PictureName));
    Form.AutoSavePicture();
    EXPECT_EQ(Record.Saved.size(), 1u) << "Auto Save Bitmap? is off";
    Form.AutoSaveBitmap = true;
    Form.AutoSavePicture();
    EXPECT_EQ(Record.Saved, (std::vector<std::string>{Form.PictureName, Form.PictureName}));
    Form.AreaWidth = 0;
    Form.Layout(1);
    EXPECT_FALSE(Form.SavePicture(Form.PictureName)) << "an empty picture";
}

TEST_F(View2dForm, CutterAtSlowestSpeedStillEnds)
{
    TGraphicSettings Settings = Form.Settings();
    Settings.ShowCutter = true;
    Settings.CutterSpeed = 1;
    Form.SetSettings(Settings);
    Form.AddElement(Line(0, 40, 10, 40, 1));
    EXPECT_FALSE(Form.Animating());
    // 19 steps of half a millimetre short of the end, the symbol drawn 6
    // times a step (3 shapes each), all with NotXor so that nothing stays.
    EXPECT_EQ(Record.Background.Shapes.size(), 1u + 19 * 6 * 3);
    EXPECT_GE(Loop.NowMs(), 19 * 2 * 100) << "two timer ticks a step";
    // Between the ticks the animation sleeps in the event loop: one wait a
    // tick, and no serving in a loop, which would spin a core.
    EXPECT_EQ(Loop.Waits, 19 * 2);
    EXPECT_EQ(Loop.Serves, 0) << "the animation served messages in a loop";
}

TEST_F(View2dForm, DwellAnimationEndsWhenTheRunStops)
{
    int Polls = 0;
    Form.AnimateCutterUntil({10, 10}, 2, [&] {
        if (++Polls == 3)
            Form.StopAnimation();
        return false;
    });
    EXPECT_EQ(Polls, 3);
    EXPECT_FALSE(Form.Animating());
}

TEST_F(View2dForm, PointerHintInDisplayUnits)
{
    EXPECT_EQ(Form.PointerHint({20, 100}), "X=10.000,Y=0.000");
    Form.SetUnits(Inch);
    EXPECT_EQ(Form.PointerHint({127, 0}), "X=2.5000,Y=1.9685");
}

} // namespace
} // namespace orv
