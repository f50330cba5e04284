// The "3D Simulation" window with the control from the plug-in library:
// the control sits in the panel, the link's moves reach its picture, and
// the rapid-feed dialog follows its tick box.

#include "engine/core/Mess.h"
#include "engine/simlink/SimLink.h"
#include "engine/simlink/ui/RapidFeed.h"
#include "engine/simlink/ui/ThreeDWindow.h"
#include "machine/tests/ToolingFixture.h"
#include "localise/LxTextDictionary.h"
#include "machine/Machine_Tooling.h"
#include "platform/ClassRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace orv {
namespace {

constexpr int32_t IdTilt = 3, IdRotation = 4;

// Mouse input as the window system delivers it: through the top-level
// window, so a right press also brings its context-menu request.
QPoint InWindow(QWidget *Widget, QPoint Pos)
{
    QWindow *w = Widget->window()->windowHandle();
    return w->mapFromGlobal(Widget->mapToGlobal(Pos));
}
void Press(QWidget *Widget, Qt::MouseButton Button, QPoint Pos, Qt::KeyboardModifiers Keys = {})
{
    QTest::mousePress(Widget->window()->windowHandle(), Button, Keys, InWindow(Widget, Pos));
}
void Release(QWidget *Widget, Qt::MouseButton Button, QPoint Pos)
{
    QTest::mouseRelease(Widget->window()->windowHandle(), Button, {}, InWindow(Widget, Pos));
}
void MoveTo(QWidget *Widget, QPoint Pos)
{
    QTest::mouseMove(Widget->window()->windowHandle(), InWindow(Widget, Pos));
}

// Clicks the item Wanted of the popup menu open now; the item texts go to
// Items.
void ClickInPopup(QStringList &Items, const QString &Wanted)
{
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu) << "no menu is open";
    for (QAction *a : menu->actions())
        Items << a->text();
    for (QAction *a : menu->actions())
        if (a->text() == Wanted && a->isVisible() && a->isEnabled()) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
            return;
        }
    menu->close();
}

// A top-level dialog of the class name, shown now; null when none is.
QDialog *ShownDialog(const char *Name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<QDialog *>(w); d && d->objectName() == Name && d->isVisible())
            return d;
    return nullptr;
}

double ControlValue(TSimLink &Link, int32_t Id)
{
    TVariant value;
    Link.Window()->Get(Id, value);
    return value.AsR8();
}

class ThreeDWindowTest : public test::TToolingFixture {
protected:
    ThreeDWindowTest()
    {
        ::setenv("ORV_CLASS_REGISTRY", Dir.File("classes.reg").c_str(), 1);
    }
    ~ThreeDWindowTest() override { ::unsetenv("ORV_CLASS_REGISTRY"); }
    // Registers the plug-in and opens the link's window with its control.
    TThreeDWindow *Open(TSimLink &Link)
    {
        EXPECT_EQ(CallRegistrationExport(ORV_VELMAROX_OCX, "DllRegisterServer"), S_OK);
        TThreeDWindow *window = nullptr;
        Link.ViewFactory = [&window] {
            auto w = std::make_unique<TThreeDWindow>();
            window = w.get();
            return w;
        };
        EXPECT_TRUE(Link.Initialise());
        return window;
    }
};

TEST_F(ThreeDWindowTest, ControlFillsThePanelAndCuts)
{
    TSimLink link;
    TThreeDWindow *window = Open(link);
    ASSERT_TRUE(window);
    ASSERT_TRUE(link.Window()->Control()) << "the control comes from the registry";
    window->resize(500, 400);
    window->show();
    ASSERT_TRUE(window->ControlWindow());
    EXPECT_EQ(window->ControlWindow()->geometry(),
              window->Container()->rect().adjusted(1, 1, -1, -1));
    EXPECT_EQ(window->windowTitle(), "3D Simulation");
    link.SetBillet(0, 0, 100, 60, 20);
    link.Window()->Redraw(9);
    const QImage before = window->ControlWindow()->grab().toImage();
    link.LinearMove(10, 10, 5);
    link.LinearMove(10, 10, -5);
    link.LinearMove(80, 40, -5);
    EXPECT_EQ(window->StatusText(0), "X= 80.000");
    const QImage after = window->ControlWindow()->grab().toImage();
    EXPECT_NE(before, after);
    EXPECT_TRUE(window->SavePicture(Dir.File("window.bmp")));
}

// The container's verb menu opens the control's property page; the picture
// behind the container holds what "Save as Bitmap" painted, stretched, and
// a press on it shows the container again.
TEST_F(ThreeDWindowTest, PropertyPageAndThePictureBehindTheContainer)
{
    TSimLink link;
    TThreeDWindow *window = Open(link);
    ASSERT_TRUE(window);
    window->resize(400, 300);
    window->show();
    ASSERT_TRUE(window->ControlWindow());

    EXPECT_EQ(link.Window()->ControlVerb(0), E_NOTIMPL);
    EXPECT_EQ(window->Container()->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(window->ControlWindow()->contextMenuPolicy(), Qt::DefaultContextMenu);
    window->PropertiesAction()->trigger();
    QDialog *page = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<QDialog *>(w); d && d->objectName() == "CVelmaroxOCXPropPage")
            page = d;
    ASSERT_TRUE(page) << "the Properties verb opens the property page";
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(page->isModal());
    EXPECT_EQ(page->windowTitle(), "General");
    const auto labels = page->findChildren<QLabel *>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text(), "Properties Page...");
    page->accept();

    link.SetBillet(0, 0, 100, 60, 20);
    link.Window()->Redraw(9);
    EXPECT_EQ(window->Picture(), window->centralWidget());
    EXPECT_EQ(window->Container()->geometry(), window->Picture()->rect());
    ASSERT_TRUE(window->SavePicture(Dir.File("saved.bmp")));
    const QImage saved =
        QImage(QString::fromStdString(Dir.File("saved.bmp"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(saved.size(), window->Container()->size());
    window->Container()->hide();
    QImage shown = window->Picture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, saved);
    // A larger window stretches the picture over the whole area.
    window->resize(600, 450);
    QCoreApplication::processEvents();
    shown = window->Picture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), window->Picture()->size());
    EXPECT_GT(shown.width(), saved.width());
    EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() / 2),
              saved.pixel(saved.width() / 2, saved.height() / 2));
    EXPECT_EQ(shown.pixel(shown.width() - 1, shown.height() - 1),
              saved.pixel(saved.width() - 1, saved.height() - 1));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->Picture(), &press);
    EXPECT_TRUE(window->Container()->isVisible());
}

// The tool panel is made of the word "Tool" and the number: after a
// switch of language it shows the tool in the new language, and the
// position panels keep what the link showed.
TEST_F(ThreeDWindowTest, ToolPanelFollowsALanguageSwitch)
{
    TMess mess;
    std::string error;
    ASSERT_TRUE(mess.OpenDictionary(ORV_DATA_DIR "/language.txt", ORV_DATA_DIR "/translat.txt", 0,
                                    error))
        << error;
    TMachine_Tooling tooling;
    LoadTooling(tooling, "[End 6]\r\nDiameter=6\r\nlength=50\r\nType=1\r\n",
                "[Global]\r\nCurrent Tool=1\r\n[Tool2]\r\nTool Name=End 6\r\n");
    TSimLink link;
    link.Tooling = &tooling;
    TThreeDWindow *window = Open(link);
    ASSERT_TRUE(window);
    window->show();
    link.SetBillet(0, 0, 100, 60, 20);
    TCNC_data change;
    change.MCode = 6;
    change.Tool = 2;
    link.Execute(change);
    link.LinearMove(12.5, 4, -1);
    EXPECT_EQ(window->StatusText(3).toStdString(), "Tool =2");
    mess.Dictionary().SetLanguage(1);
    EXPECT_EQ(window->StatusText(3).toStdString(), "Werkzeug =2");
    EXPECT_EQ(window->StatusText(0).toStdString(), "X= 12.500");
    EXPECT_EQ(window->StatusText(2).toStdString(), "Z= -1.000");
    mess.Dictionary().SetLanguage(0);
    EXPECT_EQ(window->StatusText(3).toStdString(), "Tool =2");
    EXPECT_EQ(window->StatusText(1).toStdString(), "Y= 4.000");
}

// A right-click on the control probes the billet there (the hole shows at
// the next full render) and brings up the host's verb menu, whose
// "Properties" opens the control's property page and "About..." its About
// box; each shows with its OK button and closes with it.
TEST_F(ThreeDWindowTest, RightClickOnTheControlProbesAndOpensItsPages)
{
    TSimLink link;
    TThreeDWindow *window = Open(link);
    ASSERT_TRUE(window);
    window->resize(420, 320);
    window->show();
    QWidget *control = window->ControlWindow();
    ASSERT_TRUE(control);
    link.SetBillet(0, 0, 100, 60, 20);
    link.Window()->Redraw(9);
    const QImage before = control->grab().toImage();

    const struct {
        const char *Item, *Dialog, *Text;
    } cases[] = {{"Properties", "CVelmaroxOCXPropPage", "Properties Page..."},
                 {"&About...", "CVelmaroxAboutBox", "Velmarox OCX Control, Version 1.0"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Item);
        QStringList items;
        const QPoint at(control->width() / 2, control->height() / 2);
        Press(control, Qt::RightButton, at);
        Release(control, Qt::RightButton, at);
        ClickInPopup(items, c.Item);
        EXPECT_EQ(items, QStringList({"Properties", "&About..."}));
        QDialog *page = ShownDialog(c.Dialog);
        ASSERT_TRUE(page);
        EXPECT_TRUE(page->isModal());
        QStringList texts;
        for (QLabel *l : page->findChildren<QLabel *>())
            texts << l->text();
        EXPECT_TRUE(texts.contains(c.Text)) << texts.join("|").toStdString();
        auto *ok = page->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        ASSERT_TRUE(ok);
        EXPECT_TRUE(ok->isVisible());
        QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
        EXPECT_FALSE(page->isVisible());
    }
    link.Window()->Redraw(9);
    EXPECT_NE(control->grab().toImage(), before) << "the probe made a hole";
}

// Drags on the control, as the user makes them: the left button turns the
// view (tilt from the row, rotation from the column), with Shift only
// tilts it and leaves the cursor where it is, with Control moves the light
// and puts the cursor back where the last light drag ended.
TEST_F(ThreeDWindowTest, DragsOnTheControlTurnTheViewAndTheLight)
{
    TSimLink link;
    TThreeDWindow *window = Open(link);
    ASSERT_TRUE(window);
    window->resize(420, 320);
    window->show();
    QWidget *control = window->ControlWindow();
    ASSERT_TRUE(control);
    link.SetBillet(0, 0, 100, 60, 20);
    link.LinearMove(10, 10, 5);
    link.LinearMove(10, 10, -4);
    link.LinearMove(80, 40, -4);
    link.Window()->Redraw(4);
    link.Window()->Redraw(9);
    QCoreApplication::processEvents();
    const double w = control->width(), h = control->height();

    // The first press sets both remembered points.
    Press(control, Qt::LeftButton, {60, 40});
    MoveTo(control, {250, 150});
    EXPECT_DOUBLE_EQ(ControlValue(link, IdTilt), 150 / (h - 1));
    EXPECT_NEAR(ControlValue(link, IdRotation), (500 - w) * 1.570796 / w, 1e-12);
    Release(control, Qt::LeftButton, {250, 150});
    const QImage turned = control->grab().toImage();

    const QPoint cursor = QCursor::pos();
    Press(control, Qt::LeftButton, {30, 20}, Qt::ShiftModifier);
    EXPECT_EQ(QCursor::pos(), cursor) << "the cursor stays";
    MoveTo(control, {30, 100});
    EXPECT_DOUBLE_EQ(ControlValue(link, IdTilt), 100 / (h - 1));
    EXPECT_NEAR(ControlValue(link, IdRotation), (500 - w) * 1.570796 / w, 1e-12);
    Release(control, Qt::LeftButton, {30, 100});

    Press(control, Qt::LeftButton, {300, 200}, Qt::ControlModifier);
    EXPECT_EQ(QCursor::pos(), control->mapToGlobal(QPoint(60, 40)))
        << "back where the light was left (the first press)";
    const QImage beforeLight = control->grab().toImage();
    MoveTo(control, {120, 90});
    Release(control, Qt::LeftButton, {120, 90});
    EXPECT_DOUBLE_EQ(ControlValue(link, IdTilt), 100 / (h - 1)) << "the light moved, not the view";
    EXPECT_NE(control->grab().toImage(), beforeLight);
    Press(control, Qt::LeftButton, {10, 10}, Qt::ControlModifier);
    EXPECT_EQ(QCursor::pos(), control->mapToGlobal(QPoint(120, 90)));
    Release(control, Qt::LeftButton, {10, 10});
    EXPECT_NE(turned, beforeLight);
}

// Moves that queued up while the picture was drawn are dropped: the view
// follows the first of them, not where they led.
TEST_F(ThreeDWindowTest, MovesQueuedDuringARedrawAreDropped)
{
    TSimLink link;
    TThreeDWindow *window = Open(link);
    ASSERT_TRUE(window);
    window->resize(420, 320);
    window->show();
    QWidget *control = window->ControlWindow();
    ASSERT_TRUE(control);
    QCoreApplication::processEvents();
    const double w = control->width(), h = control->height();
    Press(control, Qt::LeftButton, {60, 40});
    for (const QPoint p : {QPoint(100, 50), QPoint(200, 120), QPoint(300, 200)})
        QCoreApplication::postEvent(control,
                                    new QMouseEvent(QEvent::MouseMove, p, control->mapToGlobal(p),
                                                    Qt::NoButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::sendPostedEvents(control, QEvent::MouseMove);
    EXPECT_DOUBLE_EQ(ControlValue(link, IdTilt), 50 / (h - 1));
    EXPECT_NEAR(ControlValue(link, IdRotation), (200 - w) * 1.570796 / w, 1e-12);
    Release(control, Qt::LeftButton, {100, 50});
}

TEST(RapidFeedDialog, TickBoxAndFeed)
{
    TRapidFeed ticked(-1);
    EXPECT_TRUE(ticked.RapidOnly->isChecked());
    EXPECT_FALSE(ticked.Feed->isEnabled());
    EXPECT_DOUBLE_EQ(ticked.Threshold(), -1);
    TRapidFeed above(1200);
    EXPECT_FALSE(above.RapidOnly->isChecked());
    EXPECT_TRUE(above.Feed->isEnabled());
    EXPECT_EQ(above.Feed->text(), "1200");
    above.Feed->setText("900");
    EXPECT_DOUBLE_EQ(above.Threshold(), 900);
    above.RapidOnly->setChecked(true);
    EXPECT_FALSE(above.Feed->isEnabled());
    EXPECT_DOUBLE_EQ(above.Threshold(), -1);
}

} // namespace
} // namespace orv
