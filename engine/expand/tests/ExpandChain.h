#pragma once
// The whole block chain wired the way the engine form wires it, without the
// engine form: program lines are parsed, made metric and absolute, then pulled
// through the optimiser, arc expansion, canned-cycle expansion and cutter
// compensation into the move calculator. Used by the chain tests and by the
// chain benchmark.

#include "engine/core/CNCLineParser.h"
#include "engine/chain/CNC_ABS.h"
#include "engine/chain/CNC_Metric.h"
#include "engine/chain/Calc_CNC.h"
#include "engine/expand/CircularExpand.h"
#include "engine/expand/Cutter_comp.h"
#include "engine/expand/CycleExpand.h"
#include "engine/core/MacroVars.h"
#include "engine/expand/Optimise.h"
#include "engine/chain/StageBlocks.h"
#include "machine/Machine_Tooling.h"

#include <string>
#include <vector>

namespace orv::test {

struct TChainError {
    std::string Stage;
    int Line;
    std::string Detail, Message;
};

class TExpandChain {
public:
    explicit TExpandChain(std::vector<std::string> Program, double ToolDiameter = 10)
        : FProgram(std::move(Program)), FVars("/dev/null/orvellan-chain.ini")
    {
        Parser.SetMacrovars(&FVars);
        Tooling.CurrentDiameter = ToolDiameter;
        Comp.Tooling = &Tooling;
        Comp.SetLookAhead(30);
        Circular.ExpandArcs = false;
        ResetModalGroups();
        Wire();
    }

    // The next move record; false at the end of the program.
    bool Next(TCNC_data &Data)
    {
        Data = TCNC_data();
        return Calc.GetNextData(Data) && Data.LineNumber >= 0;
    }

    std::vector<TCNC_data> RunAll()
    {
        std::vector<TCNC_data> Records;
        TCNC_data Data;
        while (Next(Data) && Records.size() < 10000000)
            Records.push_back(Data);
        return Records;
    }

    TMachine_Tooling Tooling;
    CNCLineParser Parser;
    TCNC_Metric Metric;
    TCNC_ABS Abs;
    TOptimise Optimise;
    TCircularExpand Circular;
    TCycleExpand Cycles;
    TCutter_comp Comp;
    TCalc_CNC Calc;
    std::vector<TChainError> Errors;

private:
    // The modal state the engine form starts a program with (metric).
    void ResetModalGroups()
    {
        FShared.Clear(0);
        const int Start[12] = {-1000, 0, 17, 90, 22, 94, 21, 40, 49, 80, 98, 50};
        for (int Group = 0; Group < 12; ++Group)
            FShared.Groups[Group] = Start[Group];
        FShared.Groups[gMirror] = 0;
        FShared.Groups[gRotation] = 69;
        FShared.Groups[gPolar] = 15;
    }

    void Wire()
    {
        auto Log = [this](const char *Stage) {
            return [this, Stage](TObject *, int Line, const std::string &Detail,
                                 const std::string &Message) {
                Errors.push_back({Stage, Line, Detail, Message});
            };
        };
        Parser.OnErrorEvent = Log("parser");
        Abs.OnErrorEvent = Log("absolute");
        Circular.OnErrorEvent = Log("arcs");
        Cycles.OnErrorEvent = Log("cycles");
        Comp.OnErrorEvent = Log("compensation");
        Optimise.OnNextOptimiseNotify = [this](TObject *, TCNC_Groups &Data) {
            ReadBlock();
            Data = FShared;
        };
        Circular.OnNextCycleNotify = [this](TObject *, TCNC_Groups &Data) {
            Optimise.GetNext(Data);
        };
        Cycles.OnNextCycleNotify = [this](TObject *, TCNC_Groups &Data) {
            Circular.GetNext(Data);
        };
        Comp.OnNextCompNotify = [this](TObject *, TCNC_Groups &Data) { Cycles.GetNext(Data); };
        Calc.OnNextNotify = [this](TObject *) {
            TCNC_Groups Block;
            Comp.GetNext(Block);
            Calc.Calculate(Block);
        };
    }

    // One line read, parsed, made metric and absolute into the shared
    // record; past the last line the end record.
    void ReadBlock()
    {
        if (FNext >= FProgram.size()) {
            Parser.ParseLine("(Blank", FShared);
            FShared.Words[wG] = EndOfProgramCode;
            FShared.WordSet[wG] = true;
            FShared.LineNumber = -1;
            FShared.InputPosition = -1;
            return;
        }
        FShared.LineNumber = static_cast<int>(FNext) + 1;
        FShared.InputPosition = static_cast<int>(FNext);
        const std::string &Line = FProgram[FNext++];
        if (!Parser.ParseLine(Line.empty() ? "(Blank" : Line, FShared))
            return;
        if (Metric.ConvertToMetric(FShared))
            Abs.MakeAbsolute(FShared);
    }

    std::vector<std::string> FProgram;
    size_t FNext = 0;
    TMacroVars FVars;
    TCNC_Groups FShared;
};

} // namespace orv::test
