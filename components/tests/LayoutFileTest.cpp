// Tool-window layouts in ini files: the exact text written, a save and
// restore round trip, sections that are skipped, defaults and error texts.
#include "ToolbarTestSupport.h"

#include "components/toolbar/ui/TbTlbr.h"
#include "components/toolbar/ui/TbTlwn.h"
#include "platform/tests/TempDir.h"

#include <fstream>

namespace orv {
namespace {

std::string ReadFile(const std::string &Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A main window as the shell builds it: three docks and six tool windows.
struct TLayoutForm {
    std::unique_ptr<QWidget> Form = std::make_unique<QWidget>();
    TDock *Top, *Left, *Fixed;
    TToolbar *FileBar, *RunBar, *ViewBar, *EditBar, *StatusBar;
    TToolWindow *Coords;

    TLayoutForm()
    {
        Form->setGeometry(100, 100, 600, 400);
        Form->show();
        Top = Dock("TopDock", dpTop);
        Left = Dock("LeftDock", dpLeft);
        Fixed = Dock("FixedDock", dpBottom);
        Fixed->SetAllowDrag(false);
        FileBar = Bar("FileBar", 3, false);
        RunBar = Bar("RunBar", 2, true);
        ViewBar = Bar("ViewBar", 2, false);
        EditBar = Bar("EditBar", 2, false);
        Coords = new TToolWindow(Form.get());
        Coords->setObjectName("Coords");
        StatusBar = Bar("StatusBar", 1, false);
        StatusBar->SetDockRow(0);
        StatusBar->SetDockPos(0);
        StatusBar->SetDockedTo(Fixed);
    }
    TDock *Dock(const char *Name, TDockPosition P)
    {
        auto *d = new TDock(Form.get(), P);
        d->setObjectName(Name);
        return d;
    }
    TToolbar *Bar(const char *Name, int Buttons, bool WithSeparator)
    {
        auto *bar = new TToolbar(Form.get());
        bar->setObjectName(Name);
        for (int i = 0; i < Buttons; ++i)
            new TToolbarButton(bar);
        if (WithSeparator) {
            new TToolbarSep(bar);
            new TToolbarButton(bar);
        }
        return bar;
    }
    // The placement the operator left behind.
    void Arrange()
    {
        FileBar->SetDockRow(0);
        FileBar->SetDockPos(0);
        FileBar->SetDockedTo(Top);
        RunBar->SetFloatRightX(54);
        RunBar->IconSize = 1;
        RunBar->ShowCaption = true;
        RunBar->SetFloatingTopLeft(QPoint(500, 350));
        RunBar->SetDockedTo(nullptr);
        ViewBar->SetDockRow(0);
        ViewBar->SetDockPos(0);
        ViewBar->SetDockedTo(Left);
        EditBar->SetDockRow(0);
        EditBar->SetDockPos(200);
        EditBar->IconSize = 0;
        EditBar->ShowCaption = true;
        EditBar->SetDockedTo(Top);
        Coords->SetFloatingTopLeft(QPoint(200, 420));
        Coords->SetDockedTo(nullptr);
        Coords->SetClientAreaWidth(80);
        Coords->SetClientAreaHeight(60);
        Coords->SetVisible(false);
    }
};

class LayoutFile : public test::ToolbarWidgetTest {
protected:
    std::string Expected() const
    {
        return ReadFile(ORV_SOURCE_DIR "/components/tests/data/toolbar_layout.ini");
    }
    orv::test::TTempDir Dir;
};

TEST_F(LayoutFile, SavedTextIsExact)
{
    TLayoutForm a;
    a.Arrange();
    const std::string file = Dir.File("layout.ini");
    SaveToolWindowPositions(a.Form.get(), file);
    EXPECT_EQ(ReadFile(file), Expected());
}

void ExpectSamePlacement(TCustomToolWindow *A, TCustomToolWindow *B)
{
    SCOPED_TRACE(A->objectName().toStdString());
    EXPECT_EQ(A->DockedTo() ? A->DockedTo()->objectName() : "",
              B->DockedTo() ? B->DockedTo()->objectName() : "");
    EXPECT_EQ(A->Floating(), B->Floating());
    EXPECT_EQ(A->Visible(), B->Visible());
    EXPECT_EQ(A->DockRow(), B->DockRow());
    EXPECT_EQ(A->DockPos(), B->DockPos());
    EXPECT_EQ(A->FloatingTopLeft(), B->FloatingTopLeft());
    EXPECT_EQ(A->IconSize, B->IconSize);
    EXPECT_EQ(A->ShowCaption, B->ShowCaption);
    if (A->Visible())
        EXPECT_EQ(A->geometry(), B->geometry());
    else
        EXPECT_EQ(A->size(), B->size());
}

TEST_F(LayoutFile, RoundTripRestoresThePlacementArrangingEachDockOnce)
{
    TLayoutForm a;
    a.Arrange();
    const std::string file = Dir.File("layout.ini");
    SaveToolWindowPositions(a.Form.get(), file);

    TLayoutForm b;
    const int topBefore = b.Top->LayoutCount();
    const int fixedBefore = b.Fixed->LayoutCount();
    LoadToolWindowPositions(b.Form.get(), file);
    EXPECT_EQ(b.Top->LayoutCount(), topBefore + 1) << "two toolbars, one arrangement";
    EXPECT_EQ(b.Fixed->LayoutCount(), fixedBefore) << "nothing changed there";

    ExpectSamePlacement(a.FileBar, b.FileBar);
    ExpectSamePlacement(a.RunBar, b.RunBar);
    ExpectSamePlacement(a.ViewBar, b.ViewBar);
    ExpectSamePlacement(a.EditBar, b.EditBar);
    ExpectSamePlacement(a.Coords, b.Coords);
    ExpectSamePlacement(a.StatusBar, b.StatusBar);
    EXPECT_EQ(b.RunBar->FloatRightX(), 54);
    EXPECT_EQ(b.Coords->ClientAreaHeight(), 60);

    const std::string again = Dir.File("again.ini");
    SaveToolWindowPositions(b.Form.get(), again);
    EXPECT_EQ(ReadFile(again), Expected());
}

TEST_F(LayoutFile, OtherRevisionsAndMissingSectionsLeaveTheDesign)
{
    TLayoutForm f;
    f.FileBar->SetDockedTo(f.Top);
    const std::string file =
        Dir.Write("old.ini", "[FileBar]\r\nRev=1\r\nVisible=0\r\nDockedTo=+\r\n");
    LoadToolWindowPositions(f.Form.get(), file);
    EXPECT_EQ(f.FileBar->DockedTo(), f.Top);
    EXPECT_TRUE(f.FileBar->Visible());
    EXPECT_FALSE(f.RunBar->DockedTo());
    EXPECT_FALSE(f.RunBar->Floating());
}

TEST_F(LayoutFile, UnknownOrFixedDockRestoresOnlyVisible)
{
    TLayoutForm f;
    f.FileBar->SetDockedTo(f.Top);
    f.EditBar->SetDockedTo(f.Top);
    const std::string file = Dir.Write(
        "gone.ini", "[FileBar]\r\nRev=2\r\nVisible=0\r\nDockedTo=OldDock\r\nDockRow=5\r\n"
                    "[EditBar]\r\nRev=2\r\nVisible=1\r\nDockedTo=FixedDock\r\nIconSize=0\r\n"
                    "[ViewBar]\r\nRev=2\r\nVisible=1\r\nDockedTo=topdock\r\n");
    LoadToolWindowPositions(f.Form.get(), file);
    EXPECT_FALSE(f.FileBar->Visible());
    EXPECT_EQ(f.FileBar->DockRow(), 0);
    EXPECT_EQ(f.EditBar->DockedTo(), f.Top);
    EXPECT_EQ(f.EditBar->IconSize, 2);
    EXPECT_FALSE(f.ViewBar->DockedTo()) << "dock names compare with case";
}

TEST_F(LayoutFile, MissingKeysTakeTheirDefaults)
{
    TLayoutForm f;
    f.RunBar->IconSize = 0;
    f.RunBar->ShowCaption = true;
    f.RunBar->SetFloatRightX(54);
    const std::string file = Dir.Write("short.ini", "[RunBar]\r\nRev=2\r\nDockedTo=+\r\n");
    LoadToolWindowPositions(f.Form.get(), file);
    EXPECT_TRUE(f.RunBar->Floating());
    EXPECT_EQ(f.RunBar->IconSize, 2) << "a missing IconSize reads as large images";
    EXPECT_TRUE(f.RunBar->ShowCaption);
    EXPECT_EQ(f.RunBar->FloatRightX(), 0);
    EXPECT_EQ(f.RunBar->FloatingTopLeft(), QPoint(0, 0));
}

TEST_F(LayoutFile, FloatingWindowOffTheScreenComesBack)
{
    TLayoutForm f;
    const std::string file = Dir.Write(
        "far.ini", "[RunBar]\r\nRev=2\r\nDockedTo=+\r\nFloatLeft=5000\r\nFloatTop=4000\r\n");
    LoadToolWindowPositions(f.Form.get(), file);
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(work.contains(f.RunBar->geometry()))
        << "at " << f.RunBar->x() << "," << f.RunBar->y();
}

TEST_F(LayoutFile, UnnamedWindowOrDockIsAnError)
{
    TLayoutForm f;
    f.Arrange();
    f.Top->setObjectName("");
    try {
        SaveToolWindowPositions(f.Form.get(), Dir.File("x.ini"));
        FAIL();
    } catch (const EInvalidOperation &e) {
        EXPECT_STREQ(e.what(),
                     "Cannot save tool window's position because DockedTo's Name property not set");
    }
    f.Top->setObjectName("TopDock");
    f.ViewBar->setObjectName("");
    try {
        SaveToolWindowPositions(f.Form.get(), Dir.File("x.ini"));
        FAIL();
    } catch (const EInvalidOperation &e) {
        EXPECT_STREQ(e.what(),
                     "Cannot save tool window's position because Name property is not set");
    }
    const std::string file =
        Dir.Write("in.ini", "[FileBar]\r\nRev=2\r\nDockedTo=TopDock\r\nDockRow=1\r\n");
    try {
        LoadToolWindowPositions(f.Form.get(), file);
        FAIL();
    } catch (const EInvalidOperation &e) {
        EXPECT_STREQ(e.what(),
                     "Cannot save tool window's position because Name property is not set");
    }
    // Windows before the failing one were restored, and the docks are not left held.
    EXPECT_EQ(f.FileBar->DockRow(), 1);
    EXPECT_EQ(f.Top->height(), 52);
}

} // namespace
} // namespace orv
