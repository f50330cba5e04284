// The "3D Simulation" window with the control from the plug-in library:
// the control sits in the panel, the link's moves reach its picture, and
// the rapid-feed dialog follows its tick box.

#include "engine/simlink/SimLink.h"
#include "engine/simlink/ui/RapidFeed.h"
#include "engine/simlink/ui/ThreeDWindow.h"
#include "machine/tests/ToolingFixture.h"
#include "platform/ClassRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace orv {
namespace {

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
    EXPECT_EQ(window->Container()->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(window->ControlWindow()->contextMenuPolicy(), Qt::PreventContextMenu);
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
