// What a user met at the seams between Tarnwick's windows and its user:
// each case drives the program through real input only and checks what the
// user sees and keeps.
#include "shell/tests/user/TarnwickUser.h"

#include "components/toolbar/TbGlyphImage.h"
#include "components/toolbar/ui/TbCtls.h"
#include "components/richedit/RichEditW.h"
#include "engine/form/base.h"
#include "engine/simlink/ui/ThreeDWindow.h"
#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/Draw_2D.h"
#include "engine/view2d/ui/Form2DWindow.h"
#include "platform/IniFile.h"
#include "components/scpanel/ui/ScPanel.h"
#include "shell/ui/editor.h"
#include "shell/ui/main_form3_2.h"

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QStatusBar>
#include <QMenu>
#include <QMessageBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace orv::test {
namespace {

// Pixels that differ between two pictures of one size.
int ChangedPixels(const QImage &Before, const QImage &After)
{
    int changed = 0;
    for (int y = 0; y < Before.height(); ++y)
        for (int x = 0; x < Before.width(); ++x)
            changed += Before.pixel(x, y) != After.pixel(x, y);
    return changed;
}

TEST_F(TarnwickUser, TheStandard3DButtonShowsTheSimulationAndARunDrawsTheDemo)
{
    Start();
    ClickToolbarButton("3D Simulation");
    QWidget *window = WindowTitled("3D Simulation");
    ASSERT_NE(window, nullptr) << "shown: " << ShownWindows();
    ExpectWindowFits(window);
    auto *simulation = dynamic_cast<TThreeDWindow *>(window);
    ASSERT_NE(simulation, nullptr);
    ASSERT_NE(simulation->ControlWindow(), nullptr) << "the control sits in the window";
    const QImage before = simulation->ControlWindow()->grab().toImage();

    ClickToolbarButton("startbutton");
    EXPECT_FALSE(ToolbarButton("startbutton")->isEnabled()) << "the run went to its end";
    EXPECT_TRUE(ToolbarButton("rewindbutton")->isEnabled());
    Serve();
    const QImage after = simulation->ControlWindow()->grab().toImage();
    if (const char *shot = std::getenv("ORV_SCREENSHOT"))
        after.save(shot);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_GT(ChangedPixels(before, after), 500) << "the billet was cut where the demo goes";
}

// The program's editor window.
TEditorForm *Editor(TarnwickUser &U)
{
    for (QMdiSubWindow *sub : U.Form().MdiArea()->subWindowList())
        if (auto *editor = qobject_cast<TEditorForm *>(sub->widget()))
            return editor;
    return nullptr;
}

QStringList Items(QMenu *Menu)
{
    QStringList items;
    for (QAction *a : Menu->actions())
        if (a->isVisible() && !a->isSeparator())
            items << PlainCaption(a->text());
    return items;
}

// The editor's own popup, by a right click on the text and by the menu key;
// Qt's standard text menu (Undo ... Select All) never comes.
TEST_F(TarnwickUser, TheEditorsPopupOpensOnARightClickAndOnTheMenuKey)
{
    Start();
    TEditorForm *editor = Editor(*this);
    ASSERT_NE(editor, nullptr);
    QWidget *text = editor->RichEdit()->viewport();
    struct {
        const char *Name;
        std::function<void()> Open;
    } ways[] = {{"right click", [&] { RightClick(text, QPoint(60, 40)); }},
                {"menu key", [&] {
                     Click(text, QPoint(60, 40));
                     Key(Qt::Key_Menu);
                 }}};
    for (const auto &way : ways) {
        SCOPED_TRACE(way.Name);
        way.Open();
        QMenu *popup = OpenPopup();
        ASSERT_NE(popup, nullptr) << "no popup opened";
        EXPECT_EQ(popup, editor->PopupMenu()) << Items(popup).join(" | ").toStdString();
        EXPECT_TRUE(Items(popup).contains("Show 2D Draw Element"));
        EXPECT_TRUE(Items(popup).contains("Update Format"));
        EXPECT_TRUE(Items(popup).contains("Wizards"));
        ExpectWindowFits(popup);
        Key(Qt::Key_Escape);
        EXPECT_EQ(OpenPopup(), nullptr);
    }
}

// Where line Line (from 0) of the editor's text is drawn, in its viewport.
QPoint LineSpot(TEditorForm &Editor, int Line)
{
    QTextCursor cursor(Editor.RichEdit()->document()->findBlockByNumber(Line));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
    return Editor.RichEdit()->cursorRect(cursor).center();
}

// What the popup leads to: the 2D drawing of the caret's line, the colours
// again, the block wizard.
TEST_F(TarnwickUser, TheEditorsPopupReachesTheDrawElementTheFormatAndTheWizard)
{
    Start();
    ClickToolbarButton("2D Simulation");
    ClickToolbarButton("startbutton");
    ASSERT_TRUE(ToolbarButton("rewindbutton")->isEnabled()) << "the demo ran to its end";
    TEditorForm *editor = Editor(*this);
    ASSERT_NE(editor, nullptr);
    QWidget *text = editor->RichEdit()->viewport();
    const int line = 8; // "N50 G01 X70 Y20 F300"
    ASSERT_TRUE(editor->LineText(line).starts_with("N50")) << editor->LineText(line);
    Click(text, LineSpot(*editor, line));

    RightClick(text, LineSpot(*editor, line));
    ASSERT_NE(OpenPopup(), nullptr);
    PickFromPopup(OpenPopup(), {"Show 2D Draw Element"});
    auto *draw = dynamic_cast<TDraw_2D *>(Form().Engine()->Output(slot2D));
    ASSERT_TRUE(draw && draw->Window());
    const int selected = draw->Window()->Selected();
    ASSERT_GE(selected, 0) << "no element of the line is highlighted";
    EXPECT_EQ(draw->Window()->Elements()[selected].LineNumber, line + 1);

    RightClick(text, LineSpot(*editor, line));
    PickFromPopup(OpenPopup(), {"Update Format"});
    EXPECT_EQ(OpenPopup(), nullptr);

    QString wizard;
    WhenModal([&](QWidget &Dialog) {
        wizard = Dialog.windowTitle();
        ExpectWindowFits(&Dialog);
        CloseByFrame(&Dialog);
    });
    RightClick(text, LineSpot(*editor, line));
    PickFromPopup(OpenPopup(), {"Wizards", "Interpolation", "Linear"});
    WaitFor([&] { return !wizard.isEmpty(); });
    EXPECT_FALSE(wizard.isEmpty()) << "the block wizard did not open";
}

// A spot of Panel that no control of it covers: what a drag there moves
// is the window.
QPoint FreeSpot(QWidget *Panel)
{
    for (int y = 4; y < Panel->height(); y += 4)
        for (int x = 4; x < Panel->width(); x += 4)
            if (!Panel->childAt(x, y))
                return QPoint(x, y);
    return QPoint(-1, -1);
}

// In a main window as large as the seat's screen the borderless Fanuc 21
// opens inside the MDI area, keypad and all, and its user can move it.
TEST_F(TarnwickUser, TheFanuc21OpensInsideTheMdiAreaAndMovesByItsBackground)
{
    Start({"programs/demo.fnc"}, QSize(1280, 1024));
    WhenModal([this](QWidget &Box) { Answer(Box, "OK"); }); // put tool 1 in
    ChooseMenu({"File", "Source", "Fanuc 21i"});
    QWidget *station = WindowTitled("Fanuc 21i MA");
    ASSERT_NE(station, nullptr) << ShownWindows();
    ExpectWindowFits(station);

    QWidget *frame = Frame(station);
    QWidget *panel = station->findChild<QWidget *>("OutputsPanel");
    ASSERT_NE(panel, nullptr);
    const QPoint grip = FreeSpot(panel);
    ASSERT_GE(grip.x(), 0) << "the keypad panel has no free spot";
    const QPoint before = frame->pos();
    const QPoint by(-150, 60);
    Drag(panel, grip, grip + by);
    EXPECT_EQ(frame->pos(), before + by) << "the drag moved the station";
    // Towards the main window's far corner: it stops at the area's edge.
    Drag(panel, grip, panel->mapFrom(&Form(), QPoint(Form().width() - 4, Form().height() - 4)));
    ExpectWindowFits(station);
}

// The readout panels of a window's status bar, left to right: none lies
// over the next, and each shows its whole text.
void ExpectPanelsApart(QWidget *Window)
{
    QList<QLabel *> panels;
    for (QLabel *l : Window->findChildren<QLabel *>())
        if (l->isVisible() && qobject_cast<QStatusBar *>(l->parentWidget()))
            panels << l;
    std::sort(panels.begin(), panels.end(), [](QLabel *A, QLabel *B) { return A->x() < B->x(); });
    ASSERT_GE(panels.size(), 4);
    for (int i = 0; i < panels.size(); ++i) {
        const std::string text = panels[i]->text().toStdString();
        EXPECT_GE(panels[i]->width(), panels[i]->fontMetrics().horizontalAdvance(panels[i]->text()))
            << "\"" << text << "\" is cut";
        if (i + 1 < panels.size())
            EXPECT_LE(panels[i]->geometry().right(), panels[i + 1]->x())
                << "\"" << text << "\" runs into the next panel";
    }
}

// The 2D view opens around the whole picture, inside the MDI area; at the
// smallest size its frame allows, its readouts still stand apart.
TEST_F(TarnwickUser, The2DViewOpensAroundItsPictureAndItsReadoutsNeverOverlap)
{
    Start({"programs/demo.fnc"}, QSize(1280, 1024));
    ClickToolbarButton("2D Simulation");
    ClickToolbarButton("startbutton");
    auto *view = dynamic_cast<TForm2DWindow *>(WindowTitled("2D Simulation"));
    ASSERT_NE(view, nullptr) << ShownWindows();
    ExpectWindowFits(view);
    QWidget *picture = view->findChild<QWidget *>("PaintBox");
    ASSERT_NE(picture, nullptr);
    const QSize shown = view->DrawingArea()->viewport()->size();
    EXPECT_TRUE(shown.width() >= picture->width() && shown.height() >= picture->height())
        << "the picture " << picture->width() << " x " << picture->height()
        << " is cut to " << shown.width() << " x " << shown.height();
    ExpectPanelsApart(view);

    // The frame's bottom-right corner dragged up to the top-left.
    QWidget *frame = Frame(view);
    const int opened = frame->width();
    Drag(frame, QPoint(frame->width() - 2, frame->height() - 2), QPoint(4, 4));
    EXPECT_LT(frame->width(), opened) << "the frame took the drag";
    ExpectWindowFits(view);
    ExpectPanelsApart(view);
}

// The buttons of a message box, left to right as the user reads them.
QStringList Buttons(QWidget &Box)
{
    QList<QAbstractButton *> buttons = Box.findChildren<QAbstractButton *>();
    std::sort(buttons.begin(), buttons.end(),
              [](QAbstractButton *A, QAbstractButton *B) { return A->x() < B->x(); });
    QStringList texts;
    for (QAbstractButton *b : buttons)
        if (b->isVisible())
            texts << PlainCaption(b->text());
    return texts;
}

// File > New, a line typed, File > Exit: the unnamed work is asked about
// with Yes, No and Cancel; Cancel, or Cancel in its Save As, keeps Tarnwick
// open with the text; No lets it go without another question.
TEST_F(TarnwickUser, ExitAsksAboutUnsavedWorkAndCancelKeepsIt)
{
    Start();
    ChooseMenu({"File", "New..."});
    TEditorForm *editor = Editor(*this);
    ASSERT_NE(editor, nullptr);
    Click(editor->RichEdit()->viewport(), QPoint(20, 10));
    Type("G01 X5");
    ASSERT_EQ(editor->LineText(0), "G01 X5");

    QStringList asked;
    auto exitAnswering = [&](const QString &Answer_, bool ByFrame = false) {
        asked.clear();
        WhenModal([&, Answer_](QWidget &Box) {
            asked = Buttons(Box);
            Answer(Box, Answer_);
        });
        if (ByFrame)
            CloseByFrame(&Form());
        else
            ChooseMenu({"File", "Exit"});
        Serve();
    };
    for (bool byFrame : {false, true}) {
        SCOPED_TRACE(byFrame ? "the frame's close" : "File > Exit");
        exitAnswering("Cancel", byFrame);
        EXPECT_EQ(asked.join(",").toStdString(), "Yes,No,Cancel");
        EXPECT_TRUE(Form().isVisible()) << "Cancel keeps Tarnwick open";
        EXPECT_EQ(editor->LineText(0), "G01 X5");
    }

    FileAnswers.push_back(""); // the Save As cancelled
    exitAnswering("Yes");
    EXPECT_EQ(FileRequests.size(), 1u) << "Yes on an unnamed program asks for a name";
    EXPECT_TRUE(Form().isVisible()) << "a cancelled Save As keeps Tarnwick open";
    EXPECT_EQ(editor->LineText(0), "G01 X5");

    exitAnswering("No");
    EXPECT_FALSE(Form().isVisible()) << "No lets the program end";
    EndProgram();
    EXPECT_TRUE(Unexpected.empty()) << "asked again on the way out: " << Unexpected.front();
}

TEST_F(TarnwickUser, ExitSavesUnnamedWorkWhereTheUserSays)
{
    Start();
    ChooseMenu({"File", "New..."});
    TEditorForm *editor = Editor(*this);
    ASSERT_NE(editor, nullptr);
    Click(editor->RichEdit()->viewport(), QPoint(20, 10));
    Type("G01 X5");
    FileAnswers.push_back(Dir.File("kept.fnc"));
    WhenModal([this](QWidget &Box) { Answer(Box, "Yes"); });
    ChooseMenu({"File", "Exit"});
    Serve();
    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(Dir.Read("kept.fnc"), "G01 X5\n");
}

// The Windows menu's item of Window ("1 Editor - ..."), clicked.
void PickFromWindowsMenu(TarnwickUser &U, QWidget *Window)
{
    U.ChooseMenu({"Windows"});
    QMenu *menu = U.OpenPopup();
    ASSERT_NE(menu, nullptr);
    const QString title = TarnwickUser::Frame(Window)->windowTitle();
    for (QAction *a : menu->actions())
        if (PlainCaption(a->text()).endsWith(" " + title)) {
            U.PickFromPopup(menu, {PlainCaption(a->text())});
            return;
        }
    FAIL() << "the Windows menu does not list " << title.toStdString();
}

// The editor's frame minimises and maximises only; whatever hid it, the
// Windows menu brings it back.
TEST_F(TarnwickUser, TheEditorFrameHasNoCloseAndTheWindowsMenuBringsTheEditorBack)
{
    Start();
    TEditorForm *editor = Editor(*this);
    ASSERT_NE(editor, nullptr);
    QWidget *frame = Frame(editor);
    // A user who finds a close button on the frame uses it.
    const bool closeOffered = TitleBarButton(editor, QStyle::SC_TitleBarCloseButton).isValid();
    EXPECT_FALSE(closeOffered) << "the editor's frame offers a close button";
    if (closeOffered)
        CloseByFrame(editor);
    Click(editor->RichEdit()->viewport(), QPoint(20, 10));
    Key(Qt::Key_F4, Qt::ControlModifier);
    PickFromWindowsMenu(*this, editor);
    ExpectWindowFits(editor);

    ClickTitleBarButton(editor, QStyle::SC_TitleBarMinButton);
    EXPECT_TRUE(frame->isMinimized());
    PickFromWindowsMenu(*this, editor);
    EXPECT_FALSE(frame->isMinimized());
    ExpectWindowFits(editor);
    EXPECT_EQ(Form().MdiArea()->activeSubWindow(), frame);
}

// What the user sees of the open program.
struct TOpenProgram {
    TEditorForm *Window = nullptr;
    std::string Text, Caption, FilePanel, Run;
    bool operator==(const TOpenProgram &) const = default;
};

TOpenProgram OpenProgram(TarnwickUser &U)
{
    TOpenProgram p;
    p.Window = Editor(U);
    if (p.Window) {
        p.Text = p.Window->RichEdit()->Text();
        p.Caption = p.Window->windowTitle().toStdString();
    }
    p.FilePanel = U.Form().StatusPanelText(2, 3);
    for (const char *b : {"startbutton", "pauseButton", "stopbutton", "rewindbutton"})
        p.Run += U.ToolbarButton(b)->isEnabled() ? "1" : "0";
    return p;
}

// A file that cannot be read, or a folder dropped on the window: the user
// is told why, and the open program, its text, its panels and its run
// buttons stay as they were.
TEST_F(TarnwickUser, AFailedOpenSaysWhyAndKeepsTheProgram)
{
    Start();
    std::filesystem::create_directory(Dir.File("folder.fnc"));
    const TOpenProgram before = OpenProgram(*this);
    ASSERT_NE(before.Window, nullptr);
    ASSERT_NE(before.Text, "");
    struct {
        const char *Name;
        std::function<void()> Open;
        const char *Says;
    } cases[] = {
        {"File > Open of a file that cannot be read",
         [&] {
             // Read errors at once on any machine, for any user.
             FileAnswers.push_back("/proc/self/mem");
             ChooseMenu({"File", "Open..."});
         },
         "Error trying to open file"},
        {"File > Open of a folder",
         [&] {
             FileAnswers.push_back(Dir.File("folder.fnc"));
             ChooseMenu({"File", "Open..."});
         },
         "File not found."},
        {"a folder dropped on the window",
         [&] { DropFiles({QString::fromStdString(Dir.File("programs"))}, Form().MdiArea()); },
         "File not found."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        QStringList said;
        WhenModal([&](QWidget &Box) {
            if (auto *box = qobject_cast<QMessageBox *>(&Box))
                said << box->text();
            Answer(Box, "OK");
        });
        c.Open();
        Serve();
        ForgetModalHandlers();
        ASSERT_EQ(said.size(), 1) << said.join(" / ").toStdString();
        EXPECT_TRUE(said[0].startsWith(c.Says)) << said[0].toStdString();
        EXPECT_TRUE(OpenProgram(*this) == before)
            << "now: " << OpenProgram(*this).Caption << " | " << OpenProgram(*this).FilePanel
            << " | run " << OpenProgram(*this).Run << " (was " << before.Run << ")";
    }
}

// A program of one line runs, rewinds and runs again.
TEST_F(TarnwickUser, AOneLineProgramRunsAgainAfterRewind)
{
    Dir.Write("one.fnc", "G01 X5 Y5 F500");
    Start({"one.fnc"});
    ClickToolbarButton("2D Simulation");
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(ToolbarButton("startbutton")->isEnabled());
        ClickToolbarButton("startbutton");
        EXPECT_FALSE(ToolbarButton("startbutton")->isEnabled()) << "the run went to its end";
        ASSERT_TRUE(ToolbarButton("rewindbutton")->isEnabled());
        ClickToolbarButton("rewindbutton");
        EXPECT_TRUE(ToolbarButton("startbutton")->isEnabled()) << "Rewind makes Start available";
    }
}

// A Start the user cancelled ("Please Choose!") starts no clock: the cycle
// time counts from the Start that ran.
TEST_F(TarnwickUser, TheCycleTimeCountsFromTheStartThatRan)
{
    // The cutter is animated: the run lasts seconds of the test clock.
    TIniFile(Dir.File("Tarnwick.ini")).WriteString("Graphics", "show cutter", "1");
    Start();
    WhenModal([this](QWidget &Choice) { Answer(Choice, "Cancel"); });
    ClickToolbarButton("startbutton");
    EXPECT_TRUE(ToolbarButton("startbutton")->isEnabled()) << "the refused start changed nothing";
    Serve(15000);

    ClickToolbarButton("2D Simulation");
    std::string twoSecondsIn;
    // The panel shows the time every half second: just after the second.
    At(2100, [&] {
        twoSecondsIn = Form().StatusPanelText(1, 3);
        ClickToolbarButton("stopbutton");
    });
    ClickToolbarButton("startbutton");
    EXPECT_EQ(twoSecondsIn, " Cycle time 00:00:02");
}

// A dialog opened for the first time (no stored position) stands over the
// middle of the main window, wherever that is on the screen.
TEST_F(TarnwickUser, FirstTimeDialogsCentreOnTheMainWindow)
{
    Start({"programs/demo.fnc"}, QSize(900, 700));
    Form().move(340, 280);
    Serve();
    const QPoint middle = Form().frameGeometry().center();
    const struct {
        const char *Title;
        QStringList Menu;
    } dialogs[] = {{"Billet Size", {"Setup", "Default Billet Size..."}},
                   {"Axis Key Definition", {"Setup", "Jog Keys"}}};
    for (const auto &d : dialogs) {
        SCOPED_TRACE(d.Title);
        QPoint at(-1000, -1000);
        WhenModal([&](QWidget &Dialog) {
            at = Dialog.frameGeometry().center();
            CloseByFrame(&Dialog);
        });
        ChooseMenu(d.Menu);
        EXPECT_LE((at - middle).manhattanLength(), 4)
            << "its middle is at " << at.x() << "," << at.y() << ", the main window's at "
            << middle.x() << "," << middle.y();
    }
}

// The editor active (a click on its text) and its Editor menu open.
void OpenEditorMenu(TarnwickUser &U)
{
    U.Click(Editor(U)->RichEdit()->viewport(), QPoint(200, 5));
    U.ChooseMenu({"Editor"});
}

// Whether an item of the Editor menu is enabled, as the opened menu shows.
bool EditorItemEnabled(TarnwickUser &U, const QString &Item)
{
    OpenEditorMenu(U);
    QMenu *menu = U.OpenPopup();
    bool enabled = false;
    if (menu)
        for (QAction *a : menu->actions())
            if (PlainCaption(a->text()) == Item)
                enabled = a->isEnabled();
    U.Key(Qt::Key_Escape);
    return enabled;
}

// "Show Normal" only while a highlight is shown; "Hi Light" only while the
// text has lines, also after a run unlocked the menu.
TEST_F(TarnwickUser, ShowNormalAndHiLightFollowTheirRules)
{
    Start();
    ClickToolbarButton("2D Simulation");
    ClickToolbarButton("startbutton"); // a run locks and unlocks the menu
    ClickToolbarButton("rewindbutton");
    EXPECT_FALSE(EditorItemEnabled(*this, "Show Normal")) << "no highlight yet";
    EXPECT_TRUE(EditorItemEnabled(*this, "Hi Light"));
    OpenEditorMenu(*this);
    PickFromPopup(OpenPopup(), {"Hi Light", "G"});
    EXPECT_TRUE(EditorItemEnabled(*this, "Show Normal")) << "the G words are highlighted";
    OpenEditorMenu(*this);
    PickFromPopup(OpenPopup(), {"Show Normal"});
    EXPECT_FALSE(EditorItemEnabled(*this, "Show Normal"));
    ChooseMenu({"File", "New..."});
    EXPECT_FALSE(EditorItemEnabled(*this, "Hi Light")) << "an empty text has no lines";
}

// "Please Choose!": each output button shows its glyph and its whole caption.
TEST_F(TarnwickUser, PleaseChooseShowsGlyphsAndWholeCaptions)
{
    Start();
    bool shown = false;
    WhenModal([&](QWidget &Choice) {
        shown = true;
        const QList<TToolbarButton *> outputs = Choice.findChildren<TToolbarButton *>();
        EXPECT_EQ(outputs.size(), 4);
        for (TToolbarButton *b : outputs) {
            SCOPED_TRACE(b->Caption().toStdString());
            EXPECT_FALSE(b->Glyph().Empty()) << "no glyph";
            EXPECT_GE(b->width() - 4, b->fontMetrics().horizontalAdvance(PlainCaption(b->Caption())))
                << "the caption is clipped";
        }
        ExpectWindowFits(&Choice);
        Answer(Choice, "Cancel");
    });
    ClickToolbarButton("startbutton");
    EXPECT_TRUE(shown);
}

// The windows that keep their place, opened as their user opens them.
struct TKeptWindow {
    const char *Section; // in the settings file beside the program
    const char *Title;
    std::function<void(TarnwickUser &)> Open;
};

const TKeptWindow KeptWindows[] = {
    {"EditorForm", "Editor", [](TarnwickUser &) {}},
    {"MacroVarsForm", "Macro Variables #",
     [](TarnwickUser &U) { U.ChooseMenu({"Setup", "Macro Variables"}); }},
    {"Tool_Deck", "Machine Tooling", [](TarnwickUser &U) { U.ClickToolbarButton("Tooling"); }},
    {"VRT_form", "Corvane Virtual Reality",
     [](TarnwickUser &U) {
         U.WhenModal([&U](QWidget &Box) { U.Answer(Box, "OK"); }); // put tool 1 in
         U.ClickToolbarButton("VR Machine");
     }},
};

// Windows moved by their title bars (and the billet dialog by the window
// manager) open there again at the next start; each keeps its own section.
TEST_F(TarnwickUser, WindowsOpenWhereTheUserLeftThem)
{
    Start();
    std::map<std::string, QPoint> moved;
    for (const TKeptWindow &k : KeptWindows) {
        SCOPED_TRACE(k.Section);
        k.Open(*this);
        QWidget *window = WindowTitled(k.Title);
        ASSERT_NE(window, nullptr) << ShownWindows();
        QWidget *frame = Frame(window);
        const QPoint grip(frame->width() / 2, 8);
        // Up and left where there is room, so it stays inside the area.
        const QPoint by(frame->x() > 40 ? -37 : 37, frame->y() > 30 ? -23 : 23);
        Drag(frame, grip, grip + by);
        ExpectWindowFits(window);
        moved[k.Section] = frame->pos();
    }
    QPoint billet;
    WhenModal([&](QWidget &Dialog) {
        Dialog.windowHandle()->setPosition(Dialog.pos() + QPoint(-51, 33)); // the window manager
        Serve();
        billet = Dialog.pos();
        Answer(Dialog, "OK");
    });
    ChooseMenu({"Setup", "Default Billet Size..."});
    ChooseMenu({"File", "Exit"});
    EndProgram();

    const TIniFile positions(Dir.File("Tarnwick.ini"));
    for (const char *section : {"EditorForm", "MacroVarsForm", "Tool_Deck", "VRT_form", "B_Size"})
        EXPECT_TRUE(positions.ValueExists(section, "Top")) << "no [" << section << "]";

    Start();
    for (const TKeptWindow &k : KeptWindows) {
        SCOPED_TRACE(k.Section);
        k.Open(*this);
        QWidget *window = WindowTitled(k.Title);
        ASSERT_NE(window, nullptr) << ShownWindows();
        EXPECT_EQ(Frame(window)->pos(), moved[k.Section]);
    }
    QPoint again;
    WhenModal([&](QWidget &Dialog) {
        again = Dialog.pos();
        Answer(Dialog, "Cancel");
    });
    ChooseMenu({"Setup", "Default Billet Size..."});
    EXPECT_EQ(again, billet);
}

} // namespace
} // namespace orv::test
