// The finder's dialog in its automatic mode (offscreen): it searches after
// its first paint, closes itself, and the port found on the second of
// three pseudo-terminals lands in the machine file. The probe's "Mint
// Information" window: one text line over a gauge.

#include "links/ui/MintFindForm.h"
#include "links/sim/ControllerSim.h"
#include "links/tests/PtyPair.h"
#include "components/lcd/ui/LCD_Lab.h"
#include "components/gauge/ui/TFlatGaugeUnit.h"
#include "links/ui/Mint_Information.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/QtEventLoop.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>

namespace orv {
namespace {

// A pseudo-terminal nobody answers on.
using TDeadPort = test::TPtyPair;

TEST(MintFindFormTest, AutomaticSearchSavesThePortFound) {
    TQtEventLoop loop;
    TEventLoopScope loopScope(loop);
    TScriptedMessages messages;
    TMessageServiceScope messageScope(messages);
    test::TTempDir temp;
    TDeadPort first, third;
    TControllerSim sim;
    std::string slave, error;
    ASSERT_TRUE(sim.Open(slave, error)) << error;
    sim.VersionText = "vn2.1";
    sim.Start();
    // Only these three: no other entry, and COM1 to COM3 are no system
    // device numbers the map does not name.
    std::string settings =
        temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM1=" + first.Slave + "\nCOM2=" + slave +
                                       "\nCOM3=" + third.Slave + "\n");
    TRead_Machinedata_file data;
    data.MachineFile = temp.Write("MILL.ini", "[Communications]\nCom Port=7\n");
    int port = SearchForMachine(nullptr, &data, "", settings);
    EXPECT_EQ(port, 2);
    EXPECT_EQ(data.Communications.ComPort, 2);
    EXPECT_EQ(TIniFile(data.MachineFile).ReadInteger("Communications", "Com Port", 0), 2);
    EXPECT_TRUE(messages.Log().empty());
    sim.Stop();
}

TEST(MintFindFormTest, MintInformationWindow) {
    TMintInformationWindow w;
    TMintInfoView &view = w;
    view.SetVisible(true);
    view.SetText("Locating Mint On COM:1 . . .");
    view.SetGauge(33);
    EXPECT_EQ(w.windowTitle(), "Mint Information");
    EXPECT_EQ(w.size(), QSize(471, 46));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.LCD->Caption(), "Locating Mint On COM:1 . . .");
    EXPECT_EQ(w.LCD->geometry(), QRect(0, 0, 470, 28));
    EXPECT_EQ(w.Gauge->Progress(), 33);
    EXPECT_EQ(w.Gauge->MaxValue(), 100);
    EXPECT_EQ(w.Gauge->Text(), "33 %");
    EXPECT_EQ(w.Gauge->geometry(), QRect(0, 29, 471, 17));
    EXPECT_EQ(w.Gauge->ColorBorder(), 8623776u);
}

} // namespace
} // namespace orv
