#include "localise/ui/LxApplication.h"

#include "localise/LxHooks.h"

#include <exception>

namespace orv {

bool TLxApplication::notify(QObject *Receiver, QEvent *Event)
{
    return DeliverToExceptionHandler(
        Receiver, [this, Receiver, Event] { return QApplication::notify(Receiver, Event); });
}

bool DeliverToExceptionHandler(QObject *Receiver, const std::function<bool()> &Deliver)
{
    try {
        return Deliver();
    } catch (const std::exception &Error) {
        HandleApplicationException(Receiver, Error);
        return false;
    }
}

} // namespace orv
