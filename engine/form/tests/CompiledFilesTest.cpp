// Compiled move files: the writer (one 120-byte record per move, the end
// record last) and the reader (records back, the end of the file as the end
// of the program, short and faulty records reported).

#include "engine/form/CompiledInput.h"
#include "engine/form/CompilerOutput.h"
#include "engine/chain/EngineHost.h"
#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/form/tests/FormTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orv {
namespace {

using test::EndRecord;
using test::Move;

class CompiledFilesTest : public ::testing::Test {
protected:
    std::string Write(const std::string &Name, std::vector<TCNC_data> Records)
    {
        TCompilerOutput out;
        out.OnNextNotify = [this](TObject *) { ++Requests; };
        Folder.Messages.Answer(Folder.File(Name));
        out.Start();
        for (auto &r : Records)
            out.Execute(r);
        return Folder.File(Name);
    }
    TCompiledInput &Open(const std::string &Path)
    {
        Input = std::make_unique<TCompiledInput>(nullptr);
        Input->OnErrorEvent = [this](TObject *, int Pos, const std::string &Detail,
                                     const std::string &Message) {
            Faults.push_back(std::to_string(Pos) + " " + Detail + " : " + Message);
        };
        std::string name = Path;
        EXPECT_TRUE(Input->LoadFile(name));
        return *Input;
    }
    // Motion codes of every record read, until ReadRecord gives false.
    std::vector<int> ReadAll(TCompiledInput &In)
    {
        std::vector<int> motions;
        TCompiledRecord rec;
        for (int guard = 0; guard < 100; ++guard) {
            bool ok = In.ReadRecord(rec);
            motions.push_back(RecordInt(rec, xnc::Motion));
            if (!ok || RecordInt(rec, xnc::Motion) == EndOfProgramCode)
                break;
        }
        return motions;
    }

    test::TFormFolder Folder;
    std::unique_ptr<TCompiledInput> Input;
    std::vector<std::string> Faults;
    int Requests = 0;
};

TEST_F(CompiledFilesTest, TwoMovesAndTheEndMake360Bytes)
{
    std::string path = Write("two.xnc", {Move(0, 1, 2, 3), Move(1, 4, 5, 6), EndRecord()});
    EXPECT_EQ(std::filesystem::file_size(path), 360u);
    EXPECT_EQ(Requests, 3) << "the start and each move ask; the end record does not";
    TCompiledInput &in = Open(path);
    EXPECT_EQ(ReadAll(in), (std::vector<int>{0, 1, EndOfProgramCode}));
    EXPECT_EQ(in.RecordCount(), 3);
    EXPECT_EQ(in.GetState(), 2);
    EXPECT_TRUE(Faults.empty());
}

TEST_F(CompiledFilesTest, RealsComeBackBitForBit)
{
    TCNC_data m = Move(1, 1.0 / 3, NoValue, -2.5e-7);
    m.Feed = 123.456;
    std::string path = Write("reals.xnc", {m});
    TCompiledInput &in = Open(path);
    TCompiledRecord rec;
    ASSERT_TRUE(in.ReadRecord(rec));
    TCNC_data back;
    CopyCompiledRecord(rec, back);
    EXPECT_EQ(back.X, 1.0 / 3);
    EXPECT_EQ(back.Y, 9e9);
    EXPECT_EQ(back.Z, -2.5e-7);
    EXPECT_EQ(back.Feed, 123.456);
}

// A run that was stopped wrote no end record: its last record is still a
// move, and the program ends on the read after it.
TEST_F(CompiledFilesTest, FileOfAStoppedRunRunsItsLastRecordThenEnds)
{
    std::string path = Write("stopped.xnc", {Move(0, 1), Move(1, 2)});
    TCompiledInput &in = Open(path);
    EXPECT_EQ(ReadAll(in), (std::vector<int>{0, 1, EndOfProgramCode}));
    EXPECT_EQ(in.RecordCount(), 2);
    EXPECT_TRUE(Faults.empty());
}

TEST_F(CompiledFilesTest, EmptyFileEndsAtOnce)
{
    TCompiledInput &in = Open(Folder.Write("empty.xnc", ""));
    EXPECT_EQ(in.GetState(), 2);
    EXPECT_EQ(ReadAll(in), (std::vector<int>{EndOfProgramCode}));
    EXPECT_TRUE(Faults.empty());
}

TEST_F(CompiledFilesTest, ShortLastRecordIsReportedAndEndsTheProgram)
{
    std::string path = Write("short.xnc", {Move(0, 1), Move(1, 2)});
    std::filesystem::resize_file(path, 120 + 50);
    TCompiledInput &in = Open(path);
    EXPECT_EQ(ReadAll(in), (std::vector<int>{0, EndOfProgramCode}));
    ASSERT_EQ(Faults.size(), 1u);
    EXPECT_EQ(Faults[0], "2 Record 2 is short: 50 of 120 bytes : Sorry File not recognised");
}

TEST_F(CompiledFilesTest, RandomBytesAreNotTakenForMoves)
{
    std::string junk(240, '\0');
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919 + 13) % 251);
    TCompiledInput &in = Open(Folder.Write("junk.xnc", junk));
    EXPECT_EQ(ReadAll(in), (std::vector<int>{EndOfProgramCode}));
    ASSERT_EQ(Faults.size(), 1u);
    EXPECT_EQ(Faults[0].rfind("1 Record 1: ", 0), 0u) << Faults[0];
}

TEST_F(CompiledFilesTest, RewindStartsAgainFromTheFirstRecord)
{
    std::string path = Write("rewind.xnc", {Move(0, 1), Move(1, 2), EndRecord()});
    TCompiledInput &in = Open(path);
    TCompiledRecord rec;
    ASSERT_TRUE(in.ReadRecord(rec));
    EXPECT_EQ(in.GetState(), 1);
    in.Rewind();
    EXPECT_EQ(in.GetState(), 0);
    EXPECT_EQ(in.RecordCount(), 0);
    EXPECT_EQ(ReadAll(in), (std::vector<int>{0, 1, EndOfProgramCode}));
}

TEST_F(CompiledFilesTest, OnlyXncFilesAreOpened)
{
    struct TCase {
        const char *Name;
        bool Opens;
    } cases[] = {{"a.xnc", true}, {"b.XNC", true}, {"c.fnc", false}, {"d", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        std::string name = Folder.Write(c.Name, "");
        TCompiledInput in(nullptr);
        EXPECT_EQ(in.LoadFile(name), c.Opens);
    }
    TCompiledInput in(nullptr);
    std::string missing = Folder.File("missing.xnc");
    EXPECT_FALSE(in.LoadFile(missing));
    TCompiledRecord rec;
    EXPECT_FALSE(in.ReadRecord(rec)) << "no file loaded";
    EXPECT_EQ(RecordInt(rec, xnc::Motion), EndOfProgramCode);
}

TEST_F(CompiledFilesTest, WithoutAFileNameTheOpenDialogAsks)
{
    std::string path = Write("asked.xnc", {Move(0, 1)});
    TCompiledInput in(nullptr);
    Folder.Messages.Answer(path);
    std::string name = Folder.Dir().Path();
    EXPECT_TRUE(in.LoadFile(name));
    EXPECT_EQ(name, path);
    EXPECT_EQ(Folder.Messages.Log().back().Caption, "Open Compiled File");
}

TEST_F(CompiledFilesTest, EndRecordAfterAStopBecomesNothingForLaterOutputs)
{
    TCompilerOutput out;
    Folder.Messages.Answer(Folder.File("stop.xnc"));
    out.Start();
    out.Stop();
    TCNC_data end = EndRecord();
    out.Execute(end);
    EXPECT_EQ(end.Motion, NoMoveCode);
}

TEST_F(CompiledFilesTest, CancelledSaveDialogAsksForNothing)
{
    TCompilerOutput out;
    int cancelled = 0;
    out.OnNextNotify = [this](TObject *) { ++Requests; };
    out.OnSaveCancelled = [&](TObject *) { ++cancelled; };
    Folder.Messages.Answer("");
    out.Start();
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(Requests, 0);
    EXPECT_FALSE(out.FileOpen());
}

TEST_F(CompiledFilesTest, DialogUsesAndKeepsTheXncFolder)
{
    std::filesystem::create_directory(Folder.File("xnc"));
    Write("xnc/f.xnc", {});
    EXPECT_EQ(TDIniFile(MainIniPath()).ReadString("directories", "XNC Folder", ""),
              Folder.File("xnc/"));
    TCompilerOutput out;
    Folder.Messages.Answer("");
    out.Start();
    EXPECT_EQ(Folder.Messages.Log().back().Kind, "file");
}

} // namespace
} // namespace orv
