// The 2D view and the windows an operator opens every day (run keys, help,
// menus), driven through real input: what the operator sees after each step.
#include "shell/tests/user/TarnwickUser.h"

#include "components/richedit/RichEditW.h"
#include "components/scpanel/ui/ScPanel.h"
#include "components/toolbar/ui/TbCtls.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "engine/form/base.h"
#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/Draw_2D.h"
#include "engine/view2d/ui/Form2DWindow.h"
#include "platform/IniFile.h"
#include "platform/ui/MdiHost.h"
#include "localise/ui/LxLanguageDialog.h"
#include "machine/ui/tooling_form.h"
#include "shell/ui/editor.h"
#include "shell/ui/main_form3_2.h"
#include "shell/ui/toolbar_setup.h"
#include "shell/ui/ShellStatusBar.h"

#include <QApplication>
#include <QAbstractButton>
#include <QLineEdit>
#include <QComboBox>
#include <QAbstractSpinBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QTabBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextCursor>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

namespace orv::test {
namespace {

TEditorForm *Editor(TarnwickUser &U)
{
    for (QMdiSubWindow *sub : U.Form().MdiArea()->subWindowList())
        if (auto *editor = qobject_cast<TEditorForm *>(sub->widget()))
            return editor;
    return nullptr;
}

// The line (from 0) the editor's caret is on: the run marks its line there.
int CaretLine(TarnwickUser &U)
{
    return Editor(U)->RichEdit()->textCursor().blockNumber();
}

bool Enabled(TarnwickUser &U, const char *Button)
{
    return U.ToolbarButton(Button)->isEnabled();
}

class EverydayWindows : public TarnwickUser {
protected:
    // The cutter drawn along each move: a run takes time on the test clock,
    // as it takes the operator's time.
    void ShowCutter() { TIniFile(Dir.File("Tarnwick.ini")).WriteBool("graphics", "show cutter", true); }
    // Start clicked, and Escape pressed once the run has gone on for Ms.
    void StartAndEscapeAfter(int64_t Ms)
    {
        const int timer = Loop.StartTimer(Ms, [this] { Key(Qt::Key_Escape); });
        ClickToolbarButton("startbutton");
        Loop.StopTimer(timer);
    }
    TDraw_2D *Output2D() const { return dynamic_cast<TDraw_2D *>(Form().Engine()->Output(slot2D)); }
    bool Drew(int Line) const
    {
        const auto &elements = Output2D()->Window()->Elements();
        return std::any_of(elements.begin(), elements.end(),
                           [Line](const TDD_Type &E) { return E.LineNumber == Line; });
    }
};

// --- Run keys ---------------------------------------------------------------------

// Escape stops a run in the middle; Start then goes on from where it
// stopped and runs the rest of the program to its end.
TEST_F(EverydayWindows, StartAfterEscapeGoesOnWhereTheRunStopped)
{
    ShowCutter();
    Start();
    ClickToolbarButton("2D Simulation");
    StartAndEscapeAfter(1500);
    const int stoppedOn = CaretLine(*this);
    EXPECT_EQ(Editor(*this)->LineText(stoppedOn).substr(0, 3), "N30") << "the first rapid takes 2.8 s";
    ASSERT_TRUE(Enabled(*this, "startbutton"));
    EXPECT_FALSE(Drew(17)) << "the run stopped before the second hole";

    ClickToolbarButton("startbutton");
    EXPECT_TRUE(Drew(17)) << "N130, the second hole, was drawn";
    EXPECT_FALSE(Enabled(*this, "startbutton")) << "the program ran to its end";
    EXPECT_TRUE(Enabled(*this, "rewindbutton"));
    EXPECT_EQ(Output2D()->Window()->Elements().front().LineNumber, 7)
        << "the picture of the first part stays: the run went on, it did not start again";
}

// A program opened while another stood stopped in the middle runs from its
// own start: its first arc is measured from where a rewound run begins,
// not from where the other program stopped (that gave "Bad ARC End Point"
// on a valid arc until the operator rewound).
TEST_F(EverydayWindows, AProgramOpenedWithoutRewindRunsFromItsOwnStart)
{
    ShowCutter();
    std::filesystem::create_directories(Dir.File("jobs"));
    {
        std::ofstream program(Dir.File("jobs/arc.fnc"));
        program << "%\nO2000 (ARC FROM THE START)\nN10 G21 G17 G90\nN20 G02 X4 Y0 R2 F200\n"
                   "N30 G01 Y-3\nN40 M30\n%\n";
    }
    Start();
    ClickToolbarButton("2D Simulation");
    // The units there and back, as the operator did, and a run stopped
    // with Escape on the demo's first rapid.
    ClickToolbarButton("Units");
    ClickToolbarButton("Units");
    StartAndEscapeAfter(1500);
    ASSERT_EQ(Editor(*this)->LineText(CaretLine(*this)).substr(0, 3), "N30");

    FileAnswers = {Dir.File("jobs/arc.fnc")};
    ChooseMenu({"File", "Open..."});
    ASSERT_EQ(Editor(*this)->LineText(3), "N20 G02 X4 Y0 R2 F200");
    ClickToolbarButton("startbutton");
    EXPECT_EQ(Form().StatusBar(2)->Text(4).trimmed().toStdString(), "") << "no error stopped the run";
    EXPECT_TRUE(Drew(4)) << "the arc was drawn";
    EXPECT_TRUE(Drew(5)) << "the run went on past the arc";
    EXPECT_FALSE(Enabled(*this, "startbutton")) << "the program ran to its end";
    const auto &elements = Output2D()->Window()->Elements();
    const auto arc = std::find_if(elements.begin(), elements.end(),
                                  [](const TDD_Type &E) { return E.LineNumber == 4; });
    ASSERT_NE(arc, elements.end());
    // G02 X4 Y0 R2 from the program's zero: centre X2, radius 2.
    EXPECT_NEAR((*arc).CentreX, 2, 1e-3) << "the arc starts at the program's zero";
    EXPECT_NEAR((*arc).Radius, 2, 1e-6);
}

// The operator's sequence that once stopped a valid arc with "Bad ARC End
// Point": a run stopped with Escape, the units to inch and back, the demo
// opened again without a rewind, Start and Escape, Start. Each run goes
// on without an error, and the second start draws the arc N70 (G02 X60
// Y60 R10 from X70 Y50) with its centre at X60 Y50 and runs to the end.
TEST_F(EverydayWindows, TheDemoOpenedAgainAfterTheUnitsThereAndBackRunsItsArc)
{
    ShowCutter();
    Start();
    ClickToolbarButton("2D Simulation");
    const auto noError = [this] {
        return Form().StatusBar(2)->Text(4).trimmed().toStdString() + (Unexpected.empty() ? "" : Unexpected.front());
    };
    StartAndEscapeAfter(1500);
    ASSERT_EQ(Editor(*this)->LineText(CaretLine(*this)).substr(0, 3), "N30");
    ClickToolbarButton("Units");
    ClickToolbarButton("Units");
    ASSERT_EQ(Form().StatusBar(1)->Text(0).trimmed().toStdString(), "Metric");

    FileAnswers = {Dir.File("programs/demo.fnc")};
    ChooseMenu({"File", "Open..."});
    ASSERT_TRUE(FileAnswers.empty()) << "the open dialog was answered";
    ASSERT_TRUE(Enabled(*this, "startbutton")) << "no rewind is asked for";
    StartAndEscapeAfter(1500);
    EXPECT_EQ(noError(), "") << "the run stopped by Escape, not by an error";

    ClickToolbarButton("startbutton");
    EXPECT_EQ(noError(), "") << "no error stopped the run";
    EXPECT_FALSE(Enabled(*this, "startbutton")) << "the program ran to its end";
    const auto &elements = Output2D()->Window()->Elements();
    const auto drawn = [&](int Line) {
        const auto e = std::find_if(elements.begin(), elements.end(),
                                    [Line](const TDD_Type &E) { return E.LineNumber == Line; });
        return e == elements.end() ? std::optional<TDD_Type>() : std::optional<TDD_Type>(*e);
    };
    const std::optional<TDD_Type> arc = drawn(11), before = drawn(10);
    ASSERT_TRUE(arc && before) << "N60 and the arc N70 were drawn";
    // Drawn in the view's frame (Y down from the billet's top, 100 mm): the
    // arc joins N60's end, X70 Y50, to X60 Y60 about the centre X70 Y60,
    // 90 degrees clockwise.
    EXPECT_NEAR(arc->Radius, 10, 1e-6);
    EXPECT_NEAR(before->EndX, 70, 1e-6);
    EXPECT_NEAR(before->EndY, 50, 1e-6);
    EXPECT_NEAR(arc->CentreX, 70, 1e-6);
    EXPECT_NEAR(arc->CentreY, 40, 1e-6);
    EXPECT_NEAR(std::fabs(arc->Sweep), 90, 1e-4);
    for (const auto &[x, y] : {std::pair{arc->StartX, arc->StartY}, std::pair{arc->EndX, arc->EndY}})
        EXPECT_NEAR(std::hypot(x - arc->CentreX, y - arc->CentreY), 10, 1e-6);
}

// --- Units -----------------------------------------------------------------------

// In inch the Units button's icon says so, the 2D view's status shows inches
// and the tool library shows its tools' sizes in inches; back in metric all
// three show millimetres again.
TEST_F(EverydayWindows, InchShowsInTheUnitsIconThe2DStatusAndTheToolLibrary)
{
    Start();
    ClickToolbarButton("2D Simulation");
    ClickToolbarButton("Tool Library");
    // The first tool's diameter row, the tool opened by the keyboard.
    const auto diameterRow = [this] {
        auto *library = dynamic_cast<TTooling_setup_form *>(WindowTitled("Tooling Library"));
        if (!library) { // a run closes it: opened again by its button
            ClickToolbarButton("Tool Library");
            library = dynamic_cast<TTooling_setup_form *>(WindowTitled("Tooling Library"));
        }
        if (!library)
            return std::string("no library: ") + ShownWindows();
        QTreeWidget *tree = library->Tree();
        QTreeWidgetItem *tool = tree->topLevelItem(0) ? tree->topLevelItem(0)->child(0) : nullptr;
        if (!tool)
            return std::string("no tool");
        // An open tool shows its rows as they stand; a closed one is opened.
        if (!tool->isExpanded()) {
            tree->scrollToItem(tool);
            Click(tree->viewport(), tree->visualItemRect(tool).center());
            Key(Qt::Key_Right);
        }
        return tool->childCount() > 0 ? tool->child(0)->text(0).toStdString() : std::string("closed");
    };
    const std::string diameter = diameterRow();
    ASSERT_NE(diameter.find(" = "), std::string::npos) << diameter;
    const QImage metricIcon = ToolbarButton("Units")->grab().toImage();
    for (bool inch : {true, false}) {
        SCOPED_TRACE(inch ? "inch" : "metric");
        ClickToolbarButton("Units");
        EXPECT_EQ(Form().StatusBar(1)->Text(0).trimmed().toStdString(), inch ? "Inch" : "Metric");
        EXPECT_EQ(ToolbarButton("Units")->grab().toImage() == metricIcon, !inch)
            << "the Units icon shows the units in use";
        // The diameter row: "Diameter = 3.000" in mm, four decimals in inches.
        const std::string row = diameterRow();
        const std::string value = row.substr(row.find('=') + 2);
        EXPECT_EQ(value.size() - value.find('.') - 1, inch ? 4u : 3u) << row;
        if (!inch)
            EXPECT_EQ(row, diameter);
        if (Enabled(*this, "rewindbutton"))
            ClickToolbarButton("rewindbutton");
        ClickToolbarButton("startbutton");
        auto *view = dynamic_cast<TForm2DWindow *>(WindowTitled("2D Simulation"));
        ASSERT_NE(view, nullptr);
        // The demo ends at X55 Y40 Z5.
        EXPECT_EQ(view->StatusText(0).toStdString(), inch ? "X= 2.1654" : "X= 55.000");
        EXPECT_EQ(view->StatusText(1).toStdString(), inch ? "Y= 1.5748" : "Y= 40.000");
    }
}

// --- Help and menus ---------------------------------------------------------------

// Set&up > Execute Mode shows the mode the status bar names with its tick:
// from the start, after the Continuous button switches it, and a click on
// an item (they only show the mode) leaves the tick where the mode is.
TEST_F(EverydayWindows, ExecuteModeTicksTheModeInUse)
{
    Start();
    const auto ticked = [this] {
        ChooseMenu({"Setup", "Execute Mode"});
        QMenu *modes = OpenPopup();
        std::string shown;
        if (modes)
            for (QAction *item : modes->actions())
                if (item->isChecked())
                    shown += PlainCaption(item->text()).toStdString() + ";";
        return std::pair{shown, modes};
    };
    EXPECT_EQ(Form().StatusBar(1)->Text(1).trimmed().toStdString(), "Continuous Mode");
    auto [shown, modes] = ticked();
    EXPECT_EQ(shown, "Continuous;");
    ASSERT_NE(modes, nullptr);
    PickFromPopup(modes, {"Step"});
    EXPECT_EQ(ticked().first, "Continuous;") << "a click on Step does not switch the mode";
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ClickToolbarButton("progCont");
    EXPECT_EQ(Form().StatusBar(1)->Text(1).trimmed().toStdString(), "Single Step");
    EXPECT_EQ(ticked().first, "Step;");
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
}


// The desktop's answer to a request to show a document, for one test.
class TDesktopViewer {
public:
    explicit TDesktopViewer(bool Opens)
    {
        SetDocumentOpener([this, Opens](const std::string &Path) {
            Requests.push_back(Path);
            return Opens;
        });
    }
    ~TDesktopViewer() { SetDocumentOpener(nullptr); }
    std::vector<std::string> Requests;
};

// The text of the message box that the next step brings, answered OK.
std::string ExpectMessage(TarnwickUser &U, const std::function<void()> &Step)
{
    std::string text;
    U.WhenModal([&](QWidget &Box) {
        if (auto *box = qobject_cast<QMessageBox *>(&Box))
            text = box->text().toStdString();
        U.ExpectWindowFits(&Box);
        U.Answer(Box, "OK");
    });
    Step();
    U.WaitFor([&] { return !text.empty(); }, 1000);
    if (text.empty())
        U.ForgetModalHandlers();
    return text;
}

// Help > Orvellan and F1 in the editor: when the desktop cannot show the
// help, or the help file is missing, the operator is told so and why.
TEST_F(EverydayWindows, HelpThatCannotOpenTellsTheOperatorWhy)
{
    Start();
    const struct {
        const char *Name;
        std::function<void()> Ask;
    } ways[] = {{"Help > Orvellan", [this] { ChooseMenu({"Help", "Orvellan"}); }},
                {"F1 in the editor", [this] {
                     Click(Editor(*this)->RichEdit()->viewport(), QPoint(40, 20));
                     Key(Qt::Key_F1);
                 }}};
    for (const auto &way : ways) {
        SCOPED_TRACE(way.Name);
        TDesktopViewer noViewer(false);
        const std::string text = ExpectMessage(*this, way.Ask);
        ASSERT_EQ(noViewer.Requests.size(), 1u) << "the help was asked of the desktop";
        EXPECT_NE(text.find("Help could not be opened."), std::string::npos) << text;
        EXPECT_NE(text.find("The desktop has no viewer for the help file."), std::string::npos) << text;
    }
    // The help page gone: nothing is asked of the desktop.
    std::string page;
    {
        TDesktopViewer viewer(true);
        ChooseMenu({"Help", "Orvellan"});
        ASSERT_EQ(viewer.Requests.size(), 1u);
        page = viewer.Requests.front();
    }
    EXPECT_TRUE(Unexpected.empty()) << "a help the desktop shows brings no message";
    std::filesystem::remove(page);
    TDesktopViewer viewer(true);
    const std::string text = ExpectMessage(*this, [this] { ChooseMenu({"Help", "Orvellan"}); });
    EXPECT_TRUE(viewer.Requests.empty());
    EXPECT_NE(text.find("The help file was not found."), std::string::npos) << text;
    EXPECT_NE(text.find(page), std::string::npos) << text;
}

// --- The 2D view ------------------------------------------------------------------

// Pixels of the demo's path as the view draws it: the outlines in the
// tools' red.
int PathPixels(const QImage &Picture)
{
    int count = 0;
    for (int y = 0; y < Picture.height(); ++y)
        for (int x = 0; x < Picture.width(); ++x) {
            const QColor c = Picture.pixelColor(x, y);
            count += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    return count;
}

class View2D : public EverydayWindows {
protected:
    // The demo run in the 2D view in a main window of Size.
    TForm2DWindow *RunDemo(QSize Size)
    {
        Start({"programs/demo.fnc"}, Size);
        ClickToolbarButton("2D Simulation");
        ClickToolbarButton("startbutton");
        return dynamic_cast<TForm2DWindow *>(WindowTitled("2D Simulation"));
    }
    QWidget *Picture(TForm2DWindow *View) const { return View->findChild<QWidget *>("PaintBox"); }
    // The picture lies whole in the drawing area's view, from its corner.
    void ExpectWholePictureShown(TForm2DWindow *View)
    {
        const QSize shown = View->DrawingArea()->viewport()->size();
        QWidget *picture = Picture(View);
        EXPECT_TRUE(shown.width() >= picture->width() && shown.height() >= picture->height())
            << "the picture " << picture->width() << " x " << picture->height() << " is cut to "
            << shown.width() << " x " << shown.height();
        EXPECT_EQ(picture->pos(), QPoint(0, 0));
        // The window lies whole in its frame, its depth bar against its
        // right edge: nothing of it is cut, no strip is left beside the gauge.
        EXPECT_TRUE(QRect(QPoint(0, 0), Frame(View)->size()).contains(View->geometry()))
            << "the window " << View->width() << " wide is cut by its frame " << Frame(View)->width();
        QWidget *depth = View->findChild<QWidget *>("DepthBar");
        EXPECT_EQ(depth->mapTo(View, QPoint(depth->width(), 0)).x(), View->width());
    }
    // Chooses Item of the view's popup, opened by a right click at At.
    void Popup(TForm2DWindow *View, QPoint At, const QString &Item)
    {
        RightClick(Picture(View), At);
        ASSERT_NE(OpenPopup(), nullptr);
        PickFromPopup(OpenPopup(), {Item});
    }
};

// In a main window of the size a first start had, the 2D view shows the
// whole 100 x 100 billet at its first scale. Zoomed in, its scroll bars
// move the picture the way they are worked: an arrow or the track right of
// the thumb shows more of the right (the picture moves left), the left ones
// bring it back, and the thumb dragged to either end shows that end of the
// picture. Scrolled away, Show All, and a rewound new run, show the whole
// picture again from its corner.
TEST_F(View2D, TheWholeBilletShowsAndTheScrollBarsMoveThePicture)
{
    TForm2DWindow *view = RunDemo(QSize(1000, 640));
    ASSERT_NE(view, nullptr) << ShownWindows();
    ExpectWindowFits(view);
    ExpectWholePictureShown(view);
    QWidget *picture = Picture(view);
    const QSize fitted = picture->size();
    EXPECT_EQ(fitted.width(), fitted.height()) << "a square billet is drawn square";
    QWidget *shown = view->DrawingArea()->viewport();
    QScrollBar *bar = view->DrawingArea()->horizontalScrollBar();
    QScrollBar *upright = view->DrawingArea()->verticalScrollBar();

    // Zoom In twice at the picture's left: the picture is larger than the view.
    const auto zoomInAtTheLeft = [&] {
        for (int i = 0; i < 2; ++i)
            Popup(view, QPoint(10, std::min(picture->height(), shown->height()) / 2), "Zoom In");
        ASSERT_TRUE(bar->isVisible()) << "zoomed in, the picture is wider than the view";
        EXPECT_EQ(picture->x(), -bar->value()) << "the thumb shows where the picture is";
        EXPECT_LT(bar->value(), bar->maximum()) << "zoomed at the left, the left part shows";
    };
    zoomInAtTheLeft();
    ASSERT_GT(picture->width(), 2 * shown->width());

    // A part of a scroll bar where its style draws it.
    const auto part = [](QScrollBar *Bar, QStyle::SubControl Part) {
        QStyleOptionSlider o;
        o.initFrom(Bar);
        o.orientation = Bar->orientation();
        o.minimum = Bar->minimum();
        o.maximum = Bar->maximum();
        o.sliderPosition = Bar->sliderPosition();
        o.sliderValue = Bar->value();
        o.singleStep = Bar->singleStep();
        o.pageStep = Bar->pageStep();
        return Bar->style()->subControlRect(QStyle::CC_ScrollBar, &o, Part, Bar);
    };
    const struct {
        const char *Name;
        QStyle::SubControl Right, Left;
        int Step;
    } parts[] = {{"the arrows", QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine, bar->singleStep()},
                 {"the track", QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubPage, bar->pageStep()}};
    for (const auto &p : parts) {
        SCOPED_TRACE(p.Name);
        const int from = bar->value();
        const QRect right = part(bar, p.Right);
        ASSERT_FALSE(right.isEmpty());
        Click(bar, right.center());
        EXPECT_EQ(bar->value(), from + p.Step);
        EXPECT_EQ(picture->x(), -bar->value()) << "the picture moved left with the thumb's move right";
        const QRect left = part(bar, p.Left);
        ASSERT_FALSE(left.isEmpty());
        Click(bar, left.center());
        EXPECT_EQ(bar->value(), from);
        EXPECT_EQ(picture->x(), -from) << "and back";
    }

    // The thumb dragged to the right end shows the picture's right end, to
    // the left end its left end (the path from X 0 on).
    const auto dragThumb = [&](QScrollBar *Bar, int To) {
        const QPoint at = part(Bar, QStyle::SC_ScrollBarSlider).center();
        Drag(Bar, at, Bar->orientation() == Qt::Horizontal ? QPoint(To, at.y()) : QPoint(at.x(), To));
    };
    dragThumb(bar, bar->width() + 50);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(picture->x() + picture->width(), shown->width()) << "the picture's right end shows";
    dragThumb(bar, -50);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(picture->x(), 0) << "the picture's left end shows";
    // Its bottom edge and its top edge likewise.
    ASSERT_TRUE(upright->isVisible());
    dragThumb(upright, upright->height() + 50);
    EXPECT_EQ(picture->y() + picture->height(), shown->height()) << "the picture's bottom shows";
    dragThumb(upright, -50);
    EXPECT_EQ(picture->y(), 0) << "the picture's top shows";

    // Show All while scrolled to the right and down: the whole picture.
    dragThumb(bar, bar->width() / 2 + 20);
    dragThumb(upright, upright->height() / 2 + 20);
    ASSERT_GT(bar->value(), 0);
    Popup(view, QPoint(-picture->x() + 10, -picture->y() + 10), "Show All");
    ExpectWholePictureShown(view);
    EXPECT_EQ(picture->size(), fitted);
    EXPECT_FALSE(bar->isVisible());
    ClickToolbarButton("rewindbutton");
    ClickToolbarButton("startbutton");
    ExpectWholePictureShown(view);

    // Zoomed and scrolled again, a rewound new run shows the whole picture.
    zoomInAtTheLeft();
    dragThumb(bar, bar->width() + 50);
    ASSERT_GT(bar->value(), 0);
    ClickToolbarButton("rewindbutton");
    ClickToolbarButton("startbutton");
    EXPECT_TRUE(Drew(17)) << "the new run drew the path";
    ExpectWholePictureShown(view);
    EXPECT_EQ(picture->size(), fitted);
    ExpectWindowFits(view);
}

// "Use X,Y Offsets" draws the machine table with the billet and the path
// drawn so far on it, and a new run's path; the window follows the
// picture's size; unticked, the billet and the path come back.
TEST_F(View2D, UseXYOffsetsKeepsThePathAndTheWindowFollowsThePicture)
{
    TForm2DWindow *view = RunDemo(QSize(1280, 1000));
    ASSERT_NE(view, nullptr);
    for (bool offsets : {true, false}) {
        SCOPED_TRACE(offsets ? "ticked" : "unticked");
        view->activateWindow();
        Click(Picture(view), QPoint(5, 5));
        const TElementList &shown = Output2D()->Window()->Elements();
        const std::vector<TDD_Type> before(shown.begin(), shown.end());
        ChooseMenu({"2D Simulation", "Use X,Y Offsets"});
        EXPECT_EQ(Output2D()->Window()->UseOffsets, offsets);
        // The path of the run stays on the new background, moved with it.
        const TElementList &after = Output2D()->Window()->Elements();
        ASSERT_EQ(after.size(), before.size()) << "the path is kept";
        const double movedX = after.back().EndX - before.back().EndX;
        for (size_t i = 0; i < after.size(); ++i)
            EXPECT_NEAR(after[i].StartX - before[i].StartX, movedX, 1e-9) << "moved as one";
        EXPECT_GT(PathPixels(Picture(view)->grab().toImage()), 200) << "the path is drawn";
        ClickToolbarButton("rewindbutton");
        ClickToolbarButton("startbutton");
        EXPECT_TRUE(Drew(17)) << "the path was drawn";
        ExpectWindowFits(view);
        ExpectWholePictureShown(view);
        const QWidget *frame = Frame(view);
        const int spare = view->DrawingArea()->viewport()->height() - Picture(view)->height();
        EXPECT_LT(spare, 40) << "no large empty area below the picture; the frame is "
                             << frame->height();
    }
}

// In German the toolbar buttons' captions are longer: each still shows
// whole on its button, and whole again back in English.
TEST_F(EverydayWindows, ToolbarCaptionsShowWholeInEitherLanguage)
{
    Start();
    for (int language : {1, 0}) {
        SCOPED_TRACE(language == 1 ? "German" : "English");
        WhenModal([this, language](QWidget &Dialog) {
            auto *tree = dynamic_cast<TLxLanguageDialog &>(Dialog).TreeView;
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                if ((*it)->childCount() == 0 && (*it)->data(0, Qt::UserRole).toInt() == language) {
                    tree->scrollToItem(*it);
                    Click(tree->viewport(), tree->visualItemRect(*it).center());
                }
            Answer(Dialog, "OK");
        });
        ChooseMenu({language == 1 ? "Setup" : "Einrichten", language == 1 ? "Select Language" : "Sprache wählen"});
        int shown = 0;
        for (TToolbarButton *b : Form().findChildren<TToolbarButton *>()) {
            if (!b->isVisible() || b->Caption().isEmpty())
                continue;
            ++shown;
            EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(PlainCaption(b->Caption())), b->width() - 4)
                << "\"" << b->Caption().toStdString() << "\" is cut on its button " << b->width() << " wide";
        }
        EXPECT_GT(shown, 5);
    }
}

// Set&up > ToolBars > View... names every bar and button it lists.
TEST_F(EverydayWindows, ToolBarSetupNamesEveryEntry)
{
    Start();
    WhenModal([this](QWidget &Dialog) {
        Type("orvellan");
        Answer(Dialog, "OK");
    });
    int entries = 0;
    WhenModal([&](QWidget &Dialog) {
        QTreeWidget *tree = dynamic_cast<TToolbar_SetupForm &>(Dialog).TreeView1;
        for (QTreeWidgetItemIterator it(tree); *it; ++it, ++entries)
            EXPECT_FALSE((*it)->text(0).trimmed().isEmpty())
                << "an entry without a name, for "
                << (*it)->data(0, Qt::AccessibleDescriptionRole).toString().toStdString();
        Answer(Dialog, "OK");
    });
    ChooseMenu({"Setup", "ToolBars", "View..."});
    EXPECT_GT(entries, 10);
}

// --- Windows that open whole --------------------------------------------------------

// What a window shows of its texts: every label whole and inside the
// widget it lies in, every tab's caption inside its bar, every item of a
// tree whole in the tree's view.
void ExpectTextsWhole(QWidget &Window)
{
    for (QLabel *label : Window.findChildren<QLabel *>()) {
        const QString text = label->text();
        if (!label->isVisibleTo(&Window) || text.isEmpty() || label->wordWrap() || text.contains('\n') ||
            label->textFormat() == Qt::RichText || Qt::mightBeRichText(text))
            continue;
        EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(text))
            << "\"" << text.toStdString() << "\" is cut";
        if (label->parentWidget())
            EXPECT_TRUE(label->parentWidget()->rect().contains(label->geometry()))
                << "\"" << text.toStdString() << "\" lies outside its panel";
    }
    for (QTabBar *bar : Window.findChildren<QTabBar *>()) {
        if (!bar->isVisibleTo(&Window))
            continue;
        for (int i = 0; i < bar->count(); ++i)
            EXPECT_TRUE(bar->rect().contains(bar->tabRect(i)))
                << "the tab \"" << bar->tabText(i).toStdString() << "\" is cut";
    }
    for (QTreeWidget *tree : Window.findChildren<QTreeWidget *>()) {
        if (!tree->isVisibleTo(&Window))
            continue;
        tree->expandToDepth(1);
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const QRect at = tree->visualItemRect(*it);
            if (at.isEmpty())
                continue;
            const int right = at.x() + tree->fontMetrics().horizontalAdvance((*it)->text(0));
            EXPECT_LE(right, tree->viewport()->width())
                << "\"" << (*it)->text(0).toStdString() << "\" is cut by the tree's edge";
        }
    }
}

// Every control the operator works in the window (buttons, spin boxes,
// fields, lists, value panels) lies whole inside each widget it lies in,
// and no other widget of the window lies over it.
void ExpectControlsShown(QWidget &Window)
{
    for (QWidget *w : Window.findChildren<QWidget *>()) {
        auto *panel = qobject_cast<QLabel *>(w);
        const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractSpinBox *>(w) ||
                             qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) ||
                             (panel && panel->frameShape() != QFrame::NoFrame);
        if (!control || !w->isVisibleTo(&Window) || w->window() != Window.window() ||
            qobject_cast<QAbstractSpinBox *>(w->parentWidget()) ||
            qobject_cast<QComboBox *>(w->parentWidget()))
            continue;
        const std::string name = (w->objectName().isEmpty() ? QString(w->metaObject()->className())
                                                            : w->objectName())
                                     .toStdString();
        QRect r = w->rect();
        for (QWidget *p = w; p != &Window && p->parentWidget(); p = p->parentWidget()) {
            r.translate(p->pos());
            EXPECT_TRUE(p->parentWidget()->rect().contains(r))
                << name << " lies partly outside its panel " << p->parentWidget()->objectName().toStdString();
        }
        // Siblings made later lie on top of it.
        const QWidget *parent = w->parentWidget();
        if (!parent)
            continue;
        const QObjectList &siblings = parent->children();
        for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
            auto *over = qobject_cast<QWidget *>(siblings[i]);
            if (over && over->isVisibleTo(&Window) && !over->isWindow())
                EXPECT_FALSE(over->geometry().intersects(w->geometry()))
                    << name << " is covered by " << over->objectName().toStdString();
        }
    }
}

class WholeTexts : public TarnwickUser, public ::testing::WithParamInterface<std::string> {};

// The windows whose texts were cut: each shows its labels, tabs and
// items whole.
TEST_P(WholeTexts, EveryTextOfTheWindowShowsWhole)
{
    const auto &all = UserWindows();
    const auto window = std::find_if(all.begin(), all.end(),
                                     [&](const TUserWindow &W) { return W.Name == GetParam(); });
    ASSERT_NE(window, all.end());
    Start();
    bool visited = false;
    window->Visit(*this, [&](QWidget &Shown) {
        visited = true;
        ExpectWindowFits(&Shown);
        ExpectTextsWhole(Shown);
    });
    EXPECT_TRUE(visited);
}

// A first start (no size kept yet) opens the main window larger than its
// designed 756 x 490, on the screen, with every bar of buttons whole
// inside it.
TEST_F(EverydayWindows, TheFirstStartOpensAtASizeForTheUsualWindows)
{
    Start({"programs/demo.fnc"}, QSize());
    const QRect room = Form().screen()->availableGeometry();
    EXPECT_TRUE(room.contains(Form().frameGeometry()));
    EXPECT_GE(Form().width(), std::min(1024, room.width()));
    EXPECT_GE(Form().height(), std::min(768, room.height() - 40));
    for (QWidget *bar : Form().findChildren<TToolbar *>()) {
        // The bars of buttons; the modal labels' bar runs on past any edge.
        if (!bar->isVisible() || bar->isWindow() ||
            bar->findChildren<TToolbarButton *>(Qt::FindDirectChildrenOnly).isEmpty())
            continue;
        EXPECT_TRUE(Form().rect().contains(QRect(bar->mapTo(&Form(), QPoint(0, 0)), bar->size())))
            << bar->objectName().toStdString() << " is cut by the main window";
    }
}

// The windows an operator opens every day, in a main window of the size
// of its first start and in one of the old first width (756 pixels): each
// opens inside the MDI area with every text whole and every control shown.
class OpensWhole : public TarnwickUser,
                   public ::testing::WithParamInterface<std::tuple<std::string, bool>> {};

TEST_P(OpensWhole, InsideTheAreaWithEveryControlShown)
{
    const auto &[name, narrow] = GetParam();
    const auto &all = UserWindows();
    const auto window = std::find_if(all.begin(), all.end(),
                                     [&](const TUserWindow &W) { return W.Name == name; });
    ASSERT_NE(window, all.end());
    if (narrow)
        Start({"programs/demo.fnc"}, QSize(756, 900));
    else
        Start({"programs/demo.fnc"}, QSize());
    bool visited = false;
    window->Visit(*this, [&](QWidget &Shown) {
        visited = true;
        ExpectWindowFits(&Shown);
        ExpectTextsWhole(Shown);
        ExpectControlsShown(Shown);
        // No value field shows a raw "-1" for "nothing yet".
        for (QLabel *field : Shown.findChildren<QLabel *>())
            EXPECT_NE(field->text().trimmed().toStdString(), "-1") << field->objectName().toStdString();
    });
    EXPECT_TRUE(visited);
}

INSTANTIATE_TEST_SUITE_P(Tarnwick, OpensWhole,
                         ::testing::Combine(::testing::Values("NC Program Restart", "Work Piece Offsets",
                                                              "Machine Tooling", "Macro Variables #",
                                                              "Tooling Library", "2D Simulation"),
                                            ::testing::Bool()),
                         [](const auto &Info) {
                             std::string name;
                             for (char c : std::get<0>(Info.param))
                                 if (std::isalnum(static_cast<unsigned char>(c)))
                                     name += c;
                             return name + (std::get<1>(Info.param) ? "Narrow" : "FirstSize");
                         });

INSTANTIATE_TEST_SUITE_P(Tarnwick, WholeTexts,
                         ::testing::Values("Macro Variables #", "Machine Properties Editor"),
                         [](const ::testing::TestParamInfo<std::string> &Info) {
                             std::string name;
                             for (char c : Info.param)
                                 if (std::isalnum(static_cast<unsigned char>(c)))
                                     name += c;
                             return name;
                         });

} // namespace
} // namespace orv::test
namespace orv::test {
namespace {

// Opens each menu of the main window's bar by its hot key with Alt, while
// Window (an MDI child, active) is open.
void ExpectEveryMenuOpensByItsKey(TarnwickUser &U)
{
    QStringList titles;
    for (QAction *title : U.Form().menuBar()->actions())
        if (title->isVisible() && title->menu())
            titles << PlainCaption(title->text());
    ASSERT_GE(titles.size(), 5);
    for (const QString &caption : titles) {
        SCOPED_TRACE(caption.toStdString());
        U.ChooseMenu({caption});
        U.Key(Qt::Key_Escape);
        U.Key(Qt::Key_Escape);
    }
}

class MenuKeysBeside : public TarnwickUser, public ::testing::WithParamInterface<TUserWindow> {};

// Beside every window of the MDI area, every menu opens by its hot key: a
// button of the window with the same hot key does not take it.
TEST_P(MenuKeysBeside, EveryMenuOpensByItsHotKey)
{
    const TUserWindow &window = GetParam();
    if (window.NeedsOpenGL && !OpenGLAvailable())
        GTEST_SKIP() << "needs OpenGL: run under scripts/with-xvfb.sh";
    if (window.Prepare)
        window.Prepare(*this);
    Start();
    window.Visit(*this, [&](QWidget &Shown) {
        // Windows of their own (dialogs, menus) have no place in the bar.
        if (!qobject_cast<QMdiSubWindow *>(Frame(&Shown)))
            return;
        ExpectEveryMenuOpensByItsKey(*this);
    });
}

std::string WindowName(const ::testing::TestParamInfo<TUserWindow> &Info)
{
    std::string name;
    for (char c : Info.param.Name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(Tarnwick, MenuKeysBeside, ::testing::ValuesIn(UserWindows()), WindowName);

// The same in German, beside the tooling windows, whose buttons have hot
// keys of their own.
TEST_F(EverydayWindows, InGermanEveryMenuOpensByItsHotKeyBesideTheToolingWindows)
{
    Start();
    WhenModal([this](QWidget &Dialog) {
        auto *tree = dynamic_cast<TLxLanguageDialog &>(Dialog).TreeView;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->childCount() == 0 && (*it)->data(0, Qt::UserRole).toInt() == 1) {
                tree->scrollToItem(*it);
                Click(tree->viewport(), tree->visualItemRect(*it).center());
            }
        Answer(Dialog, "OK");
    });
    ChooseMenu({"Setup", "Select Language"});
    QStringList titles;
    for (QAction *title : Form().menuBar()->actions())
        titles << PlainCaption(title->text());
    ASSERT_TRUE(titles.contains("Hilfe")) << titles.join(" | ").toStdString();
    for (const char *button : {"Tooling_but", "ToolLib_but"}) {
        SCOPED_TRACE(button);
        TToolbarButton *b = ToolbarButton(button);
        ASSERT_NE(b, nullptr);
        ClickToolbarButton(button);
        ExpectEveryMenuOpensByItsKey(*this);
        ClickToolbarButton(button);
    }
}

} // namespace
} // namespace orv::test
