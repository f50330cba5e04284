#pragma once
// Real input for the Fanuc windows offscreen, as the operator's pointer
// meets them: a click lands on whatever the window shows at the control's
// drawn centre (so a hidden or covered control cannot be clicked), a right
// click sends the context-menu event there, and menu items are clicked at
// their place in their open menu.

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace orv::fanuc::test {

inline void SendMouse(QWidget *W, QEvent::Type Type, QPoint At, Qt::MouseButton Button,
                      Qt::MouseButtons Buttons)
{
    QMouseEvent event(Type, QPointF(At), QPointF(W->mapToGlobal(At)), Button, Buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(W, &event);
}

// The widget the pointer meets at the centre of Target; a failure names
// what stands there instead.
inline ::testing::AssertionResult MeetsAtCentre(QWidget *Target, QWidget *&Hit, QPoint &Local)
{
    if (!Target || !Target->isVisible())
        return ::testing::AssertionFailure() << "the control is not shown";
    QWidget *window = Target->window();
    const QPoint at = Target->mapTo(window, Target->rect().center());
    Hit = window->childAt(at);
    if (!Hit)
        Hit = window;
    if (Hit != Target && !Target->isAncestorOf(Hit))
        return ::testing::AssertionFailure()
               << "\"" << Hit->objectName().toStdString() << "\" covers the control";
    Local = Hit->mapFrom(window, at);
    return ::testing::AssertionSuccess();
}

// A left click at the drawn centre of Target.
inline ::testing::AssertionResult ClickOn(QWidget *Target)
{
    QWidget *hit = nullptr;
    QPoint at;
    if (auto result = MeetsAtCentre(Target, hit, at); !result)
        return result;
    SendMouse(hit, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(hit, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    return ::testing::AssertionSuccess();
}

// A right click at the drawn centre of Target: the context-menu event goes
// to the widget there and on up to its parents.
inline ::testing::AssertionResult RightClickOn(QWidget *Target)
{
    QWidget *hit = nullptr;
    QPoint at;
    if (auto result = MeetsAtCentre(Target, hit, at); !result)
        return result;
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, hit->mapToGlobal(at));
    QApplication::sendEvent(hit, &event);
    return ::testing::AssertionSuccess();
}

// A click on Action in the open Menu (an item with a submenu opens it).
inline ::testing::AssertionResult ClickMenuItem(QMenu *Menu, QAction *Action)
{
    if (!Menu || !Menu->isVisible())
        return ::testing::AssertionFailure() << "the menu is not open";
    const QRect place = Menu->actionGeometry(Action);
    if (place.isEmpty() || !Action->isVisible())
        return ::testing::AssertionFailure()
               << "\"" << Action->text().toStdString() << "\" is not in the menu";
    SendMouse(Menu, QEvent::MouseMove, place.center(), Qt::NoButton, Qt::NoButton);
    SendMouse(Menu, QEvent::MouseButtonPress, place.center(), Qt::LeftButton, Qt::LeftButton);
    SendMouse(Menu, QEvent::MouseButtonRelease, place.center(), Qt::LeftButton, Qt::NoButton);
    return ::testing::AssertionSuccess();
}

// A click on a menu of the menu bar: its menu opens.
inline ::testing::AssertionResult ClickMenuBar(QMenuBar *Bar, QAction *MenuAction)
{
    if (!Bar || !Bar->isVisible())
        return ::testing::AssertionFailure() << "the menu bar is not shown";
    const QRect place = Bar->actionGeometry(MenuAction);
    if (place.isEmpty() || !MenuAction->isVisible())
        return ::testing::AssertionFailure()
               << "\"" << MenuAction->text().toStdString() << "\" is not in the menu bar";
    SendMouse(Bar, QEvent::MouseButtonPress, place.center(), Qt::LeftButton, Qt::LeftButton);
    SendMouse(Bar, QEvent::MouseButtonRelease, place.center(), Qt::LeftButton, Qt::NoButton);
    return ::testing::AssertionSuccess();
}

// The item of Menu with the text Text (hot-key marks ignored), or none.
inline QAction *MenuAction(QWidget *Menu, const QString &Text)
{
    for (QAction *a : Menu->actions())
        if (QString(a->text()).remove('&') == Text)
            return a;
    return nullptr;
}

} // namespace orv::fanuc::test
