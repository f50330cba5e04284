// The "Machine" button puts the host's machine link into the engine form;
// a link that cannot reach its controller shows why and stays unconnected.
// SaveComPort writes the port found into the machine's parameter file.

#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "engine/form/HeadlessHost.h"
#include "engine/form/base.h"
#include "links/MachLink.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/tests/ProgramFolder.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orv {
namespace {

class TLinkHost : public THeadlessHost {
public:
    std::unique_ptr<TBasicMachine> CreateMachineLink(TBaseForm &Engine) override {
        auto link = std::make_unique<TMachLink>(&Engine);
        link->SettingsFile = SettingsFile;
        return link;
    }
    std::string SettingsFile;
};

// The working folder is Folder while it lives: made before the engine and
// gone after it, so that everything the engine saves, at its end too, lands
// in the test's folder, also when an assertion ends the test early.
class TWorkingFolder {
public:
    explicit TWorkingFolder(const std::string &Folder)
        : FPrevious(std::filesystem::current_path()), FProgram(Folder)
    {
        std::filesystem::current_path(Folder);
    }
    ~TWorkingFolder() { std::filesystem::current_path(FPrevious); }

private:
    std::filesystem::path FPrevious;
    test::TProgramFolder FProgram;
};

TEST(LinkWiringTest, TheMachineButtonMakesTheLink) {
    test::TTempDir temp;
    std::string settings = temp.File("settings");
    std::filesystem::copy(ORV_DATA_DIR, settings, std::filesystem::copy_options::recursive);
    std::ofstream(settings + "/Tarnwick.ini", std::ios::app)
        << "\n[Serial Ports]\nCOM1=" << temp.File("none") << "\n";
    TWorkingFolder folder(settings);
    TTestEventLoop loop;
    TEventLoopScope loopScope(loop);
    TScriptedMessages messages;
    TMessageServiceScope messageScope(messages);
    TMess mess;
    TNetUtil netUtil;
    TLinkHost host;
    TBaseForm engine(host);
    host.SetEngine(&engine);
    engine.FormCreate();
    host.ClickButton(TMainButton::MachineOutput);
    auto *link = dynamic_cast<TMachLink *>(engine.Machine());
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->IsRealMachine);
    EXPECT_EQ(link->Controller, nullptr);
    bool named = false;
    for (const TRecordedMessage &m : messages.Log())
        named = named || m.Text.find("Error Locating COM") != std::string::npos ||
                m.Text.find("Control Type") != std::string::npos ||
                m.Text.find("Machine not found !") != std::string::npos;
    EXPECT_TRUE(named);
    host.ClickButton(TMainButton::MachineOutput);
    EXPECT_EQ(engine.Machine(), nullptr);
}

TEST(LinkWiringTest, SaveComPortWritesTheMachineFile) {
    test::TTempDir temp;
    TRead_Machinedata_file data;
    data.MachineFile = temp.Write("MILL.ini", "[Communications]\nCom Port=1\nBaud rate=9600\n");
    SaveComPort(data, 4);
    EXPECT_EQ(data.Communications.ComPort, 4);
    TIniFile ini(data.MachineFile);
    EXPECT_EQ(ini.ReadInteger("Communications", "Com Port", 0), 4);
    EXPECT_EQ(ini.ReadInteger("Communications", "Baud rate", 0), 9600);
}

} // namespace
} // namespace orv
