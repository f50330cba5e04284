// The Fanuc 21 window offscreen: it shows the station's texts, its keypad,
// buttons and knob work the station, and it stays 630 px high.
#include "fanuc/fanuc0m/FanucOMScreen.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "fanuc/tests/FanucTestFolder.h"
#include "fanuc/ui/Fanuc21Form.h"
#include "fanuc/ui/FanucLedButton.h"
#include "components/gif/ui/GIFImage.h"
#include "components/toolbar/ui/TbCtls.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QApplication>
#include <QMouseEvent>

#include <filesystem>

namespace orv::fanuc {
namespace {

namespace fs = std::filesystem;

class Fanuc21Form : public ::testing::Test {
protected:
    void SetUp() override
    {
        Station = std::make_unique<TFanucScreen>();
        Station->OnOpsCommand = [this](int Code) { Sent.push_back(Code); };
        Station->Initialise();
        Form = std::make_unique<TFanuc21Form>(*Station);
    }
    void TearDown() override
    {
        Form.reset();
        Station.reset();
    }
    void Click(QWidget *W)
    {
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, W->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(W, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, W->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(W, &release);
    }
    void Key(int QtKey, const char *Text)
    {
        QKeyEvent press(QEvent::KeyPress, QtKey, Qt::NoModifier, Text);
        QApplication::sendEvent(Form.get(), &press);
    }
    test::TSettingsFolder Settings{"Tarnwick.ini", "FanucKnob.gif"};
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessageScope{Messages};
    std::unique_ptr<TFanucScreen> Station;
    std::unique_ptr<TFanuc21Form> Form;
    std::vector<int> Sent;
};

TEST_F(Fanuc21Form, ShapeAndFreshTexts)
{
    EXPECT_EQ(Form->height(), 630);
    EXPECT_EQ(Form->width(), 732);
    EXPECT_TRUE(Form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Form->KeypadKeys().size(), 44u);
    EXPECT_EQ(Form->OperatorButtons().size(), 44u);
    EXPECT_EQ(Form->SoftKeyButtons().size(), 7u);
    EXPECT_EQ(Station->Text("StatDisp1"), "EDIT");
}

TEST_F(Fanuc21Form, CrtPaintsTheStationsTexts)
{
    Station->ShowMachineMode(modeEdit);
    const QImage crt = Form->Display()->grab().toImage();
    EXPECT_EQ(QColor(crt.pixel(495, 200)), QColor(0xE1, 0xE1, 0xE1));
    // The cursor word "O0000" of the program pane is inverted: black behind it.
    EXPECT_EQ(QColor(crt.pixel(86 + 2 + 4, 30 + 2 + 8)), QColor(Qt::black));
}

TEST_F(Fanuc21Form, KeypadButtonsAndKeysReachTheStation)
{
    Click(Form->KeypadKeys()[25]); // PROG
    EXPECT_EQ(Station->Text("TopLabel"), "PROGRAM");
    Click(Form->KeypadKeys()[2]); // G
    Key(Qt::Key_0, "0");
    Key(Qt::Key_Period, "."); // types ".", never deletes
    EXPECT_EQ(Station->KeyInText(), "G0.");
    Click(Form->OperatorButtons()[35]); // CYCLE START
    EXPECT_EQ(Sent.back(), 21);
    Click(Form->OperatorButtons()[6]); // MPG keeps its LED
    EXPECT_TRUE(static_cast<TLedButton *>(Form->OperatorButtons()[6])->LedOn());
}

TEST_F(Fanuc21Form, KnobShowsTheStationsFrame)
{
    for (int i = 0; i < 30; ++i)
        Station->KnobStep(true);
    auto *knob = static_cast<TGIFImage *>(Form->Knob());
    EXPECT_EQ(knob->FrameCount(), 21);
    EXPECT_EQ(knob->CurrentFrame(), 21);
    for (int i = 0; i < 30; ++i)
        Station->KnobStep(false);
    EXPECT_EQ(knob->CurrentFrame(), 1);
}

TEST_F(Fanuc21Form, HidingTheRightPanelNarrowsTheWindow)
{
    Station->ToggleRightPanel();
    EXPECT_EQ(Form->width(), 508);
    Station->ToggleRightPanel();
    EXPECT_EQ(Form->width(), 732);
}

TEST_F(Fanuc21Form, TheZeroMWindowHasItsKeypadAndFloatsItsKnob)
{
    Form.reset();
    auto station = std::make_unique<TFanucScreenOM>();
    station->Initialise();
    TFanuc21Form form(*station);
    EXPECT_EQ(form.windowTitle().toStdString(), "Fanuc OM");
    EXPECT_TRUE(form.windowFlags() & Qt::Tool);
    ASSERT_EQ(form.KeypadKeys().size(), 33u);
    EXPECT_EQ(form.KeypadKeys()[5]->toolTip().toStdString(), "4, X");
    EXPECT_EQ(form.OperatorButtons().size(), 46u);
    Click(form.KeypadKeys()[25]); // Program
    Click(form.KeypadKeys()[5]);  // X
    Click(form.KeypadKeys()[10]); // 1
    EXPECT_EQ(station->KeyInText(), "X1");
    station->ToggleRightPanel();
    ASSERT_NE(form.FloatKnob(), nullptr);
    EXPECT_EQ(form.FloatKnob()->windowTitle().toStdString(), "Feed Override");
    EXPECT_EQ(form.Knob()->parentWidget(), form.FloatKnob());
    station->ToggleRightPanel();
    EXPECT_EQ(form.FloatKnob(), nullptr);
    form.close();
}

TEST_F(Fanuc21Form, TheFactoryMakesBothStationsWithTheirWindows)
{
    const struct {
        int Kind;
        const char *Title;
    } cases[] = {{4, "Fanuc 21i MA"}, {9, "Fanuc OM"}, {3, nullptr}};
    for (const auto &c : cases) {
        QWidget *adopted = nullptr;
        auto station = CreateFanucStation(c.Kind, [&](QWidget *W) { adopted = W; });
        EXPECT_EQ(station == nullptr, c.Title == nullptr);
        if (!c.Title)
            continue;
        ASSERT_NE(adopted, nullptr);
        EXPECT_EQ(adopted->windowTitle().toStdString(), c.Title);
        static_cast<TFanucScreen *>(station.get())->Modified = false;
    }
}

} // namespace
} // namespace orv::fanuc
