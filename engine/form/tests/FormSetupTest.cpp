// The settings button: the password decides whether the machine editor
// opens for editing, read-only or not at all; a machine "Under Inspection"
// opens it unasked; the machine data is read again afterwards.

#include "engine/form/tests/FormEngine.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/SettingsPassword.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orv {
namespace {

class FormSetup : public ::testing::Test {
protected:
    FormSetup()
    {
        test::CopyDefaultData(Folder);
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
        SetPasswordDialog([this](int Mode) {
            Asked.push_back(Mode);
            return Answer;
        });
        TRead_Machinedata_file::EditorWindow = [this](TRead_Machinedata_file &, bool ReadOnly) {
            Opened.push_back(ReadOnly);
            // The operator changes a value in the editor.
            TIniFile(Folder.File("machines/BENCHMILL.ini")).WriteString("Feed", "Jog Rapid Feed", "777");
        };
        Folder.Messages.ClearLog();
    }
    ~FormSetup() override
    {
        SetPasswordDialog(nullptr);
        TRead_Machinedata_file::EditorWindow = nullptr;
    }

    test::TFormFolder Folder;
    test::TLogHost Host;
    std::unique_ptr<TBaseForm> Engine;
    int Answer = 2;
    std::vector<int> Asked;
    std::vector<bool> Opened;
};

TEST_F(FormSetup, ThePasswordDecidesHowTheEditorOpens)
{
    struct TCase {
        const char *Name;
        int Answer;
        std::vector<bool> Opened;
        bool Refused;
    };
    const TCase cases[] = {
        {"right password: editable", 1, {false}, false},
        {"wrong password: read-only", 7, {true}, false},
        {"cancelled: nothing opens", 2, {}, true},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Answer = c.Answer;
        Opened.clear();
        Asked.clear();
        Folder.Messages.ClearLog();
        Engine->SetupClick();
        EXPECT_EQ(Asked, std::vector<int>{0});
        EXPECT_EQ(Opened, c.Opened);
        bool refused = !Folder.Messages.Log().empty() &&
                       Folder.Messages.Log().back().Text ==
                           "Password Incorrect !\nYou may not change any parameters";
        EXPECT_EQ(refused, c.Refused);
    }
}

TEST_F(FormSetup, UnderInspectionOpensTheEditorUnaskedAndTheDataIsReadAgain)
{
    TIniFile(Folder.File("machines/BENCHMILL.ini"))
        .WriteString("Machine Capability", "Under Inspection", "TRUE");
    Engine->MachineData()->Load();
    const TRead_Machinedata_file *data = Engine->MachineData();
    Engine->SetupClick();
    EXPECT_TRUE(Asked.empty());
    EXPECT_EQ(Opened, std::vector<bool>{false});
    EXPECT_EQ(Engine->MachineData(), data) << "read again in place";
    EXPECT_EQ(Engine->MachineData()->Feed.JogRapidFeed, 777);
}

} // namespace
} // namespace orv
