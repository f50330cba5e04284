// Golden files: each fixture program in tests/data/chain_*.fnc runs through
// the file source, the parser, the metric and absolute stages and the move
// calculator; the records (one line each, as ncrun prints them), the
// errors reported and the end must equal the .rec file beside it. Programs
// whose name ends in "_skip" run with the block-skip switch on.

#include "engine/core/CNCLineParser.h"
#include "engine/chain/CNC_ABS.h"
#include "engine/chain/CNC_Metric.h"
#include "engine/chain/Calc_CNC.h"
#include "engine/chain/FileInput.h"
#include "ncrun/RecordLine.h"
#include "engine/chain/tests/ChainBlocks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace orv {
namespace {

const std::string DataDir = std::string(ORV_SOURCE_DIR) + "/engine/chain/tests/data/";

// The chain as the engine form wires it, without the stages in between.
class TChainRun {
public:
    TChainRun(const std::string &Program, bool BlockSkip)
    {
        Abs.BlockSkip = BlockSkip;
        std::string Name = Program;
        Loaded = Input.LoadFile(Name);
        auto Report = [this](TObject *, int Line, const std::string &Detail,
                             const std::string &Message) {
            Lines.push_back("error " + std::to_string(Line) + " " + Detail + " : " + Message);
        };
        Parser.OnErrorEvent = Report;
        Abs.OnErrorEvent = Report;
        Calc.OnNextNotify = [this](TObject *) { NextBlock(); };
        Shared = test::StartBlock();
    }

    std::vector<std::string> Run()
    {
        for (int Guard = 0; Guard < 10000; ++Guard) {
            TCNC_data Data;
            if (!Calc.GetNextData(Data)) {
                Lines.push_back("end");
                break;
            }
            Lines.push_back(RecordLine(Data));
        }
        return Lines;
    }

    bool Loaded = false;

private:
    // Read, parse, convert and calculate one block, as the engine's pull does.
    void NextBlock()
    {
        std::string Line;
        int LineNumber = 0, Level = 0;
        const int Position = Input.ReadLine(Line, LineNumber, Level);
        if (Line.empty())
            Line = "(Blank";
        if (Position == ReadLineFailed) {
            Lines.push_back("error " + Input.LastError());
            return;
        }
        if (Position == EndOfMainProgram) {
            Shared.Words[wG] = EndOfProgramCode;
            Shared.WordSet[wG] = true;
            LineNumber = -1;
        }
        Shared.InputPosition = Position;
        Shared.LineNumber = LineNumber;
        Shared.Level = Level;
        if (!Parser.ParseLine(Line, Shared))
            return;
        if (Metric.ConvertToMetric(Shared))
            Abs.MakeAbsolute(Shared);
        TCNC_Groups Block = Shared;
        Calc.Calculate(Block);
    }

    TFileInput Input;
    CNCLineParser Parser;
    TCNC_Metric Metric;
    TCNC_ABS Abs;
    TCalc_CNC Calc;
    TCNC_Groups Shared;
    std::vector<std::string> Lines;
};

std::vector<std::string> ReadLines(const std::string &Path)
{
    std::vector<std::string> Lines;
    std::ifstream In(Path);
    for (std::string Line; std::getline(In, Line);)
        Lines.push_back(Line);
    return Lines;
}

std::vector<std::string> Fixtures()
{
    std::vector<std::string> Names;
    for (const auto &Entry : std::filesystem::directory_iterator(DataDir)) {
        const std::string Name = Entry.path().filename().string();
        if (Name.rfind("chain_", 0) == 0 && Entry.path().extension() == ".fnc")
            Names.push_back(Entry.path().stem().string());
    }
    std::sort(Names.begin(), Names.end());
    return Names;
}

TEST(ChainGolden, FixtureProgramsGiveTheirRecords)
{
    const std::vector<std::string> Names = Fixtures();
    ASSERT_FALSE(Names.empty());
    for (const std::string &Name : Names) {
        SCOPED_TRACE(Name);
        const bool Skip = Name.size() > 5 && Name.compare(Name.size() - 5, 5, "_skip") == 0;
        TChainRun Run(DataDir + Name + ".fnc", Skip);
        ASSERT_TRUE(Run.Loaded);
        const std::vector<std::string> Got = Run.Run();
        const std::vector<std::string> Expected = ReadLines(DataDir + Name + ".rec");
        EXPECT_EQ(Got.size(), Expected.size());
        for (size_t i = 0; i < std::min(Got.size(), Expected.size()); ++i)
            EXPECT_EQ(Got[i], Expected[i]) << "record " << i + 1;
        if (std::getenv("ORV_PRINT_GOLDEN")) {
            for (const std::string &Line : Got)
                std::printf("%s\n", Line.c_str());
        }
    }
}

} // namespace
} // namespace orv
