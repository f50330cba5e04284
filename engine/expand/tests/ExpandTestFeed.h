#pragma once
// A hand-made previous stage for the expansion stages' tests: a program of
// blocks written the way the engine form hands them on (absolute millimetres,
// modal values carried from block to block, set flags only for what a block
// programs), then the end record for every further request; and the drain
// that pulls a stage's output.

#include "engine/core/Base_cnc.h"
#include "engine/chain/StageBlocks.h"
#include "engine/core/data_types.h"

#include <vector>

namespace orv::test {

class TFeed {
public:
    TFeed()
    {
        FModal.Clear(0);
        FModal.Groups[gMotion] = 1;
        FModal.Groups[gPlane] = 17;
        FModal.Groups[gAbsInc] = 90;
        FModal.Groups[gFeedMode] = 94;
        FModal.Groups[gUnits] = 21;
        FModal.Groups[gCutterComp] = 40;
        FModal.Groups[gLengthComp] = 49;
        FModal.Groups[gCannedCycle] = 80;
        FModal.Groups[gReturnLevel] = 98;
        FModal.LineNumber = 0;
        FModal.InputPosition = 0;
    }

    // Starts the next block (line numbers count from 1): the modal record
    // with every set flag cleared.
    TFeed &Block()
    {
        Flush();
        FCurrent = FModal;
        for (bool &Set : FCurrent.GroupSet)
            Set = false;
        for (bool &Set : FCurrent.WordSet)
            Set = false;
        FCurrent.GeneratedText.clear();
        FCurrent.LineNumber = ++FLine;
        FCurrent.InputPosition = FLine * 10;
        FOpen = true;
        return *this;
    }
    // A programmed G group (or M, S, T group) value.
    TFeed &G(int Group, int Value)
    {
        FCurrent.Groups[Group] = Value;
        FCurrent.GroupSet[Group] = true;
        return *this;
    }
    // A programmed word.
    TFeed &W(int Word, double Value)
    {
        FCurrent.Words[Word] = Value;
        FCurrent.WordSet[Word] = true;
        return *this;
    }
    TFeed &X(double V) { return W(wX, V); }
    TFeed &Y(double V) { return W(wY, V); }
    TFeed &Z(double V) { return W(wZ, V); }
    TFeed &F(double V) { return W(wF, V); }
    TFeed &Move(int Motion, double X, double Y) { return G(gMotion, Motion).W(wX, X).W(wY, Y); }
    // A resolved arc as the absolute stage leaves it: end X, Y, centre I, J,
    // sweep in degrees (positive clockwise) and radius with its flag.
    TFeed &Arc(int Motion, double X, double Y, double I, double J, double Sweep, double Radius)
    {
        G(gMotion, Motion).W(wX, X).W(wY, Y);
        FCurrent.Words[wI] = I;
        FCurrent.Words[wJ] = J;
        FCurrent.Words[wSweep] = Sweep;
        return W(wRadius, Radius);
    }

    // The pull handler of the stage under test.
    void Pull(TObject *, TCNC_Groups &Data)
    {
        Flush();
        ++FPulls;
        if (FNext < FBlocks.size()) {
            Data = FBlocks[FNext++];
            return;
        }
        Data = EndRecord();
    }
    auto Handler()
    {
        return [this](TObject *Sender, TCNC_Groups &Data) { Pull(Sender, Data); };
    }

    TCNC_Groups EndRecord() const
    {
        TCNC_Groups End = FModal;
        for (bool &Set : End.WordSet)
            Set = false;
        for (bool &Set : End.GroupSet)
            Set = false;
        End.Words[wG] = EndOfProgramCode;
        End.WordSet[wG] = true;
        End.LineNumber = -1;
        End.InputPosition = -1;
        return End;
    }

    int Pulls() const { return FPulls; }
    int Lines() const { return FLine; }
    TCNC_Groups &Current() { return FCurrent; }

private:
    // The open block joins the program; its values become the modal state.
    void Flush()
    {
        if (!FOpen)
            return;
        FBlocks.push_back(FCurrent);
        FModal = FCurrent;
        FOpen = false;
    }

    TCNC_Groups FModal;
    TCNC_Groups FCurrent;
    bool FOpen = false;
    int FLine = 0;
    std::vector<TCNC_Groups> FBlocks;
    size_t FNext = 0;
    int FPulls = 0;
};

// Every block a stage hands on up to the end record (left out); the guard
// stops a stage that never ends its output.
template <class TStage>
std::vector<TCNC_Groups> Drain(TStage &Stage, int Limit = 200000)
{
    std::vector<TCNC_Groups> Out;
    for (int Guard = 0; Guard < Limit; ++Guard) {
        TCNC_Groups Block;
        Stage.GetNext(Block);
        if (IsEndOfProgram(Block))
            break;
        Out.push_back(Block);
    }
    return Out;
}

// Every report of a stage's OnErrorEvent.
struct TErrorReport {
    int Line;
    std::string Detail;
    std::string Message;
};

class TErrorLog {
public:
    EErrorNotify Handler()
    {
        return [this](TObject *, int Line, const std::string &Detail, const std::string &Message) {
            Reports.push_back({Line, Detail, Message});
        };
    }
    std::vector<TErrorReport> Reports;
};

} // namespace orv::test
