#pragma once
// Helpers of the engine form tests: move records made in one line, a
// settings folder in a temporary folder (the main settings file and the
// program folder point into it), and a scripted message service.

#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "engine/core/data_types.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/tests/CountingLoop.h"
#include "platform/tests/TempDir.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>

namespace orv::test {

inline TCNC_data Move(int Motion, double X = NoValue, double Y = NoValue, double Z = NoValue)
{
    TCNC_data d;
    d.Motion = Motion;
    d.X = X;
    d.Y = Y;
    d.Z = Z;
    return d;
}

inline TCNC_data EndRecord()
{
    TCNC_data d;
    d.Motion = EndOfProgramCode;
    d.LineNumber = -1;
    return d;
}

// A working folder of its own: the current folder and the program folder
// are the temporary folder, so the main settings file "Tarnwick.ini" and
// "cycles.ini" live there.
class TFormFolder {
public:
    TFormFolder()
    {
        FPrevious = std::filesystem::current_path();
        std::filesystem::current_path(FDir.Path());
        SetProgramPathOverride(FDir.Path(), "Tarnwick");
        FNet = std::make_unique<TNetUtil>();
        FLoopScope = std::make_unique<TEventLoopScope>(Loop);
        FMessageScope = std::make_unique<TMessageServiceScope>(Messages);
    }
    ~TFormFolder()
    {
        FMessageScope.reset();
        FLoopScope.reset();
        FNet.reset();
        SetProgramPathOverride("", "");
        std::filesystem::current_path(FPrevious);
    }
    const TTempDir &Dir() const { return FDir; }
    std::string File(const std::string &Name) const { return FDir.File(Name); }
    std::string Write(const std::string &Name, const std::string &Text) const
    {
        return FDir.Write(Name, Text);
    }
    std::string Read(const std::string &Name) const { return FDir.Read(Name); }

    // The test loop; Hook runs after every turn (a test's operator). It
    // counts how the waits ask it for messages (Serves, Waits).
    class THookLoop : public TCountingLoop {
    public:
        std::function<void()> Hook;
        void ProcessMessages() override
        {
            TCountingLoop::ProcessMessages();
            if (Hook)
                Hook();
        }
        void WaitForMessages() override
        {
            TCountingLoop::WaitForMessages();
            if (Hook)
                Hook();
        }
    };
    THookLoop Loop;
    TScriptedMessages Messages;

private:
    TTempDir FDir;
    std::filesystem::path FPrevious;
    std::unique_ptr<TNetUtil> FNet;
    std::unique_ptr<TEventLoopScope> FLoopScope;
    std::unique_ptr<TMessageServiceScope> FMessageScope;
};

// The settings' tool files in a form folder, so the engine starts without
// asking for a changer file: position 1 a 10 mm slot drill (length offset
// 25.5 mm), 2 a 6 mm end mill (31.25 mm); the library also holds a 4 mm
// ball nose (40.75 mm) that no position holds.
// The default data of the program (main settings, machine list, the bench
// mill, tool and offset files) copied into the folder.
inline void CopyDefaultData(const TFormFolder &Folder)
{
    std::filesystem::copy(ORV_DATA_DIR, Folder.Dir().Path(),
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
}

inline void WriteToolFiles(const TFormFolder &Folder)
{
    Folder.Write("Tarnwick.ini", "[Default Settings]\nMetric=1\nReset On Rewind=TRUE\n"
                                 "[Tooling]\nTool Library=Tools.MTD\nTool File Name=Tools.MTF\n");
    Folder.Write("Tools.MTF", "[Global]\nCurrent Tool=1\n"
                              "[Tool1]\nTool Name=Slot Drill 10\nFile Location=Tools.MTD\n"
                              "[Tool2]\nTool Name=End Mill 6\nFile Location=Tools.MTD\n");
    Folder.Write("Tools.MTD", "[Slot Drill 10]\nDiameter=10\nlength=38\nTool Length offset=25.5\n"
                              "Type=0\nTool In Use=1\n"
                              "[End Mill 6]\nDiameter=6\nlength=50\nTool Length offset=31.25\n"
                              "Type=1\nTool In Use=1\n"
                              "[Ball Nose 4]\nDiameter=4\nlength=50\nTool Length offset=40.75\n"
                              "Type=2\nTool In Use=0\n");
}

} // namespace orv::test
