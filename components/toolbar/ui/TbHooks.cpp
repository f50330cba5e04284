#include "components/toolbar/ui/TbHooks.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPlatformSurfaceEvent>
#include <QWidget>
#include <QWindow>

namespace orv {

namespace {

QWidget *WidgetOfWindow(QObject *Object)
{
    auto *window = qobject_cast<QWindow *>(Object);
    if (!window)
        return nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->windowHandle() == window)
            return w;
    return nullptr;
}

bool IsWindowPosEvent(QEvent::Type T)
{
    return T == QEvent::Move || T == QEvent::Resize || T == QEvent::Show || T == QEvent::Hide ||
           T == QEvent::WindowStateChange;
}

} // namespace

void TQtHookBackend::InstallHook(THookType Type)
{
    FInstalled[Type] = true;
    UpdateFilter();
}

void TQtHookBackend::RemoveHook(THookType Type)
{
    FInstalled[Type] = false;
    UpdateFilter();
}

bool TQtHookBackend::HasActiveWindow() const { return QApplication::activeWindow() != nullptr; }

void TQtHookBackend::UpdateFilter()
{
    const bool want = FInstalled[0] || FInstalled[1] || FInstalled[2];
    if (want == FFiltering || !qApp)
        return;
    FFiltering = want;
    if (want)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool TQtHookBackend::eventFilter(QObject *Watched, QEvent *Event)
{
    const QEvent::Type type = Event->type();
    if (FInstalled[htCallWndProc] && type == QEvent::ApplicationStateChange && Watched == qApp) {
        auto *e = static_cast<QApplicationStateChangeEvent *>(Event);
        CallHookClients(hkActivateApp, nullptr, e->applicationState() == Qt::ApplicationActive, 0);
    } else if (FInstalled[htCallWndProc] && IsWindowPosEvent(type) && Watched->isWidgetType() &&
               static_cast<QWidget *>(Watched)->isWindow()) {
        CallHookClients(hkWindowPosChanged, Watched, 0, 0);
    } else if (FInstalled[htCBT] && type == QEvent::PlatformSurface &&
               static_cast<QPlatformSurfaceEvent *>(Event)->surfaceEventType() ==
                   QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
        if (QWidget *w = WidgetOfWindow(Watched))
            CallHookClients(hkDestroyWindow, w, 0, 0);
    } else if (FInstalled[htGetMessage] && type == QEvent::MouseMove && Watched->isWidgetType()) {
        auto *e = static_cast<QMouseEvent *>(Event);
        const QPoint g = e->globalPosition().toPoint();
        CallHookClients(hkMouseMove, Watched, intptr_t(e->buttons()),
                        intptr_t((uint32_t(g.y()) << 16) | (uint32_t(g.x()) & 0xFFFF)));
    }
    return false; // the event always goes on
}

void EnsureQtHookBackend()
{
    static TQtHookBackend *backend = nullptr;
    if (HookBackend())
        return;
    if (!backend)
        backend = new TQtHookBackend;
    SetHookBackend(backend);
}

} // namespace orv
