#pragma once
// The program's application object. An exception that escapes an event
// handler (a slot, a timer, a posted message) ends at the one top-level
// handler, ApplicationOnException (once a dictionary exists, the handler
// that shows its message translated), instead of ending the program.

#include <QApplication>

#include <functional>

namespace orv {

class TLxApplication : public QApplication {
public:
    TLxApplication(int &Argc, char **Argv) : QApplication(Argc, Argv) {}
    bool notify(QObject *Receiver, QEvent *Event) override;
};

// Runs Deliver and gives its result; an exception it raises goes to
// HandleApplicationException with Receiver as the sender, and gives false.
bool DeliverToExceptionHandler(QObject *Receiver, const std::function<bool()> &Deliver);

} // namespace orv
