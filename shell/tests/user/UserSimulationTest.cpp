// The "3D Simulation" window as its user meets it in Tarnwick: opened by
// its toolbar button, a run drawn in it, the control's own mouse (the
// right-click's verb menu with the property page and the About box, a drag
// that turns the view) and its tool panel through a switch of language.
#include "shell/tests/user/TarnwickUser.h"

#include "engine/simlink/ui/ThreeDWindow.h"
#include "localise/ui/LxLanguageDialog.h"
#include "shell/ui/main_form3_2.h"

#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>
#include <QWidget>

#include <chrono>

namespace orv::test {
namespace {

class UserSimulation : public TarnwickUser {
protected:
    // A window the control opens without a loop of its own is found by the
    // modal watch on the real clock: serve until Done, at most two seconds.
    bool Within2s(const std::function<bool()> &Done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!Done() && std::chrono::steady_clock::now() < end)
            Serve();
        return Done();
    }
    // Opens the window and runs the demo program in it.
    TThreeDWindow *OpenAndRun()
    {
        Start();
        ClickToolbarButton("3D Simulation");
        auto *window = dynamic_cast<TThreeDWindow *>(WindowTitled("3D Simulation"));
        if (!window || !window->ControlWindow())
            return nullptr;
        ClickToolbarButton("startbutton");
        Serve();
        return window;
    }
    // The right-click's menu on the control: its items, and Item chosen.
    QStringList ChooseVerb(QWidget *Control, const QString &Item)
    {
        RightClick(Control);
        QMenu *menu = OpenPopup();
        QStringList items;
        if (!menu)
            return items;
        for (QAction *a : menu->actions())
            items << a->text().remove('&');
        PickFromPopup(menu, {Item});
        return items;
    }
    // Picks the language of that number in "Select Language", reached by
    // Menu (its captions in the language in use).
    void SelectLanguage(int Language, const QStringList &Menu)
    {
        SelectLanguageFrom(Language, Menu, false);
    }
};

// A right-click on the control itself brings the verb menu: "Properties"
// opens the property page and "About..." the About box; each fits on the
// screen with its button and goes with OK.
TEST_F(UserSimulation, TheControlsRightClickOpensItsPropertyPageAndAboutBox)
{
    TThreeDWindow *window = OpenAndRun();
    ASSERT_NE(window, nullptr) << "shown: " << ShownWindows();
    const struct {
        const char *Item, *Title, *Text;
    } cases[] = {{"Properties", "General", "Properties Page..."},
                 {"About...", "About VelmaroxOCX", "Velmarox OCX Control, Version 1.0"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Item);
        bool shown = false;
        WhenModal([&](QWidget &Page) {
            shown = true;
            EXPECT_EQ(Page.windowTitle().toStdString(), c.Title);
            ExpectWindowFits(&Page);
            QStringList texts;
            for (QLabel *l : Page.findChildren<QLabel *>())
                texts << l->text();
            EXPECT_TRUE(texts.contains(c.Text)) << texts.join("|").toStdString();
            Answer(Page, "OK");
        });
        const QStringList items = ChooseVerb(window->ControlWindow(), c.Item);
        EXPECT_EQ(items, QStringList({"Properties", "About..."}));
        EXPECT_TRUE(Within2s([&] { return shown; })) << "nothing opened";
        ForgetModalHandlers();
        EXPECT_TRUE(Unexpected.empty());
    }
}

// A drag with the left button on the control turns the view: the picture
// drawn again after the release is another one.
TEST_F(UserSimulation, ADragOnTheControlTurnsTheView)
{
    TThreeDWindow *window = OpenAndRun();
    ASSERT_NE(window, nullptr) << "shown: " << ShownWindows();
    QWidget *control = window->ControlWindow();
    const QImage before = control->grab().toImage();
    Drag(control, {control->width() / 2, control->height() / 2},
         {control->width() / 5, control->height() / 4});
    Serve();
    EXPECT_NE(control->grab().toImage(), before);
}

// The tool panel reads the word "Tool" in the language chosen, with the
// tool of the run, and English again after the switch back.
TEST_F(UserSimulation, TheToolPanelFollowsTheLanguage)
{
    TThreeDWindow *window = OpenAndRun();
    ASSERT_NE(window, nullptr) << "shown: " << ShownWindows();
    EXPECT_EQ(window->StatusText(3).toStdString(), "Tool =4") << "the demo ends with tool 4";
    SelectLanguage(1, {"Setup", "Select Language"});
    EXPECT_EQ(window->StatusText(3).toStdString(), "Werkzeug =4");
    SelectLanguage(0, {"Einrichten", "Sprache w\xC3\xA4hlen"});
    EXPECT_EQ(window->StatusText(3).toStdString(), "Tool =4");
    EXPECT_TRUE(Unexpected.empty());
}

} // namespace
} // namespace orv::test
