// The 2D view and the windows an operator opens every day (run keys, help,
// menus), driven through real input: what the operator sees after each step.
#include "shell/tests/user/TarnwickUser.h"

#include "components/richedit/RichEditW.h"
#include "components/scpanel/ui/ScPanel.h"
#include "components/toolbar/ui/TbCtls.h"
#include "engine/form/base.h"
#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/Draw_2D.h"
#include "engine/view2d/ui/Form2DWindow.h"
#include "platform/IniFile.h"
#include "platform/ui/MdiHost.h"
#include "shell/ui/editor.h"
#include "shell/ui/main_form3_2.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextCursor>
#include <QWidget>

#include <algorithm>
#include <filesystem>

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

// --- Help and menus ---------------------------------------------------------------

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

} // namespace
} // namespace orv::test
