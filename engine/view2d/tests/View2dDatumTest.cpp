// The datum of the drawing window with X,Y offsets: grabbing the symbol,
// dragging it with the edits following, dropping it on a whole millimetre,
// the edits' settling time, display units and the running state.

#include "engine/view2d/DD_Draw_Form.h"

#include "engine/view2d/tests/View2dFixture.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

// A 100 x 50 mm table at 2 pixels per mm (200 x 100 pixels) whose travel
// starts at X -100, Y -50; the datum at machine (-80, -40), that is 20, 10 mm
// from the table's bottom-left corner: pixel (40, 80).
class View2dDatum : public test::TView2dFixture {
protected:
    View2dDatum() : Form(std::make_unique<test::TRecordingView>(Record))
    {
        test::UseDatumTable(Form);
    }

    void ExpectDatum(double X, double Y)
    {
        EXPECT_NEAR(static_cast<double>(Form.DatumX), X, 1e-9);
        EXPECT_NEAR(static_cast<double>(Form.DatumY), Y, 1e-9);
    }

    // An element picked at view point (X, Y) mm.
    static TDD_Type ElementAt(double X, double Y)
    {
        return TDD_Type(ekLinear, X, Y, -1, X + 5, Y, -1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 7, 0);
    }

    test::TViewRecord Record;
    TForm2D Form;
};

TEST_F(View2dDatum, PressNearTheSymbolGrabsIt)
{
    struct TCase {
        const char *Name;
        int Dx, Dy;
        bool Grabs;
    } Cases[] = {
        {"on the centre", 0, 0, true},
        {"8 pixels right", 8, 0, true},
        {"8 pixels up", 0, -8, true},
        {"5 and 6 pixels off (7.8 away)", 5, 6, true},
        {"9 pixels right", 9, 0, false},
        {"9 pixels down", 0, 9, false},
        {"6 and 6 pixels off (8.5 away)", 6, 6, false},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        test::TViewRecord R;
        TForm2D F(std::make_unique<test::TRecordingView>(R));
        test::UseDatumTable(F);
        ASSERT_EQ(F.DatumPixel(), (TPixel{40, 80}));
        F.LeftPress({40 + C.Dx, 80 + C.Dy});
        EXPECT_EQ(F.DraggingDatum(), C.Grabs);
        EXPECT_EQ(R.DatumPointer, C.Grabs) << "the pointer shows the datum while dragged";
        EXPECT_EQ(R.DatumShown, !C.Grabs) << "no symbol on the picture while dragged";
    }
}

TEST_F(View2dDatum, NoGrabWithoutOffsetsOrWhileRunning)
{
    Form.UseOffsets = false;
    Form.LeftPress({40, 80});
    EXPECT_FALSE(Form.DraggingDatum()) << "without X,Y offsets";
    Form.UseOffsets = true;
    Form.SetRunning(true);
    EXPECT_FALSE(Record.DatumEditsEnabled);
    Form.LeftPress({40, 80});
    EXPECT_FALSE(Form.DraggingDatum()) << "while running";
    Form.SetRunning(false);
    EXPECT_TRUE(Record.DatumEditsEnabled);
    Form.LeftPress({40, 80});
    EXPECT_TRUE(Form.DraggingDatum());
}

TEST_F(View2dDatum, DragMovesTheEditsThenThePressDropsTheDatum)
{
    Form.AddElement(ElementAt(35, 15)); // picked at pixel (70, 30)
    Form.AddElement(ElementAt(80, 40)); // picked at pixel (160, 80)
    Form.LeftPress({40, 80});
    ASSERT_TRUE(Form.DraggingDatum());

    Form.PointerMove({70, 30});
    EXPECT_DOUBLE_EQ(Record.DatumEditX, 70 / 2.0 - 100);
    EXPECT_DOUBLE_EQ(Record.DatumEditY, (100 - 30) / 2.0 - 50);
    EXPECT_DOUBLE_EQ(Form.DatumShownX, -65);
    EXPECT_DOUBLE_EQ(Form.DatumShownY, -15);
    ExpectDatum(20, 10); // the datum itself waits for the drop

    Form.LeftPress({71, 31});
    EXPECT_FALSE(Form.DraggingDatum());
    EXPECT_FALSE(Record.DatumPointer) << "pointer restored";
    EXPECT_TRUE(Record.DatumShown) << "the symbol is back on the picture";
    ExpectDatum(36, 34); // nearest(35.5), nearest(50 - 15.5): halves to even
    EXPECT_EQ(Form.Selected(), -1) << "the dropping press picks nothing";

    Form.PointerMove({10, 10});
    EXPECT_DOUBLE_EQ(Form.DatumShownX, -65) << "moves after the drop leave the datum";
    Form.LeftPress({160, 80});
    EXPECT_EQ(Form.Selected(), 1) << "later presses pick again";
}

TEST_F(View2dDatum, DragInInches)
{
    Form.SetUnits(Inch);
    EXPECT_DOUBLE_EQ(Record.DatumEditX, -3.1496) << "SetUnits shows the datum in inches";
    EXPECT_DOUBLE_EQ(Record.DatumEditY, -1.5748);
    Form.LeftPress({40, 80});
    Form.PointerMove({70, 30}); // -65, -15 mm
    EXPECT_DOUBLE_EQ(Record.DatumEditX, -2.5591);
    EXPECT_DOUBLE_EQ(Record.DatumEditY, -0.5906);
    EXPECT_NEAR(Form.DatumShownX, -2.5591 * 25.4, 1e-9);
    EXPECT_NEAR(Form.DatumShownY, -0.5906 * 25.4, 1e-9);
    Form.SetUnits(Metric);
    EXPECT_DOUBLE_EQ(Record.DatumEditX, -65.0) << "back in millimetres, two decimals";
}

TEST_F(View2dDatum, TypingSettlesFor300MillisecondsThenMovesTheDatumOnce)
{
    Form.DatumEdited(-70, -30);
    Loop.Advance(200);
    Form.DatumEdited(-60, -20); // starts the wait again
    Loop.Advance(299);
    ExpectDatum(20, 10);
    EXPECT_TRUE(Form.DatumEditPending());
    const int Presents = Record.Presents;
    Loop.Advance(1);
    ExpectDatum(40, 30);
    EXPECT_DOUBLE_EQ(Form.DatumShownX, -60);
    EXPECT_DOUBLE_EQ(Form.DatumShownY, -20);
    EXPECT_EQ(Record.Presents, Presents + 1);
    Loop.Advance(1000);
    EXPECT_EQ(Record.Presents, Presents + 1) << "the timer fires once";
    EXPECT_FALSE(Form.DatumEditPending());
}

TEST_F(View2dDatum, TypedInchesAreMillimetresInside)
{
    Form.SetUnits(Inch);
    Form.DatumEdited(1, -2);
    Loop.Advance(300);
    EXPECT_DOUBLE_EQ(Form.DatumShownX, 25.4);
    EXPECT_DOUBLE_EQ(Form.DatumShownY, -50.8);
    ExpectDatum(125.4, -0.8);

    Form.DatumEdited(2, -2);
    Form.SetUnits(Metric);
    EXPECT_DOUBLE_EQ(Form.DatumShownX, 50.8) << "typed in inches, applied before the change";
    EXPECT_DOUBLE_EQ(Record.DatumEditX, 50.8);
    EXPECT_FALSE(Form.DatumEditPending());
}

TEST_F(View2dDatum, TypingIsIgnoredWhileDragging)
{
    Form.LeftPress({40, 80});
    Form.DatumEdited(0, 0);
    EXPECT_FALSE(Form.DatumEditPending());
    Loop.Advance(300);
    ExpectDatum(20, 10);
}

TEST_F(View2dDatum, StartOfARunSettlesTheDatum)
{
    Form.DatumEdited(-60, -20);
    Form.SetRunning(true);
    ExpectDatum(40, 30); // typed just before the start: the run draws on it
    EXPECT_FALSE(Form.DatumEditPending());

    Form.SetRunning(false);
    Form.LeftPress(Form.DatumPixel());
    ASSERT_TRUE(Form.DraggingDatum());
    Form.PointerMove({10, 10});
    Form.SetRunning(true);
    EXPECT_FALSE(Form.DraggingDatum()) << "a run ends the drag";
    EXPECT_FALSE(Record.DatumPointer);
    ExpectDatum(40, 30);
}

} // namespace
} // namespace orv
