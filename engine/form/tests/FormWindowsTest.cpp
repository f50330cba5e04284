// The engine form's windows show what the core hands them.

#include "engine/form/ui/EngineWindows.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(FormWindows, ProgressWindowShowsCaptionBarAndPanels)
{
    TProgressWindow window;
    TProgressView &view = window;
    view.SetCaption("Compiled Input - a.xnc");
    view.SetMaximum(360);
    view.SetPosition(120);
    view.SetPanel(0, "Current Line = 1");
    view.SetPanel(5, "ignored");
    EXPECT_EQ(window.windowTitle(), "Compiled Input - a.xnc");
    EXPECT_EQ(window.Bar()->maximum(), 360);
    EXPECT_EQ(window.Bar()->value(), 120);
    EXPECT_EQ(window.Panel(0), "Current Line = 1");
    EXPECT_EQ(window.Panel(1), "");
}

TEST(FormWindows, ProgressWindowScalesFilesBeyondTheBarRange)
{
    TProgressWindow window;
    window.SetMaximum(4'000'000'000LL);
    window.SetPosition(2'000'000'000LL);
    EXPECT_EQ(window.Bar()->value() * 2, window.Bar()->maximum());
}

TEST(FormWindows, BlockSearchFormShowsTheCollectedState)
{
    TBlockSearchForm form;
    TBlockSearchShown shown;
    shown.G = "1";
    shown.X = "  10.000";
    shown.T = "3";
    shown.M = "5";
    shown.S = "1200";
    shown.SearchBlock = "7";
    shown.TargetBlock = "9";
    shown.MCodes = {"3", "8"};
    form.ShowValues(shown);
    EXPECT_EQ(form.windowTitle(), "NC Program Restart");
    EXPECT_EQ(form.XVal->text(), "  10.000");
    EXPECT_EQ(form.MVal->text(), "5");
    EXPECT_EQ(form.BlockNo->text(), "7");
    EXPECT_EQ(form.TargetBlock->text(), "9");
    ASSERT_EQ(form.McodeList->count(), 2);
    EXPECT_EQ(form.McodeList->itemText(1), "8");
}

TEST(FormWindows, SplashShowsProgressText)
{
    TSplashWindow splash;
    splash.ShowProgress("Reading Units");
    EXPECT_EQ(splash.ProgressText(), "Reading Units");
}

} // namespace
} // namespace orv
