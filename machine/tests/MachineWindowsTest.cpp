// The "Machine Error" dialog and the dwell countdown window.

#include "machine/MachineProblem.h"
#include "machine/StopWatch.h"
#include "machine/ui/DownCounterWindow.h"
#include "machine/ui/MachProbDialog.h"
#include "platform/EventLoop.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(MachineWindowsTest, DetailsAreHiddenUntilDetailsIsPressed) {
    TMachProbDlg dialog;
    dialog.SetProblem({"M/C Limit Error", "Machine Error: Move Exceeds Limits", "From  X0.000"});
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "M/C Limit Error");
    EXPECT_EQ(dialog.Panel1->text(), "Machine Error: Move Exceeds Limits");
    EXPECT_FALSE(dialog.Panel2->isVisible());
    EXPECT_FALSE(dialog.CancelBtn->isVisible());
    dialog.Details->click();
    EXPECT_TRUE(dialog.Panel2->isVisible());
    EXPECT_EQ(dialog.DetailsLabel->text(), "From  X0.000");
    dialog.Details->click();
    EXPECT_FALSE(dialog.Panel2->isVisible());
}

TEST(MachineWindowsTest, EmptyCaptionKeepsMachineError) {
    TMachProbDlg dialog;
    dialog.SetProblem({"", "Machine Error: Homing aborted", ""});
    EXPECT_EQ(dialog.windowTitle(), "Machine Error");
}

TEST(MachineWindowsTest, CountdownWindowShowsTheRemainingTime) {
    TTestEventLoop loop;
    TEventLoopScope scope(loop);
    TDownCounterWindow *window = nullptr;
    SetDownCounterViewFactory([&] {
        auto w = std::make_unique<TDownCounterWindow>();
        window = w.get();
        return w;
    });
    {
        TDownCounter counter;
        counter.OnDone = [](TDownCounter &) {};
        counter.SetDuration(1500);
        counter.SetEnabled(true);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->Count->text(), "1.5");
        loop.Advance(300);
        EXPECT_EQ(window->Count->text(), "1.2");
        counter.Close();
        EXPECT_FALSE(window->isVisible());
    }
    SetDownCounterViewFactory(nullptr);
}

} // namespace
} // namespace orv
