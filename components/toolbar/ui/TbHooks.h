#pragma once
// The window hooks of the toolbar family on Qt: one application event filter
// that turns application activation, window moves, shows and hides, window
// destruction and mouse moves into the hook registry's calls.

#include "components/toolbar/TbCmn.h"

#include <QObject>

namespace orv {

class TQtHookBackend : public QObject, public THookBackend {
    Q_OBJECT
public:
    void InstallHook(THookType Type) override;
    void RemoveHook(THookType Type) override;
    bool HasActiveWindow() const override;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void UpdateFilter();
    bool FInstalled[HookTypeCount] = {false, false, false};
    bool FFiltering = false;
};

// Installs the Qt hook backend unless a backend (a test's) is installed.
void EnsureQtHookBackend();

} // namespace orv
