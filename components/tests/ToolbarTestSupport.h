#pragma once
// Fixture of the toolbar widget tests: a test clock, a hook backend whose
// "application active" flag the test sets, a pointer position the test moves,
// and a shown form to put docks, toolbars and buttons on.

#include "components/toolbar/TbCmn.h"
#include "components/toolbar/ui/TbCtls.h"
#include "HookTestSupport.h"
#include "platform/EventLoop.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace orv::test {

class TTestHookBackend : public THookBackend {
public:
    void InstallHook(THookType) override {}
    void RemoveHook(THookType) override {}
    bool HasActiveWindow() const override { return Active; }
    bool Active = true;
};

class ToolbarWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetToolbarCursorPos([this] { return Cursor; });
        Form = std::make_unique<QWidget>();
        Form->setObjectName("Form1");
        Form->setGeometry(100, 100, 600, 400);
        Form->show();
    }
    void TearDown() override
    {
        Form.reset();
        SetToolbarCursorPos(nullptr);
        SetToolbarMenuPopup(nullptr);
    }

    // Sends a mouse event to W at P (W's coordinates) and moves the pointer there.
    void Mouse(QWidget *W, QEvent::Type Type, QPoint P, Qt::MouseButton Button = Qt::LeftButton,
               Qt::KeyboardModifiers Mods = Qt::NoModifier)
    {
        Cursor = W->mapToGlobal(P);
        Qt::MouseButtons held = (Type == QEvent::MouseButtonRelease || Type == QEvent::MouseMove)
                                    ? Qt::MouseButtons()
                                    : Qt::MouseButtons(Button);
        if (Type == QEvent::MouseMove)
            held = Pressed;
        QMouseEvent e(Type, QPointF(P), QPointF(Cursor),
                      Type == QEvent::MouseMove ? Qt::NoButton : Button, held, Mods);
        if (Type == QEvent::MouseButtonPress)
            Pressed = Button;
        if (Type == QEvent::MouseButtonRelease)
            Pressed = Qt::NoButton;
        QApplication::sendEvent(W, &e);
    }
    void Press(QWidget *W, QPoint P = {5, 5}) { Mouse(W, QEvent::MouseButtonPress, P); }
    void Release(QWidget *W, QPoint P = {5, 5}) { Mouse(W, QEvent::MouseButtonRelease, P); }
    void Move(QWidget *W, QPoint P) { Mouse(W, QEvent::MouseMove, P); }
    void ClickAt(QWidget *W, QPoint P = {5, 5})
    {
        Move(W, P);
        Press(W, P);
        Release(W, P);
    }
    // Moves the pointer to a screen point (no event).
    void PointerTo(QPoint Screen) { Cursor = Screen; }

    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TTestHookBackend Hooks;
    THookBackendScope HookScope{Hooks};
    QPoint Cursor{-1000, -1000};
    Qt::MouseButtons Pressed;
    std::unique_ptr<QWidget> Form;
};

} // namespace orv::test
