// A run from the editor window through the engine form on the test clock:
// the same records as the text source that ncrun uses, the start at the
// caret's line, the lock and the marked line while it runs, sub-program
// windows and the flash of a failing line.

#include "engine/chain/ui/Expanded.h"
#include "engine/form/EditorInput.h"
#include "engine/form/tests/FormEngine.h"
#include "machine/Machine_Tooling.h"
#include "shell/tests/EditorTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace orv {
namespace {

std::string DataFile(const std::string &Name)
{
    std::ifstream in(std::string(ORV_DATA_DIR) + "/" + Name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The demo program with the test folder's tools (1 and 2) and cycles.
std::string DemoProgram(const test::TEngineRun &Run)
{
    Run.Folder.Write("cycles.ini", DataFile("cycles.ini"));
    std::string demo = DataFile("programs/demo.fnc");
    const size_t t4 = demo.find("T4");
    if (t4 != std::string::npos)
        demo.replace(t4, 2, "T2");
    return demo;
}

// An engine whose editor source shows real editor windows.
class TEditorRun : public test::TEngineRun {
public:
    TEditorRun()
    {
        Host.EditorInput = [this] {
            auto input = std::make_unique<TEditorInput>(nullptr, [this] {
                auto form = std::make_unique<TEditorForm>();
                Forms.push_back(form.get());
                return form;
            });
            return input;
        };
    }
    void Start()
    {
        if (!Host.ButtonDown(TMainButton::Output2D))
            Host.ClickButton(TMainButton::Output2D);
        Host.ClickButton(TMainButton::Start);
    }
    TEditorInput &Input() { return dynamic_cast<TEditorInput &>(*Engine->Source()); }
    TEditorForm &Form(int Level) { return dynamic_cast<TEditorForm &>(Input().Editor(Level)); }
    std::vector<TEditorForm *> Forms;
};

TEST(EditorRun, RecordsAreThoseOfTheTextSource)
{
    std::vector<std::string> fromText;
    {
        test::TEngineRun run;
        run.Load("demo.fnc", DemoProgram(run));
        run.Host.ClickButton(TMainButton::Output2D);
        run.test::TEngineRun::Start();
        fromText = run.Lines;
    }
    TEditorRun run;
    run.Load("demo.fnc", DemoProgram(run));
    EXPECT_EQ(run.Form(0).windowTitle().toStdString(), "Editor - " + run.Folder.File("demo.fnc"));
    run.Start();
    ASSERT_GT(fromText.size(), 5u);
    EXPECT_EQ(run.Lines, fromText);
}

TEST(EditorRun, StartsAtTheCaretsLineAndLocksTheTextMeanwhile)
{
    TEditorRun run;
    run.Load("p.fnc", "G00 X1\nG00 X2\nG00 X3\nG00 X4\nM30\n");
    TEditorForm &form = run.Form(0);
    form.RichEdit()->SetCaretPos(2, 1);
    struct TSeen {
        int Line;
        bool ReadOnly;
        bool MenuEnabled;
        std::string Selected;
    };
    std::vector<TSeen> seen;
    run.Engine->OnHandOut = [&](const TCNC_data &Data) {
        if (Data.Motion == 0)
            seen.push_back({Data.LineNumber, form.RichEdit()->isReadOnly(),
                            form.EditorMenu()->actions()[0]->isEnabled(),
                            form.RichEdit()->SelText()});
    };
    run.Start();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Line, 3);
    EXPECT_TRUE(seen[0].ReadOnly);
    EXPECT_FALSE(seen[0].MenuEnabled);
    EXPECT_EQ(seen[0].Selected, "G00 X3");
    EXPECT_EQ(seen[1].Selected, "G00 X4");
    EXPECT_FALSE(form.RichEdit()->isReadOnly()) << "editable again after the stop";
    EXPECT_TRUE(form.EditorMenu()->actions()[0]->isEnabled());
}

TEST(EditorRun, SubProgramOpensASecondWindowRightOfTheFirst)
{
    TEditorRun run;
    run.Folder.Write("1234.fnc", "G00 X11\nM99\n");
    run.Load("main.fnc", "G00 X1\nM98 P1234\nG00 X2\nM30\n");
    run.Form(0).SetBounds({10, 10, 400, 300});
    int windows = 0;
    TEditorWindow::TBounds second;
    auto record = run.Engine->OnHandOut;
    run.Engine->OnHandOut = [&](const TCNC_data &Data) {
        record(Data);
        if (Data.Motion == 0 && Data.X == 11) {
            windows = run.Input().EditorCount();
            second = run.Input().Editor(1).Bounds();
        }
    };
    run.Start();
    EXPECT_EQ(run.Xs(), (std::vector<double>{1, 11, 2}));
    EXPECT_EQ(windows, 2);
    const auto first = run.Form(0).Bounds();
    EXPECT_EQ(second.Left, first.Left + first.Width);
    EXPECT_EQ(second.Top, first.Top);
}

TEST(EditorRun, AFailingLineFlashes)
{
    TEditorRun run;
    run.Load("bad.fnc", "G00 X1\nG01 X2 &&\nM30\n");
    run.Start();
    TEditorForm &form = run.Form(0);
    ASSERT_TRUE(run.Input().Flashing());
    run.Folder.Loop.Advance(250);
    EXPECT_EQ(form.RichEdit()->SelLength(), 0);
    EXPECT_EQ(form.RichEdit()->CaretLine(), 1);
    run.Folder.Loop.Advance(250);
    EXPECT_EQ(form.RichEdit()->SelText(), "G01 X2 &&");
    run.Folder.Loop.Advance(1000);
    EXPECT_FALSE(run.Input().Flashing());
    EXPECT_FALSE(form.RichEdit()->isReadOnly());
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST(EditorRun, TheEngineTellsTheEditorItsUnitsBilletAndTooling)
{
    TEditorRun run;
    run.Host.Billet.XSize = 120;
    run.Host.Billet.ZSize = 30;
    run.Load("p.fnc", "G00 X1\n");
    TEditorForm &form = run.Form(0);
    EXPECT_EQ(form.Units(), run.Engine->Inch() ? Inch : Metric);
    EXPECT_EQ(form.Billet().X, 120);
    EXPECT_EQ(form.Billet().Z, 30);
    EXPECT_EQ(form.ToolingFile(), run.Engine->Tooling()->DataFile());
    int changes = 0;
    run.Engine->OnInputStateChanged = [&changes](TObject *) { ++changes; };
    form.RichEdit()->InsertLine(1, "M30");
    EXPECT_GE(changes, 1);
    run.Engine->SetUnits(true);
    EXPECT_EQ(form.Units(), Inch);
}

TEST(EditorRun, ShowDrawElementFollowsThe2DOutput)
{
    TEditorRun run;
    run.Load("p.fnc", "G00 X1\nG00 X2\n");
    TEditorForm &form = run.Form(0);
    EXPECT_FALSE(form.OnHiliteOutput) << "no 2D output yet";
    run.Host.ClickButton(TMainButton::Output2D);
    EXPECT_TRUE(form.OnHiliteOutput);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST(EditorRun, AMachineErrorFlashesItsLine)
{
    TEditorRun run;
    run.Load("p.fnc", "G00 X1\nG00 X200\nM30\n");
    run.Engine->MachineError(nullptr, 2, "Limit Error", "Axis beyond its travel", "");
    TEditorForm &form = run.Form(0);
    EXPECT_EQ(form.RichEdit()->SelText(), "G00 X200");
    run.Folder.Loop.Advance(250);
    EXPECT_EQ(form.RichEdit()->SelLength(), 0);
    run.Folder.Loop.Advance(250);
    EXPECT_EQ(form.RichEdit()->SelText(), "G00 X200");
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// With expanded code asked for, the strip under the main editor window's
// text shows the generated blocks of a drilling cycle while they run, and
// goes away with the stop.
TEST(EditorRun, GeneratedBlocksShowInTheStripUnderTheText)
{
    TEditorRun run;
    run.Folder.Write("cycles.ini", DataFile("cycles.ini"));
    run.Load("p.fnc", "G90 G00 X0 Y0 Z5\nG99 G81 X10 Y10 Z-5 R2 F80\nG80\nM30\n");
    run.Engine->ShowExpanded = true;
    TEditorForm &form = run.Form(0);
    form.show();
    auto *strip = form.findChild<TExpanded *>();
    ASSERT_NE(strip, nullptr);
    std::vector<std::string> shown;
    run.Engine->OnHandOut = [&](const TCNC_data &) {
        const std::string text = strip->Code()->text().toStdString();
        if (strip->isVisible() && (shown.empty() || shown.back() != text))
            shown.push_back(text);
    };
    run.Start();
    EXPECT_FALSE(shown.empty()) << "the cycle's blocks were shown";
    for (const std::string &text : shown)
        EXPECT_EQ(text.find("G81"), std::string::npos) << text << ": a generated block";
    EXPECT_FALSE(strip->isVisible()) << "hidden after the stop";
}

} // namespace
} // namespace orv
