// The debug window of the queued and router-box controllers, offscreen:
// lists cleared past 800 lines, "Send  ->" and Enter hand the command line
// to the controller, "Capture Receive" copies the received list; the
// program's factories make MDI children of the queued controller's window
// and the trace window.

#include "links/LowLevelNew.h"
#include "links/ui/CardForms.h"
#include "links/ui/LineDebugForm.h"
#include "platform/EventLoop.h"
#include "platform/tests/ProgramFolder.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/MdiHost.h"
#include "platform/ui/QtPos_size.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <algorithm>

namespace orv {
namespace {

TEST(LineDebugFormTest, ListsClearPast800Lines) {
    TLowLevelNewDebugForm form;
    EXPECT_EQ(form.windowTitle(), "LowLevelNewDebugForm");
    for (int i = 1; i <= 800; ++i)
        form.AddSent("frame " + std::to_string(i));
    EXPECT_EQ(form.SentMemo->document()->blockCount(), 800);
    form.AddSent("frame 801");
    EXPECT_TRUE(form.SentMemo->toPlainText().isEmpty());
    form.AddReceived("[EVENT ACK]");
    EXPECT_EQ(form.ReceiveMemo->toPlainText(), "[EVENT ACK]");
}

TEST(LineDebugFormTest, SendAndEnterHandTheTextOverAndCaptureCopies) {
    TQuorelDebugForm form;
    EXPECT_EQ(form.windowTitle(), "QuorelDebugForm");
    std::vector<std::string> sent;
    form.OnCommand = [&](const std::string &Text) { sent.push_back(Text); };
    form.CommandLine->setText("xz?");
    form.Button1->click();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form.CommandLine, &enter);
    EXPECT_EQ(sent, (std::vector<std::string>{"xz?", "xz?"}));
    EXPECT_EQ(form.Button1->text(), "Send  ->");
    form.AddReceived("x1y2z3G");
    form.AddReceived("x1y2z3");
    form.Button2->click();
    EXPECT_EQ(form.Capture->toPlainText(), "x1y2z3G\nx1y2z3");
}

// The program's factory gives the queued controller its window, whose
// command line queues a read frame.
TEST(LineDebugFormTest, QueuedControllerQueuesTheCommandLine) {
    test::TTempDir dir;
    test::TProgramFolder folder(dir.Path()); // the window keeps its position there
    TPlainEventLoop loop;
    TEventLoopScope scope(loop);
    InstallLinkViews();
    TControllerLowLevelNew controller;
    LinkViews().LineDebug = nullptr;
    TLowLevelNewDebugForm *window = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = dynamic_cast<TLowLevelNewDebugForm *>(w))
            window = f;
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    window->CommandLine->setText("vn6");
    window->Button1->click();
    EXPECT_EQ(controller.Queued(), 1u);
}

// Whether Window's frame keeps its position.
bool KeepsPosition(QWidget *Window) {
    for (QObject *o : Window->children())
        if (dynamic_cast<TQtPos_size *>(o))
            return true;
    return false;
}

// With a main window the queued controller's window and "Next Step DEBUG"
// are its MDI children, the router box's window stands on its own; each
// frame keeps its position. The main window may free its children first:
// the controllers' handles then write to nothing.
TEST(LinkViewsTest, MdiChildrenWhereTheMainWindowTakesThem) {
    test::TTempDir dir;
    test::TProgramFolder folder(dir.Path()); // the windows keep their positions there
    auto area = std::make_unique<QMdiArea>();
    SetMdiAdopter([&](QWidget *W) {
        area->addSubWindow(W);
        return true;
    });
    InstallLinkViews();
    std::unique_ptr<TLineDebugView> queued = LinkViews().LineDebug("LowLevelNewDebugForm");
    std::unique_ptr<TLineDebugView> router = LinkViews().LineDebug("QuorelDebugForm");
    std::unique_ptr<TCardTraceView> trace = LinkViews().Trace();
    SetMdiAdopter(nullptr);
    LinkViews() = TLinkViews();

    ASSERT_EQ(area->subWindowList().size(), 2);
    std::vector<std::string> children;
    for (QMdiSubWindow *sub : area->subWindowList()) {
        children.push_back(sub->widget()->windowTitle().toStdString());
        EXPECT_TRUE(KeepsPosition(sub));
        EXPECT_TRUE(sub->isVisibleTo(area.get()));
    }
    std::sort(children.begin(), children.end());
    EXPECT_EQ(children, (std::vector<std::string>{"LowLevelNewDebugForm", "Next Step DEBUG"}));
    TQuorelDebugForm *own = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = dynamic_cast<TQuorelDebugForm *>(w))
            own = f;
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(own->isVisible());
    EXPECT_TRUE(KeepsPosition(own));

    // Lines and the command line still pass through the handles.
    std::vector<std::string> commands;
    router->OnCommand = [&](const std::string &Text) { commands.push_back(Text); };
    router->AddReceived("x1y2z3");
    EXPECT_EQ(own->ReceiveMemo->toPlainText(), "x1y2z3");
    own->CommandLine->setText("xz?");
    own->Button1->click();
    EXPECT_EQ(commands, std::vector<std::string>{"xz?"});

    area.reset(); // the main window goes first
    queued->AddSent("frame");
    trace->Trace("Get Pos");
    queued.reset();
    trace.reset();
    router.reset();
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TQuorelDebugForm *>(w), nullptr);
}

TEST(CardFormsTest, TraceClearsPast300LinesAndCaptureCopies) {
    TNextStepdebug form;
    EXPECT_EQ(form.windowTitle(), "Next Step DEBUG");
    for (int i = 1; i <= 300; ++i)
        form.Trace("Get Pos");
    EXPECT_EQ(form.Memo->document()->blockCount(), 300);
    form.Trace("Get Pos");
    EXPECT_TRUE(form.Memo->toPlainText().isEmpty());
    form.Trace("MintRun");
    form.CaptureButton->click();
    EXPECT_EQ(form.Memo1->toPlainText(), "MintRun");
    EXPECT_EQ(form.Counters[1]->text(), "0");
    form.SetEventCount(4);
    EXPECT_EQ(form.Counters[1]->text(), "4");
}

TEST(CardFormsTest, SplashShowsTheStep) {
    TMintSplash splash;
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    splash.SetStatus("Downloading Firmware");
    EXPECT_EQ(splash.DoingWhat->text(), "Downloading Firmware");
}

} // namespace
} // namespace orv
