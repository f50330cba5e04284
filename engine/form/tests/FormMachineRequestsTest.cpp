// The engine's outside command channels on their own: DDE pokes read into
// the command state with their replies and actions, and CIM serial chunks
// assembled into the program to run.

#include "engine/form/EngineRequests.h"

#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/core/NetUtil.h"
#include "platform/Paths.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace orv {
namespace {

TEST(FormMachineDde, PokesGiveRepliesAndActions)
{
    struct TCase {
        const char *Name;
        const char *Text;
        const char *Reply;
        TDDEAction Action;
        const char *FileName;
    };
    const TCase cases[] = {
        {"load with a bare name", "DoCommand 5 prog.fnc", "BUSY 5 prog.fnc", TDDEAction::LoadFile,
         "prog.fnc"},
        {"blanks in the name are dropped", "DoCommand 5 my prog .fnc", "BUSY 5 myprog.fnc",
         TDDEAction::LoadFile, "myprog.fnc"},
        {"M code 10", "DoCommand 1", "BUSY 1", TDDEAction::MCode10, ""},
        {"M code 11", "DoCommand 2", "BUSY 2", TDDEAction::MCode11, ""},
        {"run", "DoCommand 3", "BUSY 3", TDDEAction::RunProgram, ""},
        {"rewind", "DoCommand 4", "BUSY 4", TDDEAction::Rewind, ""},
        {"code out of range", "DoCommand 6", "BUSY 6", TDDEAction::Unknown, ""},
        {"code that is no number", "DoCommand go", "BUSY go", TDDEAction::Unknown, ""},
        {"no command after the keyword", "DoCommand", "BUSY ", TDDEAction::Unknown, ""},
        {"no keyword", "hello 5 prog.fnc", "IDLE ", TDDEAction::None, ""},
        {"empty poke", "", "IDLE ", TDDEAction::None, ""},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Tdevice_type device;
        std::string reply = ParseDDECommand(device, c.Text);
        EXPECT_EQ(reply, c.Reply);
        EXPECT_EQ(DDECommandAction(device, reply), c.Action);
        EXPECT_EQ(device.FileName, c.FileName);
        EXPECT_EQ(device.State, c.Action == TDDEAction::None ? 1 : 0);
    }
}

TEST(FormMachineDde, StatusTextsCarryCommandAndArgument)
{
    Tdevice_type device;
    ParseDDECommand(device, "DoCommand 5 prog.fnc");
    EXPECT_EQ(device.Argument, " prog.fnc");
    EXPECT_EQ(DDEIdleText(device), "IDLE 5 prog.fnc");
    EXPECT_EQ(DDEErrorText(device), "ERROR 5 prog.fnc");
}

// Command 3 after a load runs the loaded file; poked again with nothing new
// it does not start the program a second time.
TEST(FormMachineDde, RunCommandStartsOncePerNewArgument)
{
    Tdevice_type device;
    ParseDDECommand(device, "DoCommand 3");
    EXPECT_FALSE(DDEShouldRunProgram(device)) << "no file known yet";
    ParseDDECommand(device, "DoCommand 5 part.fnc");
    ParseDDECommand(device, "DoCommand 3");
    EXPECT_EQ(device.PreviousArgument, " part.fnc");
    EXPECT_EQ(device.FileName, "part.fnc") << "the file stays known";
    EXPECT_TRUE(DDEShouldRunProgram(device));
    ParseDDECommand(device, "DoCommand 3");
    EXPECT_FALSE(DDEShouldRunProgram(device)) << "same argument as the poke before";
    ParseDDECommand(device, "DoCommand 3 other.fnc");
    EXPECT_TRUE(DDEShouldRunProgram(device));
}

TEST(FormMachineDde, DisconnectIsOnlyThatWord)
{
    EXPECT_TRUE(IsDDEDisconnect("disconnect"));
    EXPECT_FALSE(IsDDEDisconnect("DoCommand disconnect"));
}

TEST(FormMachineDde, LoadedFileIsLookedForInTheFncFolder)
{
    Tdevice_type device;
    ParseDDECommand(device, "DoCommand 5 prog.fnc");
    EXPECT_EQ(DDEFilePath(device, "/nc/progs"), "/nc/progs/prog.fnc");
    ParseDDECommand(device, "DoCommand 5 /other/prog.fnc");
    EXPECT_EQ(DDEFilePath(device, "/nc/progs/"), "/other/prog.fnc");
    ParseDDECommand(device, "DoCommand 5 C:\\cnc\\prog.fnc");
    EXPECT_EQ(DDEFilePath(device, "/nc/progs/"), "C:\\cnc\\prog.fnc");
}

class FormMachineCim : public ::testing::Test {
protected:
    bool Feed(const char *Chunk)
    {
        return ParseCimLine(Line, Chunk, int(std::strlen(Chunk)), "/progs/", FileName);
    }
    std::string Line;
    std::string FileName;
};

TEST_F(FormMachineCim, RequestLinesNameTheProgram)
{
    struct TCase {
        const char *Name;
        const char *Chunk;
        const char *FileName;
    };
    const TCase cases[] = {
        {"bare name goes into the FNC folder", "$$MACHINE FROM part.fnc\r", "/progs/part.fnc"},
        {"lower case request", "$$machine from part\n", "/progs/part"},
        {"name with a folder", "$$MACHINE FROM /jobs/a.fnc\r", "/jobs/a.fnc"},
        {"any separator character", "$$MACHINE FROM:b.fnc\r", "/progs/b.fnc"},
        {"request naming no file", "$$MACHINE FROM\r", ""},
        {"request with only the separator", "$$MACHINE FROM \r", ""},
        {"other line", "STATUS\r", ""},
        {"line end alone", "\n", ""},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Line.clear();
        EXPECT_EQ(Feed(c.Chunk), *c.FileName != 0);
        EXPECT_EQ(FileName, c.FileName);
        EXPECT_TRUE(Line.empty()) << "the line end empties the buffer";
    }
}

TEST_F(FormMachineCim, PartialLineWaitsForTheNextChunk)
{
    EXPECT_FALSE(Feed("$$MACHINE FR"));
    EXPECT_EQ(Line, "$$MACHINE FR");
    EXPECT_FALSE(Feed("OM part.fnc"));
    EXPECT_TRUE(Feed("\r"));
    EXPECT_EQ(FileName, "/progs/part.fnc");
}

// The first line end ends the line and the rest of the chunk is dropped:
// the LF of a CR LF pair and a second line alike.
TEST_F(FormMachineCim, RestOfTheChunkAfterTheLineEndIsDropped)
{
    EXPECT_TRUE(Feed("$$MACHINE FROM one.fnc\r\n$$MACHINE FROM two.fnc\r"));
    EXPECT_EQ(FileName, "/progs/one.fnc");
    EXPECT_TRUE(Line.empty());
    EXPECT_FALSE(Feed("\n"));
    EXPECT_EQ(FileName, "");
}

TEST_F(FormMachineCim, NoDataChangesNothing)
{
    Line = "$$MAC";
    EXPECT_FALSE(ParseCimLine(Line, nullptr, 5, "/progs/", FileName));
    EXPECT_FALSE(ParseCimLine(Line, "x", 0, "/progs/", FileName));
    EXPECT_EQ(Line, "$$MAC");
}

TEST(FormMachineFncFolder, SettingOrTheProgramFolder)
{
    test::TTempDir dir;
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    SetProgramPathOverride(dir.Path(), "Tarnwick");
    {
        TNetUtil net;
        EXPECT_EQ(FncFolder(), IncludeTrailingDelimiter(NormalisePath(ExeFolder())));
        TDIniFile(MainIniPath()).WriteString("directories", "FNC Folder", "/jobs\\nc");
        EXPECT_EQ(FncFolder(), "/jobs/nc/");
    }
    SetProgramPathOverride("", "");
    std::filesystem::current_path(previous);
}

} // namespace
} // namespace orv
