#include "platform/ui/ScreenSaver.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>

namespace orv {

namespace {

const char *const Service = "org.freedesktop.ScreenSaver";
const char *const Path = "/org/freedesktop/ScreenSaver";
const char *const Interface = "org.freedesktop.ScreenSaver";

// The session bus's address: the environment's, else the user's bus in the
// runtime folder (a systemd session sets no variable); empty without one.
QString SessionBusAddress()
{
    const QString given = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!given.isEmpty())
        return given;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime + "/bus").exists())
        return "unix:path=" + runtime + "/bus";
    return QString();
}

} // namespace

TScreenSaver::TScreenSaver(QString Application, QObject *Parent)
    : QObject(Parent), FApplication(std::move(Application))
{
}

TScreenSaver::~TScreenSaver()
{
    if (FHeld)
        SetActive(true);
    if (!FConnection.isEmpty())
        QDBusConnection::disconnectFromBus(FConnection);
}

void TScreenSaver::SetActive(bool Active)
{
    if (Active == !FHeld)
        return;
    FHeld = !Active;
    if (FHeld)
        Inhibit();
    else
        UnInhibit();
}

// One connection of the window's own, made at the first run: its bus is
// the one of the session the program runs in now.
bool TScreenSaver::Connect()
{
    if (!FConnection.isEmpty())
        return QDBusConnection(FConnection).isConnected();
    const QString address = SessionBusAddress();
    if (address.isEmpty())
        return false;
    FConnection = QString("orvellan-screensaver-%1").arg(quintptr(this), 0, 16);
    return QDBusConnection::connectToBus(address, FConnection).isConnected();
}

void TScreenSaver::Inhibit()
{
    if (FAsked || FCookie || !Connect())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, "Inhibit");
    call << FApplication << QString("An NC program is running");
    FAsked = true;
    auto *watcher =
        new QDBusPendingCallWatcher(QDBusConnection(FConnection).asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *W) {
        W->deleteLater();
        FAsked = false;
        const QDBusPendingReply<uint32_t> reply = *W;
        // No service, or it refused: the saver stays as the desktop has it.
        if (reply.isError())
            return;
        FCookie = reply.value();
        // The run ended before the reply came.
        if (!FHeld)
            UnInhibit();
    });
}

void TScreenSaver::UnInhibit()
{
    if (!FCookie)
        return; // nothing taken yet: the reply, when it comes, gives it back
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, "UnInhibit");
    call << *FCookie;
    FCookie.reset();
    QDBusConnection(FConnection).send(call);
}

} // namespace orv
