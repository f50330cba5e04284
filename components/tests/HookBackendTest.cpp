// The Qt hook backend: application activation, window moves and shows,
// window destruction and mouse moves reach the registered callbacks through
// one application event filter, which goes with the last user.
#include "components/toolbar/ui/TbHooks.h"
#include "HookTestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace orv {
namespace {

struct TCall {
    THookEvent Kind;
    void *Wnd;
    intptr_t WParam;
};
std::vector<TCall> GCalls;

void Record(THookEvent Kind, void *Wnd, intptr_t WParam, intptr_t)
{
    GCalls.push_back({Kind, Wnd, WParam});
}

class QtHooks : public ::testing::Test {
protected:
    void SetUp() override { GCalls.clear(); }
    bool Saw(THookEvent Kind, void *Wnd = nullptr) const
    {
        for (const TCall &c : GCalls)
            if (c.Kind == Kind && (!Wnd || c.Wnd == Wnd))
                return true;
        return false;
    }
    TQtHookBackend Backend;
    test::THookBackendScope HookScope{Backend};
};

TEST_F(QtHooks, ActivationReachesTheCallbackWithItsState)
{
    AddHookClient(Record, {hkActivateApp}, false);
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QApplication::sendEvent(qApp, &inactive);
    QApplicationStateChangeEvent active(Qt::ApplicationActive);
    QApplication::sendEvent(qApp, &active);
    ASSERT_EQ(GCalls.size(), 2u);
    EXPECT_EQ(GCalls[0].WParam, 0);
    EXPECT_EQ(GCalls[1].WParam, 1);
    RemoveHookClient(Record);
    QApplication::sendEvent(qApp, &inactive);
    EXPECT_EQ(GCalls.size(), 2u) << "the filter went with its last user";
}

TEST_F(QtHooks, WindowMovesShowsAndDestructionAreReported)
{
    AddHookClient(Record, {hkWindowPosChanged, hkDestroyWindow}, false);
    auto window = std::make_unique<QWidget>();
    window->show();
    EXPECT_TRUE(Saw(hkWindowPosChanged, window.get()));
    GCalls.clear();
    window->move(40, 50);
    EXPECT_TRUE(Saw(hkWindowPosChanged, window.get()));
    auto *child = new QWidget(window.get());
    GCalls.clear();
    child->move(3, 3);
    EXPECT_FALSE(Saw(hkWindowPosChanged, child)) << "only windows count";
    QWidget *raw = window.get();
    window.reset();
    EXPECT_TRUE(Saw(hkDestroyWindow, raw));
}

TEST_F(QtHooks, MouseMovesAnywhereAreReported)
{
    AddHookClient(Record, {hkMouseMove}, false);
    QWidget window;
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(105, 105), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    EXPECT_TRUE(Saw(hkMouseMove, &window));
    EXPECT_FALSE(Saw(hkActivateApp));
}

} // namespace
} // namespace orv
