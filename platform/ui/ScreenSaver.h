#pragma once
// The desktop's screen saver held off while a program runs: an inhibit
// taken from the session bus's screen-saver service
// (org.freedesktop.ScreenSaver, Inhibit and UnInhibit) and given back.
// Where no session bus or no such service runs, nothing is said and
// nothing happens. The calls go without waiting for their replies, so a
// slow service never holds the window up.
#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace orv {

class TScreenSaver : public QObject {
public:
    // Application: the name the service shows for the inhibit.
    explicit TScreenSaver(QString Application, QObject *Parent = nullptr);
    ~TScreenSaver() override;

    // True while the saver may start (nothing held by this program).
    bool Active() const { return !FHeld; }
    // False takes the inhibit, true gives it back.
    void SetActive(bool Active);

private:
    bool Connect();
    void Inhibit();
    void UnInhibit();

    QString FApplication;
    QString FConnection; // the bus connection's name, empty until made
    bool FHeld = false;  // the program wants the saver off
    bool FAsked = false; // an Inhibit awaits its reply
    std::optional<uint32_t> FCookie;
};

} // namespace orv
