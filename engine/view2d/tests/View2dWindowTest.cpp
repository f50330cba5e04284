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
#include "engine/view2d/ui/View2dImageView.h"

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

// A view that has its pictures painted whole at each layout, as every
// picture was before the parts were painted as they are shown.
class TWholeImageView : public TImageView2D {
public:
    using TImageView2D::TImageView2D;
    bool PaintsOnDemand() const override { return false; }
};

// A path over a 100 x 50 area that crosses itself: straight moves at
// several depths, arcs of each kind (a first one of each size drawn before
// the arc cache knows it), a full circle, a second tool.
std::vector<TDD_Type> CrossingPath()
{
    const TViewMapping Map = test::Billet(50);
    std::vector<TDD_Type> Path;
    TMovePoint At{0, 0, 5};
    auto Line = [&](uint8_t Kind, TMovePoint To, double R, TColor Colour) {
        Path.push_back(MakeStraightElement(Kind, Map, At, To, R, int(Path.size()) + 1, Colour));
        At = To;
    };
    auto Arc = [&](TArcMove Move, double R, TColor Colour) {
        Path.push_back(MakeArcElement(Map, At, Move, R, int(Path.size()) + 1, Colour));
        At = Move.End;
    };
    Line(ekRapid, {12, 8, 5}, 3, 255);
    Line(ekLinear, {12, 8, -1}, 3, 255);
    for (int I = 0; I < 12; ++I)
        Line(ekLinear, {12 + 6.3 * I, I % 2 ? 40.0 : 9.0, -1}, 3, 255);
    Arc(test::XYArc({91.3, 25, -1}, {81.3, 25, -1}, 180, 10), 3, 255);
    Arc(test::XYArc({60, 25, -2}, {75.65, 25, -2}, -360, 15.65), 3, 255);
    Arc(test::XYArc({59.9, 25.9, -2}, {50, 25, -2}, 5, 9.94), 3, 255);
    Arc(TArcMove{{40, 25, -6}, {50, 0, -4}, 90, 5, 18}, 3, 255);
    Arc(TArcMove{{39.5, 25, -6.2}, {40, 0, -5}, 4, 1, 19}, 3, 255);
    Line(ekRapid, {40, 25, 5}, 3, 255);
    for (int I = 0; I < 20; ++I) {
        Line(ekLinear, {5 + 4.5 * I, 45 - 2 * I, I % 3 ? -0.5 : 0.5}, 1.2, 65280);
        Arc(test::XYArc({7 + 4.5 * I, 43 - 2 * I, -0.5}, {6 + 4.5 * I, 44 - 2 * I, -0.5},
                        I % 2 ? 90 : -270, 1.414),
            1.2, 65280);
    }
    return Path;
}

// Parts painted as they are shown, in any order, give the pixels the whole
// painting gives: after zooming in, for each style, with and without the
// machine table, with an element highlighted.
TEST_F(View2dWindow, PartsPaintedAsShownMatchTheWholePicture)
{
    struct TCase {
        const char *Name;
        bool Outline, Solid, Centre, ToolColours, Offsets;
    } Cases[] = {
        {"outline and centre", true, false, true, true, false},
        {"solid", false, true, false, true, false},
        {"every style, one colour", true, true, true, false, false},
        {"outline and centre on the table", true, false, true, true, true},
    };
    const std::vector<TDD_Type> Path = CrossingPath();
    for (const TCase &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TGraphicSettings Settings;
        Settings.UseOutline = Case.Outline;
        Settings.UseSolid = Case.Solid;
        Settings.UseCentre = Case.Centre;
        Settings.UseToolColour = Case.ToolColours;
        auto Prepare = [&](TForm2D &Form) {
            Form.SetSettings(Settings);
            Form.AreaWidth = 110;
            Form.AreaHeight = 60;
            Form.BilletRect = {5, 5, 95, 45};
            Form.UseOffsets = Case.Offsets;
            Form.Scale = 9.7;
            Form.SetElements(Path);
            Form.HighlightLine(13); // the first arc
            ASSERT_GE(Form.Selected(), 0);
        };
        TForm2D Whole(std::make_unique<TWholeImageView>(300, 200));
        TForm2D OnDemand(std::make_unique<TImageView2D>(300, 200));
        Prepare(Whole);
        Prepare(OnDemand);
        auto &WholeView = static_cast<TImageView2D &>(*Whole.View());
        auto &PartView = static_cast<TImageView2D &>(*OnDemand.View());
        const QImage Expected = WholeView.Composite().copy();
        ASSERT_EQ(Expected.size(), QSize(1067, 582));
        // Parts whose edges cut through elements, arcs and cutter circles.
        const QRect Parts[] = {{400, 150, 300, 200}, {650, 100, 120, 333}, {0, 0, 97, 61},
                               {333, 444, 555, 111}, {1000, 500, 200, 200}};
        for (const QRect &Part : Parts) {
            const QImage &Shown = PartView.Composite(Part);
            const QRect Inside = Part & Expected.rect();
            EXPECT_TRUE(Shown.copy(Inside) == Expected.copy(Inside))
                << "part at " << Part.x() << "," << Part.y();
        }
        EXPECT_TRUE(PartView.Composite() == Expected) << "the whole picture";
    }
}

// A zoomed picture is painted as the drawing area shows it: what the area
// shows at its scroll position is that part of the whole picture.
TEST_F(View2dWindow, TheDrawingAreaShowsThePartItIsScrolledTo)
{
    Draw(DemoPocket());
    Window().show();
    TScrollPanel &Area = *Window().DrawingArea();
    Sink.Window()->LeftPress({420, 90}); // near the arc: the zoom keeps it in view
    Sink.Window()->ZoomIn();
    Sink.Window()->ZoomIn();
    for (int I = 0; I < 100 && !Area.horizontalScrollBar()->isVisible(); ++I)
        QApplication::processEvents();
    ASSERT_GT(Window().PictureWidth(), Area.ClientWidth());
    const QPoint At(Area.HorzScrollBar().Position(), Area.VertScrollBar().Position());
    const QImage Shown = Area.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect Part = QRect(At, Shown.size()) & QRect(QPoint(0, 0), Window().Composite().size());
    ASSERT_FALSE(Part.isEmpty());
    const QImage Whole = Window().Composite().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(Shown.copy(QRect(QPoint(0, 0), Part.size())) == Whole.copy(Part))
        << "shown from " << At.x() << "," << At.y();
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
