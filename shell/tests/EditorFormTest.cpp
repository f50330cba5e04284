// The NC editor window offscreen, with its message boxes and dialogs
// scripted: files, caption and status, colours, find, go to line, dropped
// files, the close query, the Modify commands, the syntax check and the
// block wizard.

#include "shell/tests/EditorTestSupport.h"

#include "localise/tests/WhenModal.h"
#include "localise/ui/LxQtDialogs.h"

#include "engine/chain/ui/Expanded.h"
#include "engine/core/Mess.h"
#include "platform/HelpService.h"
#include "platform/tests/FileSizeLimit.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace orv {
namespace {

class EditorFormTest : public ::testing::Test, public test::TEditorFixture {
protected:
    std::string Text() const { return Editor->RichEdit()->Text(); }
    std::unique_ptr<TEditorForm> Editor = MakeEditor();
};

TEST_F(EditorFormTest, CaptionNamesTheFile)
{
    EXPECT_EQ(Editor->windowTitle().toStdString(), "Editor - New File");
    Editor->RichEdit()->SetText("G00 X1");
    Folder.Messages.Answer(Folder.File("saved.fnc"));
    std::string name;
    Editor->SaveFileAs(name);
    EXPECT_EQ(name, Folder.File("saved.fnc"));
    EXPECT_EQ(Editor->windowTitle().toStdString(), "Editor - " + Folder.File("saved.fnc"));
    EXPECT_FALSE(Editor->RichEdit()->Modified());
    EXPECT_EQ(Folder.Read("saved.fnc"), "G00 X1\n");
}

TEST_F(EditorFormTest, LargeFilesOfferToTurnColouringOff)
{
    struct {
        size_t Bytes;
        int Questions;
    } cases[] = {{20480, 0}, {20481, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Bytes);
        Folder.Messages.ClearLog();
        auto editor = MakeEditor();
        std::string text;
        while (text.size() < c.Bytes)
            text += "G01 X10\n";
        text.resize(c.Bytes - 1);
        text += '\n';
        if (c.Questions)
            Folder.Messages.Answer("No");
        ASSERT_TRUE(editor->LoadFromFile(Folder.Write("big.fnc", text)));
        const auto texts = MessageTexts();
        EXPECT_EQ((int)texts.size(), c.Questions);
        if (c.Questions)
            EXPECT_EQ(texts[0], Mess().MessageText(36));
        EXPECT_TRUE(editor->Formatting()) << "No keeps the colouring";
    }
}

TEST_F(EditorFormTest, LoadColoursTheWordsAndLeavesTheTextUnmodified)
{
    ASSERT_TRUE(Editor->LoadFromFile(Folder.Write("p.fnc", "G01 X-12.5 Y3\r\n(G0 X1\r\n")));
    EXPECT_EQ(Text(), "G01 X-12.5 Y3\n(G0 X1");
    EXPECT_FALSE(Editor->RichEdit()->Modified());
    struct {
        int Position;
        uint32_t Colour;
        uint8_t Style;
    } cases[] = {{0, 16711680, 1}, {2, 16711680, 1}, {3, 0, 0}, {4, 255, 0}, {9, 255, 0},
                 {11, 0, 0}, {15, 0, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Position);
        uint32_t colour = 0, back = 0;
        uint8_t style = 0;
        Editor->RichEdit()->CharFormatAt(c.Position, colour, back, style);
        EXPECT_EQ(colour, c.Colour);
        EXPECT_EQ(style & 1, c.Style);
    }
}

TEST_F(EditorFormTest, ProgramBytesKeepTheirValues)
{
    const std::string program = "G01 X\xD8" "12 Y1\nM30\n";
    ASSERT_TRUE(Editor->LoadFromFile(Folder.Write("bytes.fnc", program)));
    EXPECT_EQ(Editor->LineText(0), "G01 X\xD8" "12 Y1");
    uint32_t colour = 0, back = 0;
    uint8_t style = 0;
    Editor->RichEdit()->CharFormatAt(7, colour, back, style);
    EXPECT_EQ(colour, ColourRed) << "216 belongs to the X word";
    Editor->RichEdit()->InsertLine(2, "M02");
    Editor->SaveFile();
    EXPECT_EQ(Folder.Read("bytes.fnc"), "G01 X\xD8" "12 Y1\nM30\nM02\n");
    EXPECT_FALSE(Editor->RichEdit()->Modified());
}

TEST_F(EditorFormTest, PrintsTheTextAndKeepsTheWindowColour)
{
    Editor->RichEdit()->SetText("G00 X1\nM30");
    Editor->RichEdit()->SetColor(65535);
    Dialogs.PrintTo = Folder.File("print.pdf");
    Editor->Print();
    EXPECT_GT(std::filesystem::file_size(Folder.File("print.pdf")), 0u);
    EXPECT_EQ(Editor->RichEdit()->Color(), 65535u);
}

TEST_F(EditorFormTest, PrintUsesThePrinterAsSetUp)
{
    Dialogs.Setup = [](QPrinter &Printer) {
        return Printer.setPageOrientation(QPageLayout::Landscape);
    };
    Editor->MenuAction("PrinterSetup1")->trigger();
    Editor->RichEdit()->SetText("G00 X1");
    Dialogs.PrintTo = Folder.File("print.pdf");
    Editor->MenuAction("Print1")->trigger();
    EXPECT_EQ(Dialogs.PrintedOrientation, QPageLayout::Landscape);
    EXPECT_TRUE(std::filesystem::exists(Folder.File("print.pdf")));
}

TEST_F(EditorFormTest, PrintAndPrinterSetupOpenTheLocalisedDialogs)
{
    InstallLxDialogs();
    SetEditorDialogs(nullptr);
    struct Case {
        const char *Action;
        const char *Dialog;
    };
    for (const Case &c : {Case{"Print1", "LxPrintDialog"},
                          Case{"PrinterSetup1", "LxPrinterSetupDialog"}}) {
        std::string name;
        test::WhenModal([&](QDialog &D) { name = D.objectName().toStdString(); });
        Editor->MenuAction(c.Action)->trigger();
        EXPECT_EQ(name, c.Dialog);
    }
}

TEST_F(EditorFormTest, MenuGroupsForAMainWindow)
{
    EXPECT_EQ(Editor->EditorMenu()->menuAction()->property(MenuGroupProperty).toInt(), 2);
    EXPECT_EQ(Editor->MenuAction("Print1")->property(MenuGroupProperty).toInt(), 10);
    int fives = 0;
    for (QAction *action : Editor->EditorMenu()->actions())
        fives += action->property(MenuGroupProperty).toInt() == 5;
    EXPECT_EQ(fives, 4);
}

TEST_F(EditorFormTest, StatusShowsLineAndColumn)
{
    Editor->RichEdit()->SetText("G00\nG01 X1\nG01 X2\nG01 X3\nM30");
    std::vector<int> lines;
    Editor->LineSelectChanged = [&lines](TObject *, int Line) { lines.push_back(Line); };
    Editor->RichEdit()->SetCaretPos(0, 2);
    EXPECT_TRUE(lines.empty()) << "the first line fires nothing";
    Editor->RichEdit()->SetCaretPos(1, 0);
    EXPECT_EQ(Editor->StatusText(), "Line: 2 / 5, Column: 1");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), 2);
}

TEST_F(EditorFormTest, GotoLineOffersOneMoreThanTheLineCount)
{
    Editor->RichEdit()->SetText("G00\nG01 X1\nM30");
    Dialogs.Requests.push_back([](TRequestValues &V) {
        V.Number = 2;
        return true;
    });
    Editor->GotoLineNumber();
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Maximum, 4);
    EXPECT_EQ(Dialogs.Asked[0].Description, "Enter Line number");
    EXPECT_EQ(Editor->RichEdit()->SelText(), "G01 X1");
}

TEST_F(EditorFormTest, FindSelectsTheMatchAndAMissLeavesTheCaret)
{
    Editor->RichEdit()->SetText("G00 X1\nG01 X20\nG01 X20");
    Dialogs.Finds = {"x20"};
    Editor->Find();
    EXPECT_EQ(Editor->SelStart(), 11);
    EXPECT_EQ(Editor->SelLength(), 3);
    Editor->FindNext();
    EXPECT_EQ(Editor->SelStart(), 19);
    Editor->FindNext();
    EXPECT_EQ(Editor->SelStart(), 19) << "no further match: the caret stays";
}

TEST_F(EditorFormTest, TwoDroppedFilesAreRefused)
{
    Editor->RichEdit()->SetText("G00 X1");
    Editor->FilesDropped({QString::fromStdString(Folder.Write("a.fnc", "A")),
                          QString::fromStdString(Folder.Write("b.fnc", "B"))});
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Mess().MessageText(27)}));
    EXPECT_EQ(Text(), "G00 X1");
    const std::string longName(300, 'n');
    std::filesystem::create_directories(Folder.File("deep"));
    const std::string path = Folder.Write("deep/" + longName.substr(0, 200) + ".fnc", "G01 X5");
    Editor->FilesDropped({QString::fromStdString(path)});
    EXPECT_EQ(Text(), "G01 X5") << "a long path is taken whole";
}

TEST_F(EditorFormTest, FailedLoadKeepsTextAndName)
{
    ASSERT_TRUE(Editor->LoadFromFile(Folder.Write("old.fnc", "G00 X1")));
    Editor->RichEdit()->InsertLine(1, "G01 X2");
    ASSERT_TRUE(Editor->RichEdit()->Modified());
    Folder.Messages.Answer("No"); // save alterations? no
    // A file that exists and cannot be read.
    EXPECT_FALSE(Editor->LoadFromFile("/proc/self/mem"));
    EXPECT_EQ(MessageTexts().back(), Mess().MessageText(37));
    EXPECT_EQ(Text(), "G00 X1\nG01 X2");
    EXPECT_EQ(Editor->FileName(), Folder.File("old.fnc"));
    EXPECT_TRUE(Editor->RichEdit()->Modified());
    EXPECT_FALSE(Editor->LoadFromFile(Folder.File("missing.fnc")));
    EXPECT_EQ(Text(), "G00 X1\nG01 X2");
}

TEST_F(EditorFormTest, FailedSaveKeepsTheModifiedFlag)
{
    Editor->RichEdit()->InsertLine(0, "G00 X1");
    Folder.Messages.Answer(Folder.File("no/such/folder/p.fnc"));
    std::string name;
    Editor->SaveFileAs(name);
    EXPECT_TRUE(name.empty());
    EXPECT_EQ(MessageTexts().back(), Mess().MessageText(6));
    EXPECT_TRUE(Editor->RichEdit()->Modified());
    EXPECT_EQ(Editor->windowTitle().toStdString(), "Editor - New File");
}

// The disk refusing the new text part way (here the file-size limit) leaves
// the program on disk as it was, and the window still holds the unsaved edit.
TEST_F(EditorFormTest, FailedSaveKeepsTheOldFileAndTheModifiedFlag)
{
    const std::string old = "%\nO0001\nG00 X0 Y0\nG01 X50 F200\nM30\n%\n";
    ASSERT_TRUE(Editor->LoadFromFile(Folder.Write("prog.fnc", old)));
    std::string longer;
    for (int i = 0; i < 400; ++i) {
        Editor->RichEdit()->InsertLine(i, "G01 X" + std::to_string(i) + " Y1");
        longer += "G01 X" + std::to_string(i) + " Y1\n";
    }
    ASSERT_TRUE(Editor->RichEdit()->Modified());
    {
        test::TFileSizeLimit limit(old.size());
        Editor->SaveFile();
    }
    EXPECT_EQ(MessageTexts().back(), Mess().MessageText(6));
    EXPECT_EQ(Folder.Read("prog.fnc"), old);
    EXPECT_TRUE(Editor->RichEdit()->Modified());
    Editor->SaveFile();
    EXPECT_EQ(Folder.Read("prog.fnc").rfind(longer + "%\nO0001\n", 0), 0u);
    EXPECT_FALSE(Editor->RichEdit()->Modified());
}

TEST_F(EditorFormTest, CancelInTheSaveDialogAtCloseKeepsTheProgram)
{
    // An unnamed program is asked about first (Yes, No, Cancel); Yes asks
    // for its name, and a cancelled save dialog keeps it.
    Editor->RichEdit()->InsertLine(0, "G00 X1");
    Folder.Messages.Answer("Yes");
    Folder.Messages.Answer(""); // the save dialog cancelled
    EXPECT_FALSE(Editor->CloseQuery());
    const auto &log = Folder.Messages.Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2].Buttons, mbYesNoCancel) << "the question with Cancel first";
    EXPECT_EQ(log.back().Kind, "file");
    Folder.Messages.Answer("Yes");
    Folder.Messages.Answer(Folder.File("kept.fnc"));
    EXPECT_TRUE(Editor->CloseQuery());
    EXPECT_EQ(Folder.Read("kept.fnc"), "G00 X1\n");
    Editor->RichEdit()->InsertLine(1, "M30");
    Folder.Messages.Answer("Cancel");
    EXPECT_FALSE(Editor->CloseQuery()) << "a named program: Cancel keeps it open";
    Folder.Messages.Answer("No");
    EXPECT_TRUE(Editor->CloseQuery()) << "No lets it go unsaved";
    EXPECT_EQ(Folder.Read("kept.fnc"), "G00 X1\n");
}

TEST_F(EditorFormTest, SyntaxCheckWithoutErrors)
{
    Editor->RichEdit()->SetText("G00 X0\nG01 X10 F100\nM30");
    Editor->RichEdit()->SetCaretPos(2, 0);
    Editor->CheckSyntax();
    EXPECT_EQ(Editor->StatusText(), "CNC syntax checked, no errors found.");
    EXPECT_EQ(Editor->RichEdit()->CaretLine(), 0);
}

TEST_F(EditorFormTest, SyntaxCheckCancelledAtAnError)
{
    Editor->RichEdit()->SetText("G00 X0\nG01 X1 &&\nG01 X2 &&\nM30");
    Folder.Messages.Answer("OK");
    Folder.Messages.Answer("Cancel");
    Editor->CheckSyntax();
    EXPECT_EQ(Editor->StatusText(), "CNC syntax checked, error(s) found.");
    EXPECT_EQ(Editor->RichEdit()->SelText(), "G01 X2 &&");
    EXPECT_EQ(Editor->RichEdit()->CaretLine(), 2);
    EXPECT_EQ(MessageTexts().size(), 2u) << "each failing line is shown once";
}

TEST_F(EditorFormTest, ModifyCommandsRewriteTheTextAndKeepItsColours)
{
    Editor->RichEdit()->SetText("G1X10Y-5\nG1X20");
    Dialogs.Requests.push_back([](TRequestValues &V) { return V.Token = "__", true; });
    Editor->AddPadding(true, false);
    EXPECT_EQ(Text(), "G1__X10__Y-5\nG1__X20");
    Dialogs.Requests.push_back([](TRequestValues &V) { return V.Token = "__", true; });
    Editor->AddPadding(true, true);
    EXPECT_EQ(Text(), "G1X10Y-5\nG1X20");
    Dialogs.Requests.push_back([](TRequestValues &V) { return V.Token = "%;", true; });
    Editor->AppendLineEndToken();
    Dialogs.Requests.push_back([](TRequestValues &) { return true; });
    Editor->AppendLineEndToken();
    EXPECT_EQ(Text(), "G1X10Y-5%;\nG1X20%;");
    EXPECT_EQ(Editor->Format().LineEnd, "%;");
    Dialogs.Requests.push_back([](TRequestValues &) { return true; });
    Editor->RemoveLineEndToken();
    EXPECT_EQ(Text(), "G1X10Y-5\nG1X20");
    Dialogs.Alters.push_back([](TAlterValues &V) { return V.Percentage = 150, true; });
    Editor->RichEdit()->SetSelection(0, 0);
    Editor->AlterValues(3);
    EXPECT_EQ(Text(), "G1X15Y-5\nG1X30");
    uint32_t colour = 0, back = 0;
    uint8_t style = 0;
    Editor->RichEdit()->CharFormatAt(3, colour, back, style);
    EXPECT_EQ(colour, ColourRed);
    EXPECT_EQ(style & 1, 1) << "a changed value shows bold red";
}

TEST_F(EditorFormTest, WizardInsertsTheFooterAndANumberedBlock)
{
    Editor->RichEdit()->SetText("N10 G00 X0 Y0 Z0\nN20 G00 X5\nM30");
    Editor->RichEdit()->SetCaretPos(1, 0);
    Dialogs.Wizards.push_back([](TWizardModel &M) {
        M.Enter(wX, 7);
        return true;
    });
    Editor->WizardMenuClick(201);
    EXPECT_EQ(Text(), "N10 G00 X0 Y0 Z0\nN15 G01 X7\nN20 G00 X5\nM30");
    Editor->RichEdit()->SetCaretPos(3, 0);
    Editor->InsertHeaderFooter(true);
    EXPECT_EQ(Text(), "N10 G00 X0 Y0 Z0\nN15 G01 X7\nN20 G00 X5\nM05\nG91 G28 X0 Y0 Z0\nM30\nM30");
}

TEST_F(EditorFormTest, WizardWithNoRoomForANumberOffersToRenumber)
{
    Editor->RichEdit()->SetText("N10 G00 X0 Y0 Z0\nN11 G00 X5");
    Editor->RichEdit()->SetCaretPos(1, 0);
    Dialogs.Wizards.push_back([](TWizardModel &M) { return M.Enter(wX, 7), true; });
    Dialogs.Numberings.push_back([](TNumbering &N) { return N = {"N", 10, 10, 0, false}, true; });
    Folder.Messages.Answer("Yes");
    Editor->WizardMenuClick(201);
    ASSERT_FALSE(MessageTexts().empty());
    EXPECT_NE(MessageTexts().back().find("Do you wish to renumber the whole file?"),
              std::string::npos);
    EXPECT_EQ(Text(), "N10 G00 X0 Y0 Z0\nN20 G01 X7\nN30 G00 X5");
}

TEST_F(EditorFormTest, WizardOnAnUnsupportedCode)
{
    Editor->RichEdit()->SetText("G76 X1 Z-2");
    Editor->WizardMenuClick(0);
    EXPECT_EQ(Dialogs.NotSupportedShown, 1);
    EXPECT_EQ(Dialogs.NotSupportedCaption, "G76 Not Supported");
    EXPECT_EQ(Text(), "G76 X1 Z-2");
}

TEST_F(EditorFormTest, CtrlF1AsksForTheHelpOfTheCodeUnderTheCaret)
{
    Folder.Write("Help.ini", "[Standard Code]\nG=2000,NUMBER\nM=3000,NUMBER\n");
    auto editor = MakeEditor();
    editor->RichEdit()->SetText("N10 G01 X5\nM03\n(NOTE");
    editor->RichEdit()->SetCaretPos(0, 5);
    const size_t before = Help().Requests().size();
    editor->CodeHelp(true);
    editor->RichEdit()->SetCaretPos(1, 1);
    editor->CodeHelp(true);
    ASSERT_EQ(Help().Requests().size(), before + 2);
    EXPECT_EQ(Help().Requests()[before].Context, 200001);
    EXPECT_EQ(Help().Requests()[before + 1].Context, 300003);
    EXPECT_EQ(editor->RichEdit()->CaretColumn(), 1) << "the caret is put back";
}

TEST_F(EditorFormTest, CodeHelpOpensTheTopicOfTheCodeInTheHelpPage)
{
    // The editor's help file is "mill.hlp" in the program folder; its topics
    // are the anchors of the page beside it.
    Folder.Write("Mill.htm", "<html></html>");
    std::vector<THelpDocument> shown;
    Help().SetViewer([&shown](const THelpDocument &Document) { shown.push_back(Document); });
    const struct {
        const char *Case;
        std::string Reference;
        std::vector<THelpDocument> Shown;
    } rows[] = {
        {"prefix and code", "[Standard Code]\nG=2000,NUMBER\n", {{Folder.File("Mill.htm"), "200001"}}},
        {"prefix alone", "[Standard Code]\nG=2000\n", {{Folder.File("Mill.htm"), "2000"}}},
        {"a context that is no integer shows nothing", "[Standard Code]\nG=20A0,NUMBER\n", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Case);
        Folder.Write("Help.ini", row.Reference);
        shown.clear();
        auto editor = MakeEditor();
        editor->RichEdit()->SetText("N10 G01 X5");
        editor->RichEdit()->SetCaretPos(0, 5);
        EXPECT_NO_THROW(editor->CodeHelp(true));
        EXPECT_EQ(shown, row.Shown);
    }
    Help().SetViewer(nullptr);
}

TEST_F(EditorFormTest, ExpandedCodeStripIsDockedAlongTheBottomOfTheText)
{
    auto editor = MakeEditor();
    editor->resize(500, 300);
    auto view = editor->CreateExpandedView();
    auto *strip = editor->findChild<TExpanded *>();
    ASSERT_NE(strip, nullptr);
    EXPECT_FALSE(strip->isWindow()) << "part of the editor window, not a window of its own";
    editor->show();
    EXPECT_FALSE(strip->isVisible()) << "hidden until a generated block is shown";
    view->SetCode("G01 X10 Y0 Z-5");
    view->Show();
    editor->centralWidget()->layout()->activate();
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->Code()->text().toStdString(), "G01 X10 Y0 Z-5");
    const QRect text = editor->RichEdit()->geometry();
    EXPECT_EQ(strip->geometry(), QRect(text.left(), text.bottom() + 1, text.width(), 27));
    EXPECT_EQ(text.bottom() + 1 + 27, editor->centralWidget()->height());
    view->Hide();
    editor->centralWidget()->layout()->activate();
    EXPECT_EQ(editor->RichEdit()->height(), editor->centralWidget()->height())
        << "the text takes the room back";
    // The window may go before the source's handle on the strip.
    editor.reset();
    view->SetCode("G00 Z5");
    view->Show();
    view.reset();
}

TEST_F(EditorFormTest, AnAdoptedWindowIsPlacedAndShownThroughItsMdiFrame)
{
    // The source puts a sub-program's window right of the first one by
    // their bounds; inside a main window those are the MDI frames'.
    QMdiArea area;
    area.resize(900, 600);
    area.show();
    auto first = MakeEditor();
    auto second = MakeEditor();
    QMdiSubWindow *firstFrame = area.addSubWindow(first.get());
    QMdiSubWindow *secondFrame = area.addSubWindow(second.get());
    firstFrame->hide();
    secondFrame->hide();
    first->ShowWindow();
    EXPECT_TRUE(firstFrame->isVisible()) << "showing the window shows its frame";
    first->SetBounds({10, 20, 300, 200});
    EXPECT_EQ(firstFrame->geometry(), QRect(10, 20, 300, 200));
    const TEditorWindow::TBounds b = first->Bounds();
    second->SetBounds({b.Left + b.Width, b.Top, b.Width, b.Height});
    second->ShowWindow();
    EXPECT_EQ(secondFrame->geometry(), QRect(310, 20, 300, 200));
    EXPECT_TRUE(secondFrame->isVisible());
}

TEST_F(EditorFormTest, HiLightMarksEveryWordOfALetterAndShowNormalTakesItAway)
{
    Editor->RichEdit()->SetText("g1 z5\nG0 Z-2");
    Editor->RichEdit()->SetModified(false);
    Editor->HiLight('Z');
    uint32_t colour = 0, back = 0;
    uint8_t style = 0;
    for (int position : {3, 10}) {
        SCOPED_TRACE(position);
        Editor->RichEdit()->CharFormatAt(position, colour, back, style);
        EXPECT_EQ(colour, ColourRed);
        EXPECT_EQ(style & 1, 1);
    }
    EXPECT_FALSE(Editor->RichEdit()->Modified());
    EXPECT_TRUE(Editor->MenuAction("ShowNormal1")->isEnabled());
    Editor->ShowNormal();
    Editor->RichEdit()->CharFormatAt(10, colour, back, style);
    EXPECT_EQ(colour, 0u);
    EXPECT_FALSE(Editor->MenuAction("ShowNormal1")->isEnabled());
}

TEST_F(EditorFormTest, LineNumberingRenumbersWithTheDialogsValues)
{
    Editor->RichEdit()->SetText("G1 X10\n(NOTE\nN7 G1 X20");
    Dialogs.Numberings.push_back([](TNumbering &N) {
        N = {"N", 10, 10, 0, false};
        return true;
    });
    Editor->LineNumbering();
    EXPECT_EQ(Text(), "N10 G1 X10\n(NOTE\nN20 G1 X20");
    EXPECT_EQ(Editor->Format().Numbering.Start, 10);
    Dialogs.Numberings.push_back([](TNumbering &N) { return N.Remove = true, true; });
    Editor->LineNumbering();
    EXPECT_EQ(Text(), "G1 X10\n(NOTE\nG1 X20");
}

TEST_F(EditorFormTest, CommandsWorkOnTheSelectedLinesOnly)
{
    Editor->RichEdit()->SetText("g1 x1\ng1 x2\ng1 x3");
    const int start = Editor->RichEdit()->LineStart(1);
    Editor->RichEdit()->SetSelection(start + 1, Editor->RichEdit()->LineStart(2) - start - 1);
    Editor->ChangeCase(true);
    EXPECT_EQ(Text(), "g1 x1\nG1 X2\ng1 x3") << "a selection ending at a line start leaves it";
}

TEST_F(EditorFormTest, PopupOffersTheWizardsOrTheAlteration)
{
    Editor->RichEdit()->SetText("G01 X5");
    // The context-menu request a right click makes on the text.
    auto rightClick = [this] {
        QWidget *text = Editor->RichEdit()->viewport();
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), text->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(text, &request);
        EXPECT_TRUE(Editor->PopupMenu()->isVisible());
        Editor->PopupMenu()->close();
    };
    struct {
        const char *Name;
        int Length;
        bool Wizards;
    } cases[] = {{"nothing selected: the Wizards menu", 0, true},
                 {"a selection: Wizard... alters it", 3, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        Editor->RichEdit()->SetSelection(0, c.Length);
        rightClick();
        EXPECT_EQ(Editor->MenuAction("Wizards1")->isVisible(), c.Wizards);
        EXPECT_EQ(Editor->MenuAction("Wizard1")->isVisible(), !c.Wizards);
        EXPECT_EQ(Editor->MenuAction("Copy1")->isEnabled(), !c.Wizards);
    }
}

TEST_F(EditorFormTest, ARunLocksTextAndMenu)
{
    Editor->SetReadOnly(true);
    Editor->SetMenuEnabled(false);
    EXPECT_TRUE(Editor->RichEdit()->isReadOnly());
    for (QAction *a : Editor->EditorMenu()->actions())
        EXPECT_FALSE(a->isEnabled());
    Editor->SetReadOnly(false);
    Editor->SetMenuEnabled(true);
    EXPECT_FALSE(Editor->RichEdit()->isReadOnly());
}

} // namespace
} // namespace orv
