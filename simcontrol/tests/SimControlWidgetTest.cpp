#include "simcontrol/ui/VelmaroxWidget.h"
#include "simcontrol/ui/ViewerWnd.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(SimControlWidget, ShowsItsImageThroughTheColourTable)
{
    for (int width : {203, 240}) {
        SCOPED_TRACE(width);
        CVelmaroxOCXCtrl ctrl;
        QWidget parent;
        auto *widget = new CVelmaroxWidget(ctrl, &parent);
        widget->resize(width, 150);
        ctrl.SetBillet(0, 0, -20, 80, 60, 0);
        ctrl.Redraw(dfClear | dfRender);
        ctrl.Tool(3, 4, false, 0x00FFFF);
        ctrl.Linear(10, 10, -5, 70, 50, -5);
        ctrl.Redraw(dfReplay);
        ctrl.Redraw(dfClear | dfRender | dfLargeMarker);
        const QImage shown = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture = widget->Picture().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(picture.width(), (width + 3) / 4 * 4);
        ASSERT_EQ(shown.size(), QSize(width, 150));
        EXPECT_EQ(shown, picture.copy(0, 0, width, 150));
        // Pixel values map to the palette entry 10 below them.
        const QImage indexed = widget->Picture();
        const QRgb background = indexed.colorTable()[204];
        EXPECT_EQ(background, qRgb(0, 0, 128));
    }
}

TEST(SimControlWidget, ViewerValuesReachThePictureAtTheNextBillet)
{
    CVelmaroxOCXCtrl ctrl;
    QWidget parent;
    auto *widget = new CVelmaroxWidget(ctrl, &parent);
    widget->resize(200, 160);
    ctrl.Redraw(dfClear | dfRender);
    ASSERT_TRUE(widget->Viewer());
    const std::vector<uint8_t> before = ctrl.Scene().Image().Bytes();
    // Turn the block in the viewer: the picture stays.
    CCubeView &cube = widget->Viewer()->CubeView()->View();
    cube.ApplyPoint(30, 20, 120, 100);
    ctrl.Redraw(dfClear | dfRender);
    EXPECT_EQ(ctrl.Scene().Image().Bytes(), before);
    EXPECT_NE(ctrl.Scene().Rotation(), cube.Values().Rotation);
    // Redraw(2) takes them.
    ctrl.Redraw(dfClear | dfSetBillet | dfRender);
    EXPECT_DOUBLE_EQ(ctrl.Scene().Rotation(), cube.Values().Rotation);
    EXPECT_NE(ctrl.Scene().Image().Bytes(), before);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// The host frees the control while the replay's progress window serves
// messages: the replay ends, the widget lets go and goes later.
TEST(SimControlWidget, ReleasedWhileTheProgressWindowServesMessages)
{
    auto ctrl = std::make_unique<CVelmaroxOCXCtrl>();
    QWidget parent;
    QPointer<CVelmaroxWidget> widget = new CVelmaroxWidget(*ctrl, &parent);
    widget->resize(200, 150);
    ctrl->Redraw(dfClear | dfRender);
    for (int i = 0; i < 40; ++i)
        ctrl->Linear(10 + i, 10, -2, 11 + i, 10, -2);
    QTimer::singleShot(0, [&] {
        widget->Detach();
        widget->deleteLater();
        ctrl.reset();
    });
    CVelmaroxOCXCtrl *raw = ctrl.get();
    EXPECT_FALSE(raw->Redraw(dfReplay));
    EXPECT_FALSE(ctrl);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
}

} // namespace
} // namespace orv
