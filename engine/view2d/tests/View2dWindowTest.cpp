// The 2D window's pictures: known programs drawn through the 2D output are
// compared pixel for pixel with reviewed pictures in tests/data/view2d
// (a missing one is written there for review and the test fails); the
// cutter symbol leaves no trace; saved pictures are bitmaps.

#include "engine/view2d/Draw_2D.h"

#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/tests/View2dFixture.h"
#include "components/scpanel/ui/ScPanel.h"
#include "engine/view2d/View2dGeometry.h"
#include "engine/view2d/ui/Form2DWindow.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::MoveRecord;

const std::string ExpectedFolder = std::string(ORV_SOURCE_DIR) + "/engine/view2d/tests/data/";

TCNC_data ArcTo(double X, double Y, double I, double J, double Sweep, double R, int Line)
{
    TCNC_data Data = MoveRecord(Sweep > 0 ? 2 : 3, X, Y, NoValue, Line);
    Data.I = I;
    Data.J = J;
    Data.Sweep = Sweep;
    Data.Radius = R;
    return Data;
}

// The demo pocket: rapid over, plunge, three sides, a G02 corner, back home.
std::vector<TCNC_data> DemoPocket()
{
    return {MoveRecord(0, 0, 0, 5, 5),         MoveRecord(1, NoValue, NoValue, -1, 6),
            MoveRecord(1, 40, 0, NoValue, 7),  MoveRecord(1, 40, 30, NoValue, 8),
            ArcTo(30, 40, 40, 40, 90, 10, 9), MoveRecord(1, 0, 40, NoValue, 10),
            MoveRecord(1, 0, 0, NoValue, 11),  MoveRecord(0, NoValue, NoValue, 5, 12),
            MoveRecord(0, 60, 10, 5, 13),      ArcTo(70, 20, 60, 20, -90, 10, 14),
            MoveRecord(1, 80, 45, -2, 15)};
}

class View2dWindow : public test::TView2dFixture {
protected:
    void Draw(const std::vector<TCNC_data> &Records, double XSize = 100, double YSize = 50)
    {
        Sink.ViewFactory = [] { return std::make_unique<TForm2DWindow>(); };
        Sink.Initialise();
        Sink.SetBillet(0, 0, XSize, YSize, 20);
        Sink.Start();
        for (TCNC_data Data : Records)
            Sink.Execute(Data);
    }
    TForm2DWindow &Window() { return *static_cast<TForm2DWindow *>(Sink.Window()->View()); }

    // The composite against the reviewed picture Name.png.
    void ExpectPicture(const std::string &Name)
    {
        const QImage Actual = Window().Composite().convertToFormat(QImage::Format_RGB32);
        const QString Path = QString::fromStdString(ExpectedFolder + Name + ".png");
        QImage Expected;
        if (!Expected.load(Path)) {
            Actual.save(Path, "PNG");
            FAIL() << "no reviewed picture: written " << Path.toStdString() << " for review";
        }
        Expected = Expected.convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(Actual.size(), Expected.size());
        int Different = 0;
        for (int Y = 0; Y < Actual.height(); ++Y) {
            for (int X = 0; X < Actual.width(); ++X)
                Different += Actual.pixel(X, Y) != Expected.pixel(X, Y) ? 1 : 0;
        }
        if (Different > 0)
            Actual.save(QString::fromStdString(Dir.File(Name + ".actual.png")), "PNG");
        EXPECT_EQ(Different, 0) << "pixels differ; the picture drawn is in " << Dir.Path();
    }

    void WriteSettings(const std::string &Lines)
    {
        Dir.Write("Tarnwick.ini", "[Graphics]\n" + Lines);
    }

    TDraw_2D Sink;
};

TEST_F(View2dWindow, DemoPocketOutlineAndCentreLines)
{
    Draw(DemoPocket());
    EXPECT_EQ(Window().PictureWidth(), 600);
    EXPECT_EQ(Window().PictureHeight(), 300);
    ExpectPicture("demo_outline");
}

TEST_F(View2dWindow, DemoPocketSolid)
{
    WriteSettings("use outline=0\nuse solid=1\nuse centre=0\n");
    Draw(DemoPocket());
    ExpectPicture("demo_solid");
}

TEST_F(View2dWindow, RedrawAfterZoomGivesTheLiveDrawing)
{
    Draw(DemoPocket());
    const QImage Live = Window().Composite().copy();
    Sink.Window()->ZoomIn();
    Sink.Window()->ShowAll();
    EXPECT_TRUE(Window().Composite() == Live);
}

TEST_F(View2dWindow, PictureHeldElsewhereKeepsItsPixels)
{
    Draw(DemoPocket());
    const QImage Held = Window().Composite(); // shares the pixels until either changes
    const QImage Before = Held.copy();
    TCNC_data Line = MoveRecord(1, 90, 10, -1, 20);
    Sink.Execute(Line);
    EXPECT_FALSE(Window().Composite() == Before) << "the new element is shown";
    EXPECT_TRUE(Held == Before);
}

// Zooming in keeps the point pressed where it was in the drawing area: the
// area's range is the picture, its position the anchored one, and the paint
// box sits at minus the position.
TEST_F(View2dWindow, ZoomScrollsTheDrawingAreaToThePress)
{
    Draw(DemoPocket());
    Window().show();
    TScrollPanel &Area = *Window().DrawingArea();
    TPanelScrollBar &H = Area.HorzScrollBar();
    TPanelScrollBar &V = Area.VertScrollBar();
    EXPECT_EQ(H.Range(), 600);
    EXPECT_EQ(V.Range(), 300);
    auto Settle = [&] {
        for (int I = 0; I < 100 && !(Area.horizontalScrollBar()->isVisible() &&
                                     Area.verticalScrollBar()->isVisible());
             ++I)
            QApplication::processEvents();
    };
    Sink.Window()->ZoomIn();
    Settle();
    ASSERT_TRUE(Area.horizontalScrollBar()->isVisible()) << "the picture outgrew the area";

    const int PressX = H.Position() + Area.ClientWidth() * 3 / 4;
    const int PressY = V.Position() + Area.ClientHeight() / 4;
    Sink.Window()->LeftPress({PressX, PressY});
    const double AnchorX = double(PressX) / Window().PictureWidth();
    const double AnchorY = double(PressY) / Window().PictureHeight();
    Sink.Window()->ZoomIn();
    Settle();
    EXPECT_EQ(H.Range(), Window().PictureWidth());
    EXPECT_EQ(V.Range(), Window().PictureHeight());
    EXPECT_GT(H.Range(), 1200);
    EXPECT_EQ(H.Position(), AnchoredScrollPosition(H.Range(), Area.ClientWidth(), AnchorX));
    EXPECT_EQ(V.Position(), AnchoredScrollPosition(V.Range(), Area.ClientHeight(), AnchorY));
    EXPECT_EQ(Area.horizontalScrollBar()->value(), H.Position());
    auto *Box = Window().findChild<QWidget *>("PaintBox");
    ASSERT_TRUE(Box);
    EXPECT_EQ(Box->pos(), QPoint(-H.Position(), -V.Position()));

    Sink.Window()->ShowAll();
    EXPECT_EQ(H.Range(), 600);
    EXPECT_LE(H.Position(), std::max(0, 600 - Area.ClientWidth())) << "within the smaller picture";
    EXPECT_EQ(Box->pos(), QPoint(-H.Position(), -V.Position()));
}

TEST_F(View2dWindow, HighlightedElement)
{
    Draw(DemoPocket());
    Sink.Window()->LeftPress({40 * 6 + 3, 50 * 6 - 2});
    ASSERT_EQ(Sink.Window()->Selected(), 3) << "the side from (40, 0) up";
    ExpectPicture("demo_highlight");
}

TEST_F(View2dWindow, CutterSymbolLeavesNoTrace)
{
    WriteSettings("show cutter=1\ncutter speed=8\n");
    Draw({});
    const QImage Billet = Window().Composite().copy();
    TCNC_data Line = MoveRecord(1, 30, 20, -1, 2);
    Sink.Execute(Line);
    EXPECT_FALSE(Window().Composite() == Billet) << "the element is drawn";
    // The cutter went over the background with NotXor: without the drawing
    // the background is the billet again.
    Window().ClearDrawing();
    Window().Present(false, {});
    EXPECT_TRUE(Window().Composite() == Billet);
}

TEST_F(View2dWindow, SavedPictureIsABitmap)
{
    Draw(DemoPocket());
    const std::string File = Dir.File("demo.bm2");
    ASSERT_TRUE(Sink.Window()->SavePicture(File));
    QImage Saved;
    ASSERT_TRUE(Saved.load(QString::fromStdString(File), "BMP"));
    EXPECT_TRUE(Saved.convertToFormat(QImage::Format_RGB32) ==
                Window().Composite().convertToFormat(QImage::Format_RGB32));
}

TEST_F(View2dWindow, StatusBarAndPopup)
{
    Draw(DemoPocket());
    EXPECT_EQ(Window().StatusText(0).toStdString(), "X= 80.000");
    EXPECT_EQ(Window().StatusText(2).toStdString(), "Z= -2.000");
    Window().UpdatePopup();
    const QList<QAction *> Items = Window().PopupMenu()->actions();
    ASSERT_GE(Items.size(), 5);
    EXPECT_EQ(Items[0]->text().toStdString(), "Zoom In");
    EXPECT_TRUE(Items[0]->isEnabled());
    EXPECT_FALSE(Items[1]->isEnabled()) << "Zoom Out at the fit scale";
    EXPECT_FALSE(Items[4]->isEnabled()) << "Object Data... with nothing highlighted";
}

// The window hands the paint box's mouse and the datum edits' typing to
// the form: grab the datum symbol, drag it, drop it; type a datum.
TEST_F(View2dWindow, DatumFollowsTheMouseAndTheEdits)
{
    TForm2D Form(std::make_unique<TForm2DWindow>());
    auto &W = *static_cast<TForm2DWindow *>(Form.View());
    test::UseDatumTable(Form); // datum at pixel (40, 80)
    auto *Box = W.findChild<QWidget *>("PaintBox");
    auto *EditX = W.findChild<QDoubleSpinBox *>("DatumX");
    auto *EditY = W.findChild<QDoubleSpinBox *>("DatumY");
    ASSERT_TRUE(Box && EditX && EditY);
    EXPECT_DOUBLE_EQ(EditX->value(), -80);
    EXPECT_FALSE(Form.DatumEditPending()) << "values the program puts in are no typing";

    auto Mouse = [&](QEvent::Type Type, QPoint At) {
        const Qt::MouseButton Button = Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent Event(Type, QPointF(At), QPointF(Box->mapToGlobal(At)), Button, Button,
                          Qt::NoModifier);
        QApplication::sendEvent(Box, &Event);
    };
    Mouse(QEvent::MouseButtonPress, {42, 78});
    ASSERT_TRUE(Form.DraggingDatum());
    EXPECT_EQ(Box->cursor().shape(), Qt::BitmapCursor) << "the datum rides on the pointer";
    Mouse(QEvent::MouseMove, {70, 30});
    EXPECT_DOUBLE_EQ(EditX->value(), -65);
    EXPECT_DOUBLE_EQ(EditY->value(), -15);
    Mouse(QEvent::MouseButtonPress, {70, 30});
    EXPECT_FALSE(Form.DraggingDatum());
    EXPECT_NE(Box->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(Form.DatumPixel(), (TPixel{70, 30}));

    EditX->setValue(-60);
    EditY->setValue(-20);
    EXPECT_TRUE(Form.DatumEditPending());
    Loop.Advance(300);
    EXPECT_EQ(Form.DatumPixel(), (TPixel{80, 40}));
}

} // namespace
} // namespace orv
