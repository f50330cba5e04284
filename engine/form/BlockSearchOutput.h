#pragma once
// Block search (slot 5): runs through the program without drawing or moving
// up to a target line, collecting the modal state on the way (motion,
// position, feed, spindle, tool, the M codes passed), shows it in the
// "NC Program Restart" window and reports when the target is reached, so
// that the run can go on from there with the other outputs.

#include "engine/chain/BasicOutput.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TBlockSearchView;

class TBlockSearchOutput : public TBasicOutput {
public:
    // View may be null (no window).
    explicit TBlockSearchOutput(std::unique_ptr<TBlockSearchView> View);
    ~TBlockSearchOutput() override;

    bool Initialise() override;
    void Start() override;
    // Collects the record's state; asks for the next record while the
    // record's line is before the target; the first record at or after the
    // target line stops the search and fires OnReached.
    void Execute(TCNC_data &Data) override;

    // Target line (a program line number); ignored once reached.
    void SetTarget(int Line);
    int Target() const { return FTarget; }
    bool Reached() const { return FReached; }

    // Collected state.
    double X() const { return FX; }
    double Y() const { return FY; }
    double Z() const { return FZ; }
    double F() const { return FF; }
    int32_t LastMotion() const { return FMotion; }
    int32_t LastM() const { return FM; }
    int32_t S() const { return FS; }
    int32_t T() const { return FT; }
    int32_t Line() const { return FLine; }
    const std::vector<std::string> &MCodes() const { return FMCodes; }

    // The target line was reached (fired once per start).
    std::function<void(TObject *Sender)> OnReached;

private:
    void Reset();
    void ShowState();
    void Collect(const TCNC_data &Data);

    std::unique_ptr<TBlockSearchView> FView;
    double FX = 0, FY = 0, FZ = 0, FF = 0;
    int32_t FMotion = -1, FM = -1, FS = 0, FT = 0, FLine = -1;
    std::vector<std::string> FMCodes;
    int FTarget = 0;
    bool FReached = false;
};

} // namespace orv
