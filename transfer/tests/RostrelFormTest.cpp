// Rostrel's frame, offscreen: the settings file, File New, the exclusive
// option boxes, the editor windows' load, save and line hand-out, the About
// box, and sending, receiving and the robot query over a pseudo-terminal
// listed as the second of two ports.

#include "components/lcd/ui/LCD_Lab.h"
#include "components/richedit/RichEditStrings.h"
#include "components/richedit/RichEditW.h"
#include "components/toolbar/ui/TbTlwn.h"
#include "platform/CursorService.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/ui/MdiHost.h"
#include "transfer/tests/PtyFarSide.h"
#include "transfer/ui/About.h"
#include "transfer/ui/InputWin.h"
#include "transfer/ui/Main.h"
#include "transfer/ui/RadioGroup.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace orv {
namespace {

class RostrelFormTest : public ::testing::Test {
protected:
    RostrelFormTest() {
        Loop.StepMs = 0;
        FOldDir = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(Dir.Path()));
    }
    ~RostrelFormTest() override {
        Form.reset();
        QDir::setCurrent(FOldDir);
    }
    // [Serial Ports] COM1 (no device) and COM3 (the pty), then the frame.
    void Start(const std::string &Extra = "") {
        Dir.Write("Rostrel.ini", "[Serial Ports]\nCOM1=" + Dir.File("none") +
                                     "\nCOM3=" + Far.Slave + "\n" + Extra);
        Form = std::make_unique<TMainForm>(Dir.Path());
    }
    template <class T> T *Child(const char *Name) { return Form->findChild<T *>(Name); }
    void Tick(const char *Name) { Child<QCheckBox>(Name)->click(); }
    std::string Label(const char *Name) { return Child<QLabel>(Name)->text().toStdString(); }
    std::vector<std::string> Texts() {
        std::vector<std::string> t;
        for (const auto &m : Messages.Log())
            t.push_back(m.Text);
        return t;
    }
    // The frame as its user meets it: shown, every posted layout served.
    void ShowFrame() {
        Form->show();
        Settle();
    }
    static void Settle() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    // A left click at the middle of W as drawn: the press and release go to
    // whatever widget of the frame is on top there.
    void ClickAt(QWidget *W) {
        const QPoint inFrame = W->mapTo(Form.get(), W->rect().center());
        QWidget *hit = Form->childAt(inFrame);
        ASSERT_EQ(hit, W) << W->objectName().toStdString() << " is covered at its middle";
        const QPoint p = W->rect().center();
        const QPoint global = W->mapToGlobal(p);
        QMouseEvent press(QEvent::MouseButtonPress, p, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(W, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, p, global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(W, &release);
    }
    // The toolbar and each of its buttons show inside the frame, above the
    // status panel and clear of it.
    void ExpectToolbarShown(const std::string &When) {
        SCOPED_TRACE(When);
        auto *bar = Child<QWidget>("Rostrel");
        auto *panel = Child<QWidget>("StatusPanel");
        ASSERT_TRUE(bar && panel);
        const QRect frame = Form->rect();
        const QRect barRect(bar->mapTo(Form.get(), QPoint(0, 0)), bar->size());
        const QRect panelRect(panel->mapTo(Form.get(), QPoint(0, 0)), panel->size());
        EXPECT_TRUE(bar->isVisible());
        EXPECT_TRUE(panel->isVisible());
        EXPECT_GT(bar->height(), 0);
        EXPECT_TRUE(frame.contains(barRect)) << "toolbar outside the frame";
        EXPECT_TRUE(frame.contains(panelRect)) << "panel outside the frame";
        EXPECT_FALSE(barRect.intersects(panelRect)) << "toolbar over the status panel";
        EXPECT_LE(barRect.bottom(), panelRect.top()) << "the panel lies below the toolbar";
        for (const char *name : {"ConfigureButt", "ReceiveButt", "SendButt", "StopButt", "SendOne"}) {
            auto *b = Child<QWidget>(name);
            ASSERT_TRUE(b) << name;
            const QRect r(b->mapTo(Form.get(), QPoint(0, 0)), b->size());
            EXPECT_TRUE(b->isVisible()) << name;
            EXPECT_TRUE(barRect.contains(r)) << name << " outside its toolbar";
            EXPECT_FALSE(r.intersects(panelRect)) << name << " over the status panel";
            EXPECT_EQ(Form->childAt(r.center()), b) << name << " covered";
        }
    }
    // Chooses Item of the menu-bar menu Menu, as a click on it does.
    void ChooseMenu(const char *Menu, const char *Item) {
        for (QAction *m : Form->menuBar()->actions())
            if (m->text() == Menu && m->menu())
                for (QAction *a : m->menu()->actions())
                    if (a->text() == Item) {
                        ASSERT_TRUE(a->isEnabled()) << Item;
                        a->trigger();
                        return;
                    }
        FAIL() << Menu << " > " << Item << " is not there";
    }
    void Poll(std::function<bool()> Until) {
        ASSERT_TRUE(test::WaitUntil(Until, [&] { Form->PollingTimerTimer(); }));
    }

    TTestEventLoop Loop;
    TEventLoopScope Scope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    test::TTempDir Dir;
    test::TPtyFarSide Far;
    std::unique_ptr<TMainForm> Form;
    QString FOldDir;
};

TEST_F(RostrelFormTest, SettingsDefaultsAndRoundTrip) {
    Form = std::make_unique<TMainForm>(Dir.Path());
    EXPECT_EQ(Form->IniFile(), Dir.File("Rostrel.ini"));
    EXPECT_EQ(Form->FontSize(), 8);
    EXPECT_EQ(Child<TRadioGroup>("DataBits")->ItemIndex(), 3);
    EXPECT_EQ(Child<TRadioGroup>("hwflow")->ItemIndex(), 0);
    Form.reset();

    Start("[COMSETTINGS]\nPORT=5\nBAUDRATE=12\n[DEFAULT]\nFONT SIZE=14\nHISTORY SIZE=3\n"
          "[OPTIONS]\nCOMMENT 1=REM\nUPPERCASE OUTPUT=1\n");
    EXPECT_EQ(Child<TRadioGroup>("ComPorts")->Item(1), "COM3");
    EXPECT_EQ(Child<TRadioGroup>("ComPorts")->ItemIndex(), 0); // PORT 5 of two ports
    EXPECT_EQ(Form->FontSize(), 14);
    Form->FileNew();
    EXPECT_EQ(Form->Editors()[0]->Editor()->DefAttributes().Size(), 14);
    for (QAction *a : Form->menuBar()->findChildren<QAction *>())
        if (a->isCheckable())
            EXPECT_FALSE(a->isChecked()) << a->text().toStdString();
    EXPECT_EQ(Form->History().Size(), 3);
    EXPECT_TRUE(Child<QCheckBox>("UpperOnly")->isChecked());
    Form->close();
    TIniFile ini(Dir.File("Rostrel.ini"));
    EXPECT_EQ(ini.ReadInteger("COMSETTINGS", "PORT", -1), 0);
    EXPECT_EQ(ini.ReadInteger("COMSETTINGS", "BAUDRATE", -1), 12);
    EXPECT_EQ(ini.ReadInteger("DEFAULT", "FONT SIZE", -1), 14);
    EXPECT_EQ(ini.ReadInteger("DEFAULT", "HISTORY SIZE", -1), 3); // left as the user wrote it
    EXPECT_EQ(ini.ReadString("OPTIONS", "COMMENT 1", ""), "REM");
    EXPECT_EQ(ini.ReadString("OPTIONS", "APPEND LF AFTER", ""), "0");
}

TEST_F(RostrelFormTest, FileNewLoadsAnExistingUnknownFileAndTheBoxesAreExclusive) {
    Dir.Write("UNKNOWN1", "N1 G0\r\nN2 M30\r\n");
    Start();
    Form->FileNew();
    ASSERT_EQ(Form->Editors().size(), 1u);
    TInputWin *e = Form->Editors()[0];
    EXPECT_EQ(e->WinId, 1);
    EXPECT_EQ(e->Editor()->Lines().GetCount(), 2);
    EXPECT_FALSE(e->Editor()->ShowSelectionBar());
    EXPECT_EQ(e->Editor()->LangOptions(), TLangOptions(loAutoFont));
    EXPECT_TRUE(e->Editor()->WordFormatting);
    EXPECT_EQ(e->NumberOfChars(), 11);
    Form->FileNew();
    EXPECT_EQ(Form->Editors()[1]->windowTitle(), "UNKNOWN2");
    EXPECT_EQ(Form->Editors()[1]->NumberOfChars(), 0);

    Tick("UpperOnly");
    Tick("LowerOnly");
    EXPECT_FALSE(Child<QCheckBox>("UpperOnly")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>("LowerOnly")->isChecked());
    Tick("AppendCR");
    Tick("AppendLF");
    EXPECT_TRUE(Child<QCheckBox>("AppendLF")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>("AppendCR")->isChecked());
}

TEST_F(RostrelFormTest, EditorWindowLinesLoadAndSave) {
    TInputWin w;
    w.Editor()->SetText("N1\nN2");
    std::string line;
    w.ResetSendPosition();
    EXPECT_TRUE(w.GetNextLine(line));
    EXPECT_EQ(line, "N1");
    EXPECT_FALSE(w.GetNextLine(line));
    EXPECT_EQ(line, "N2");

    w.LoadFile(Dir.Path()); // a folder cannot be read as a program
    w.SaveFile(Dir.File("no/such/folder/x.fnc"));
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"File open error !",
                                        "Cannot save file: " + Dir.File("no/such/folder/x.fnc")}));
    EXPECT_EQ(w.Editor()->Line(0), "N1"); // the text it had stays

    // A name holding UNKNOWN, also in a folder, asks for a name.
    Messages.Answer(Dir.File("saved.fnc"));
    w.SaveFile(Dir.File("UNKNOWN/x.fnc"));
    EXPECT_EQ(Messages.Log().back().Kind, "file");
    EXPECT_EQ(w.windowTitle().toStdString(), Dir.File("saved.fnc"));
    TInputWin back;
    back.LoadFile(Dir.File("saved.fnc"));
    EXPECT_EQ(back.Editor()->Text(), "N1\nN2\n"); // the file's closing break
}

// A save the disk refuses part way (here the file-size limit lets the text in
// but not its closing CR LF) leaves the old program byte for byte, says so
// and keeps the edit unsaved.
TEST_F(RostrelFormTest, EditorWindowFailedSaveKeepsTheOldFile) {
    const std::string old = "N10 G0 X0\r\nN20 M30\r\n";
    Dir.Write("p.fnc", old);
    TInputWin w;
    w.LoadFile(Dir.File("p.fnc"));
    w.Editor()->SetText("N1\nN2");
    w.Editor()->SetModified(true);
    {
        test::TFileSizeLimit limit(6);
        w.SaveFile(Dir.File("p.fnc"));
    }
    EXPECT_EQ(Texts(), std::vector<std::string>{"Cannot save file: " + Dir.File("p.fnc")});
    EXPECT_EQ(Dir.Read("p.fnc"), old);
    EXPECT_TRUE(w.Editor()->Modified());
    w.SaveFile(Dir.File("p.fnc"));
    EXPECT_EQ(Dir.Read("p.fnc"), "N1\r\nN2\r\n");
    EXPECT_FALSE(w.Editor()->Modified());
}

// The window reads and writes through its control's lines: plain text in
// code page 1252 (language 2057), the file's bytes kept on a round trip,
// the hourglass while reading.
TEST_F(RostrelFormTest, EditorWindowFilesGoThroughTheControlsLines) {
    TRecordingCursor cursor;
    SetCursorService(&cursor);
    const std::string program = "N1 G0 X1 (\x80 \xD8)\r\nN2 M30\r\n";
    Dir.Write("p.fnc", program);
    TInputWin w;
    w.LoadFile(Dir.File("p.fnc"));
    SetCursorService(nullptr);
    EXPECT_EQ(cursor.Calls, (std::vector<std::string>{"shape -11", "shape 0"}));
    EXPECT_EQ(w.Editor()->GetWideText(), u"N1 G0 X1 (\u20AC \u00D8)\nN2 M30\n");
    EXPECT_EQ(w.Editor()->Lines().GetCount(), 2);
    EXPECT_FALSE(w.Editor()->CanUndo());
    w.SaveFile(Dir.File("q.fnc"));
    EXPECT_EQ(Dir.Read("q.fnc"), program);

    // Without a closing break the saved file gains one; an empty editor
    // saves an empty file.
    Dir.Write("open.fnc", "N1\rN2");
    w.LoadFile(Dir.File("open.fnc"));
    w.SaveFile(Dir.File("open2.fnc"));
    EXPECT_EQ(Dir.Read("open2.fnc"), "N1\r\nN2\r\n");
    w.Editor()->clear();
    w.SaveFile(Dir.File("empty.fnc"));
    EXPECT_EQ(Dir.Read("empty.fnc"), "");
    EXPECT_TRUE(Texts().empty());
}

// Every byte but the line breaks comes back as it was read: the editor is
// no place to lose a program's odd characters (control codes, the five
// bytes code page 1252 leaves unassigned, NUL, the no-break space) or its
// empty lines.
TEST_F(RostrelFormTest, EditorWindowKeepsEveryByteOnARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += char(b);
    const struct {
        const char *Name;
        std::string Program;
    } cases[] = {
        {"every byte", "N1 " + all + "\r\nM30\r\n"},
        {"empty lines inside and at the end", "N1\r\n\r\nN2\r\n\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        Dir.Write("in.fnc", c.Program);
        TInputWin w;
        w.LoadFile(Dir.File("in.fnc"));
        w.SaveFile(Dir.File("out.fnc"));
        const std::string back = Dir.Read("out.fnc");
        EXPECT_EQ(back.size(), c.Program.size());
        EXPECT_TRUE(back == c.Program);
        for (size_t i = 0; i < std::min(back.size(), c.Program.size()); ++i)
            if (back[i] != c.Program[i])
                ADD_FAILURE() << "byte " << i << ": " << int(uint8_t(c.Program[i])) << " came back as "
                              << int(uint8_t(back[i]));
    }
    EXPECT_TRUE(Texts().empty());
}

// A loaded program keeps its closing line break: the send ends with a lone
// CR for it, a save writes it once, and the status line counts the lines
// of the file just loaded.
TEST_F(RostrelFormTest, LoadedFileKeepsItsClosingLineBreak) {
    std::string big;
    for (int i = 1; i <= 406; ++i)
        big += "N" + std::to_string(i) + "\r\n";
    const struct {
        const char *Name;
        std::string File;
        std::string Wire;
        std::string Saved;
        std::string Status;
    } cases[] = {
        {"closing CR LF", "N1 G0\r\nM30\r\n", "N1 G0\rM30\r\r", "N1 G0\r\nM30\r\n",
         "Line: 1 / 2, Column: 1"},
        {"no closing break", "N1 G0\r\nM30", "N1 G0\rM30\r", "N1 G0\r\nM30\r\n",
         "Line: 1 / 2, Column: 1"},
        {"closing LF", "N1\nN2\n", "N1\rN2\r\r", "N1\r\nN2\r\n", "Line: 1 / 2, Column: 1"},
        {"406 lines", big, "", big, "Line: 1 / 406, Column: 1"},
    };
    Start("[COMSETTINGS]\nPORT=1\nBAUDRATE=12\n");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        Dir.Write("p.fnc", c.File);
        TInputWin *e = Form->CreateMDIChild(Dir.File("p.fnc"));
        EXPECT_EQ(e->Status().toStdString(), c.Status);
        // A second load into the same window: the status is that of the new text.
        e->Editor()->SetText("A\nB\nC\nD\nE\nF\nG\nH\nI\nJ");
        e->LoadFile(Dir.File("p.fnc"));
        EXPECT_EQ(e->Status().toStdString(), c.Status);
        e->SaveFile(Dir.File("back.fnc"));
        EXPECT_EQ(Dir.Read("back.fnc"), c.Saved);
        if (!c.Wire.empty()) {
            // A few bytes: the pty holds them until they are read here.
            Form->SendButtClick("SendButt");
            std::string wire;
            while (wire.size() < c.Wire.size()) {
                const std::string piece = Far.ReadSome(2000, 256);
                if (piece.empty())
                    break;
                wire += piece;
            }
            EXPECT_EQ(wire, c.Wire);
            EXPECT_EQ(Far.ReadSome(100, 64), "") << "nothing after the closing CR";
        }
        e->parentWidget()->close();
    }
    EXPECT_TRUE(Texts().empty());
}

// The Help menu opens the help page beside the program (the program's name
// with ".htm") at its start, its index and its page on using help; without
// the page the user is told which file is missing.
TEST_F(RostrelFormTest, HelpMenuOpensThePagesOrSaysWhichFileIsMissing) {
    SetProgramPathOverride(Dir.Path(), "Rostrel");
    std::vector<std::string> opened;
    SetDocumentOpener([&](const std::string &Path) {
        opened.push_back(Path);
        return true;
    });
    Start();
    std::vector<std::string> items;
    for (QAction *m : Form->menuBar()->actions())
        if (m->text() == "&Help")
            for (QAction *a : m->menu()->actions())
                items.push_back(a->text().toStdString());
    EXPECT_EQ(items, (std::vector<std::string>{"&Contents", "&Search for Help On...",
                                               "&How to Use Help", "", "&About..."}));

    ChooseMenu("&Help", "&Contents");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Cannot open help file: " +
                                                Dir.File("Rostrel.hlp")});
    EXPECT_TRUE(opened.empty());

    Messages.ClearLog();
    std::ifstream shipped(std::string(ORV_DATA_DIR) + "/Rostrel.htm", std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(shipped)),
                           std::istreambuf_iterator<char>());
    EXPECT_NE(page.find("id=\"index\""), std::string::npos);
    EXPECT_NE(page.find("id=\"helponhelp\""), std::string::npos);
    Dir.Write("Rostrel.htm", page);
    ChooseMenu("&Help", "&Contents");
    ChooseMenu("&Help", "&Search for Help On...");
    ChooseMenu("&Help", "&How to Use Help");
    EXPECT_EQ(opened, (std::vector<std::string>{Dir.File("Rostrel.htm"),
                                                Dir.File("Rostrel.htm") + "#index",
                                                Dir.File("Rostrel.htm") + "#helponhelp"}));
    EXPECT_TRUE(Texts().empty());
    Form.reset();
    SetDocumentOpener(nullptr);
    SetProgramPathOverride("", "");
}

// Arrange All lines up the minimised editors' icons along the bottom of the
// area, left to right; the open editor stays where it is.
TEST_F(RostrelFormTest, ArrangeAllLinesUpTheMinimisedIcons) {
    Start();
    Form->resize(640, 480);
    ShowFrame();
    for (int i = 0; i < 3; ++i)
        Form->FileNew();
    const QList<QMdiSubWindow *> subs = Form->MdiArea()->subWindowList();
    ASSERT_EQ(subs.size(), 3);
    subs[0]->showMinimized();
    subs[2]->showMinimized();
    Settle();
    subs[0]->move(200, 40); // dragged away from where the area put it
    subs[2]->move(90, 10);
    const QRect open = subs[1]->geometry();
    ChooseMenu("&Window", "&Arrange All");
    Settle();
    const QRect area = Form->MdiArea()->viewport()->rect();
    const QRect first = subs[0]->geometry(), second = subs[2]->geometry();
    EXPECT_EQ(first.topLeft(), QPoint(0, area.bottom() + 1 - first.height()));
    EXPECT_EQ(second.topLeft(), QPoint(first.width(), area.bottom() + 1 - second.height()));
    EXPECT_TRUE(subs[0]->isMinimized());
    EXPECT_TRUE(subs[2]->isMinimized());
    EXPECT_EQ(subs[1]->geometry(), open);
    EXPECT_FALSE(subs[1]->isMinimized());
}

TEST_F(RostrelFormTest, VersionText) {
    EXPECT_EQ(VersionText(2, 3, 0, 7, false, false), "Ver: 2.3.0.7");
    EXPECT_EQ(VersionText(2, 3, 0, 7, false, true), "Ver: 2.3.0.7 *BETA*");
    EXPECT_EQ(VersionText(1, 0, 0, 1, true, false), "Ver: 1.0.0.1a ");
    TAboutBox box;
    EXPECT_EQ(box.Version(), "Ver: 2.3.0.7");
    EXPECT_EQ(box.windowTitle(), "About Rostrel");
}

TEST_F(RostrelFormTest, SendGoesToTheSecondListedPortAndBlocksOtherCommands) {
    Start("[COMSETTINGS]\nPORT=1\nBAUDRATE=12\n[OPTIONS]\nCOMMENT 1=rem\nSTRIP BLANK=1\n");
    Form->FileNew();
    TInputWin *e = Form->Editors()[0];
    e->Editor()->SetText("G0 X1\nREM tool change\n\nM30");
    Far.StartReading(115200, 6);
    bool busy = false;
    Loop.Post([&] {
        busy = Form->Sending() && !Child<QWidget>("SendButt")->isEnabled() &&
               !Child<QWidget>("ReceiveButt")->isEnabled();
        Form->SendButtClick("SendButt"); // ignored while sending
        Form->ReceiveButtClick();
        e->parentWidget()->close(); // stops the send, then closes
    });
    Form->SendButtClick("SendButt");
    Far.Join();
    EXPECT_TRUE(busy);
    EXPECT_EQ(Far.Received(), "G0 X1\r");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Data transfer cancelled by user !"}));
    EXPECT_TRUE(Form->Editors().empty() || Form->Editors()[0] != e);
    EXPECT_TRUE(Child<QWidget>("SendButt")->isEnabled());

    Messages.ClearLog();
    Form->SendButtClick("SendButt");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Please open a file to send !"}));
}

// The "Rostrel RS232 functions" toolbar is there from the start, above the
// status panel and clear of it, at every size, and stays after a send
// started from its own button.
TEST_F(RostrelFormTest, ToolbarShowsAboveTheStatusPanelAtEverySizeAndAfterASend) {
    Start("[COMSETTINGS]\nPORT=1\nBAUDRATE=12\n");
    Form->resize(640, 480);
    ShowFrame();
    ExpectToolbarShown("at start");
    // The narrowest asks for less room than the toolbar needs: the frame
    // keeps it.
    for (QSize size : {QSize(900, 700), QSize(420, 300), QSize(200, 150), QSize(640, 480)}) {
        Form->resize(size);
        Settle();
        ExpectToolbarShown("at " + std::to_string(size.width()) + " x " +
                           std::to_string(size.height()));
    }
    Form->FileNew();
    Form->Editors()[0]->Editor()->SetText("G0 X1\nM30");
    Far.StartReading(115200, 10);
    ClickAt(Child<QWidget>("SendButt"));
    Far.Join();
    EXPECT_EQ(Far.Received(), "G0 X1\rM30\r");
    EXPECT_TRUE(Texts().empty());
    Settle();
    ExpectToolbarShown("after a send");
}

TEST_F(RostrelFormTest, ReceiveIntoEditorsAndTheRobotReply) {
    Start("[COMSETTINGS]\nPORT=1\nBAUDRATE=12\n");
    // No editor: a new "RS232 Receive" window without asking.
    Form->ReceiveButtClick();
    ASSERT_EQ(Form->Editors().size(), 1u);
    TInputWin *rx = Form->Editors()[0];
    EXPECT_EQ(rx->windowTitle(), "RS232 Receive");
    EXPECT_TRUE(Messages.Log().empty());
    Far.WriteAll(std::string("N10 G0\r\nN20\0 G1\r\x01N30", 20));
    Poll([&] { return rx->Editor()->LineCount() == 2 && !rx->Editor()->Line(1).empty(); });
    EXPECT_EQ(rx->Editor()->Line(0), "N10 G0");
    EXPECT_EQ(rx->Editor()->Line(1), "N20 G1");
    EXPECT_EQ(Label("Received"), "12");
    Loop.Advance(3000);
    EXPECT_EQ(rx->Editor()->Line(2), "N30");
    EXPECT_EQ(rx->Status(), "Line 3 received without CR");
    EXPECT_EQ(Label("Dropped"), "2");

    // Cancel keeps the receive window; No makes a new one; Yes takes the active.
    Messages.Answer("Cancel");
    Form->ReceiveButtClick();
    EXPECT_EQ(Form->Editors().size(), 1u);
    Messages.Answer("No");
    Form->ReceiveButtClick();
    EXPECT_EQ(Form->Editors().size(), 2u);
    Form->FileNew();
    TInputWin *active = Form->Editors().back();
    Messages.Answer("Yes");
    Form->ReceiveButtClick();
    EXPECT_EQ(Messages.Log().back().Text, "Receive data into active editor ?");
    EXPECT_EQ(Form->Editors().size(), 3u);

    // "Where ?" sends WH CR LF; the reply shows on WhereLabel.
    Form->RobotWin()->SetVisible(true);
    Form->WhereButtonClick();
    std::string got;
    ASSERT_TRUE(test::WaitUntil([&] { return (got += Far.ReadSome(10, 64)).size() >= 4; }, [] {}));
    EXPECT_EQ(got, "WH\r\n");
    Far.WriteAll("X 1.0 Y 2.0\r\n");
    Poll([&] { return Child<TLCDLabel>("WhereLabel")->Caption() == "X 1.0 Y 2.0\r\n"; });
    EXPECT_EQ(active->Editor()->Line(0), "X 1.0 Y 2.0");

    // A hang-up ends the receive with the reason; every line stays.
    Messages.ClearLog();
    Far.CloseMaster();
    Poll([&] { return !Messages.Log().empty(); });
    EXPECT_EQ(Texts()[0].rfind("COM port lost: ", 0), 0u);
    EXPECT_FALSE(Form->PortOpen());
    EXPECT_EQ(rx->Editor()->LineCount(), 3);
}

} // namespace
} // namespace orv
