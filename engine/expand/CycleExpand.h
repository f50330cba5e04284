#pragma once
// TCycleExpand: turns every block of an active canned cycle (G73, G74, G76,
// G81 to G87, G89) into the plain moves, dwells and spindle commands that
// make up the cycle, and a G28 reference return into its two moves. What a
// cycle does is read from "cycles.ini" beside the program (one section per
// G number, one step per key), so cycles change without a new program.
// It pulls from arc expansion through its owner and hands blocks to cutter
// compensation. Blocks arrive absolute and in millimetres.

#include "engine/chain/RecordQueue.h"
#include "engine/core/Base_cnc.h"
#include "engine/core/data_types.h"

#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace orv {

class TIniFile;

class TCycleExpand : public TBase_cnc {
public:
    // The output buffer holds at most this many blocks of one expansion.
    static constexpr int MaximumBlocks = 299;

    explicit TCycleExpand(TComponent *Owner = nullptr);
    ~TCycleExpand() override;

    // The next block into Data; pulls through OnNextCycleNotify while nothing
    // waits (Data unchanged when nothing comes). Reports, each with the line
    // of the cycle block: "Cycle expansion exceeds limits" / "Check
    // parameters and units are correct" when one block would need more than
    // MaximumBlocks; a missing "cycles.ini" (file name / "File not found.")
    // or a cycle without its section ("cycles.ini [81]" / "Canned cycle not
    // defined"), each once until ClearPending.
    void GetNext(TCNC_Groups &Data);
    // Empties the buffer (run reset); missing cycles are reported again.
    void ClearPending();
    int PendingCount() const { return static_cast<int>(FBuffer.size()); }

    // Path of "cycles.ini" in the program folder.
    static std::string CyclesFileName();

    EGetCycleNextNotify OnNextCycleNotify;
    // Travel limits of the machine data ("Travel X-", "Travel Y-",
    // "Travel Z-"), mm; kept for the owner, the cycles do not read them.
    double TravelX = 0;
    double TravelY = 0;
    double TravelZ = 0;

private:
    enum class TStepKind {
        RapidXYZ,
        RapidR,
        CutZ,
        CutR,
        RapidPeckZ,
        PeckZ,
        Dwell,
        SpindleCCW,
        SpindleCW,
        OrientatePlus,
        OrientateMinus,
    };
    struct TStep {
        TStepKind Kind;
        std::string Value; // text after "="
    };

    // Works on the block in place; true when it goes on as it is, false
    // when what it makes waits in the buffer.
    bool Expand(TCNC_Groups &Working);
    void PassOn(TCNC_Groups &Block);
    void ReferenceReturn(const TCNC_Groups &Block);
    void ExpandCycle(const TCNC_Groups &Block);
    bool ReadSteps(const TCNC_Groups &Block, std::vector<TStep> &Steps);
    void ReportOnce(const TCNC_Groups &Block, const std::string &Key, const std::string &Detail,
                    const std::string &Message);
    bool ApplyStep(const TStep &Step, const TCNC_Groups &Hole);
    bool Move(const TCNC_Groups &Hole, int Motion, double Z);
    bool MoveX(const TCNC_Groups &Hole, double X);
    bool Spindle(const TCNC_Groups &Hole, int MCode);
    bool Dwell(const TCNC_Groups &Hole, const std::string &Value);
    bool Pecks(const TStep &Step, const TCNC_Groups &Hole);
    bool RapidPecks(const TCNC_Groups &Hole, double Q, int Count, double Retract);
    bool FullRetractPecks(const TCNC_Groups &Hole, double Q, int Count, double Retract);
    bool Emit(TCNC_Groups &Block);

    // "cycles.ini", kept open: every read checks the file again and reloads
    // it when it changed, so each cycle block sees the file as it is now.
    std::unique_ptr<TIniFile> FCycles;
    TRecordQueue<TCNC_Groups> FBuffer;
    std::set<std::string> FReported; // missing file or sections already reported
    bool FOverflow = false;          // this cycle block filled the buffer
    double FInitialLevel = 0;        // Z of the last block that was no cycle block (G98)
    double FHoleBottom = 0;          // kept until a cycle block programs Z again
    double FReturnLevel = 0;         // of the cycle block being expanded
    double FToolZ = 0;               // Z the tool stands at after the last block
    bool FCycleRan = false;          // a cycle moved the tool since the last Z word
};

} // namespace orv
