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
#include <QScrollBar>
#include <QTextCursor>
#include <QWidget>

#include <algorithm>

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

} // namespace
} // namespace orv::test
