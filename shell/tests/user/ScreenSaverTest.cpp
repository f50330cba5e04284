// A run holds the desktop's screen saver off through the session bus's
// screen-saver service, and gives it back when the run is over; where no
// such service runs, the run goes on and nothing is said. The desktop is a
// private bus (dbus-daemon) with a fake service of the test's own.
#include "shell/tests/user/TarnwickUser.h"

#include "components/toolbar/ui/TbCtls.h"
#include "platform/IniFile.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

#include <cstdlib>

namespace orv::test {
namespace {

// The service as the desktop offers it: it records the calls and hands
// out cookie 42.
class TFakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::vector<std::string> Calls;

public slots:
    uint Inhibit(const QString &Application, const QString &Reason)
    {
        Calls.push_back("Inhibit " + Application.toStdString() +
                        (Reason.isEmpty() ? " (no reason)" : ""));
        return 42;
    }
    void UnInhibit(uint Cookie) { Calls.push_back("UnInhibit " + std::to_string(Cookie)); }
};

// A session bus of the test's own, its address in the environment the
// program reads.
class TPrivateBus {
public:
    explicit TPrivateBus(const std::string &Folder)
    {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            return;
        FDaemon.start(daemon, {"--session", "--nofork", "--print-address",
                               "--address=unix:path=" + QString::fromStdString(Folder) + "/bus"});
        if (!FDaemon.waitForStarted(5000))
            return;
        while (FAddress.isEmpty() && FDaemon.waitForReadyRead(5000))
            FAddress = QString::fromUtf8(FDaemon.readLine()).trimmed();
        if (!FAddress.isEmpty())
            ::setenv("DBUS_SESSION_BUS_ADDRESS", FAddress.toUtf8().constData(), 1);
    }
    ~TPrivateBus()
    {
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        FDaemon.kill();
        FDaemon.waitForFinished(5000);
    }
    const QString &Address() const { return FAddress; }

private:
    QProcess FDaemon;
    QString FAddress;
};

class ScreenSaver : public TarnwickUser {
protected:
    ScreenSaver()
    {
        // The animated cutter makes the run last seconds of the test clock.
        TIniFile(Dir.File("Tarnwick.ini")).WriteString("Graphics", "show cutter", "1");
    }
    void SetUp() override
    {
        if (Bus.Address().isEmpty())
            GTEST_SKIP() << "no dbus-daemon here (scripts/deps.sh installs it)";
    }
    // Offers the fake service on the bus.
    bool OfferService()
    {
        FService = QDBusConnection::connectToBus(Bus.Address(), "fake-screensaver");
        return FService.registerService("org.freedesktop.ScreenSaver") &&
               FService.registerObject("/org/freedesktop/ScreenSaver", &Fake,
                                       QDBusConnection::ExportAllSlots);
    }
    ~ScreenSaver() override
    {
        if (FService.isConnected())
            QDBusConnection::disconnectFromBus("fake-screensaver");
    }

    TPrivateBus Bus{Dir.Path()};
    TFakeScreenSaver Fake;

private:
    QDBusConnection FService{QString()};
};

TEST_F(ScreenSaver, ARunHoldsItOffUntilItsEndAPauseIncluded)
{
    ASSERT_TRUE(OfferService());
    Start();
    ClickToolbarButton("2D Simulation");
    std::vector<std::string> running, paused;
    // The bus carries the calls on the real clock: the test waits for them.
    auto heard = [&](size_t Calls) {
        return QTest::qWaitFor([&] { return Fake.Calls.size() >= Calls; }, 5000);
    };
    At(1000, [&] {
        heard(1);
        running = Fake.Calls;
        ClickToolbarButton("pauseButton");
    });
    At(2000, [&] {
        paused = Fake.Calls;
        ClickToolbarButton("startbutton");
    });
    ClickToolbarButton("startbutton");
    ASSERT_TRUE(ToolbarButton("rewindbutton")->isEnabled()) << "the run went to its end";
    heard(2);
    const std::vector<std::string> inhibited = {"Inhibit Orvellan"};
    EXPECT_EQ(running, inhibited);
    EXPECT_EQ(paused, inhibited) << "a pause keeps it off";
    EXPECT_EQ(Fake.Calls, (std::vector<std::string>{"Inhibit Orvellan", "UnInhibit 42"}));

    // The next run takes it again; Stop gives it back.
    At(500, [&] { ClickToolbarButton("stopbutton"); });
    ClickToolbarButton("rewindbutton");
    ClickToolbarButton("startbutton");
    heard(4);
    EXPECT_EQ(Fake.Calls, (std::vector<std::string>{"Inhibit Orvellan", "UnInhibit 42",
                                                    "Inhibit Orvellan", "UnInhibit 42"}));
}

TEST_F(ScreenSaver, WithoutTheServiceARunGoesOnAndNothingIsSaid)
{
    Start();
    ClickToolbarButton("2D Simulation");
    ClickToolbarButton("startbutton");
    EXPECT_TRUE(ToolbarButton("rewindbutton")->isEnabled()) << "the run went to its end";
    Serve(1000);
    EXPECT_TRUE(Unexpected.empty());
}

} // namespace
} // namespace orv::test

#include "ScreenSaverTest.moc"
