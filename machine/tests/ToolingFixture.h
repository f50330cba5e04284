#pragma once
// Shared set-up of the tooling tests: a temporary folder that stands in for
// the program folder and the working folder (so the main settings file and
// the files beside the program live there), scripted message boxes and a
// test event loop that counts how waits ask it for messages.

#include "engine/core/NetUtil.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/tests/CountingLoop.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv::test {

class TToolingFixture : public ::testing::Test {
protected:
    TToolingFixture() : FMessageScope(Msgs), FLoopScope(Loop)
    {
        SetProgramPathOverride(Dir.Path(), "Tarnwick");
        FSavedFolder = NetUtil().WorkingFolder;
        FSavedName = NetUtil().ExeName;
        NetUtil().WorkingFolder = Dir.Path();
        NetUtil().ExeName = "Tarnwick";
    }
    ~TToolingFixture() override
    {
        NetUtil().WorkingFolder = FSavedFolder;
        NetUtil().ExeName = FSavedName;
        SetProgramPathOverride("", "");
    }

    // Texts of the message boxes shown so far.
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> texts;
        for (const auto &m : Msgs.Log())
            texts.push_back(m.Text);
        return texts;
    }

    // Gives Tooling a changer "mill.MTF" of ChangerText with Places places
    // and a tool library "lib.MTD" of LibraryText, both written into Dir.
    void LoadTooling(TMachine_Tooling &Tooling, const char *LibraryText, const char *ChangerText,
                     int Places = 8)
    {
        auto lib = std::make_unique<TTooling_Library>();
        lib->SetDataFile(Dir.Write("lib.MTD", LibraryText));
        Tooling.SetToolLibrary(std::move(lib));
        Tooling.SetToolCapacity(Places);
        Tooling.SetMachineToolCount(Places);
        Tooling.SetDataFile(Dir.Write("mill.MTF", ChangerText));
    }

    TTempDir Dir;
    TScriptedMessages Msgs;
    TCountingLoop Loop;

private:
    TMessageServiceScope FMessageScope;
    TEventLoopScope FLoopScope;
    std::string FSavedFolder, FSavedName;
};

} // namespace orv::test
